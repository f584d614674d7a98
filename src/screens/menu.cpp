// The main menu: five entries, a highlight, the theme switch on "RUN ZARN",
// the 30-second attract (the high-score table and a demonstration by turns),
// and the bouncing scroll text along the bottom.
#include "screens/menu.h"

#include "config/config.h"
#include "config/input.h"
#include "screens/frame.h"
#include "sys/clock.h"
#include "core/packs.h"
#include "core/state.h"
#include "model/texts.h"
#include "res/assets.h"
#include "screens/demo.h"
#include "screens/highscore.h"
#include "screens/password.h"
#include "screens/scrolltext.h"
#include "screens/settings.h"
#include "video/font.h"
#include "video/screen.h"

#include <cstring>

namespace {

constexpr int ENTRY_COUNT = MENU_ENTRIES;
constexpr int ENTRY_TOP = MENU_TOP;
constexpr int ENTRY_STEP = MENU_STEP;
constexpr int LIST_HEIGHT = 120;
constexpr uint32_t IDLE_MS = 30000;

enum : int { ENTRY_RUN = 1, ENTRY_CONTINUE, ENTRY_PASSWORD, ENTRY_SETTINGS, ENTRY_EXIT };

// What confirming an entry asks of the menu loop.
enum class outcome { stay, leave, quit };

// Runs the action of entry 1..5. Sub-screens restart the idle timer.
outcome confirm_entry(int entry, uint32_t& idle_start)
{
    switch (entry) {
    case ENTRY_RUN:
        return outcome::leave;
    case ENTRY_CONTINUE:
        check_lastpw();
        return outcome::leave;
    case ENTRY_PASSWORD:
        enter_pw();
        idle_start = sys_ticks();
        return playing == PLAYING_PACK ? outcome::leave : outcome::stay;  // a pack's level was chosen
    case ENTRY_SETTINGS:
        settings();
        idle_start = sys_ticks();
        return outcome::stay;
    default:
        quit_zarn = 1;
        return outcome::quit;
    }
}

// Up and down on highlight h; pressed together they cancel out, on every entry.
int move_highlight(int h, int32_t ctrl)
{
    if (ctrl & CTRL_UP) {
        h--;
        if (h < 1 && !(ctrl & CTRL_DOWN))
            h = ENTRY_COUNT;
    }
    if (ctrl & CTRL_DOWN) {
        h++;
        if (h > ENTRY_COUNT)
            h = 1;
    }
    return h;
}

// Left picks the previous theme, right the next; each reloads the images.
void change_theme(int32_t ctrl)
{
    if (ctrl & CTRL_LEFT) {
        gfx_scheme = gfx_scheme == 0 ? THEME_COUNT - 1 : gfx_scheme - 1;
        load_newtheme();
    }
    if (ctrl & CTRL_RIGHT) {
        gfx_scheme = gfx_scheme >= THEME_COUNT - 1 ? 0 : gfx_scheme + 1;
        load_newtheme();
    }
}

void draw_menu(int h)
{
    drawPic(screen, 0, 0, 320, 240, theme_picture(PICTURE_TITLE), 0, 0, 320, 240);
    for (int i = 0; i < ENTRY_COUNT; i++)
        put_text(screen, MENU_X, ENTRY_TOP + ENTRY_STEP * i, MENU_TEXTS[i]);
    put_text(screen, MENU_MARK_X, ENTRY_TOP + ENTRY_STEP * (h - 1), MENU_MARK);
    put_scrolltext();
}

}  // namespace

void menu()
{
    if (quit_zarn == 1)
        return;
    playing_sets();  // a pack's game has ended
    int h = ENTRY_RUN;
    uint32_t idle_start = sys_ticks();
    bool demo_next = false;  // the idle attract shows the table, then a demo, by turns
    screen_frame frame("menu");
    for (;;) {
        if (sys_ticks() - idle_start > IDLE_MS || got_highscore != 0) {
            bool demo = demo_next && got_highscore == 0;  // a new high score is shown at once
            demo_next = !demo;
            if (demo)
                play_demo();
            else
                show_highscores();
            idle_start = sys_ticks();
            if (quit_zarn == 1)
                return;
        }
        frame_input in = frame.read(ENTRY_TOP, LIST_HEIGHT, ENTRY_STEP);
        int32_t ctrl = in.pressed, selection = in.row;
        outcome result = outcome::stay;
        if (selection >= 1 && selection <= ENTRY_COUNT) {
            if (selection != h)
                h = selection;
            else if (h != ENTRY_EXIT)  // a second click confirms, but never "EXIT"
                result = confirm_entry(h, idle_start);
            if (quit_zarn == 1)
                return;
        }
        h = move_highlight(h, ctrl);
        if (h == ENTRY_RUN)
            change_theme(ctrl);
        if (ctrl & CTRL_CONFIRM) {
            outcome keyed = confirm_entry(h, idle_start);
            if (keyed != outcome::stay)
                result = keyed;
        }
        if (result == outcome::quit || quit_zarn == 1)
            return;
        draw_menu(h);
        scrolltext_step();
        frame.show();
        if (result == outcome::leave)
            return;
    }
}

void check_lastpw()
{
    for (int32_t i = 1; i <= maxmap && i <= PW_COUNT; i++)
        if (strncmp(last_pw, pw[i - 1], sizeof last_pw) == 0)
            curr_map = i;
}
