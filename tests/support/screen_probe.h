// Which screen of the game is running, read from the call stack: the frame
// boundary hook calls it to follow a scripted or random walk through the
// screens. The program must export its symbols (ENABLE_EXPORTS).
#pragma once

// The names of the screen functions, each one loop of frames.
extern const char* const SCREEN_NAMES[];
// How many there are.
extern const int SCREEN_COUNT;
// The index in SCREEN_NAMES of the innermost screen on the call stack, -1 none.
int running_screen();
