#include "screens/levelselect.h"

#include "config/input.h"
#include "core/state.h"
#include "video/font.h"
#include "video/fps.h"
#include "video/screen.h"

#include <cstdio>

void select_level()
{
    if (quit_zarn == 1)
        return;
    int32_t shown = curr_map;
    initFPS();
    for (;;) {
        int32_t ctrl = check_controls(nullptr, nullptr, 0, 0, 0, nullptr);
        if (ctrl & CTRL_QUIT) {
            quit_zarn = 1;
            return;
        }
        bool end = (ctrl & CTRL_ACTION) != 0;
        int32_t held = get_controls();
        SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
        put_text(screen, 10, 10, "SELECT");
        curr_map = shown;  // the level chosen is the one shown in the last frame
        snprintf(tmp_string, sizeof tmp_string, "LEVEL: %d", curr_map);
        put_text(screen, 10, 26, tmp_string);
        if (held & CTRL_UP)
            shown = shown >= maxmap ? 1 : shown + 1;
        else if (held & CTRL_DOWN)
            shown = shown <= 1 ? maxmap : shown - 1;
        GFX_Flip(screen);
        controlFPS();
        if (end)
            return;
    }
}
