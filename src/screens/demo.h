// The attract demonstration: a level played by the player's best run of it,
// else by its stored solution, through the play tick while the menu stands
// idle.
#pragma once
#include <cstdint>

extern int32_t demo_level;  // the level of the set in play the next demonstration shows, 1-based

// Plays demo_level of the set in play by the player's best run of it
// ("REPLAY" shown), else by the solution stored with it, moves held at the
// frames the player stands, on a board's clock ("DEMO" shown), until the
// level ends (and a second more) or any key, button or click, which is used up;
// then demo_level moves on to the next level, round. The running game's
// record (Player), curr_map, last_pw, the high scores and the level records
// stay as they were. A level without a stored solution shows nothing.
// Returns how the level ended (PLAY_WON, ...), or -1 when a key ended the
// demonstration or there was none.
int play_demo();
// Restores demo_level.
void demo_reset();
