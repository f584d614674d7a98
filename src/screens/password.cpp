// The password screen: four letters typed, clicked or stepped with the
// directions; a level password picks the level the next game starts at, and
// five cheat words change the game instead.
#include "screens/password.h"

#include "config/input.h"
#include "core/state.h"
#include "res/assets.h"
#include "screens/frame.h"
#include "screens/packs.h"
#include "screens/textentry.h"
#include "sound/sound.h"
#include "video/font.h"
#include "video/screen.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int WORD_LEN = 4;
constexpr const char* LETTERS = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr uint32_t VERDICT_MS = 1000;

// The letter area: a click there picks a column, anywhere else confirms.
constexpr int AREA_LEFT = 130, AREA_RIGHT = 190, AREA_TOP = 160, AREA_BOTTOM = 192;
constexpr int COLUMN_WIDTH = 15;

constexpr const char* CURSOR_MARKS[WORD_LEN + 1] = {".    ", " .   ", "  .  ", "   . ", "    ."};

enum class verdict { none, level, not_valid, cheater, classic, warp, packs };

bool is_word(const char* word, const char* cheat)
{
    return strncmp(word, cheat, WORD_LEN + 1) == 0;
}

// Applies a cheat word or a level password; none when maxmap leaves no level
// to compare with.
verdict evaluate(const char* word)
{
    if (is_word(word, "KWYB")) {
        Player.bonus_lives = 3;
        return verdict::cheater;
    }
    if (is_word(word, "JOPH")) {
        Player.life_refund = 1;
        return verdict::cheater;
    }
    if (is_word(word, "FUZD")) {
        Player.time_bonus = 999;
        return verdict::cheater;
    }
    if (is_word(word, "VEGT")) {
        classic_mode = 1;
        play_music(9, -1);
        curr_map = 1;
        maxmap = 32;
        return verdict::classic;
    }
    if (is_word(word, "PACK"))
        return verdict::packs;
    if (is_word(word, "NIBQ")) {
        level_warp_activated = 1;
        return verdict::warp;
    }
    if (maxmap <= 0)
        return verdict::none;
    bool found = false;
    for (int32_t i = 1; i <= maxmap && i <= PW_COUNT; i++) {
        if (is_word(word, pw[i - 1])) {
            curr_map = i;
            found = true;
        }
    }
    return found ? verdict::level : verdict::not_valid;
}

void type_key(text_entry& st)
{
    if (last_key == -1)
        return;
    int key = last_key;
    if (key >= 'a' && key <= 'z')
        key -= 'a' - 'A';
    if (key >= 'A' && key <= 'Z' && st.cursor < WORD_LEN) {
        st.text[st.cursor++] = static_cast<char>(key);
        play_sfx(SFX_SELECT);
    } else if (key == SDLK_BACKSPACE || key == SDLK_DELETE) {
        erase_left(st.text, WORD_LEN, st.cursor);
    }
}

// The word in its frame, and the cursor under it while it is being typed.
void draw_entry(const text_entry& st, bool typing)
{
    drawPic(screen, 0, 0, 320, 240, theme_picture(PICTURE_TITLE), 0, 0, 320, 240);
    drawPic(screen, 108, 148, 104, 24, scoreboard, 0, 0, 104, 24);
    put_text(screen, 96, 128, "PASSWORD~");
    put_text(screen, 128, 152, st.text);
    strcpy(tmp_string, CURSOR_MARKS[st.cursor]);
    if (typing) {
        put_text(screen, 128, 176, tmp_string);
        put_text1(screen, 44, 200, "TYPE PACK FOR THE LEVEL PACKS~");
    }
}

void draw_verdict(verdict v)
{
    switch (v) {
    case verdict::level:
        snprintf(tmp_string, sizeof tmp_string, "LEVEL %d", curr_map);
        put_text(screen, 160 - 8 * static_cast<int>(strlen(tmp_string)), 190, tmp_string);
        return;
    case verdict::not_valid:
        put_text(screen, 88, 190, "NOT VALID");
        break;
    case verdict::cheater:
        put_text(screen, 96, 190, "CHEATER!~");
        break;
    case verdict::classic:
        put_text(screen, 64, 190, "INDEED VEGT!~");
        break;
    default:
        break;
    }
    put_text1(screen, 76, 210, "RETURNING TO MENU NOW~");
}

}  // namespace

void enter_pw()
{
    if (quit_zarn == 1)
        return;
    char word[WORD_LEN + 1] = "AAAA";
    text_entry st = {word, WORD_LEN, LETTERS, 0, 0};
    Player.bonus_lives = 0;
    Player.life_refund = 0;
    Player.time_bonus = 0;
    screen_frame frame("enter_pw");
    for (;;) {
        last_key = -1;
        frame_input in = frame.read();
        int32_t ctrl = in.pressed, click_x = in.click_x, click_y = in.click_y;
        bool ending = (ctrl & CTRL_QUIT) != 0;
        verdict v = verdict::none;
        bool clicked_again = false;
        if (click_x != -1 || click_y != -1) {
            if (click_x >= AREA_LEFT && click_x <= AREA_RIGHT && click_y >= AREA_TOP && click_y <= AREA_BOTTOM) {
                int column = (click_x - AREA_LEFT) / COLUMN_WIDTH;
                clicked_again = column == st.cursor;
                st.cursor = column;
            } else {
                v = evaluate(word);
            }
        }
        if ((ctrl & CTRL_ACTION) && v == verdict::none)
            v = evaluate(word);
        if (quit_zarn == 1)
            return;
        if (v == verdict::packs) {  // the packs screen; back here unless a pack's level was chosen
            if (choose_pack() || quit_zarn == 1)
                return;
            frame.pace_anew();
            v = verdict::none;
            st.input_pause = TEXT_INPUT_PAUSE;
        }
        if (st.input_pause > 0) {
            st.input_pause--;
        } else {
            type_key(st);
            step_held(st, in.held, clicked_again);
        }
        draw_entry(st, v == verdict::none);
        if (v != verdict::none) {
            draw_verdict(v);
            frame.show();
            wait_unless_quit(VERDICT_MS);
            return;
        }
        frame.show();
        if (ending)
            return;
    }
}
