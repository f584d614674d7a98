// A level attempt frame by frame, on the field handed to it: the level clock,
// the controls turned into moves, the tile rules and the end checks. It plays
// and draws nothing; what a frame set off is in the player's events for the
// game (core/play) to turn into sounds, animations and points.
#pragma once
#include "model/controls.h"
#include "model/rules.h"

#include <cstdint>

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

// A level attempt in play: the player, the level clock and a kept press.
struct play_attempt {
    play_state player;
    int32_t second;   // the clock's second seen in the previous frame; 0 at the start
    int32_t latched;  // a direction (CTRL_ bit) pressed while the player could not move, else 0
    int32_t steps;    // moves the player started (a push or a teleporter's jump is none)
    int32_t outcome;  // PLAY_ON until a frame ends the attempt, then how it ended
};

// Starts an attempt on field f: the player on the start cell, standing,
// facing down, the clock at its start, no press kept, no step, going on.
void play_begin(play_attempt& a, const rules_field& f);
// The move the held controls ask for: the first of UP, DOWN, LEFT and RIGHT
// among the CTRL_ bits, else MOVE_NONE.
int32_t wanted_move(int32_t ctrl);
// The direction bit (CTRL_UP...) a click at (x, y) of the frame steers the
// player of s, or 0.
int32_t pointer_steer(const play_state& s, int32_t x, int32_t y);
// The rules of one frame of play on field f: the level clock at ms
// milliseconds (one second at most per frame), the warp chord, movement, the
// cell resolution pass and the end checks. held is what the controls hold;
// pressed the directions pressed since the last frame (keys, joystick, the
// pointer's direction), tried before the held ones. A press is kept until
// the player can move and then used once, released or not: one press, one
// step. Returns and keeps in a.outcome PLAY_ON, PLAY_FALL, PLAY_WON or
// PLAY_TIME_UP.
int play_frame(play_attempt& a, const rules_field& f, uint32_t ms, int32_t held, int32_t pressed);
