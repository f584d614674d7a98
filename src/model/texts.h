// What the screens built on a picture draw on it and where: the game's
// screens draw from these tables, and so do the review pictures of the art
// (tools/gfxgen), whose tests hold the pictures' panels to them. Positions
// are top-left corners in the 320 x 240 frame; texts end with the mark '~'
// where the game's font needs it.
#pragma once
#include <cstdint>

// The main menu: five entries of the 16 x 16 font down from ENTRY_TOP, the
// highlight marks around the one chosen.
constexpr int MENU_ENTRIES = 5;
constexpr const char* MENU_TEXTS[MENU_ENTRIES] = {"RUN ZARN", "CONTINUE", "PASSWORD", "SETTINGS", "  EXIT"};
constexpr int32_t MENU_X = 96;
constexpr int32_t MENU_TOP = 100;
constexpr int32_t MENU_STEP = 24;
constexpr int32_t MENU_MARK_X = 64;
constexpr const char* MENU_MARK = ".          .";

// The settings screen: its title, then eight lines of the 8 x 8 font, the
// chosen one between two marks.
constexpr int32_t SETTINGS_TITLE_X = 96, SETTINGS_TITLE_Y = 112;
constexpr int SETTINGS_LINES = 8;
constexpr int32_t SETTINGS_X = 24;
constexpr int32_t SETTINGS_Y = 136;
constexpr int32_t SETTINGS_LINE_HEIGHT = 12;
constexpr int32_t SETTINGS_MARK_X = 12;  // two rows above the line's top
constexpr const char* SETTINGS_MARK = ".                                    .~";

// The controls screen: six lines (a control's joystick button, then its
// key's name), the way back, the mark and the line shown while capturing.
constexpr int32_t CONTROLS_TITLE_X = 96, CONTROLS_TITLE_Y = 112;
constexpr int CONTROLS_LINES = 6;
constexpr const char* CONTROL_LINE_FORMATS[CONTROLS_LINES] = {
    "    UP: %03d  %s~", "  DOWN: %03d  %s~", "  LEFT: %03d  %s~",
    " RIGHT: %03d  %s~", " PAUSE: %03d  %s~", "ACTION: %03d  %s~",
};
constexpr const char* CONTROLS_BACK = "  BACK TO SETTINGS~";
constexpr int32_t CONTROLS_X = 79;
constexpr int32_t CONTROLS_Y = 136;
constexpr int32_t CONTROLS_LINE_HEIGHT = 12;
constexpr int32_t CONTROLS_MARK_X = 63;
constexpr const char* CONTROLS_CAPTURE = "PRESS KEY OR BUTTON FOR THIS CONTROL!~";
constexpr int32_t CONTROLS_CAPTURE_X = 8, CONTROLS_CAPTURE_Y = 232;

// The credits roll: role headings (16 x 16) and people (8 x 8), a line every
// CREDITS_GAP rows, seen only from CREDITS_WINDOW_TOP down.
struct credit_line {
    bool heading;      // drawn with the 16 x 16 font, else the 8 x 8 one
    const char* text;  // ends with '~'
};
constexpr int CREDITS_LINES = 22;
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
constexpr credit_line CREDITS[CREDITS_LINES] = {
    {true, "CODE:~"},          {false, CODER},     {false, CODER2},   {true, "CHARACTER DESIGN:~"},
    {false, DESIGNER},         {true, "GRAPHICS:~"}, {false, ARTIST},  {false, DESIGNER},
    {false, ARTIST2},          {false, ARTIST3},   {true, "FONTS:~"}, {false, "unknown~"},
    {true, "MUSIC:~"},         {false, COMPOSER},  {false, SOUNDS},   {true, "SFX:~"},
    {false, SOUNDS},           {true, "LEVELS:~"}, {false, LEVELS},   {false, LEVELS2},
    {true, "PROJECT MANAGEMENT:~"}, {false, LEVELS},
};
constexpr int32_t CREDITS_GAP = 24;

// The ending: seven lines of the 8 x 8 font, each centred on x 164 from
// ENDING_TOP down (line 2 takes the number of levels), and the blinking
// "PRESS A BUTTON".
constexpr int ENDING_LINES = 7;
constexpr const char* ENDING_TEXTS[ENDING_LINES] = {
    "you have done it. your mission~", "is accomplished. all %d levels~",
    "are mastered and we hope it has~", "been a pleasure for you to guide~",
    "morrik and zarn on their task.~", "~", "thanks for playing zarn~",
};
constexpr int32_t ENDING_CENTRE = 164, ENDING_TOP = 128, ENDING_LINE_HEIGHT = 12;
constexpr const char* PRESS_TEXT = "PRESS A BUTTON";
constexpr int32_t ENDING_PRESS_X = 48, ENDING_PRESS_Y = 216;
