// The level play loop and the message screens that open and close a level.
#pragma once
#include <cstdint>

// Modes of aktion.
enum : int {
    MSG_TIME_UP = 1,
    MSG_FALL = 3,
    MSG_LEVEL_START = 4,
    MSG_LEVEL_WON = 5,
    MSG_GAME_OVER = 6,
};

extern const char* const OUCHWords[4];
extern const char* const WELLDONEWords[4];
extern const char* const DONEWords[4];
extern const char* const EndTexts[8];  // seven lines and a terminating null

// Plays one attempt at the level init_maps has loaded.
void engine();
// Runs a message screen until it is confirmed.
void aktion(int mode);
