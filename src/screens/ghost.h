// The ghost: a faint figure of the player where the level's best run stood
// at the same frame of play, drawn under the player. G toggles it in play;
// zarn.cfg keeps it ("ghost", off by default). It changes nothing in play.
#pragma once
#include <SDL.h>
#include <cstdint>

extern int32_t ghost_on;  // 1 while the ghost is shown

// Binds the ghost's row into the configuration table.
void ghost_bind_settings();
// Draws the ghost as it stood before frame (0 the first frame of play) of
// the level's best run, when it is on and the level has one, until that run
// ended.
void draw_ghost(SDL_Surface* dst, int32_t frame);
