// qvapack: creates, lists and extracts QVA archives.
//
//   qvapack create ARCHIVE FILE...       entries named after the files' base names
//   qvapack create ARCHIVE NAME=FILE...  entries with explicit names
//   qvapack list ARCHIVE                 name, offset, size, csize per entry
//   qvapack extract ARCHIVE DIR [NAME...] writes entries (all by default) into DIR
//
// Entries are stored in the order given, each as one zlib stream at level 9.
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr size_t NAME_BYTES = 32;
constexpr size_t ENTRY_BYTES = 44;
constexpr size_t MAX_ENTRIES = 256;

struct entry {
    std::string name;
    uint32_t offset = 0, size = 0, csize = 0;
};

int fail(const std::string& msg)
{
    fprintf(stderr, "qvapack: %s\n", msg.c_str());
    return 1;
}

bool read_file(const std::string& path, std::vector<uint8_t>& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool write_file(const std::string& path, const std::vector<uint8_t>& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    return static_cast<bool>(out);
}

void put_le32(std::vector<uint8_t>& v, size_t at, uint32_t x)
{
    for (int i = 0; i < 4; i++)
        v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}

uint32_t get_le32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

std::string base_of(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int create(const std::string& archive, int argc, char** argv)
{
    if (argc == 0)
        return fail("an archive needs at least one entry");
    if (static_cast<size_t>(argc) > MAX_ENTRIES)
        return fail("too many entries: " + std::to_string(argc) + " (at most 256)");
    std::vector<entry> dir;
    std::vector<std::vector<uint8_t>> blobs;
    for (int i = 0; i < argc; i++) {
        std::string arg = argv[i], name, path;
        size_t eq = arg.find('=');
        if (eq != std::string::npos) {
            name = arg.substr(0, eq);
            path = arg.substr(eq + 1);
        } else {
            name = base_of(arg);
            path = arg;
        }
        if (name.empty() || name.size() > NAME_BYTES - 1)
            return fail("entry name '" + name + "' must have 1 to 31 characters");
        std::vector<uint8_t> data;
        if (!read_file(path, data))
            return fail("cannot read " + path);
        uLongf clen = compressBound(data.size());
        std::vector<uint8_t> packed(clen);
        if (compress2(packed.data(), &clen, data.data(), data.size(), 9) != Z_OK)
            return fail("cannot compress " + path);
        packed.resize(clen);
        entry e;
        e.name = name;
        e.size = static_cast<uint32_t>(data.size());
        e.csize = static_cast<uint32_t>(clen);
        dir.push_back(e);
        blobs.push_back(std::move(packed));
    }
    size_t pos = 4 + ENTRY_BYTES * dir.size();
    std::vector<uint8_t> out(pos, 0);
    out[0] = 'Q';
    out[1] = 'V';
    out[2] = 'A';
    out[3] = static_cast<uint8_t>(dir.size() - 1);
    for (size_t i = 0; i < dir.size(); i++) {
        dir[i].offset = static_cast<uint32_t>(out.size());
        out.insert(out.end(), blobs[i].begin(), blobs[i].end());
        size_t at = 4 + ENTRY_BYTES * i;
        memcpy(&out[at], dir[i].name.c_str(), dir[i].name.size());
        put_le32(out, at + 32, dir[i].offset);
        put_le32(out, at + 36, dir[i].size);
        put_le32(out, at + 40, dir[i].csize);
    }
    if (!write_file(archive, out))
        return fail("cannot write " + archive);
    return 0;
}

bool read_archive(const std::string& archive, std::vector<uint8_t>& bytes, std::vector<entry>& dir)
{
    if (!read_file(archive, bytes) || bytes.size() < 4 || bytes[0] != 'Q' || bytes[1] != 'V' || bytes[2] != 'A')
        return false;
    size_t count = size_t(bytes[3]) + 1;
    if (bytes.size() < 4 + ENTRY_BYTES * count)
        return false;
    for (size_t i = 0; i < count; i++) {
        const uint8_t* rec = &bytes[4 + ENTRY_BYTES * i];
        entry e;
        e.name.assign(reinterpret_cast<const char*>(rec), strnlen(reinterpret_cast<const char*>(rec), NAME_BYTES - 1));
        e.offset = get_le32(rec + 32);
        e.size = get_le32(rec + 36);
        e.csize = get_le32(rec + 40);
        dir.push_back(e);
    }
    return true;
}

int list(const std::string& archive)
{
    std::vector<uint8_t> bytes;
    std::vector<entry> dir;
    if (!read_archive(archive, bytes, dir))
        return fail(archive + " is not a readable QVA archive");
    for (const entry& e : dir)
        printf("%-31s %10u %10u %10u\n", e.name.c_str(), e.offset, e.size, e.csize);
    return 0;
}

int extract(const std::string& archive, const std::string& outdir, int argc, char** argv)
{
    std::vector<uint8_t> bytes;
    std::vector<entry> dir;
    if (!read_archive(archive, bytes, dir))
        return fail(archive + " is not a readable QVA archive");
    std::vector<std::string> wanted(argv, argv + argc);
    int missing = 0;
    for (const std::string& w : wanted) {
        bool found = false;
        for (const entry& e : dir)
            found = found || e.name == w;
        if (!found) {
            fprintf(stderr, "qvapack: no entry %s\n", w.c_str());
            missing++;
        }
    }
    for (const entry& e : dir) {
        bool take = wanted.empty();
        for (const std::string& w : wanted)
            take = take || e.name == w;
        if (!take)
            continue;
        if (e.offset > bytes.size() || e.csize > bytes.size() - e.offset)
            return fail("entry " + e.name + " lies outside the archive");
        std::vector<uint8_t> data(e.size ? e.size : 1);
        uLongf len = e.size;
        if (uncompress(data.data(), &len, &bytes[e.offset], e.csize) != Z_OK || len != e.size)
            return fail("entry " + e.name + " does not inflate");
        data.resize(len);
        if (!write_file(outdir + "/" + e.name, data))
            return fail("cannot write " + outdir + "/" + e.name);
    }
    return missing ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string cmd = argc > 1 ? argv[1] : "";
    if (cmd == "create" && argc >= 3)
        return create(argv[2], argc - 3, argv + 3);
    if (cmd == "list" && argc == 3)
        return list(argv[2]);
    if (cmd == "extract" && argc >= 4)
        return extract(argv[2], argv[3], argc - 4, argv + 4);
    fprintf(stderr,
            "usage: qvapack create ARCHIVE [NAME=]FILE...\n"
            "       qvapack list ARCHIVE\n"
            "       qvapack extract ARCHIVE DIR [NAME...]\n");
    return 2;
}
