// The credits roll: role headings and the people behind them scroll up over
// the lower part of the title picture, seen only below row 108.
#include "screens/credits.h"

#include "config/input.h"
#include "core/state.h"
#include "model/texts.h"
#include "res/assets.h"
#include "screens/frame.h"
#include "video/font.h"
#include "video/screen.h"

#include <cstdint>

namespace {

constexpr int32_t START_Y = 224;
constexpr int32_t END_Y = -466;    // the whole list is behind the top picture
constexpr int32_t WINDOW_TOP = 108;
constexpr int32_t SPEED = 2;       // pixels a frame
constexpr int32_t END_KEYS = CTRL_UP | CTRL_ACTION | CTRL_PAUSE;

void draw_lines(int32_t top)
{
    for (int i = 0; i < CREDITS_LINES; i++) {
        int y = top + i * CREDITS_GAP;
        if (CREDITS[i].heading)
            put_text(screen, 8, y, CREDITS[i].text);
        else
            put_text1(screen, 8, y, CREDITS[i].text);
    }
}

}  // namespace

void show_opensource()
{
    if (quit_zarn == 1)
        return;
    int32_t top = START_Y;
    screen_frame frame("show_opensource");
    for (;;) {
        int32_t c = frame.read().pressed;
        if (quit_zarn == 1)
            return;
        bool done = (c & END_KEYS) != 0;
        drawPic(screen, 0, WINDOW_TOP, 320, 240 - WINDOW_TOP, zarnmenu, 0, WINDOW_TOP, 320, 240 - WINDOW_TOP);
        draw_lines(top);
        top -= SPEED;
        // The top of the picture covers every line that has left the window.
        drawPic(screen, 0, 0, 320, WINDOW_TOP, zarnmenu, 0, 0, 320, WINDOW_TOP);
        frame.show();
        if (done || top <= END_Y)
            return;
    }
}
