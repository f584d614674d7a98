#include "sys/files.h"

#include "sys/web.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A file system that cannot sync (some virtual ones) still gets its file.
bool synced(int fd)
{
    return fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
}

bool write_all(int fd, const void* data, size_t len)
{
    const char* p = static_cast<const char*>(data);
    while (len > 0) {
        ssize_t n = write(fd, p, len);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        len -= static_cast<size_t>(n);
    }
    return true;
}

// The folder part of path ("." when it has none).
std::string folder_of(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

void sync_folder(const std::string& folder)
{
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    synced(fd);
    close(fd);
}

#ifdef __EMSCRIPTEN__
// True when path is a regular file holding exactly len bytes of data.
bool same_bytes(const char* path, const void* data, size_t len)
{
    uint64_t size = 0;
    FILE* f = sys_open_regular(path, &size);
    if (!f)
        return false;
    bool same = size == len;
    const char* p = static_cast<const char*>(data);
    char buf[4096];
    for (size_t at = 0; same && at < len;) {
        size_t n = fread(buf, 1, len - at < sizeof buf ? len - at : sizeof buf, f);
        same = n > 0 && memcmp(buf, p + at, n) == 0;
        at += n;
    }
    fclose(f);
    return same;
}
#endif

}  // namespace

bool sys_save_file(const char* path, const void* data, size_t len)
{
#ifdef __EMSCRIPTEN__
    if (same_bytes(path, data, len))
        return true;  // the page saves every second: only changes reach the store
#endif
    std::string temp = std::string(path) + ".XXXXXX";
    int fd = mkstemp(temp.data());  // O_CREAT | O_EXCL: a fresh file of our own
    if (fd < 0)
        return false;
    bool good = write_all(fd, data, len) && synced(fd);
    good = close(fd) == 0 && good;
    if (!good || rename(temp.c_str(), path) != 0) {
        unlink(temp.c_str());
        return false;
    }
    sync_folder(folder_of(path));
#ifdef __EMSCRIPTEN__
    web_file_saved(path);
#endif
    return true;
}

bool sys_make_folder(const char* folder)
{
    std::string path = folder;
    for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    struct stat st;
    if (stat(folder, &st) != 0)
        return false;
    if (!S_ISDIR(st.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

FILE* sys_open_regular(const char* path, uint64_t* len_out)
{
    // O_NONBLOCK: opening a FIFO for reading returns at once instead of
    // waiting for a writer; it changes nothing for a regular file.
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return nullptr;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) {
        close(fd);
        return nullptr;
    }
    FILE* f = fdopen(fd, "rb");
    if (!f) {
        close(fd);
        return nullptr;
    }
    *len_out = static_cast<uint64_t>(st.st_size);
    return f;
}
