// Program entry of zarn and zarn-fixed: the restricted build differs only in
// the flag set here.
#include "app/game.h"
#include "core/state.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>

namespace {

// Where the player's sprite position and direction (5: a message screen)
// live, for the page's tests to read.
EM_JS(void, page_probe, (const int32_t* x, const int32_t* y, const int32_t* d), {
    Module["probe"] = { player: function() { return [HEAP32[x >> 2], HEAP32[y >> 2], HEAP32[d >> 2]]; } };
});

}  // namespace
#endif

int main(int argc, char** argv)
{
#ifdef ZARN_FIXED
    fixed_build = 1;
#else
    fixed_build = 0;
#endif
#ifdef __EMSCRIPTEN__
    page_probe(&px, &py, &dir);
#endif
    return zarn_main(argc, argv);
}
