// Saving a whole file so that a crash, a full disk or a planted link never
// leaves anything but the old file or the new one in its place.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Writes len bytes to path: into a fresh unnamed file in the same folder where
// the system offers one (else a temporary NAME.XXXXXX created exclusively,
// never following a link), synced, given a fresh name and renamed over path,
// and the folder synced. A process killed meanwhile leaves no file behind
// (or, without unnamed files, a temporary that a later save of the same file
// removes once it is a minute old). False, with path left as it was and no
// temporary file left behind, when any step fails.
bool sys_save_file(const char* path, const void* data, size_t len);

// The system calls sys_save_file makes, in the order it makes them; a test
// may point them elsewhere to watch that order or make a step fail.
struct sys_save_calls {
    int (*open_unnamed)(const char* folder);   // an unnamed file to write in folder, or -1
    int (*sync)(int fd);                       // fsync of the file, then of its folder
    int (*link)(int fd, const char* path);     // names the unnamed file fd
    int (*rename)(const char* from, const char* to);
};
extern sys_save_calls sys_save_ops;  // the system's own calls unless a test replaced them
// Puts the system's own calls back into sys_save_ops.
void sys_files_reset();
// Makes folder and every missing folder above it with mode 0700, leaving the
// ones that exist as they are. True when folder is a folder afterwards; false
// with errno set otherwise.
bool sys_make_folder(const char* folder);
// Opens path for reading only when it is a regular file: a folder, a FIFO or
// a device is refused without blocking and without reading. Stores the
// file's length in *len_out. Null when path is missing or not a regular file.
FILE* sys_open_regular(const char* path, uint64_t* len_out);
// The names in folder (without "." and ".."), sorted: its subfolders when
// folders is true, else its regular files. Empty when it cannot be read.
std::vector<std::string> sys_list_folder(const char* folder, bool folders);
// Reads a whole regular file of at most most bytes into out. 0 done, 1 not
// there or not a regular file, 2 larger than most (out then stays empty).
int sys_read_small(const char* path, size_t most, std::string& out);
