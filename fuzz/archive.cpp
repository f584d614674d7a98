// The archive reader with decompression: the input is data/gfx.qva; every
// entry of its directory is loaded. No entry comes back larger than the limit.
#include "fuzz.h"
#include "res/qva.h"

#include <string>
#include <sys/stat.h>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz_scratch();
    mkdir("data", 0755);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz_write("data/gfx.qva", data, size);
    openArchives();
    for (uint32_t i = 0; i < qva_count[QVA_GFX]; i++) {
        std::string name = qva_header[QVA_GFX][i].name;
        size_t dot = name.rfind('.');
        if (dot == std::string::npos)
            continue;
        uint32_t len = 0;
        void* entry = loadQVAFile(QVA_GFX, name.substr(0, dot).c_str(), name.c_str() + dot + 1, &len);
        FUZZ_ASSERT(!entry || len <= QVA_MAX_ENTRY_BYTES);
        free(entry);
    }
    closeArchives();
    return 0;
}
