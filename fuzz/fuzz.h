// What the fuzz targets share: a scratch folder of their own to work in, and
// whole files written from an input.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

// Creates a fresh folder under $ZARN_FUZZ_DIR (scripts/fuzz.sh puts that in
// memory, where the saves' fsync costs nothing, and removes it afterwards;
// /tmp without it) and makes it the working folder. Called once, from
// LLVMFuzzerInitialize.
inline void fuzz_scratch()
{
    const char* base = getenv("ZARN_FUZZ_DIR");
    std::string dir = std::string(base && *base ? base : "/tmp") + "/zarn-fuzz-XXXXXX";
    if (!mkdtemp(dir.data()) || chdir(dir.c_str()) != 0)
        abort();
}

// Writes the input as the whole file path.
inline void fuzz_write(const char* path, const uint8_t* data, size_t size)
{
    FILE* f = fopen(path, "wb");
    if (!f || fwrite(data, 1, size, f) != size || fclose(f) != 0)
        abort();
}

// Ends the run as a finding when a property the game promises does not hold.
#define FUZZ_ASSERT(cond)                                                   \
    do {                                                                    \
        if (!(cond)) {                                                      \
            fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #cond); \
            abort();                                                        \
        }                                                                   \
    } while (0)
