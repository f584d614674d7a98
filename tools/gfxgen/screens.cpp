// Every screen the game builds from a picture, with the lines it draws on it
// at the places it draws them: the mock screens of the review show these, and
// the tests hold the pictures' panels to them.
#include <cstdio>
#include <cstring>

#include "art.h"
#include "model/texts.h"

namespace {

// Settings lines, one row of the list each, with the longest values shown.
const char* const SETTINGS_SAMPLES[SETTINGS_LINES] = {
    "MUSIC VOLUME:      100%", "SFX VOLUME:        080%",       "SET CONTROLS       PRESS ACTION",
    "SCREEN SETTINGS:   BOXED 1280 x 960", "SCALING SETTINGS:  BILINEAR AA", "SOUNDCHECK:        PUSHER DANCE",
    "RESET TO DEFAULT",    "APPLY AND EXIT",
};
// The controls' sample lines: the defaults, ACTION on right shift.
std::string control_line(int i)
{
    const int buttons[6] = {-1, -1, -1, -1, 1, 0};
    const char* keys[6] = {"up", "down", "left", "right", "space", "right shift"};
    char line[64];
    snprintf(line, sizeof line, CONTROL_LINE_FORMATS[i], buttons[i], keys[i]);
    return line;
}

// The roll with its first line at `top`; lines outside the window under the
// title are hidden by the game.
ScreenText credits(int top)
{
    ScreenText s{"credits", "title", {}, {}};
    for (int i = 0; i < CREDITS_LINES; i++) {
        int y = top + CREDITS_GAP * i;
        if (y >= 108 && y <= (CREDITS[i].heading ? 224 : 232))
            s.lines.push_back({CREDITS[i].heading ? 16 : 8, 8, y, CREDITS[i].text, true});
    }
    return s;
}

}  // namespace

std::vector<ScreenText> game_screens()
{
    std::vector<ScreenText> out;
    ScreenText menu{"menu", "title", {}, {}};
    for (int i = 0; i < MENU_ENTRIES; i++)
        menu.lines.push_back({16, MENU_X, MENU_TOP + MENU_STEP * i, MENU_TEXTS[i], true});
    menu.lines.push_back({16, MENU_MARK_X, MENU_TOP + MENU_STEP, MENU_MARK, true});
    menu.lines.push_back({8, 3, 223, "elcome to zarn 1.10, the arcade puzzle", false});  // on its strip
    out.push_back(menu);

    ScreenText settings{"settings", "title", {{16, SETTINGS_TITLE_X, SETTINGS_TITLE_Y, "SETTINGS", true}}, {}};
    for (int i = 0; i < SETTINGS_LINES; i++)
        settings.lines.push_back({8, SETTINGS_X, SETTINGS_Y + SETTINGS_LINE_HEIGHT * i, SETTINGS_SAMPLES[i], true});
    settings.lines.push_back({8, SETTINGS_MARK_X, SETTINGS_Y - 2 + SETTINGS_LINE_HEIGHT * 3, SETTINGS_MARK, true});
    out.push_back(settings);

    ScreenText controls{"controls", "title", {{16, CONTROLS_TITLE_X, CONTROLS_TITLE_Y, "CONTROLS", true}}, {}};
    for (int i = 0; i < CONTROLS_LINES; i++)
        controls.lines.push_back({8, CONTROLS_X, CONTROLS_Y + CONTROLS_LINE_HEIGHT * i, control_line(i), true});
    controls.lines.push_back({8, CONTROLS_X, CONTROLS_Y + CONTROLS_LINE_HEIGHT * 6, CONTROLS_BACK, true});
    controls.lines.push_back({8, CONTROLS_MARK_X, CONTROLS_Y - 2 + CONTROLS_LINE_HEIGHT * 5, ".~", true});
    controls.lines.push_back({8, CONTROLS_CAPTURE_X, CONTROLS_CAPTURE_Y, CONTROLS_CAPTURE, true});
    out.push_back(controls);

    out.push_back({"password",
                   "title",
                   {{16, 96, 128, "PASSWORD~", true},
                    {16, 128, 152, "KWTX", true},
                    {16, 128, 176, "    .", true},
                    {16, 160 - 8 * 8, 190, "LEVEL 12", true},
                    {8, 76, 210, "RETURNING TO MENU NOW~", true}},
                   {{108, 148}}});
    out.push_back({"new high score",
                   "title",
                   {{16, 64, 128, "NEW HIGHSCORE", true},
                    {16, 160 - 8 * 5, 152, "12345", true},
                    {16, 80, 176, "ENTER NAME", true},
                    {16, 112, 200, "MORRIK", true},
                    {16, 112, 216, "     . ", true}},
                   {{108, 196}}});
    ScreenText table{"high scores", "title", {{16, 80, 118, "HIGHSCORES", true}}, {}};
    const char* names[6] = {"ZARN", "MORRIK", "QUOR", "R.O.B", "VEGA", "ASTRA"};
    for (int i = 0; i < 6; i++) {
        char line[40];
        snprintf(line, sizeof line, "%02d %10d %.6s~", i + 1, 120000 - 19000 * i, names[i]);
        table.lines.push_back({8, 80, 140 + 12 * i, line, true});
    }
    out.push_back(table);
    out.push_back(credits(116));
    out.push_back(credits(116 - 24 * 16));

    ScreenText ending{"ending", "title", {}, {}};
    for (int i = 0; i < ENDING_LINES; i++) {
        char line[64];
        snprintf(line, sizeof line, ENDING_TEXTS[i], 48);
        ending.lines.push_back({8, ENDING_CENTRE - 4 * int(strlen(line)), ENDING_TOP + ENDING_LINE_HEIGHT * i, line,
                                true});
    }
    ending.lines.push_back({16, ENDING_PRESS_X, ENDING_PRESS_Y, PRESS_TEXT, true});
    out.push_back(ending);

    out.push_back({"level start",
                   "letsgo",
                   {{8, 4, 8, "PASSWORD~", true}, {8, 4, 20, "KWTX~", true}, {16, 48, 208, "PRESS A BUTTON", false}},
                   {}});
    out.push_back({"game over", "gameover", {{16, 2, 192, "CONTINUE~", true}, {8, 6, 216, "YES~", true}}, {}});
    out.push_back({"pause",
                   "paused",
                   {{8, 5, 8, "PASSWORD:~", true},
                    {8, 5, 20, "KWTX~", true},
                    {16, 2, 204, "MENU~", true},
                    {8, 2, 224, "MAIN MENU~", true}},
                   {}});
    out.push_back({"play",
                   "top",
                   {{8, 144, 6, "LEVEL   07~", true}, {8, 240, 6, "TIME  1234~", true}, {16, 224, 32, "01230~", true}},
                   {}});
    return out;
}

Box text_extent(const TextLine& line)
{
    std::string t = line.text.substr(0, line.text.find('~'));
    size_t first = t.find_first_not_of(' '), last = t.find_last_not_of(' ');
    if (first == std::string::npos)
        return {line.x, line.y, line.x - 1, line.y - 1};
    int shadow = line.size == 8 ? 1 : 0;
    return {line.x + line.size * int(first), line.y, line.x + line.size * int(last + 1) - 1 - shadow,
            line.y + line.size - 1 - shadow};
}
