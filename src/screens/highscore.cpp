// The high-score screens: a new score's place with the name-entry screen,
// and the table screen with the new place blinking.
#include "screens/highscore.h"

#include "config/input.h"
#include "core/highscores.h"
#include "core/state.h"
#include "res/assets.h"
#include "screens/frame.h"
#include "screens/scrolltext.h"
#include "screens/textentry.h"
#include "sys/clock.h"
#include "video/font.h"
#include "video/screen.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

const char hiscore_letters[38] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789";

namespace {

constexpr int NAME_LEN = HIGHSCORE_NAME_BYTES - 1;
constexpr int LETTER_COUNT = sizeof hiscore_letters - 1;
static_assert(LETTER_COUNT == 37, "26 capitals, a blank and ten digits");

constexpr uint32_t TABLE_MS = 30000;
constexpr int BLINK_FRAMES = 8;

// The name area: a click there picks a column, anywhere else ends the entry.
constexpr int AREA_LEFT = 115, AREA_RIGHT = 205, AREA_TOP = 160, AREA_BOTTOM = 192;
constexpr int COLUMN_WIDTH = 15;

constexpr const char* CURSOR_MARKS[NAME_LEN + 1] = {
    ".      ", " .     ", "  .    ", "   .   ", "    .  ", "     . ", "      .",
};

constexpr char BLANK_NAME[HIGHSCORE_NAME_BYTES] = "      ";

// Typed characters count in every frame, the input pause notwithstanding.
void type_key(text_entry& st)
{
    if (last_key == SDLK_BACKSPACE || last_key == SDLK_DELETE) {
        erase_left(st.text, NAME_LEN, st.cursor);
        return;
    }
    if (last_key < 0 || last_key > 254 || !isprint(last_key) || st.cursor >= NAME_LEN)
        return;
    char c = static_cast<char>(toupper(last_key));
    if (c != 0 && memchr(hiscore_letters, c, LETTER_COUNT))
        st.text[st.cursor++] = c;
}

void draw_entry(const text_entry& st, const char* digits)
{
    drawPic(screen, 0, 0, 320, 240, zarnmenu, 0, 0, 320, 240);
    drawPic(screen, 108, 196, 104, 24, scoreboard, 0, 0, 104, 24);
    put_text(screen, 64, 128, "NEW HIGHSCORE");
    put_text(screen, 160 - 8 * static_cast<int>(strlen(digits)), 152, digits);
    put_text(screen, 80, 176, "ENTER NAME");
    put_text(screen, 112, 200, st.text);
    strcpy(tmp_string, CURSOR_MARKS[st.cursor]);
    put_text(screen, 112, 216, tmp_string);
}

void draw_table(bool hide_new_place)
{
    drawPic(screen, 0, 0, 320, 240, zarnmenu, 0, 0, 320, 240);
    put_text(screen, 80, 118, "HIGHSCORES");
    for (int place = 1; place <= HIGHSCORE_PLACES; place++) {
        const char* name = high_names[place - 1];
        int32_t score = high_scores[place - 1];
        if (hide_new_place && place == got_highscore)
            snprintf(tmp_string, sizeof tmp_string, "   %10d %.6s~", score, name);
        else
            snprintf(tmp_string, sizeof tmp_string, "%02d %10d %.6s~", place, score, name);
        put_text1(screen, 80, 140 + 12 * (place - 1), tmp_string);
    }
    put_scrolltext();
}

}  // namespace

int32_t check_highscore(int32_t score)
{
    int32_t place = insert_highscore(score);
    if (place != 0)
        enter_highscore(place - 1);
    return place;
}

void enter_highscore(int index)
{
    if (index < 0 || index >= HIGHSCORE_PLACES)
        return;
    char digits[16];
    snprintf(digits, sizeof digits, "%d", high_scores[index]);
    text_entry st = {high_names[index], NAME_LEN, hiscore_letters, 0, 0};
    memcpy(st.text, BLANK_NAME, HIGHSCORE_NAME_BYTES);
    if (quit_zarn == 1)
        return;
    screen_frame frame("enter_highscore");
    for (;;) {
        last_key = -1;
        frame_input in = frame.read();
        int32_t ctrl = in.pressed, click_x = in.click_x, click_y = in.click_y;
        bool ending = (ctrl & CTRL_QUIT) != 0;
        bool clicked_again = false;
        if (click_x != -1 || click_y != -1) {
            if (click_x < AREA_LEFT || click_x > AREA_RIGHT || click_y < AREA_TOP || click_y > AREA_BOTTOM)
                return;  // the name stays as typed, blanks and all
            int column = (click_x - AREA_LEFT) / COLUMN_WIDTH;
            clicked_again = column == st.cursor;
            st.cursor = column;
        }
        if (ctrl & CTRL_ACTION) {
            if (memcmp(st.text, BLANK_NAME, HIGHSCORE_NAME_BYTES) == 0) {
                memset(st.text, 0, HIGHSCORE_NAME_BYTES);
                strncpy(st.text, score_names[rand() & 31], NAME_LEN);
            }
            return;
        }
        if (quit_zarn == 1)
            return;
        type_key(st);
        if (st.input_pause > 0)
            st.input_pause--;
        else
            step_held(st, in.held, clicked_again);
        draw_entry(st, digits);
        frame.show();
        if (ending)
            return;
    }
}

void show_highscores()
{
    if (quit_zarn == 1)
        return;
    uint32_t start = sys_ticks();
    int blink_frames = 0;
    bool blink = false;
    screen_frame frame("show_highscores");
    for (;;) {
        if (sys_ticks() - start >= TABLE_MS)
            break;
        int32_t ctrl = frame.read().pressed;
        if (quit_zarn == 1)
            break;
        draw_table(blink);
        scrolltext_step();
        frame.show();
        if (++blink_frames == BLINK_FRAMES) {
            blink_frames = 0;
            blink = !blink;
        }
        if (ctrl != 0)
            break;
    }
    got_highscore = 0;
}
