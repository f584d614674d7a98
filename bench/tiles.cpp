// Drawing the field's 240 keyed 16 x 16 cells into the 16-bit back surface,
// from the tile sheet (SDL walks the sheet's runs to reach each cell), from
// the sheet cut into cell surfaces (run-length encoded, as the game draws
// them, and plain keyed), and the message screens' raster over the field:
// 240 keyed blits of it (run-length encoded, and plain) against the laid
// rows the game draws; a memcpy of the same bytes for scale. Run from the
// build folder: the sheets come from data/gfx.qva.
#include "machine.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "core/field.h"
#include "res/assets.h"
#include "res/qva.h"
#include "video/cells.h"
#include "video/screen.h"

namespace {

constexpr Uint16 MAGENTA = 0xF81F;

SDL_Surface* back_surface()
{
    static SDL_Surface* s = SDL_CreateRGBSurface(0, 320, 240, 16, 0xf800, 0x07e0, 0x001f, 0);
    return s;
}

// A picture of the archive, keyed as the game keys it, with or without
// run-length acceleration.
SDL_Surface* picture(const char* name, bool rle)
{
    openArchives();
    SDL_Surface* s = ZARN_LoadBMP(name);
    closeArchives();
    if (!s) {
        fprintf(stderr, "run from the build folder: data/gfx.qva is needed\n");
        return nullptr;
    }
    SDL_SetColorKey(s, SDL_SRCCOLORKEY | (rle ? SDL_RLEACCEL : 0), MAGENTA);
    return s;
}

// The tile sheet: [0] drawn whole, [1] cut (run-length encoded cells),
// [2] cut without run-length encoding.
SDL_Surface* sheet(int kind)
{
    static SDL_Surface* sheets[3];
    if (!sheets[kind]) {
        sheets[kind] = picture("gfx/zarn-tiles-1", kind != 2);
        if (kind && sheets[kind]) {
            cut_cells(sheets[kind], 16);
            warm_cells(back_surface());
        }
    }
    return sheets[kind];
}

void draw_field(benchmark::State& state, int kind)
{
    SDL_Surface* src = sheet(kind);
    if (!src) {
        state.SkipWithError("no tile sheet");
        return;
    }
    SDL_Surface* dst = back_surface();
    for (auto _ : state) {
        for (int row = 0; row < 12; row++)
            for (int col = 0; col < 20; col++) {
                int cell = (row * 20 + col) % 36;
                blit_rect(src, cell % 9 * 16, cell / 9 * 16, 16, 16, dst, col * 16, 48 + row * 16);
            }
        benchmark::DoNotOptimize(dst->pixels);
    }
}

void BM_FieldFromTheSheet(benchmark::State& state) { draw_field(state, 0); }
void BM_FieldFromCells(benchmark::State& state) { draw_field(state, 1); }
void BM_FieldFromPlainKeyedCells(benchmark::State& state) { draw_field(state, 2); }

void blit_raster(benchmark::State& state, bool rle)
{
    SDL_Surface* r = picture("gfx/trans16x16", rle);
    if (!r) {
        state.SkipWithError("no raster");
        return;
    }
    SDL_Surface* dst = back_surface();
    for (auto _ : state) {
        for (int y = 32; y <= 224; y += 16)
            for (int x = 0; x <= 304; x += 16) {
                SDL_Rect to = {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
                SDL_UpperBlit(r, nullptr, dst, &to);
            }
        benchmark::DoNotOptimize(dst->pixels);
    }
    SDL_FreeSurface(r);
}

void BM_RasterRunLengthBlits(benchmark::State& state) { blit_raster(state, true); }
void BM_RasterPlainKeyedBlits(benchmark::State& state) { blit_raster(state, false); }

void BM_RasterLaidByRows(benchmark::State& state)
{
    raster = picture("gfx/trans16x16", true);
    if (!raster) {
        state.SkipWithError("no raster");
        return;
    }
    screen = back_surface();
    for (auto _ : state) {
        draw_raster();
        benchmark::DoNotOptimize(screen->pixels);
    }
    SDL_FreeSurface(raster);
    raster = nullptr;
    screen = nullptr;
}

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
BENCHMARK(BM_FieldFromTheSheet);
BENCHMARK(BM_FieldFromCells);
BENCHMARK(BM_FieldFromPlainKeyedCells);
BENCHMARK(BM_RasterRunLengthBlits);
BENCHMARK(BM_RasterPlainKeyedBlits);
BENCHMARK(BM_RasterLaidByRows);
int main(int argc, char** argv)
{
    benchmark::AddCustomContext("processor", machine_processor());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
