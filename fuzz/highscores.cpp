// The high-score file: the input is zarn.hi. A table read from it, with a new
// score put in, is written and read back unchanged.
#include "fuzz.h"

#include "core/highscores.h"

#include <cstring>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz_scratch();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fill_default_highscores();
    fuzz_write("zarn.hi", data, size);
    read_highscores();
    int32_t place = insert_highscore(size > 4 ? static_cast<int32_t>(data[0] | data[1] << 8) : 1000);
    FUZZ_ASSERT(place >= 0 && place <= HIGHSCORE_PLACES);
    int32_t scores[HIGHSCORE_PLACES];
    char names[HIGHSCORE_PLACES][HIGHSCORE_NAME_BYTES];
    memcpy(scores, high_scores, sizeof scores);
    memcpy(names, high_names, sizeof names);
    write_highscores();
    fill_default_highscores();
    read_highscores();
    FUZZ_ASSERT(memcmp(scores, high_scores, sizeof scores) == 0 && memcmp(names, high_names, sizeof names) == 0);
    for (const auto& name : high_names)
        FUZZ_ASSERT(memchr(name, 0, HIGHSCORE_NAME_BYTES) != nullptr);
    return 0;
}
