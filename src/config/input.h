// Input: the six controls bound to keys and joystick buttons, read as events
// (presses since the last call) or as state (what is held now).
#pragma once
#include "model/controls.h"

#include <SDL.h>
#include <cstdint>

// Control indices of the binding tables.
enum : int { CONTROL_UP, CONTROL_DOWN, CONTROL_LEFT, CONTROL_RIGHT, CONTROL_PAUSE, CONTROL_ACTION };
constexpr int CONTROL_COUNT = 6;  // the controls a player can bind

extern int32_t key_buttons[8];         // key symbol per control
extern int32_t joy_buttons[8];         // joystick button per control, -1 none
extern SDL_Joystick* joystick;         // the first joystick, or null
extern int32_t last_key;               // last key-down symbol seen, -1 none
extern int32_t last_key_mod;           // the modifiers (KMOD_ bits) held at that key-down
extern int32_t last_button;            // last joystick button-down seen, -1 none
extern int32_t DEFAULT_UP_BUTTON;      // default joystick button of UP, -1 none
extern int32_t DEFAULT_DOWN_BUTTON;    // of DOWN
extern int32_t DEFAULT_LEFT_BUTTON;    // of LEFT
extern int32_t DEFAULT_RIGHT_BUTTON;   // of RIGHT
extern int32_t DEFAULT_PAUSE_BUTTON;   // of PAUSE
extern int32_t DEFAULT_ACTION_BUTTON;  // of ACTION
extern int32_t direction_presses;      // the direction (CTRL_UP..CTRL_RIGHT) pressed last in the last event reading, let go or not; 0 when its presses form a diagonal
extern int32_t quit_zarn;              // 1 once the window was closed or the game chose to end
extern int32_t focus_lost;             // 1 once the window lost the keyboard focus; the play loop clears it
extern int32_t level_warp_activated;   // 1 enables the level-warp chord (shift + X)

// Binds the keys and buttons of the six controls into the configuration table.
void input_bind_settings();
// Writes the default keys and buttons into both tables.
void resetdefault_controls();
// Starts the joystick subsystem and opens the first joystick, if any.
void init_controls();
// Closes the joystick.
void destroy_controls();
// Drains the event queue: presses, clicks, window close. See the notes on the
// mouse arguments in input.cpp. The window keys act here, on every screen, and
// are no presses: Alt+Enter switches window and full screen, F12 saves a
// screenshot. A lost keyboard focus sets focus_lost.
int32_t check_controls(int32_t* x, int32_t* y, int32_t height, int32_t line_height, int32_t* selected);
// What is held now, diagonals suppressed, the warp chord included.
int32_t get_controls();
// One frame's input: the event reading (check_controls) and what is held
// (get_controls). With line_height above 0 a click selects a row of the list
// of height pixels from list_top (input.row) instead of a position.
frame_input read_frame_input(int32_t list_top = 0, int32_t list_height = 0, int32_t line_height = 0);
// Sleeps ms milliseconds, or less when the program is to end or the window is
// closed meanwhile (sets quit_zarn; seen within 10 ms). False when cut short.
bool wait_unless_quit(uint32_t ms);
// The joystick button that asks for a hint: the lowest number none of the six
// controls is bound to.
int32_t hint_button();
// Restores every global above to its start value.
void input_reset();
