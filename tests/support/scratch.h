// The scratch folder a test program runs in (its working directory), and
// files and archives made there.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

const std::string& scratch_dir();

// While alive, ./data is a private empty folder instead of the build's data,
// so a test can put archives of its own there; the build's data comes back
// when it ends.
class private_data {
public:
    private_data();
    ~private_data();
    private_data(const private_data&) = delete;
    private_data& operator=(const private_data&) = delete;
};

using qva_item = std::pair<std::string, std::vector<uint8_t>>;

// Writes an archive file of the given entries (zlib level 9, stored in order).
void write_qva(const std::string& path, const std::vector<qva_item>& entries);
// The bytes of an entry of an open archive (QVA_GFX, QVA_SFX or QVA_MAPS);
// none when it is missing.
std::vector<uint8_t> archive_entry(uint32_t slot, const std::string& name, const char* ext);
// The pixels of a PNG file as rows of RGB bytes, its size in w and h; none
// (a failure said) when it cannot be read.
std::vector<uint8_t> read_png_rgb(const std::string& path, int& w, int& h);
// Reads a whole file, as bytes or as text.
std::vector<uint8_t> read_bytes(const std::string& path);
std::string read_text(const std::string& path);
// Writes a whole file.
void write_bytes(const std::string& path, const std::vector<uint8_t>& bytes);
// The bytes of a small input kept in tests/data/reproducers (inputs that once
// made the game or a tool crash, hang or write where it should not).
std::vector<uint8_t> reproducer(const std::string& name);
// The most memory the process has mapped so far, in KiB (VmPeak): an
// allocation of gigabytes shows here even when it is never touched.
uint64_t peak_mapped_kib();
