// Drawing one field of tiles (240 keyed 16 x 16 blits into the 16-bit back
// surface) from the tile sheet as stored (16-bit) and from the same sheet at
// 24 bits, against a memcpy of the same bytes. Run from the build folder.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "res/assets.h"
#include "res/qva.h"

namespace {

SDL_Surface* back_surface()
{
    static SDL_Surface* s = SDL_CreateRGBSurface(0, 320, 240, 16, 0xf800, 0x07e0, 0x001f, 0);
    return s;
}

// The stored sheet (depth 16) or a 24-bit copy of it, keyed as the game keys it.
SDL_Surface* sheet(int depth)
{
    static SDL_Surface* sheets[2];
    SDL_Surface*& s = sheets[depth == 24];
    if (s)
        return s;
    openArchives();
    SDL_Surface* stored = ZARN_LoadBMP("gfx/zarn-tiles-1");
    closeArchives();
    if (!stored) {
        fprintf(stderr, "run from the build folder: data/gfx.qva is needed\n");
        return nullptr;
    }
    if (depth == 24) {
        SDL_PixelFormat f = *stored->format;
        f.BitsPerPixel = 24;
        f.BytesPerPixel = 3;
        f.Rmask = 0xff0000, f.Gmask = 0x00ff00, f.Bmask = 0x0000ff, f.Amask = 0;
        f.Rshift = 16, f.Gshift = 8, f.Bshift = 0;
        f.Rloss = f.Gloss = f.Bloss = 0;
        s = SDL_ConvertSurface(stored, &f, 0);
        SDL_FreeSurface(stored);
    } else {
        s = stored;
    }
    SDL_SetColorKey(s, SDL_SRCCOLORKEY | SDL_RLEACCEL, SDL_MapRGB(s->format, 255, 0, 255));
    return s;
}

void draw_field(benchmark::State& state, int depth)
{
    SDL_Surface* src = sheet(depth);
    if (!src) {
        state.SkipWithError("no tile sheet");
        return;
    }
    SDL_Surface* dst = back_surface();
    for (auto _ : state) {
        for (int row = 0; row < 12; row++)
            for (int col = 0; col < 20; col++) {
                int cell = (row * 20 + col) % 36;
                SDL_Rect s = {int16_t(cell % 9 * 16), int16_t(cell / 9 * 16), 16, 16};
                SDL_Rect d = {int16_t(col * 16), int16_t(48 + row * 16), 16, 16};
                SDL_UpperBlit(src, &s, dst, &d);
            }
        benchmark::DoNotOptimize(dst->pixels);
    }
}

void BM_FieldFromStoredSheet(benchmark::State& state) { draw_field(state, 16); }
void BM_FieldFrom24BitSheet(benchmark::State& state) { draw_field(state, 24); }

void BM_MemcpyOfAField(benchmark::State& state)
{
    std::vector<uint8_t> from(320 * 192 * 2, 1), to(from.size());
    for (auto _ : state) {
        memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
    }
}

}  // namespace

BENCHMARK(BM_MemcpyOfAField);
BENCHMARK(BM_FieldFromStoredSheet);
BENCHMARK(BM_FieldFrom24BitSheet);
BENCHMARK_MAIN();
