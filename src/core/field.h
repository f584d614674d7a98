// Drawing the field: scrolling background, tiles, animations, the raster of
// the message screens and the heads-up display.
#pragma once
#include <SDL.h>
#include <cstdint>

constexpr int EXPLOSION_SLOTS = 8;
constexpr int DISSOLVE_SLOTS = 16;

struct dissolve_slot {
    int32_t frame;  // 0 free, 1..16 running
    int32_t x, y;   // cell column - 1 and row - 1
};

extern int32_t offx, offy;                    // background scroll, 0..15
extern int32_t animframe;                     // 0..15, advanced once per frame of play
extern int32_t explosions[EXPLOSION_SLOTS];   // -1 free, else col<<16 | row<<8 | frame
extern dissolve_slot dissolve[DISSOLVE_SLOTS];
extern int32_t r;                             // background row of the level, 0..3

void setup_backgroundpattern();
void draw_map(SDL_Surface* surface);
void add_dissolve(int32_t col, int32_t row);
void draw_dissolves(SDL_Surface* surface);
// Starts an explosion in the first free slot; none free: nothing.
void add_explosion(int32_t col, int32_t row);
// The explosion step: draws and advances every running explosion.
void draw_explosions(SDL_Surface* surface);
void draw_raster();
void show_text();
// Frees every animation slot and resets the scroll.
void field_reset();
