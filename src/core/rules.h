// The rules of play: how the player moves from cell to cell and what every
// tile does. Plain functions over Map and MapData that a test or the solver
// steps frame by frame without a screen.
#pragma once
#include <cstdint>

constexpr int STEP_FRAMES = 5;     // a step takes five frames
constexpr int STAND_ALARM = 25;    // the alarm sounds at this count
constexpr int STAND_GIVE_WAY = 50; // a field gives way, a mine is spent
constexpr int32_t SCORE_CAP = 99999;

// The player within one level attempt.
struct play_state {
    int32_t player_row, player_col;  // the cell the player occupies
    int32_t move_state;              // 0 standing, 1 up, 2 down, 3 left, 4 right
    int32_t move_step;               // frames done of the current step, 0..5
    int32_t stand_count;             // frames stood on a field or mine
};

// Called with the number of every effect that play starts (null: nobody
// listens); tests count beeps and alarms here.
extern void (*effect_hook)(int sfx);
// Starts an effect of play: tells effect_hook, then play_sfx.
void play_effect(int sfx);

// Puts the player on the start cell of MapData, standing.
void rules_start(play_state& s);
// The direction bit (CTRL_UP...) a click at (x, y) steers, or 0.
int32_t pointer_steer(int32_t x, int32_t y);
// Movement or standing for one frame; wanted holds CTRL_ direction bits.
void rules_move(play_state& s, int32_t wanted);
// The cell resolution pass: destroys left fields, explodes left mines.
void rules_resolve();
