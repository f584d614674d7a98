// Prints a hash of every filter's picture, at 640 x 480 and 1280 x 960, for
// each build of the row code this processor can run. Built without SDL (the
// filters only lock surfaces and read their formats). The armhf run of
// scripts/test.sh runs its ARM build under qemu: every line must match the
// portable build's, and the build for this machine's.
#include <SDL.h>

#include <cstdio>
#include <vector>

#include "video/filters.h"
#include "video/screen.h"

SDL_Surface* screen;
SDL_Surface* fscreen;
uint32_t* aabuf;
int full_width = 640, full_height = 480;

extern "C" {
int SDL_LockSurface(SDL_Surface*)
{
    return 0;
}
void SDL_UnlockSurface(SDL_Surface*) {}
}

static SDL_PixelFormat rgb565 = {};

static SDL_Surface* surface(int w, int h)
{
    SDL_Surface* s = new SDL_Surface();
    s->format = &rgb565;
    s->w = w;
    s->h = h;
    s->pitch = static_cast<Uint16>(2 * w + 8);
    s->pixels = new uint8_t[static_cast<size_t>(s->pitch) * h]();
    return s;
}

int main()
{
    rgb565.BitsPerPixel = 16;
    rgb565.BytesPerPixel = 2;
    rgb565.Rshift = 11;
    rgb565.Gshift = 5;
    rgb565.Bshift = 0;
    screen = surface(320, 240);
    uint32_t seed = 99;
    for (int y = 0; y < 240; y++) {
        uint16_t* row = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(screen->pixels) + y * screen->pitch);
        for (int x = 0; x < 320; x++) {
            seed = seed * 1664525u + 1013904223u;
            row[x] = (seed >> 24) < 16 ? static_cast<uint16_t>(seed) : x % 16 == 0 ? 0 : 0x7BEF * (x / 16 % 3);
        }
    }
    void (*const filters[])() = {zoom2, Scale2X, Bilinear2, Scanline2x, antiAlias2};
    const char* const names[] = {"SIMPLE", "SCALE2X", "BILINEAR AA", "SCANLINE", "BLUR"};
    for (int path = 0; path < 2; path++) {
        if (!filters_use_rows(path)) {
            printf("path %d: not on this processor\n", path);
            continue;
        }
        for (int w : {640, 1280}) {
            fscreen = surface(w, w * 3 / 4);
            for (int f = 0; f < 5; f++) {
                filters[f]();
                uint32_t hash = 2166136261u;  // FNV-1a over the picture
                for (int y = 0; y < fscreen->h; y++)
                    for (int x = 0; x < 2 * fscreen->w; x++) {
                        hash ^= static_cast<uint8_t*>(fscreen->pixels)[y * fscreen->pitch + x];
                        hash *= 16777619u;
                    }
                printf("%-11s %4d x %3d  %08x\n", names[f], fscreen->w, fscreen->h, hash);
            }
        }
    }
    return 0;
}
