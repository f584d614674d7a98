// Prints a hash of every filter's picture, at 640 x 480 and 1280 x 960, into
// a 16-bit and a 32-bit display, for each build of the row code this
// processor can run: a line "build NAME", then one line per picture. Built
// without SDL (the filters only lock surfaces and read their formats). The
// armhf run of scripts/test.sh runs its ARM build under qemu: every build's
// lines must match the portable build's, and those of the build for this
// machine.
#include <SDL.h>

#include <cstdio>
#include <vector>

#include "video/filters.h"

SDL_Surface* screen;
SDL_Surface* fscreen;

extern "C" {
int SDL_LockSurface(SDL_Surface*)
{
    return 0;
}
void SDL_UnlockSurface(SDL_Surface*) {}
}

static SDL_PixelFormat rgb565 = {};
static SDL_PixelFormat xrgb8888 = {};

static SDL_Surface* surface(int w, int h, SDL_PixelFormat* f = &rgb565)
{
    SDL_Surface* s = new SDL_Surface();
    s->format = f;
    s->w = w;
    s->h = h;
    s->pitch = static_cast<Uint16>(f->BytesPerPixel * w + 8);
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
    rgb565.Rmask = 0xF800;
    rgb565.Gmask = 0x07E0;
    rgb565.Bmask = 0x001F;
    xrgb8888.BitsPerPixel = 32;
    xrgb8888.BytesPerPixel = 4;
    xrgb8888.Rshift = 16;
    xrgb8888.Gshift = 8;
    xrgb8888.Rmask = 0xFF0000;
    xrgb8888.Gmask = 0x00FF00;
    xrgb8888.Bmask = 0x0000FF;
    screen = surface(320, 240);
    uint32_t seed = 99;
    for (int y = 0; y < 240; y++) {
        uint16_t* row = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(screen->pixels) + y * screen->pitch);
        for (int x = 0; x < 320; x++) {
            seed = seed * 1664525u + 1013904223u;
            row[x] = (seed >> 24) < 16 ? static_cast<uint16_t>(seed) : x % 16 == 0 ? 0 : 0x7BEF * (x / 16 % 3);
        }
    }
    void (*const filters[])(SDL_Surface*, SDL_Surface*) = {zoom2_320, Scale2X_320, Bilinear2_320, Scanline2x_320,
                                                           antiAlias2_320};
    const char* const names[] = {"SIMPLE", "SCALE2X", "BILINEAR AA", "SCANLINE", "BLUR"};
    for (int build = 0; build < FILTER_ROWS_BUILDS; build++) {
        if (!filters_use_rows(build))
            continue;
        printf("build %s\n", filters_rows_name(build));
        for (SDL_PixelFormat* f : {&rgb565, &xrgb8888})
            for (int w : {640, 1280}) {
                fscreen = surface(w, w * 3 / 4, f);
                for (int i = 0; i < 5; i++) {
                    filters[i](screen, fscreen);
                    uint32_t hash = 2166136261u;  // FNV-1a over the picture
                    for (int y = 0; y < fscreen->h; y++)
                        for (int x = 0; x < f->BytesPerPixel * fscreen->w; x++) {
                            hash ^= static_cast<uint8_t*>(fscreen->pixels)[y * fscreen->pitch + x];
                            hash *= 16777619u;
                        }
                    printf("%-11s %4d x %3d x %2d  %08x\n", names[i], fscreen->w, fscreen->h, f->BitsPerPixel, hash);
                }
            }
    }
    return 0;
}
