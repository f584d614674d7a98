#include "screens/levelselect.h"

#include "config/input.h"
#include "core/state.h"
#include "screens/frame.h"
#include "video/font.h"
#include "video/screen.h"

#include <cstdio>

void select_level()
{
    if (quit_zarn == 1)
        return;
    int32_t shown = curr_map;
    screen_frame frame("select_level");
    for (;;) {
        frame_input in = frame.read();
        if (quit_zarn == 1)
            return;
        bool end = (in.pressed & CTRL_ACTION) != 0;
        int32_t held = in.held;
        SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
        put_text(screen, 10, 10, "SELECT");
        curr_map = shown;  // the level chosen is the one shown in the last frame
        snprintf(tmp_string, sizeof tmp_string, "LEVEL: %d", curr_map);
        put_text(screen, 10, 26, tmp_string);
        if (held & CTRL_UP)
            shown = shown >= maxmap ? 1 : shown + 1;
        else if (held & CTRL_DOWN)
            shown = shown <= 1 ? maxmap : shown - 1;
        frame.show();
        if (end)
            return;
    }
}
