// Saving a whole file so that a crash, a full disk or a planted link never
// leaves anything but the old file or the new one in its place.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

// Writes len bytes to path: into a fresh temporary file created exclusively in
// the same folder (never following a link, never reusing a name), flushed and
// synced, renamed over path, and the folder synced. False, with path left as
// it was and no temporary file left behind, when any step fails.
bool sys_save_file(const char* path, const void* data, size_t len);
// Makes folder and every missing folder above it with mode 0700, leaving the
// ones that exist as they are. True when folder is a folder afterwards; false
// with errno set otherwise.
bool sys_make_folder(const char* folder);
// Opens path for reading only when it is a regular file: a folder, a FIFO or
// a device is refused without blocking and without reading. Stores the
// file's length in *len_out. Null when path is missing or not a regular file.
FILE* sys_open_regular(const char* path, uint64_t* len_out);
