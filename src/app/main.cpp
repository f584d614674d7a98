// Program entry of zarn and zarn-fixed: the restricted build differs only in
// the flag set here.
#include "app/game.h"
#include "core/state.h"

#ifdef __EMSCRIPTEN__
#include "screens/frame.h"

#include <emscripten.h>

EMSCRIPTEN_KEEPALIVE const char* page_running_screen()
{
    return running_screen();
}

namespace {

// Where the player's sprite stands and which screen runs, for the page's
// tests to read.
EM_JS(void, page_probe, (const int32_t* x, const int32_t* y), {
    Module["probe"] = {
        player: function() { return [HEAP32[x >> 2], HEAP32[y >> 2]]; },
        screen: function() { return UTF8ToString(Module["_page_running_screen"]()); }
    };
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
    page_probe(&px, &py);
#endif
    return zarn_main(argc, argv);
}
