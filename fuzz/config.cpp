// The configuration file: the input is zarn.cfg. Every value lands in its
// range, the file written back has its 29 lines whatever was read (no line
// break smuggled in), and from the second writing on the file stays the same
// (the defaults of the effect delays lie outside their ranges, so the first
// reading back moves them in).
#include "fuzz.h"

#include "config/config.h"
#include "config/input.h"
#include "res/assets.h"
#include "video/screen.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

std::string written()
{
    std::ifstream in("zarn.cfg", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz_scratch();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    config_reset();
    input_reset();
    assets_reset();
    screen_reset();
    fuzz_write("zarn.cfg", data, size);
    loadGfxConfig();
    loadConfig();
    FUZZ_ASSERT(gfx_scheme >= 0 && gfx_scheme < THEME_COUNT);
    FUZZ_ASSERT(music_volume >= 0 && music_volume <= 100 && sound_volume >= 0 && sound_volume <= 100);
    FUZZ_ASSERT(zoom >= 0 && zoom <= 5 && (double_scale == 0 || zoom != 0));
    dumpConfig();
    std::string first = written();
    FUZZ_ASSERT(std::count(first.begin(), first.end(), '\n') == 29);
    loadGfxConfig();
    loadConfig();
    dumpConfig();
    std::string second = written();
    loadGfxConfig();
    loadConfig();
    dumpConfig();
    FUZZ_ASSERT(written() == second);
    return 0;
}
