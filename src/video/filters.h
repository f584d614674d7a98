// The scaling filters: each enlarges a 320 x 240 picture of 16-bit pixels
// twice into a display of 640 x 480, or four times into one of 1280 x 960.
#pragma once
#include <SDL.h>
#include <cstdint>

extern uint32_t* aabuf;  // BLUR work buffer, allocated on its first frame

// SIMPLE: pixel doubling of any src into a dst at least twice its size.
void zoom2_320(SDL_Surface* src, SDL_Surface* dst);
// SCALE2X: the Scale2x rule with the centre standing in beyond the edges.
void Scale2X_320(SDL_Surface* src, SDL_Surface* dst);
// BILINEAR AA: each pixel blended with its right and lower neighbours.
void Bilinear2_320(SDL_Surface* src, SDL_Surface* dst);
// SCANLINE: each row doubled, the second of each pair darkened.
void Scanline2x_320(SDL_Surface* src, SDL_Surface* dst);
// BLUR: like BILINEAR AA but through aabuf, the lower-right pixel blending the
// right and lower neighbours; without its buffer it shows SIMPLE.
void antiAlias2_320(SDL_Surface* src, SDL_Surface* dst);
// Frees aabuf, so the next BLUR frame makes it again at the display's size.
void filters_release_buffer();
// The row code the filters run: 0 the portable build, 1 the NEON build
// (32-bit ARM whose processor has NEON), anything else the best one here.
// Returns false, changing nothing, when that build is not available.
bool filters_use_rows(int which);
