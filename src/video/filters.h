// The scaling filters: each enlarges a 320 x 240 picture of 16-bit pixels
// twice into a display of 640 x 480, or four times into one of 1280 x 960.
// The display has 16-bit pixels in the picture's own format, or 32-bit
// pixels (see filters_can_write) into which a 5-6-5 picture is widened on
// the way out, as SDL widens it.
#pragma once
#include <SDL.h>
#include <cstdint>

extern uint32_t* aabuf;  // BLUR work buffer, allocated on its first frame

// The builds of the filters' row code, for filters_use_rows.
enum : int {
    FILTER_ROWS_BASELINE = 0,   // the portable build every processor runs
    FILTER_ROWS_NEON = 1,       // 32-bit ARM whose processor has NEON
    FILTER_ROWS_X86_64_V2 = 2,  // x86-64 with SSE4.2
    FILTER_ROWS_AVX2 = 3,       // x86-64 with AVX2 (x86-64-v3)
    FILTER_ROWS_BUILDS = 4,
};

// SIMPLE: pixel doubling of any src into a dst at least twice its size.
void zoom2_320(SDL_Surface* src, SDL_Surface* dst);
// SCALE2X: the Scale2x rule with the centre standing in beyond the edges.
void Scale2X_320(SDL_Surface* src, SDL_Surface* dst);
// BILINEAR AA: each pixel blended with its right and lower neighbours.
void Bilinear2_320(SDL_Surface* src, SDL_Surface* dst);
// SCANLINE: each row doubled, the second of each pair darkened.
void Scanline2x_320(SDL_Surface* src, SDL_Surface* dst);
// BLUR: like BILINEAR AA but through aabuf (two rows of it at a time), the
// lower-right pixel blending the right and lower neighbours; without its
// buffer it shows SIMPLE.
void antiAlias2_320(SDL_Surface* src, SDL_Surface* dst);
// No filter: src copied into the top-left corner of dst, widened to dst's
// format when dst has 32-bit pixels.
void unfiltered_320(SDL_Surface* src, SDL_Surface* dst);
// True when the filters can write a display of format f: 2-byte pixels, or
// 4-byte pixels of 8-bit channels with green in the second byte, red and
// blue in the first and third (either way round) and no alpha or alpha in
// the fourth byte (written opaque).
bool filters_can_write(const SDL_PixelFormat* f);
// Frees aabuf, so the next BLUR frame makes it again at the display's size.
void filters_release_buffer();
// Makes the filters run build `which` of their row code (FILTER_ROWS_*; any
// other value: the one chosen at start-up, the widest this processor runs at
// full speed). Returns false, changing nothing, when that build is not
// available here.
bool filters_use_rows(int which);
// The build of the row code the filters run now.
int filters_rows_in_use();
// The name of build `which` ("baseline", "NEON", "x86-64-v2", "AVX2").
const char* filters_rows_name(int which);
