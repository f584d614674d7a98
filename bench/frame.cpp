// Frames of the level screen through the real loops: play (event reading, the
// field with running animations, the rules, the heads-up display, the
// presentation) and every message screen (level start, fall, time up, won,
// the ending, game over), in each screen mode, on a busy level: every tile
// kind, animated mines and teleporters, a player pushed to and fro for ever
// (the background scrolls), all 16 dissolves and 8 explosions running. And
// play with the route search at work, on the level whose search from the
// start costs the most (bench_search names it), all animation slots busy
// too: "hint" asks a hint at once, so every frame until the answer carries a
// slice of a hint asked; "check" asks none, so the frames carry the dead-end
// check's slices. On the virtual clock, so the pacer never sleeps.
//
// A case is SCREEN:ZOOM:WIDTH[:x]: SCREEN one of play, start, fall, timeup,
// won, ending, gameover, hint, check; ZOOM 0..5 (0 shows the back surface
// itself at 320 x 240); WIDTH 640 or 1280; ":x" presents on the X display
// named by DISPLAY instead of SDL's dummy driver.
//
//   bench_frame                  ns per frame and heap allocations per frame
//                                of every case; the X cases when a display
//                                opens, else a line saying they are skipped
//   bench_frame --frames CASE N [B]  N frames of CASE after 3 of warming up,
//                                with the allocations among them (for
//                                frame_callgrind.sh); B picks the filters' row
//                                build (FILTER_ROWS_*; default the game's); a
//                                search case also lists the frames that carried
//                                a slice ("slice K U": the K-th paced frame of
//                                the run did U units of search work)
//   bench_frame --rss CASE N     N frames of CASE, then the peak resident
//                                memory of the process (VmHWM)
//   bench_frame --demo L [x]     levels 1..L of the set played by their stored
//                                solutions (the demonstration's loop) at 640 x
//                                480 with BLUR, on the dummy driver or on X:
//                                the median and 99th percentile of the time a
//                                frame takes (the web benchmark, bench/web.py,
//                                plays the same in a browser)
//
// Run it from the build folder, which holds data/.
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "machine.h"

#include "app/startup.h"
#include "config/input.h"
#include "core/field.h"
#include "core/hint.h"
#include "core/level.h"
#include "core/play.h"
#include "core/state.h"
#include "res/assets.h"
#include "res/qva.h"
#include "screens/demo.h"
#include "screens/level.h"
#include "sound/sound.h"
#include "sys/clock.h"
#include "video/filters.h"
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

// The screens a case can show; the last two are play with the search at work.
constexpr const char* SCREENS[] = {"play", "start", "fall", "timeup", "won", "ending", "gameover", "hint", "check"};
constexpr int SCREEN_MODES[] = {0, MSG_LEVEL_START, MSG_FALL, MSG_TIME_UP, MSG_LEVEL_WON, MSG_LEVEL_WON,
                                MSG_GAME_OVER, 0, 0};
constexpr int SCREEN_COUNT = sizeof SCREENS / sizeof SCREENS[0];
constexpr int SCREEN_HINT = 7, SCREEN_CHECK = 8;
// The level whose route search from the start works longest (bench_search
// says which): the classic set's last.
constexpr int SEARCH_LEVEL = 32, SEARCH_CLASSIC = 1;

struct bench_case {
    int screen;  // index into SCREENS
    int zoom;
    int width;   // of the enlarged display: 640 or 1280
    bool x;      // on the X display
};

bool parse_case(const char* text, bench_case* c)
{
    char name[16] = "";
    char x[4] = "";
    int n = sscanf(text, "%15[a-z]:%d:%d:%3s", name, &c->zoom, &c->width, x);
    if (n < 3 || c->zoom < 0 || c->zoom > 5 || (c->width != 640 && c->width != 1280))
        return false;
    c->x = n == 4 && strcmp(x, "x") == 0;
    if (n == 4 && !c->x)
        return false;
    for (c->screen = 0; c->screen < SCREEN_COUNT; c->screen++)
        if (strcmp(name, SCREENS[c->screen]) == 0)
            return true;
    return false;
}

std::string case_name(const bench_case& c)
{
    char text[48];
    snprintf(text, sizeof text, "%s:%d:%d%s", SCREENS[c.screen], c.zoom, c.width, c.x ? ":x" : "");
    return text;
}

const char* display_name(const bench_case& c)
{
    return c.zoom == 0 ? "320x240" : c.width == 1280 ? "1280x960" : "640x480";
}

// Which video driver SDL runs now, and whether the game is up.
bool booted = false;
bool on_x = false;

// Brings the game up (once) on the dummy video driver or on X; false when X
// is asked for and no display opens.
bool boot(bool x)
{
    if (booted && on_x == x)
        return true;
    const char* display = getenv("DISPLAY");
    if (x && (!display || !*display))
        return false;
    if (!booted) {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        setenv("SDL_VIDEODRIVER", x ? "x11" : "dummy", 1);
        sys_use_virtual_clock(true);
        openArchives();
        zoom = 1;
        full_screen = 0;
        double_scale = 0;
        init_zarn();
        booted = true;
        on_x = x;
        return screen != nullptr;
    }
    // Another driver: the video part of SDL again, the pictures kept.
    screen_release();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    screen_reset();
    full_screen = 0;
    setenv("SDL_VIDEODRIVER", x ? "x11" : "dummy", 1);
    on_x = x;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) < 0)
        return false;
    init_screen();
    return screen != nullptr;
}

bool set_mode(const bench_case& c)
{
    if (!boot(c.x))
        return false;
    zoom = c.zoom;
    full_screen = 0;
    double_scale = c.width == 1280 ? 1 : 0;
    init_screen();
    return screen != nullptr;
}

// The frame boundary while measuring: keeps every animation slot busy,
// counts allocations over the measured frames, ends after them. Play
// measures from its second frame on: the first is the start screen.
int frames_wanted = 0;
int frames_done = 0;
int lead = 0;
int screen_shown = 0;  // the case's screen
long paced = 0;        // frames paced since the program began
uint64_t work_seen = 0;
// The frames of a search case that carried a slice: which paced frame, the
// units of work done and the time taken.
struct slice_frame {
    long paced;
    uint64_t units;
    double ns;
};
std::vector<slice_frame> slices;
std::chrono::steady_clock::time_point frame_began;

void keep_busy()
{
    frames_done++;
    paced++;
    auto now = std::chrono::steady_clock::now();
    if (screen_shown >= SCREEN_HINT && frames_done > lead && hint_work_done > work_seen && slices.size() < 1000)
        slices.push_back({paced, hint_work_done - work_seen,
                          std::chrono::duration<double, std::nano>(now - frame_began).count()});
    work_seen = hint_work_done;
    if (frames_done == lead)
        counting = true;
    if (screen_shown == 0 && frames_done == 1)
        SDL_GetKeyState(nullptr)[SDLK_RIGHT] = 1;  // onto the pushers
    if (screen_shown == 0 && frames_done == 2)
        SDL_GetKeyState(nullptr)[SDLK_RIGHT] = 0;
    if (screen_shown == SCREEN_HINT && frames_done == 1) {
        SDL_Event e;  // the hint key, read by the first frame of play
        memset(&e, 0, sizeof e);
        e.type = SDL_KEYDOWN;
        e.key.keysym.sym = SDLK_h;
        SDL_PushEvent(&e);
    }
    for (int i = 0; i < DISSOLVE_SLOTS; i++)
        if (dissolve[i].frame == 0)
            add_dissolve(1 + i, 4 + (i & 7));
    for (int i = 0; i < EXPLOSION_SLOTS; i++)
        if (explosions[i] == -1)
            add_explosion(1 + 2 * i, 8);
    if (frames_done == lead + frames_wanted) {
        counting = false;
        quit_zarn = 1;  // the screen returns in its next frame
    }
    frame_began = std::chrono::steady_clock::now();
}

// n frames of the case's screen: play through engine (after its start
// screen), a message screen through aktion.
void run_frames(const bench_case& c, int n)
{
    quit_zarn = 0;
    Player.lives = 3;
    Player.perfect = 0;
    explode_index = 0;
    if (c.screen >= SCREEN_HINT) {
        classic_mode = SEARCH_CLASSIC;
        maxmap = SEARCH_CLASSIC ? 32 : 48;
        curr_map = SEARCH_LEVEL;
        init_maps(curr_map, classic_mode);
    } else {
        classic_mode = 0;
        maxmap = 48;  // the normal set, as the game starts
        load_busy_level();
        curr_map = strcmp(SCREENS[c.screen], "ending") == 0 ? maxmap : 1;
    }
    frames_wanted = n;
    frames_done = 0;
    screen_shown = c.screen;
    slices.clear();
    slices.reserve(1000);  // no allocation while counting
    work_seen = 0;
    frame_began = std::chrono::steady_clock::now();
    fps_frame_hook = keep_busy;
    if (c.screen == 0 || c.screen >= SCREEN_HINT) {
        lead = 1;
        SDL_Event e;
        memset(&e, 0, sizeof e);
        e.type = SDL_KEYDOWN;
        e.key.keysym.sym = SDLK_RETURN;  // closes the start screen
        SDL_PushEvent(&e);
        engine();
    } else {
        lead = 0;
        setup_backgroundpattern();
        dir = 0;
        counting = true;
        aktion(SCREEN_MODES[c.screen]);
    }
    fps_frame_hook = nullptr;
    counting = false;
    SDL_GetKeyState(nullptr)[SDLK_RIGHT] = 0;
    quit_zarn = 0;
}

long peak_rss_kb()
{
    FILE* f = fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long kb = -1;
    while (fgets(line, sizeof line, f))
        if (sscanf(line, "VmHWM: %ld", &kb) == 1)
            break;
    fclose(f);
    return kb;
}

// Cases of the table: every screen mode in play, and every message screen
// over play at 640 x 480 with BLUR; on X, BLUR and the unfiltered mode.
std::vector<bench_case> table_cases(bool x)
{
    std::vector<bench_case> cases;
    if (!x) {
        cases.push_back({0, 0, 640, false});
        for (int w : {640, 1280})
            for (int z = 1; z <= 5; z++)
                cases.push_back({0, z, w, false});
        for (int s = 1; s < SCREEN_COUNT; s++)
            cases.push_back({s, 5, 640, false});
    } else {
        cases.push_back({0, 0, 640, true});
        for (int w : {640, 1280}) {
            cases.push_back({0, 5, w, true});
            cases.push_back({2, 5, w, true});
        }
    }
    return cases;
}

constexpr int ROUNDS = 7;   // medians of this many timed batches
constexpr int BATCH = 60;   // frames in a batch

void print_row(const bench_case& c, double ns, double allocs)
{
    printf("%-18s %9s %12.0f %14.3f\n", case_name(c).c_str(), display_name(c), ns, allocs);
}

// A search case's frames with a slice: their mean time, the longest, how many.
struct slice_times {
    double mean, longest;
    size_t count;
};

slice_times time_slices()
{
    slice_times t{0, 0, slices.size()};
    for (const slice_frame& f : slices) {
        t.mean += f.ns / double(slices.size());
        t.longest = std::max(t.longest, f.ns);
    }
    return t;
}

// Every case: ns per frame (of a search case, per frame with a slice) as
// the median of the rounds.
void table(bool x)
{
    for (const bench_case& c : table_cases(x)) {
        if (!set_mode(c)) {
            printf("%-18s no display\n", case_name(c).c_str());
            continue;
        }
        run_frames(c, 3);  // BLUR allocates its work buffer on its first frame
        std::vector<double> ns, longest;
        long allocs = 0;
        size_t with_slice = 0;
        for (int r = 0; r < ROUNDS; r++) {
            allocations = 0;
            auto t0 = std::chrono::steady_clock::now();
            run_frames(c, BATCH);
            auto t1 = std::chrono::steady_clock::now();
            allocs += allocations;
            slice_times t = time_slices();
            ns.push_back(c.screen >= SCREEN_HINT ? t.mean
                                                 : std::chrono::duration<double, std::nano>(t1 - t0).count() / BATCH);
            longest.push_back(t.longest);
            with_slice = t.count;
        }
        std::nth_element(ns.begin(), ns.begin() + ROUNDS / 2, ns.end());
        std::nth_element(longest.begin(), longest.begin() + ROUNDS / 2, longest.end());
        print_row(c, ns[ROUNDS / 2], static_cast<double>(allocs) / (ROUNDS * BATCH));
        if (c.screen >= SCREEN_HINT)
            printf("%-18s %zu frames with a slice, the longest %.0f ns\n", "", with_slice, longest[ROUNDS / 2]);
    }
}

// Frame times of the stored solutions of levels 1..levels, as the
// demonstration plays them: each frame's time from one frame boundary to the
// next (the virtual clock: the pacer never sleeps).
std::vector<double> frame_times;
std::chrono::steady_clock::time_point last_boundary;

void time_frame()
{
    auto now = std::chrono::steady_clock::now();
    frame_times.push_back(std::chrono::duration<double, std::micro>(now - last_boundary).count());
    last_boundary = now;
}

int demo(int levels, bool x)
{
    if (!set_mode({0, 5, 640, x})) {
        printf("demo: no display\n");
        return 1;
    }
    for (int level = 1; level <= levels; level++) {
        demo_level = level;
        last_boundary = std::chrono::steady_clock::now();
        fps_frame_hook = time_frame;
        play_demo();
        fps_frame_hook = nullptr;
        frame_times.erase(frame_times.end() - 1);  // the demonstration's last frame closes it
    }
    std::sort(frame_times.begin(), frame_times.end());
    size_t n = frame_times.size();
    printf("demo of levels 1-%d, BLUR 640 x 480%s: %zu frames, median %.0f us, 99th percentile %.0f us\n", levels,
           x ? " on X" : "", n, frame_times[n / 2], frame_times[std::min(n - 1, n * 99 / 100)]);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if ((argc == 3 || argc == 4) && strcmp(argv[1], "--demo") == 0)
        return demo(atoi(argv[2]), argc == 4 && strcmp(argv[3], "x") == 0);
    bench_case c{};
    if ((argc == 4 || argc == 5) && (strcmp(argv[1], "--frames") == 0 || strcmp(argv[1], "--rss") == 0)) {
        int n = atoi(argv[3]);
        if (!parse_case(argv[2], &c) || n < 0)
            return 2;
        if (argc == 5 && !filters_use_rows(atoi(argv[4]))) {
            printf("%s: row build %s not on this processor\n", argv[2], argv[4]);
            return 0;
        }
        if (!set_mode(c)) {
            printf("%s: no display, skipped\n", argv[2]);
            return 0;
        }
        if (argv[1][2] == 'r') {
            play_music(1, -1);
            run_frames(c, n);
            printf("%s: %d frames, peak resident %ld kB\n", argv[2], n, peak_rss_kb());
            return 0;
        }
        run_frames(c, 3);
        allocations = 0;
        run_frames(c, n);
        printf("%s: %d frames, %ld allocations\n", argv[2], frames_done - lead, static_cast<long>(allocations));
        for (const slice_frame& f : slices)
            printf("slice %ld %llu\n", f.paced, static_cast<unsigned long long>(f.units));
        return 0;
    }
    if (argc != 1) {
        fprintf(stderr, "usage: bench_frame [--frames|--rss SCREEN:ZOOM:WIDTH[:x] N [BUILD]]\n");
        return 2;
    }
    printf("%s; filters' row build %s\n", machine_processor().c_str(), filters_rows_name(filters_rows_in_use()));
    printf("%-18s %9s %12s %14s\n", "case", "display", "ns/frame", "allocs/frame");
    table(false);
    const char* display = getenv("DISPLAY");
    if (!display || !*display) {
        printf("X presentation: skipped, no DISPLAY\n");
        return 0;
    }
    table(true);
    return 0;
}
