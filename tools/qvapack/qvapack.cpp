// The archive packer. Entries are stored in the order given, each as one zlib
// stream at level 9.
//
// What it reads is checked as the game checks it: only regular files are
// read, no entry is larger than 1 MiB inflated or than its stored length can
// inflate to, and no data lies outside the archive, so nothing is allocated
// on a size field's word. What it writes cannot be turned against the user:
// the archive goes to a fresh temporary file renamed into place, and extract
// creates each file fresh (never an existing name, never through a link)
// inside its output folder, from plain entry names only (no '/', '\' or "..").
#include "qvapack.h"

#include "model/archive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct entry {
    std::string name;
    uint32_t offset = 0, size = 0, csize = 0;
};

// A file descriptor closed on every way out.
struct fd_guard {
    int fd;
    explicit fd_guard(int f) : fd(f) {}
    ~fd_guard()
    {
        if (fd >= 0)
            close(fd);
    }
    fd_guard(const fd_guard&) = delete;
    fd_guard& operator=(const fd_guard&) = delete;
};

int fail(const std::string& msg)
{
    fprintf(stderr, "qvapack: %s\n", msg.c_str());
    return 1;
}

bool read_at(int fd, uint64_t at, uint8_t* p, size_t n)
{
    while (n > 0) {
        ssize_t got = pread(fd, p, n, static_cast<off_t>(at));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        p += got;
        at += static_cast<uint64_t>(got);
        n -= static_cast<size_t>(got);
    }
    return true;
}

bool write_all(int fd, const std::vector<uint8_t>& data)
{
    const uint8_t* p = data.data();
    size_t n = data.size();
    while (n > 0) {
        ssize_t put = write(fd, p, n);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        p += put;
        n -= static_cast<size_t>(put);
    }
    return true;
}

// Opens path for reading when it is a regular file (a FIFO never blocks) and
// stores its length.
int open_regular(const std::string& path, uint64_t& len)
{
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat st;
    if (fd >= 0 && (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        close(fd);
        return -1;
    }
    len = fd >= 0 ? static_cast<uint64_t>(st.st_size) : 0;
    return fd;
}

// A name that can only mean a file in the folder it is written to.
bool plain_name(const std::string& name)
{
    return !name.empty() && name != "." && name.find_first_of("/\\") == std::string::npos &&
           name.find("..") == std::string::npos;
}

// What is wrong with an entry of an archive of len bytes; empty when nothing.
std::string entry_problem(const entry& e, uint64_t len)
{
    qva_entry stored{};
    stored.offset = e.offset;
    stored.size = e.size;
    stored.csize = e.csize;
    switch (qva_check_entry(stored, len)) {
    case QVA_ENTRY_OUTSIDE: return "entry " + e.name + " lies outside the archive";
    case QVA_ENTRY_TOO_LARGE: return "entry " + e.name + " is larger than 1 MiB";
    case QVA_ENTRY_NO_SUCH_SIZE: return "entry " + e.name + " claims a size its stored data cannot have";
    default: return "";
    }
}

std::string base_of(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Writes the archive to a fresh temporary file beside it, then renames it
// into place: an old archive stays whole until the new one is complete.
bool write_archive(const std::string& path, const std::vector<uint8_t>& data)
{
    std::string temp = path + ".XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0)
        return false;
    bool ok = fchmod(fd, 0644) == 0 && write_all(fd, data);
    ok = close(fd) == 0 && ok;
    if (!ok || rename(temp.c_str(), path.c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    return true;
}

int create(const std::string& archive, int argc, char** argv)
{
    if (argc == 0)
        return fail("an archive needs at least one entry");
    if (argc > QVA_MAX_ENTRIES)
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
        if (name.empty() || name.size() > QVA_NAME_LEN - 1)
            return fail("entry name '" + name + "' must have 1 to 31 characters");
        if (!plain_name(name))
            return fail("entry name '" + name + "' must be a plain file name (no '/', '\\' or '..')");
        uint64_t len = 0;
        fd_guard in(open_regular(path, len));
        if (in.fd < 0)
            return fail("cannot read " + path);
        if (len > QVA_MAX_ENTRY_BYTES)
            return fail(path + " is larger than 1 MiB, more than the game reads");
        std::vector<uint8_t> data(len);
        if (!read_at(in.fd, 0, data.data(), data.size()))
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
    size_t pos = QVA_HEADER_BYTES + QVA_ENTRY_BYTES * dir.size();
    std::vector<uint8_t> out(pos, 0);
    qva_write_header(out.data(), static_cast<uint32_t>(dir.size()));
    for (size_t i = 0; i < dir.size(); i++) {
        dir[i].offset = static_cast<uint32_t>(out.size());
        out.insert(out.end(), blobs[i].begin(), blobs[i].end());
        qva_entry stored{};
        memcpy(stored.name, dir[i].name.c_str(), dir[i].name.size());
        stored.offset = dir[i].offset;
        stored.size = dir[i].size;
        stored.csize = dir[i].csize;
        qva_write_entry(&out[QVA_HEADER_BYTES + QVA_ENTRY_BYTES * i], stored);
    }
    if (!write_archive(archive, out))
        return fail("cannot write " + archive);
    return 0;
}

// Reads the directory of the open archive fd of len bytes.
bool read_directory(int fd, uint64_t len, std::vector<entry>& dir)
{
    uint8_t head[QVA_HEADER_BYTES];
    if (len < QVA_HEADER_BYTES || !read_at(fd, 0, head, sizeof head))
        return false;
    size_t count = qva_read_header(head);
    std::vector<uint8_t> recs(QVA_ENTRY_BYTES * count);
    if (count == 0 || len - QVA_HEADER_BYTES < recs.size() || !read_at(fd, QVA_HEADER_BYTES, recs.data(), recs.size()))
        return false;
    for (size_t i = 0; i < count; i++) {
        qva_entry stored;
        qva_read_entry(&recs[QVA_ENTRY_BYTES * i], stored);
        entry e;
        e.name = stored.name;
        e.offset = stored.offset;
        e.size = stored.size;
        e.csize = stored.csize;
        dir.push_back(e);
    }
    return true;
}

int list(const std::string& archive)
{
    uint64_t len = 0;
    fd_guard in(open_regular(archive, len));
    std::vector<entry> dir;
    if (in.fd < 0 || !read_directory(in.fd, len, dir))
        return fail(archive + " is not a readable QVA archive");
    for (entry e : dir) {
        for (char& c : e.name)  // a name never sends control bytes to the terminal
            c = c < 0x20 || c == 0x7f ? '?' : c;
        printf("%-31s %10u %10u %10u\n", e.name.c_str(), e.offset, e.size, e.csize);
    }
    return 0;
}

int extract(const std::string& archive, const std::string& outdir, int argc, char** argv)
{
    uint64_t len = 0;
    fd_guard in(open_regular(archive, len));
    std::vector<entry> dir;
    if (in.fd < 0 || !read_directory(in.fd, len, dir))
        return fail(archive + " is not a readable QVA archive");
    fd_guard out(open(outdir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (out.fd < 0)
        return fail("cannot open the folder " + outdir);
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
    std::vector<const entry*> taken;
    for (const entry& e : dir) {
        bool take = wanted.empty();
        for (const std::string& w : wanted)
            take = take || e.name == w;
        if (!take)
            continue;
        // Every entry is checked before anything is written.
        if (!plain_name(e.name))
            return fail("entry name '" + e.name + "' is not a plain file name: nothing extracted");
        std::string problem = entry_problem(e, len);
        if (!problem.empty())
            return fail(problem + ": nothing extracted");
        taken.push_back(&e);
    }
    for (const entry* e : taken) {
        std::vector<uint8_t> packed(e->csize);
        std::vector<uint8_t> data(e->size ? e->size : 1);
        uLongf got = e->size;
        if (!read_at(in.fd, e->offset, packed.data(), packed.size()) ||
            uncompress(data.data(), &got, packed.data(), e->csize) != Z_OK || got != e->size)
            return fail("entry " + e->name + " does not inflate");
        data.resize(got);
        int fd = openat(out.fd, e->name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0)
            return fail("cannot create " + outdir + "/" + e->name + ": " + strerror(errno));
        bool ok = write_all(fd, data);
        if (close(fd) != 0 || !ok) {
            unlinkat(out.fd, e->name.c_str(), 0);
            return fail("cannot write " + outdir + "/" + e->name);
        }
    }
    return missing ? 1 : 0;
}

}  // namespace

int qvapack_main(int argc, char** argv)
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
