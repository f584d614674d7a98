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

#include "core/rules.h"

// What a frame of play ends in.
enum : int {
    PLAY_ON,       // the attempt goes on
    PLAY_FALL,     // the player stands on a hole
    PLAY_WON,      // the player stands and every field is gone
    PLAY_TIME_UP,  // the level clock ran out
    PLAY_RESTART,  // restart chosen in the pause menu
    PLAY_ABANDON,  // main menu chosen in the pause menu
    PLAY_QUIT,     // the program is to end
};

extern int engine_outcome;  // how the last engine call ended: PLAY_*

// A level attempt in play: the player and the level clock.
struct play_attempt {
    play_state player;
    int32_t second;  // the clock's second seen in the previous frame; 0 at the start
};

// Starts an attempt on the level in Map: the player on the start cell, standing.
void attempt_start(play_attempt& a);
// The rules of one frame of play, after it is drawn: the level clock at ms
// milliseconds (one second at most per frame), the warp chord, movement fed by
// the held controls and the pointer's direction, the cell resolution pass and
// the end checks. Returns PLAY_*.
int play_frame(play_attempt& a, uint32_t ms, int32_t held, int32_t steer);
