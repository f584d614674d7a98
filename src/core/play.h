// The level attempt in the game: the play tick, which moves the game on by
// one frame (the rules of model/play on the game's field, and what they set
// off turned into sounds, animations, points and the sprite), with the
// frame's picture drawn at its fixed place in the frame. The level screen,
// the attract demonstration and the tests run the same tick.
#pragma once
#include "model/play.h"
#include "model/replay.h"

// Starts an attempt on the level in Map: the player on the start cell,
// standing, and the sprite (px, py, dir) there; no hint, no dead end, no
// animation running.
void attempt_start(play_attempt& a);
// One frame of the level in play, in this order: the hint key; the animation
// frame and the background's scroll; the picture (show, when given: it draws
// from the state and changes none of it); the dissolves and explosions
// shown move on; then, while the attempt goes on: the frame recorded into
// record when given (what the rules read: the held and pressed directions,
// the hint and pause keys, whether the clock ticks; the picture's start with
// the first frame), the rules at the clock's time ms with the held controls
// and the directions pressed (a click steers by where it lands), what they
// set off acted on, and the hint's search worked on. An attempt that has
// ended only shows and animates. Returns a.outcome.
int play_tick(play_attempt& a, const frame_input& in, uint32_t ms, void (*show)(), replay* record = nullptr);
// The picture's start a replay keeps (background row, scroll, animation
// frame), and setting it back.
replay_look look_now();
void look_set(const replay_look& look);
// Acts on what the frame recorded: plays its sounds, starts its dissolves and
// explosions, adds its points and puts the sprite (px, py, dir) where it is.
void apply_events(const play_state& s);
