// The table of six high scores: its file zarn.hi, the insertion of a new
// score with the name-entry screen, and the table screen with the new place
// blinking.
#include "screens/highscore.h"

#include "config/config.h"
#include "config/input.h"
#include "core/clock.h"
#include "core/state.h"
#include "res/assets.h"
#include "res/qva.h"
#include "screens/menu.h"
#include "screens/textentry.h"
#include "sound/sound.h"
#include "video/font.h"
#include "video/fps.h"
#include "video/screen.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int32_t high_scores[HIGHSCORE_PLACES];
char high_names[HIGHSCORE_PLACES][HIGHSCORE_NAME_BYTES];
const char hiscore_letters[38] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789";

// 21 names, the first 11 repeated at the end.
const char* const score_names[32] = {
    "ZARN", "MORRIK", "QUOR", "NOVA", "PIXEL", "ORBIT", "COMET", "R.O.B", "VEGA", "ASTRA", "LUNA",
    "TILE", "MINER", "KOSMO", "ZAP", "BLIP", "RADAR", "FLUX", "ION", "JUNO", "ATOM",
    "ZARN", "MORRIK", "QUOR", "NOVA", "PIXEL", "ORBIT", "COMET", "R.O.B", "VEGA", "ASTRA", "LUNA",
};

void fill_default_highscores()
{
    for (int i = 0; i < HIGHSCORE_PLACES; i++) {
        int score_draw = rand();
        int name_draw = rand();
        high_scores[i] = (600 - 100 * i) - ((score_draw & 63) + 31);
        memset(high_names[i], 0, HIGHSCORE_NAME_BYTES);
        strncpy(high_names[i], score_names[name_draw & 31], HIGHSCORE_NAME_BYTES - 1);
    }
}

namespace {

constexpr int SCORE_BYTES = 4 * HIGHSCORE_PLACES;
constexpr int NAME_LEN = HIGHSCORE_NAME_BYTES - 1;
static_assert(SCORE_BYTES + HIGHSCORE_PLACES * HIGHSCORE_NAME_BYTES == HIGHSCORE_FILE_BYTES,
              "the file holds the scores and the name slots, nothing else");
constexpr int LETTER_COUNT = sizeof hiscore_letters - 1;
static_assert(LETTER_COUNT == 37, "26 capitals, a blank and ten digits");

constexpr int INPUT_PAUSE = 5;
constexpr uint32_t TABLE_MS = 30000;
constexpr int BLINK_FRAMES = 8;

// The name area: a click there picks a column, anywhere else ends the entry.
constexpr int AREA_LEFT = 115, AREA_RIGHT = 205, AREA_TOP = 160, AREA_BOTTOM = 192;
constexpr int COLUMN_WIDTH = 15;

constexpr const char* CURSOR_MARKS[NAME_LEN + 1] = {
    ".      ", " .     ", "  .    ", "   .   ", "    .  ", "     . ", "      .",
};

constexpr char BLANK_NAME[HIGHSCORE_NAME_BYTES] = "      ";

// The file name, kept apart from fname_buf, which the next filename() reuses.
void highscore_path(char* out, size_t size)
{
    snprintf(out, size, "%s", filename(configFolder, "zarn", "hi"));
}

// Scores are little-endian, read and written byte by byte.
void encode_table(uint8_t* out)
{
    for (int i = 0; i < HIGHSCORE_PLACES; i++) {
        uint32_t v = static_cast<uint32_t>(high_scores[i]);
        for (int b = 0; b < 4; b++)
            out[4 * i + b] = static_cast<uint8_t>(v >> (8 * b));
    }
    memcpy(out + SCORE_BYTES, high_names, sizeof high_names);
}

void decode_table(const uint8_t* in)
{
    for (int i = 0; i < HIGHSCORE_PLACES; i++) {
        uint32_t v = 0;
        for (int b = 0; b < 4; b++)
            v |= static_cast<uint32_t>(in[4 * i + b]) << (8 * b);
        high_scores[i] = static_cast<int32_t>(v);
    }
    memcpy(high_names, in + SCORE_BYTES, sizeof high_names);
    // A slot without its zero byte would run into the next one: cut it at six.
    for (auto& slot : high_names)
        if (!memchr(slot, 0, HIGHSCORE_NAME_BYTES))
            slot[NAME_LEN] = 0;
}

struct name_entry {
    char* name;       // the slot being filled
    int cursor;       // 0..5 under a character, 6 past the last one
    int input_pause;  // frames left in which held controls are ignored
};

int letter_index(char c)
{
    const void* at = memchr(hiscore_letters, c, LETTER_COUNT);
    return at ? static_cast<int>(static_cast<const char*>(at) - hiscore_letters) : 0;
}

// Typed characters count in every frame, the input pause notwithstanding.
void type_key(name_entry& st)
{
    if (last_key == SDLK_BACKSPACE || last_key == SDLK_DELETE) {
        erase_left(st.name, NAME_LEN, st.cursor);
        return;
    }
    if (last_key < 0 || last_key > 254 || !isprint(last_key) || st.cursor >= NAME_LEN)
        return;
    char c = static_cast<char>(toupper(last_key));
    if (c != 0 && memchr(hiscore_letters, c, LETTER_COUNT))
        st.name[st.cursor++] = c;
}

void step_held(name_entry& st, int32_t held, bool clicked_again)
{
    bool on_char = st.cursor < NAME_LEN;
    char* c = st.name + st.cursor;
    if ((held & CTRL_UP) && on_char)
        *c = hiscore_letters[(letter_index(*c) + LETTER_COUNT - 1) % LETTER_COUNT];
    else if (((held & CTRL_DOWN) || clicked_again) && on_char)
        *c = hiscore_letters[(letter_index(*c) + 1) % LETTER_COUNT];
    else if (held & CTRL_LEFT)
        st.cursor = st.cursor > 0 ? st.cursor - 1 : 0;
    else if (held & CTRL_RIGHT)
        st.cursor = st.cursor < NAME_LEN ? st.cursor + 1 : NAME_LEN;
    else
        return;
    play_sfx(SFX_SELECT);
    st.input_pause = INPUT_PAUSE;
}

void draw_entry(const name_entry& st, const char* digits)
{
    drawPic(screen, 0, 0, 320, 240, zarnmenu, 0, 0, 320, 240);
    drawPic(screen, 108, 196, 104, 24, scoreboard, 0, 0, 104, 24);
    put_text(screen, 64, 128, "NEW HIGHSCORE");
    put_text(screen, 160 - 8 * static_cast<int>(strlen(digits)), 152, digits);
    put_text(screen, 80, 176, "ENTER NAME");
    put_text(screen, 112, 200, st.name);
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

void read_highscores()
{
    uint32_t size = 0;
    void* data = loadBINFile(filename(configFolder, "zarn", "hi"), &size);
    if (data && size == HIGHSCORE_FILE_BYTES)
        decode_table(static_cast<const uint8_t*>(data));
    free(data);
}

// Writes a temporary file beside the table and renames it over the old one,
// so a failed or interrupted write leaves the previous file in place.
void write_highscores()
{
    char path[sizeof fname_buf];
    char temp[sizeof fname_buf + 8];
    highscore_path(path, sizeof path);
    snprintf(temp, sizeof temp, "%s.tmp", path);
    uint8_t bytes[HIGHSCORE_FILE_BYTES];
    encode_table(bytes);
    FILE* out = fopen(temp, "wb");
    if (!out)
        return;
    bool written = fwrite(bytes, 1, sizeof bytes, out) == sizeof bytes;
    written = fflush(out) == 0 && written;
    written = fclose(out) == 0 && written;
    if (!written || rename(temp, path) != 0)
        remove(temp);
}

void remove_highscores()
{
    remove(filename(configFolder, "zarn", "hi"));
}

int32_t check_highscore(int32_t score)
{
    int place = 0;
    for (int i = 0; i < HIGHSCORE_PLACES && place == 0; i++)
        if (high_scores[i] < score)
            place = i + 1;
    if (place == 0)
        return 0;
    for (int i = HIGHSCORE_PLACES - 1; i >= place; i--) {
        high_scores[i] = high_scores[i - 1];
        memcpy(high_names[i], high_names[i - 1], HIGHSCORE_NAME_BYTES);
    }
    high_scores[place - 1] = score;
    enter_highscore(place - 1);
    return place;
}

void enter_highscore(int index)
{
    if (index < 0 || index >= HIGHSCORE_PLACES)
        return;
    char digits[16];
    snprintf(digits, sizeof digits, "%d", high_scores[index]);
    name_entry st = {high_names[index], 0, 0};
    memcpy(st.name, BLANK_NAME, HIGHSCORE_NAME_BYTES);
    initFPS();
    for (;;) {
        int32_t click_x = -1, click_y = -1;
        last_key = -1;
        int32_t ctrl = check_controls(&click_x, &click_y, 0, 0, 0, nullptr);
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
            if (memcmp(st.name, BLANK_NAME, HIGHSCORE_NAME_BYTES) == 0) {
                memset(st.name, 0, HIGHSCORE_NAME_BYTES);
                strncpy(st.name, score_names[rand() & 31], NAME_LEN);
            }
            return;
        }
        if (quit_zarn == 1)
            return;
        int32_t held = get_controls();
        type_key(st);
        if (st.input_pause > 0)
            st.input_pause--;
        else
            step_held(st, held, clicked_again);
        draw_entry(st, digits);
        GFX_Flip(screen);
        controlFPS();
        if (ending)
            return;
    }
}

void show_highscores()
{
    uint32_t start = sys_ticks();
    int frame = 0;
    bool blink = false;
    initFPS();
    for (;;) {
        if (sys_ticks() - start >= TABLE_MS)
            break;
        int32_t ctrl = check_controls(nullptr, nullptr, 0, 0, 0, nullptr);
        draw_table(blink);
        GFX_Flip(screen);
        controlFPS();
        if (++frame == BLINK_FRAMES) {
            frame = 0;
            blink = !blink;
        }
        if (ctrl != 0)
            break;
    }
    got_highscore = 0;
}
