// Watching a replay: its level played again through the play tick from the
// replay's input and clock, as the level screen plays it, with a word
// ("REPLAY", "DEMO") blinking on the top bar.
#pragma once
#include "model/controls.h"
#include "model/replay.h"

// Plays r on the level in MapBody (curr_map must be its level, tiles its
// sheet), drawn by draw with the label over it, from the picture it started with, until the level ends (and a second more) or any
// key, button or click, which is used up. The running game (Player), the
// sprite and the picture's start stay as they were; the field is left as the
// replay left it. Returns how the level ended (PLAY_WON, ...), or -1 when a
// key ended the watching.
int watch_replay(const replay& r, const char* label, void (*draw)());
// The start screen's offer of the level's best run, when it has one: a line
// naming its key (R, and the joystick's hint button) ending at the right
// edge of row y.
void draw_best_run_offer(int y);
// On the start screen: when the input asks for the best run (its key, the
// joystick's hint button, a click on the offer's line at row y), watches it
// ("REPLAY", drawn by draw) and puts back the level about to be played; true
// when it did.
bool watch_best_run(const frame_input& in, int y, void (*draw)());
