// The field on screen: the scrolling background, the tiles, the dissolves and
// explosions, the raster of the message screens and the heads-up display.
// The state of the pictures (scroll, animation frames) moves on only in the
// frame's tick (field_scroll, field_animate); every draw_ function reads.
#pragma once
#include <SDL.h>
#include <cstdint>

constexpr int EXPLOSION_SLOTS = 8;  // explosions shown at once
constexpr int DISSOLVE_SLOTS = 16;  // dissolving fields shown at once
constexpr int32_t EXPLOSION_FREE = -1;  // an explosion slot not in use

// A field dissolving in eight frames of its sheet row, two frames each.
struct dissolve_slot {
    int32_t frame;  // 0 free, 1..16 running
    int32_t x, y;   // cell column - 1 and row - 1
};

extern int32_t offx, offy;                    // background scroll, 0..15
extern int32_t animframe;                     // 0..15, advanced once per frame of play
extern int32_t explosions[EXPLOSION_SLOTS];   // EXPLOSION_FREE, else col<<16 | row<<8 | frame
extern dissolve_slot dissolve[DISSOLVE_SLOTS];
extern int32_t r;                             // background row of the level, 0..3

// Picks the level's background tile (by level, in one of four rows at random)
// into tiles_backcurrent.
void setup_backgroundpattern();
// The same with the row given (0..3).
void set_backgroundpattern(int32_t row);
// The background scrolls one pixel the way the sprite faces (0 down, 1 up,
// 2 left, 3 right; anything else holds it still).
void field_scroll(int32_t facing);
// The dissolves and, with explosions, the explosions move on by the frame
// they have shown (a slot at its last frame becomes free).
void field_animate(bool explosions);
// Draws the strip under the top bar, every cell of the field and the
// dissolves.
void draw_map(SDL_Surface* surface);
// Starts the dissolve of the cell in the first free slot; none free: nothing.
void add_dissolve(int32_t col, int32_t row);
// Draws every running dissolve.
void draw_dissolves(SDL_Surface* surface);
// Starts an explosion in the first free slot; none free: nothing.
void add_explosion(int32_t col, int32_t row);
// Draws every running explosion.
void draw_explosions(SDL_Surface* surface);
// Darkens the field with the checkered raster (a message screen over play).
void draw_raster();
// The heads-up display: level, time, score and up to ten life icons.
void show_text();
// Frees every explosion and dissolve slot.
void clear_animations();
// Frees every animation slot and resets the scroll.
void field_reset();
