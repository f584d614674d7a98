// One frame of play through the real play loop: event reading, the field with
// running animations, the rules, the heads-up display and the presentation,
// for each zoom mode (0: the 320 x 240 surface itself; 1..5: the filters at
// 640 x 480), on a busy level: every tile kind, animated mines and
// teleporters, a player pushed to and fro for ever (the background scrolls),
// all 16 dissolves and 8 explosions running. Headless (SDL's dummy drivers)
// and on the virtual clock, so the pacer never sleeps.
//
//   bench_frame                  Google Benchmark figures, then a table of
//                                ns per frame and heap allocations per frame
//   bench_frame --frames Z N     N frames of play at zoom Z, for
//                                frame_callgrind.sh (instructions per frame)
//
// Run it from the build folder, which holds data/. Pictures the data do not
// have yet are replaced by plain stand-ins of the same size (reported).
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>

#include "config/input.h"
#include "sys/clock.h"
#include "core/field.h"
#include "core/level.h"
#include "core/play.h"
#include "screens/level.h"
#include "core/state.h"
#include "app/startup.h"
#include "res/assets.h"
#include "video/font.h"
#include "res/qva.h"
#include "video/fps.h"
#include "video/screen.h"

// Every heap allocation of the process passes here; while `counting` is on,
// it is counted. glibc's own entry points do the work.
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);
}

namespace {
volatile bool counting = false;
volatile long allocations = 0;
}  // namespace

extern "C" void* malloc(size_t n)
{
    if (counting)
        allocations = allocations + 1;
    return __libc_malloc(n);
}
extern "C" void* calloc(size_t n, size_t size)
{
    if (counting)
        allocations = allocations + 1;
    return __libc_calloc(n, size);
}
extern "C" void* realloc(void* p, size_t n)
{
    if (counting)
        allocations = allocations + 1;
    return __libc_realloc(p, n);
}
extern "C" void free(void* p)
{
    __libc_free(p);
}
void* operator new(size_t n)
{
    void* p = malloc(n);
    if (!p)
        abort();
    return p;
}
void operator delete(void* p) noexcept
{
    free(p);
}
void operator delete(void* p, size_t) noexcept
{
    free(p);
}

namespace {

// Every tile kind, mines in rows, two teleporters, holes; the player starts
// beside two pushers that face each other. The legend of assets/levels.
constexpr const char* BUSY_LEVEL[LEVEL_ROWS] = {
    "*o*o*o*o*o*o*o*o*o*o", "o.#|-^v<>o.*.o.*.o.*", "S><..****..T..****..", "####oooo....oooo####",
    "*.*.*.*.*.*.*.*.*.*.", ".o.o.o.o.o.o.o.o.o.o", "||||----^^^^vvvv<<<<", "********************",
    "o.o.o.o.o.o.o.o.o.o.", "#*#*#*#*#*#*#*#*#*#*", "....T...............", "oooooooooo**********",
};

struct tile_code {
    char c;
    int32_t type, variant, start, teleport;
};
constexpr tile_code CODES[] = {
    {'o', 1, 1, 0, 0}, {'*', 2, 1, 0, 0}, {'#', 3, 1, 0, 0}, {'|', 4, 1, 0, 0}, {'-', 5, 1, 0, 0},
    {'^', 1, 2, 0, 0}, {'v', 2, 2, 0, 0}, {'<', 3, 2, 0, 0}, {'>', 4, 2, 0, 0}, {'T', 5, 2, 0, 1},
    {'S', 3, 1, 1, 0},
};

void load_busy_level()
{
    for (auto& row : Map)
        for (auto& cell : row)
            cell = map_cell{};
    for (int row = 1; row <= LEVEL_ROWS; row++) {
        for (int col = 1; col <= LEVEL_COLS; col++) {
            for (const tile_code& t : CODES) {
                if (t.c != BUSY_LEVEL[row - 1][col - 1])
                    continue;
                map_cell& cell = Map[row][col];
                cell.type = t.type;
                cell.variant = t.variant;
                cell.is_start = t.start;
                cell.is_teleport = t.teleport;
            }
        }
    }
    derive_map();
    MapData.time_left = 9999;  // never runs out while measuring
}

int stand_ins = 0;

// A plain keyed picture for one the data do not have yet.
void stand_in(SDL_Surface*& s, int w, int h)
{
    if (s)
        return;
    s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 16, 0xF800, 0x07E0, 0x001F, 0);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            static_cast<Uint16*>(s->pixels)[y * (s->pitch / 2) + x] =
                static_cast<Uint16>(((x ^ y) & 4) ? 0xF81F : (x * 37 + y * 11));
    SDL_SetColorKey(s, SDL_SRCCOLORKEY, 0xF81F);
    stand_ins++;
}

void boot(int zoom_mode)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    sys_use_virtual_clock(true);
    openArchives();
    zoom = zoom_mode;
    full_screen = 0;
    double_scale = 0;
    init_zarn();
    stand_in(tiles1, 144, 64);
    stand_in(tiles2, 144, 64);
    stand_in(tiles_back, 512, 64);
    stand_in(anim, 64, 16);
    stand_in(raster, 16, 16);
    stand_in(top, 320, 48);
    stand_in(letsgo, 320, 240);
}

void set_zoom(int zoom_mode)
{
    zoom = zoom_mode;
    init_screen();
}

// The frame boundary while measuring: keeps every animation slot busy,
// counts allocations from the first frame of play on, ends after the frames.
int frames_wanted = 0;
int frames_done = 0;

void keep_busy()
{
    frames_done++;
    if (frames_done == 1) {  // the start screen is over: play begins
        Uint8* keys = SDL_GetKeyState(nullptr);
        keys[SDLK_RIGHT] = 1;  // onto the pushers
        counting = true;
    }
    if (frames_done == 2)
        SDL_GetKeyState(nullptr)[SDLK_RIGHT] = 0;
    for (int i = 0; i < DISSOLVE_SLOTS; i++)
        if (dissolve[i].frame == 0)
            add_dissolve(1 + i, 4 + (i & 7));
    for (int i = 0; i < EXPLOSION_SLOTS; i++)
        if (explosions[i] == -1)
            add_explosion(1 + 2 * i, 8);
    if (frames_done > frames_wanted) {
        counting = false;
        quit_zarn = 1;  // the play loop returns in its next frame
    }
}

// n frames of play (after the start screen), through the real play loop.
void play_frames(int n)
{
    load_busy_level();
    quit_zarn = 0;
    Player.lives = 3;
    frames_wanted = n;
    frames_done = 0;
    fps_frame_hook = keep_busy;
    SDL_Event e;
    memset(&e, 0, sizeof e);
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = SDLK_RETURN;  // closes the start screen
    SDL_PushEvent(&e);
    engine();
    fps_frame_hook = nullptr;
    SDL_GetKeyState(nullptr)[SDLK_RIGHT] = 0;
}

const char* const ZOOM_NAMES[6] = {"320x240", "SIMPLE", "SCALE2X", "BILINEAR_AA", "SCANLINE", "BLUR"};
constexpr int BATCH = 300;
long allocs_per_batch[6];

void BM_PlayFrame(benchmark::State& state)
{
    int z = static_cast<int>(state.range(0));
    set_zoom(z);
    play_frames(3);  // BLUR allocates its work buffer on its first frame
    allocations = 0;
    while (state.KeepRunningBatch(BATCH))
        play_frames(BATCH);
    allocs_per_batch[z] = allocations;
    state.SetLabel(ZOOM_NAMES[z]);
}
BENCHMARK(BM_PlayFrame)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond)->Iterations(BATCH * 10);

class TableReporter : public benchmark::ConsoleReporter {
public:
    double ns[6] = {};
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs) {
            int z = 0;
            if (sscanf(r.run_name.args.c_str(), "%d", &z) == 1 && z >= 0 && z < 6)
                ns[z] = r.GetAdjustedCPUTime() * 1000.0;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && strcmp(argv[1], "--frames") == 0) {
        int z = atoi(argv[2]), n = atoi(argv[3]);
        if (z < 0 || z > 5 || n < 0)
            return 2;
        boot(z);
        if (stand_ins)
            printf("note: %d pictures are stand-ins\n", stand_ins);
        play_frames(3);
        allocations = 0;
        play_frames(n);
        printf("zoom %d: %d frames, %ld allocations\n", z, frames_done - 1, static_cast<long>(allocations));
        if (engine_outcome != PLAY_QUIT || frames_done != n + 1)
            printf("the level ended early: outcome %d\n", engine_outcome);
        return 0;
    }
    boot(0);
    if (stand_ins)
        printf("note: %d pictures are stand-ins (not in data/gfx.qva yet)\n", stand_ins);
    if (!font_small || !font_medium)
        printf("note: no fonts in data/gfx.qva yet: the display's text is not drawn\n");
    benchmark::Initialize(&argc, argv);
    TableReporter rep;
    benchmark::RunSpecifiedBenchmarks(&rep);
    printf("\n%-12s %10s %14s %14s\n", "zoom", "display", "cpu ns/frame", "allocs/frame");
    for (int z = 0; z < 6; z++)
        printf("%-12s %10s %14.0f %14.3f\n", ZOOM_NAMES[z], z ? "640x480" : "320x240", rep.ns[z],
               static_cast<double>(allocs_per_batch[z]) / (BATCH * 10));
    benchmark::Shutdown();
    return 0;
}
