// QVA archives: the reader of the game's three data archives, and two helpers
// for whole loose files.
#pragma once
#include "model/archive.h"

#include <cstdint>
#include <cstdio>

constexpr int QVA_SLOTS = 7;          // archive slots, three of them named
// The largest loose file (zarn.hi and the like) loadBINFile reads: 1 MiB.
constexpr uint32_t LOOSE_FILE_MAX_BYTES = 1u << 20;

constexpr uint32_t QVA_GFX = 0;   // the slot of gfx.qva: pictures
constexpr uint32_t QVA_SFX = 1;   // of sfx.qva: effects and tunes
constexpr uint32_t QVA_MAPS = 2;  // of maps.qva: levels

extern const char* const archives[QVA_SLOTS];  // slot names; null: never opened
extern FILE* qva_file[QVA_SLOTS];              // open stream per slot, or null
extern qva_entry* qva_header[QVA_SLOTS];       // directory per slot, or null
extern uint32_t qva_count[QVA_SLOTS];          // entries in the directory
extern char fname_buf[1024];                   // last path built by filename
extern const char* qva_folder;                 // folder the archives open from; "./data" unless start-up chose another

// Whether folder holds every named archive as a regular file.
bool qva_folder_complete(const char* folder);
// The archive of a slot as messages name it: "data/gfx.qva" from the working
// folder's data, else its whole path.
const char* qva_name(uint32_t id);
// Opens every named slot under qva_folder and reads its directory.
void openArchives();
// Closes every stream and releases every directory.
void closeArchives();
// Returns a new malloc'd buffer with the inflated entry "name.ext" of the
// archive slot and stores its length in *size_out; null when the entry is
// missing, unreadable, larger than QVA_MAX_ENTRY_BYTES or than its stored
// length can inflate to, or does not inflate to its stored size (then
// *size_out is left as it was).
void* loadQVAFile(uint32_t archive, const char* name, const char* ext, uint32_t* size_out);

// Opens the slot's stream if it is not open and the archive is a regular file
// (no magic check).
void openID(uint32_t id);
// Closes the slot's stream if open; the directory stays.
void closeID(uint32_t id);
// Loads the slot's directory if absent: 0 when present or loaded, 1 on failure.
int loadQVAHeader(uint32_t id);
// Closes the slot's stream and releases its directory.
void closeQVA(uint32_t id);
// zlib's uncompress: inflates src into dest, *dest_len in = room, out = length.
int uncompressQVA(uint8_t* dest, uint32_t* dest_len, const uint8_t* src, uint32_t src_len);

// Builds "dir/name.ext" (or "name.ext" without dir) into fname_buf.
const char* filename(const char* dir, const char* name, const char* ext);
// Returns a new malloc'd buffer with the whole file; null on failure, when
// the file is empty, not a regular file (a folder or a FIFO is never read) or
// larger than LOOSE_FILE_MAX_BYTES. Stores the length in *size_out when given.
void* loadBINFile(const char* path, uint32_t* size_out);
// Length of an open stream, left positioned at its start; 0 on failure.
uint32_t binfilesize(FILE* stream);
