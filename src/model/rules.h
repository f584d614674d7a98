// The rules of play: how the player moves from cell to cell and what every
// tile does. Plain functions over the field handed to them that the play
// frame, a test or a search steps frame by frame without a screen. They play
// no sound and draw nothing: what a frame sets off is recorded in the
// player's state for the play loop to act on.
#pragma once
#include "model/level.h"

#include <cstdint>

constexpr int STEP_FRAMES = 5;     // a step takes five frames
constexpr int STAND_ALARM = 25;    // the alarm sounds at this count
constexpr int STAND_GIVE_WAY = 50; // a field gives way, a mine is spent

// A move asked of a standing player; the numbers are those of move_state.
enum : int32_t { MOVE_NONE, MOVE_UP, MOVE_DOWN, MOVE_LEFT, MOVE_RIGHT };

// What a frame of the rules set off, in order.
enum : int32_t {
    EVENT_WALK,      // a step began
    EVENT_PUSH,      // a pusher pushed the player on
    EVENT_TELEPORT,  // the player was moved to the other teleporter
    EVENT_ALARM,     // the player has stood on a field or mine too long
    EVENT_DISSOLVE,  // the field at (col, row) is gone
    EVENT_EXPLODE,   // the mine at (col, row) exploded into a field
    EVENT_COUNTDOWN, // the level clock ticked within its last five seconds
};

// One thing a frame set off.
struct play_event {
    int32_t kind;      // EVENT_*
    int32_t col, row;  // the cell, for DISSOLVE and EXPLODE
    int32_t points;    // what it scores: 1 a field crossed, 2 a mine exploded, else 0
};

constexpr int PLAY_EVENTS = 8;  // far more than one frame sets off

// The player within one level attempt, and what the last frame set off.
struct play_state {
    int32_t player_row, player_col;  // the cell the player occupies
    int32_t move_state;              // 0 standing, 1 up, 2 down, 3 left, 4 right
    int32_t move_step;               // frames done of the current step, 0..5
    int32_t stand_count;             // frames stood on a field or mine
    int32_t sprite_x, sprite_y;      // the sprite's position in screen pixels
    int32_t sprite_dir;              // the sprite's frame: 0 down, 1 up, 2 left, 3 right
    int32_t event_count;             // events[0 .. event_count - 1] happened in the frame
    play_event events[PLAY_EVENTS];
};

// Puts the player on the start cell of the field, standing, facing down.
void rules_start(play_state& s, const rules_field& f);
// Begins a frame (forgets the last frame's events), then moves or stands the
// player for it; wanted is MOVE_*.
void rules_move(play_state& s, int32_t wanted, const rules_field& f);
// The cell resolution pass: destroys left fields, explodes left mines, and
// records both.
void rules_resolve(play_state& s, const rules_field& f);
// Records an event of the frame (beyond PLAY_EVENTS it is dropped).
void rules_record(play_state& s, int32_t kind, int32_t col = 0, int32_t row = 0, int32_t points = 0);
