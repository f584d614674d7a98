// The credits roll: role headings and the people behind them scroll up over
// the lower part of the title picture, seen only below row 108.
#include "screens/credits.h"

#include "config/input.h"
#include "core/state.h"
#include "res/assets.h"
#include "screens/frame.h"
#include "video/font.h"
#include "video/screen.h"

#include <array>
#include <cstdint>

namespace {

struct credit_line {
    bool heading;      // drawn with the 16 x 16 font, else the 8 x 8 one
    const char* text;  // ends with '~'
};

// Ten people, some in several roles.
constexpr const char* CODER = "orla -bytewren- quillfeather~";
constexpr const char* CODER2 = "dorin -nullspoon- havelmoss~";
constexpr const char* DESIGNER = "mirela -inkfrog- tannenbury~";
constexpr const char* ARTIST = "caspar -dithers- wollenkamp~";
constexpr const char* ARTIST2 = "yusra -tilewick- faraldine~";
constexpr const char* ARTIST3 = "bram -lowpoly- oddenstrand~";
constexpr const char* COMPOSER = "fenna -chiptoad- marrowby~";
constexpr const char* SOUNDS = "odile -squarewave- pennifold~";
constexpr const char* LEVELS = "kasimir -mazebird- ulvenhoek~";
constexpr const char* LEVELS2 = "petra -holefinder- grindlesnap~";

constexpr std::array<credit_line, 22> LINES = {{
    {true, "CODE:~"},
    {false, CODER},
    {false, CODER2},
    {true, "CHARACTER DESIGN:~"},
    {false, DESIGNER},
    {true, "GRAPHICS:~"},
    {false, ARTIST},
    {false, DESIGNER},
    {false, ARTIST2},
    {false, ARTIST3},
    {true, "FONTS:~"},
    {false, "unknown~"},
    {true, "MUSIC:~"},
    {false, COMPOSER},
    {false, SOUNDS},
    {true, "SFX:~"},
    {false, SOUNDS},
    {true, "LEVELS:~"},
    {false, LEVELS},
    {false, LEVELS2},
    {true, "PROJECT MANAGEMENT:~"},
    {false, LEVELS},
}};
static_assert(LINES.size() == 22, "the roll has 22 lines");

constexpr int32_t LINE_GAP = 24;
constexpr int32_t START_Y = 224;
constexpr int32_t END_Y = -466;    // the whole list is behind the top picture
constexpr int32_t WINDOW_TOP = 108;
constexpr int32_t SPEED = 2;       // pixels a frame
constexpr int32_t END_KEYS = CTRL_UP | CTRL_ACTION | CTRL_PAUSE;

void draw_lines(int32_t top)
{
    for (size_t i = 0; i < LINES.size(); i++) {
        int y = top + static_cast<int>(i) * LINE_GAP;
        if (LINES[i].heading)
            put_text(screen, 8, y, LINES[i].text);
        else
            put_text1(screen, 8, y, LINES[i].text);
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
