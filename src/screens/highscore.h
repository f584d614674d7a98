// The high-score screens: entering a name for a new score, and the table.
#pragma once
#include <cstdint>

extern const char hiscore_letters[38];  // the 37 name characters, in stepping order

// Puts score into the table and, when it made a place, runs the name entry
// for it. Returns the place 1..6, or 0.
int32_t check_highscore(int32_t score);
// The name-entry screen for place index + 1 (0..5; anything else: nothing).
void enter_highscore(int index);
// The table with the new place (got_highscore) blinking, for 30 seconds or
// until any control; then got_highscore is 0.
void show_highscores();
