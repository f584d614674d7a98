// The level compiler: the input is a level source. A source it takes gives a
// 3840-byte level, and its own formatting of that source reads back to the
// same level.
#include "fuzz.h"

#include "levelsrc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size), error;
    levelsrc::level_source src;
    if (!levelsrc::parse(text, src, error)) {
        FUZZ_ASSERT(!error.empty());
        return 0;
    }
    std::vector<uint8_t> body = levelsrc::encode(src);
    FUZZ_ASSERT(body.size() == static_cast<size_t>(levelsrc::BODY_BYTES));
    levelsrc::level_source again;
    FUZZ_ASSERT(levelsrc::parse(levelsrc::format(src), again, error));
    FUZZ_ASSERT(levelsrc::encode(again) == body && again.solution == src.solution);
    return 0;
}
