// The game's controls as bits, and the record of one frame's input that
// every screen reads: what was pressed since the last frame, what is held
// now and where the pointer clicked. Plain numbers, so a frame's input can be
// kept, compared and played again without a display.
#pragma once
#include <cstdint>

// The bits of a control state (what was pressed, or what is held).
constexpr int32_t CTRL_UP = 0x001;      // up
constexpr int32_t CTRL_DOWN = 0x002;    // down
constexpr int32_t CTRL_LEFT = 0x004;    // left
constexpr int32_t CTRL_RIGHT = 0x008;   // right
constexpr int32_t CTRL_ACTION = 0x010;  // the action button
constexpr int32_t CTRL_PAUSE = 0x040;   // the pause button
constexpr int32_t CTRL_QUIT = 0x080;    // the window was closed
constexpr int32_t CTRL_WARP = 0x200;    // the level-warp chord is held
constexpr int32_t CTRL_HINT = 0x400;    // the hint key (H) or the hint button was pressed
constexpr int32_t CTRL_REPLAY = 0x800;  // the replay key (R) was pressed
constexpr int32_t CTRL_GHOST = 0x1000;  // the ghost key (G) was pressed
constexpr int32_t CTRL_CONFIRM = CTRL_ACTION | CTRL_PAUSE;  // menus confirm with either
constexpr int32_t CTRL_DIRECTIONS = CTRL_UP | CTRL_DOWN | CTRL_LEFT | CTRL_RIGHT;

// True when the directions among bits form a diagonal (a vertical and a horizontal one).
constexpr bool is_diagonal(int32_t bits)
{
    return (bits & (CTRL_UP | CTRL_DOWN)) && (bits & (CTRL_LEFT | CTRL_RIGHT));
}

// One frame's input.
struct frame_input {
    int32_t pressed = 0;     // CTRL_ bits pressed since the last frame (CTRL_QUIT: the window was closed)
    int32_t directions = 0;  // CTRL_UP..CTRL_RIGHT pressed since the last frame, let go or not
    int32_t held = 0;        // CTRL_ bits held now, diagonals suppressed, the warp chord included
    int32_t click_x = -1;    // a click in the 320 x 240 frame, -1 none
    int32_t click_y = -1;
    int32_t row = -1;        // on a screen with a list: the row clicked (1 the first), -1 none
    int32_t key = -1;        // the last key symbol pressed since the last frame, -1 none
    int32_t button = -1;     // the last joystick button pressed since the last frame, -1 none
};
