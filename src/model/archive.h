// The QVA archive layout, read and written by the game's archive reader
// (res/qva) and by the packer (tools/qvapack):
//   "QVA", then one byte: the entry count less one (1..256 entries);
//   a directory of 44-byte records: a 32-byte NUL-padded name, then the
//   entry's offset from the start of the file, its length after inflation and
//   the length of its stored zlib stream, each a little-endian uint32;
//   then the stored streams.
#pragma once
#include <cstdint>

constexpr int QVA_NAME_LEN = 32;      // bytes of a stored entry name, its NUL included
constexpr int QVA_HEADER_BYTES = 4;   // "QVA" and the entry count less one
constexpr int QVA_ENTRY_BYTES = 44;   // a directory record: name, offset, size, packed size
constexpr int QVA_MAX_ENTRIES = 256;  // entries an archive can hold
// The largest entry the game takes, inflated: 1 MiB (the largest shipped one,
// the big font, is 190 KiB). A larger size field is damage, never a reason to
// allocate.
constexpr uint32_t QVA_MAX_ENTRY_BYTES = 1u << 20;
// zlib inflates at most about 1032 bytes from one stored byte: an entry
// claiming more than that from its stored length is damaged.
constexpr uint32_t QVA_MAX_RATIO = 1032;

// One directory entry, as stored in the archive.
struct qva_entry {
    char name[QVA_NAME_LEN];  // NUL-terminated, at most 31 characters count
    uint32_t offset;          // stored data, from the start of the file
    uint32_t size;            // length after inflation
    uint32_t csize;           // length of the stored zlib stream
};

// What is wrong with an entry of an archive; QVA_ENTRY_SOUND when nothing.
enum : int {
    QVA_ENTRY_SOUND,
    QVA_ENTRY_OUTSIDE,    // its stored data lies (partly) outside the archive
    QVA_ENTRY_TOO_LARGE,  // larger than QVA_MAX_ENTRY_BYTES inflated
    QVA_ENTRY_NO_SUCH_SIZE,  // a size its stored data cannot inflate to, or a stored length no deflate makes
};

// The entry count of an archive from its first QVA_HEADER_BYTES bytes; 0
// when they do not start with "QVA".
uint32_t qva_read_header(const uint8_t* head);
// Writes the header of an archive of count entries (1..QVA_MAX_ENTRIES).
void qva_write_header(uint8_t* head, uint32_t count);
// Reads a directory record (the name cut at 31 characters).
void qva_read_entry(const uint8_t* rec, qva_entry& e);
// Writes a directory record.
void qva_write_entry(uint8_t* rec, const qva_entry& e);
// Checks an entry against an archive of archive_len bytes: QVA_ENTRY_*.
int qva_check_entry(const qva_entry& e, uint64_t archive_len);
