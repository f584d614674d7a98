#include "screens/pause.h"

#include "config/input.h"
#include "core/state.h"
#include "res/assets.h"
#include "screens/frame.h"
#include "video/font.h"
#include "video/screen.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int32_t RESUME = 1, RESTART = 2, MAIN_MENU = 3;
constexpr const char* CHOICE_TEXT[4] = {"", "RESUME~", "RESTART~", "MAIN MENU~"};
constexpr int32_t CHOICE_X = 2, CHOICE_Y = 224;  // the current choice, in the 8 x 8 font
constexpr int32_t GLYPH = 8;

// True when (x, y) lies on the drawn choice c (its glyphs, the mark not drawn).
bool on_choice(int32_t c, int32_t x, int32_t y)
{
    int32_t width = GLYPH * static_cast<int32_t>(strlen(CHOICE_TEXT[c]) - 1);
    return x >= CHOICE_X && x < CHOICE_X + width && y >= CHOICE_Y && y < CHOICE_Y + GLYPH;
}

// Left and right from the choice c; "RESTART~" is out of reach with one life
// or none.
int32_t steer_choice(int32_t c, int32_t ctrl)
{
    bool several = Player.lives > 1;
    bool left = ctrl & CTRL_LEFT, right = ctrl & CTRL_RIGHT;
    if (left) {
        if (c == RESUME)
            return right ? RESUME : MAIN_MENU;
        if (c == MAIN_MENU)
            return right ? MAIN_MENU : several ? RESTART : RESUME;
        return right ? (several ? RESTART : MAIN_MENU) : RESUME;
    }
    if (right) {
        int32_t next = c + 1;
        if (next == RESTART && !several)
            next = MAIN_MENU;
        return next > MAIN_MENU ? RESUME : next;
    }
    return c;
}

void draw_pause(int32_t choice)
{
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
    if (paused)
        drawPic(screen, 0, 0, 320, 240, paused, 0, 0, 320, 240);
    if (curr_map >= 1 && curr_map <= PW_COUNT) {
        put_text1(screen, 5, 8, "PASSWORD:~");
        snprintf(tmp_string, sizeof tmp_string, "%s~", pw[curr_map - 1]);
        put_text1(screen, 5, 20, tmp_string);
    }
    put_text(screen, 2, 204, "MENU~");
    put_text1(screen, CHOICE_X, CHOICE_Y, CHOICE_TEXT[choice]);
}

}  // namespace

// Only the current choice is shown: a click on it confirms it, a click
// anywhere else does nothing.
int32_t pause()
{
    int32_t choice = RESUME;
    if (quit_zarn == 1)
        return choice;
    bool leave = false;
    screen_frame frame("pause");
    for (;;) {
        frame_input in = frame.read();
        int32_t ctrl = in.pressed;
        bool clicked = in.click_x != -1 && on_choice(choice, in.click_x, in.click_y);
        if (clicked)
            leave = true;  // the clicked choice is the one taken
        else
            choice = steer_choice(choice, ctrl);
        if (ctrl & CTRL_CONFIRM)
            leave = true;
        if (quit_zarn == 1)
            return choice;
        draw_pause(choice);
        frame.show();
        if (leave)
            return choice;
    }
}
