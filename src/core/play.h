// The level attempt in the game: the play frame of model/play on the game's
// field, and what each frame set off turned into sounds, animations, points
// and the sprite.
#pragma once
#include "model/play.h"

// Starts an attempt on the level in Map: the player on the start cell,
// standing, and the sprite (px, py, dir) there.
void attempt_start(play_attempt& a);
// Acts on what the frame recorded: plays its sounds, starts its dissolves and
// explosions, adds its points and puts the sprite (px, py, dir) where it is.
void apply_events(const play_state& s);
