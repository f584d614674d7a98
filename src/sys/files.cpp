#include "sys/files.h"

#include "sys/web.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int NAME_TRIES = 100;          // fresh temporary names tried before giving up
constexpr time_t STALE_SECONDS = 60;     // a temporary this old belongs to a save that died

int open_unnamed(const char* folder)
{
    // Naming the file needs /proc (linkat through /proc/self/fd).
    if (access("/proc/self/fd", X_OK) != 0)
        return -1;
    return open(folder, O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
}

std::string fd_path(int fd)
{
    return "/proc/self/fd/" + std::to_string(fd);
}

int link_unnamed(int fd, const char* path)
{
    return linkat(AT_FDCWD, fd_path(fd).c_str(), AT_FDCWD, path, AT_SYMLINK_FOLLOW);
}

constexpr sys_save_calls SYSTEM_CALLS = {open_unnamed, fsync, link_unnamed, rename};

// A file system that cannot sync (some virtual ones) still gets its file.
bool synced(int fd)
{
    return sys_save_ops.sync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
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

constexpr char NAME_LETTERS[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr size_t SUFFIX = 6;  // the XXXXXX of NAME.XXXXXX

// True when entry is NAME.XXXXXX for the file name NAME, as mkstemp makes them.
bool is_temporary_of(const char* entry, const std::string& name)
{
    if (strncmp(entry, name.c_str(), name.size()) != 0 || entry[name.size()] != '.')
        return false;
    const char* suffix = entry + name.size() + 1;
    return strlen(suffix) == SUFFIX && strspn(suffix, NAME_LETTERS) == SUFFIX;
}

// Removes the temporaries of earlier saves of path that died before their
// rename: plain files named like ours, a minute old or more. Nothing else in
// the folder is touched.
void remove_stale_temporaries(const std::string& folder, const std::string& path)
{
    size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return;
    const time_t now = time(nullptr);
    while (const dirent* e = readdir(dir)) {
        struct stat st;
        if (is_temporary_of(e->d_name, name) && fstatat(dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode) && now - st.st_mtime >= STALE_SECONDS)
            unlinkat(dirfd(dir), e->d_name, 0);
    }
    closedir(dir);
}

uint64_t names_drawn;  // a different name for each try, in each process

// Names the unnamed file fd path.XXXXXX (a name no file has); the name in temp.
bool name_unnamed(int fd, const char* path, std::string& temp)
{
    for (int tries = 0; tries < NAME_TRIES; tries++) {
        timespec t;
        clock_gettime(CLOCK_REALTIME, &t);
        uint64_t x = (static_cast<uint64_t>(getpid()) << 40) ^ static_cast<uint64_t>(t.tv_nsec) ^
                     (static_cast<uint64_t>(t.tv_sec) << 20) ^ (++names_drawn * 0x9E3779B97F4A7C15u);
        temp = std::string(path) + '.';
        for (size_t i = 0; i < SUFFIX; i++, x /= sizeof NAME_LETTERS - 1)
            temp += NAME_LETTERS[x % (sizeof NAME_LETTERS - 1)];
        if (sys_save_ops.link(fd, temp.c_str()) == 0)
            return true;
        if (errno != EEXIST)
            break;
    }
    temp.clear();
    return false;
}

// Writes the data into an unnamed file of the folder and names it temp:
// 1 done, 0 failed (nothing left behind), -1 when the system has no unnamed
// files or cannot name one (linkat refused, as in some sandboxes).
int write_unnamed(const std::string& folder, const char* path, const void* data, size_t len, std::string& temp)
{
    int fd = sys_save_ops.open_unnamed(folder.c_str());
    if (fd < 0)
        return -1;
    bool good = write_all(fd, data, len) && synced(fd);
    bool named = good && name_unnamed(fd, path, temp);
    good = close(fd) == 0 && good;
    if (good && named)
        return 1;
    if (!temp.empty())
        unlink(temp.c_str());
    temp.clear();
    return good ? -1 : 0;
}

// Writes the data into a fresh file path.XXXXXX, its name in temp: 1 done, 0 failed.
int write_named(const char* path, const void* data, size_t len, std::string& temp)
{
    temp = std::string(path) + ".XXXXXX";
    int fd = mkstemp(temp.data());  // O_CREAT | O_EXCL: a fresh file of our own
    if (fd < 0) {
        temp.clear();
        return 0;
    }
    bool good = write_all(fd, data, len) && synced(fd);
    return close(fd) == 0 && good ? 1 : 0;
}

}  // namespace

sys_save_calls sys_save_ops = SYSTEM_CALLS;

void sys_files_reset()
{
    sys_save_ops = SYSTEM_CALLS;
}

bool sys_save_file(const char* path, const void* data, size_t len)
{
#ifdef __EMSCRIPTEN__
    if (same_bytes(path, data, len))
        return true;  // the page saves every second: only changes reach the store
#endif
    const std::string folder = folder_of(path);
    remove_stale_temporaries(folder, path);
    std::string temp;
    int written = write_unnamed(folder, path, data, len, temp);
    if (written < 0)  // no unnamed files here, or no way to name one: a named temporary
        written = write_named(path, data, len, temp);
    if (written == 0 || sys_save_ops.rename(temp.c_str(), path) != 0) {
        if (!temp.empty())
            unlink(temp.c_str());
        return false;
    }
    sync_folder(folder);
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

std::vector<std::string> sys_list_folder(const char* folder, bool folders)
{
    std::vector<std::string> names;
    DIR* d = opendir(folder);
    if (!d)
        return names;
    while (dirent* e = readdir(d)) {
        if (strcmp(e->d_name, ".") == 0 || strcmp(e->d_name, "..") == 0)
            continue;
        std::string path = std::string(folder) + "/" + e->d_name;
        struct stat st;
        if (stat(path.c_str(), &st) == 0 && (folders ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode)))
            names.push_back(e->d_name);
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

int sys_read_small(const char* path, size_t most, std::string& out)
{
    out.clear();
    uint64_t len = 0;
    FILE* f = sys_open_regular(path, &len);
    if (!f)
        return 1;
    if (len > most) {
        fclose(f);
        return 2;
    }
    out.resize(static_cast<size_t>(len));
    size_t got = fread(&out[0], 1, out.size(), f);
    fclose(f);
    out.resize(got);
    return 0;
}
