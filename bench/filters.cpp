// The scaling filters per presented frame against a memcpy of the same
// output bytes, on a pixel-art frame (16 x 16 tiles with outlines and a
// little noise), at 640 x 480 and 1280 x 960, into a 16-bit and a 32-bit
// display, with each build of the row code this processor runs. The filter
// and the memcpy take turns in one loop, so both see the same machine; the
// figure is the ratio of their medians.
//
//   bench_filters                         the table
//   bench_filters --frames F N W [D [B]]  runs filter F (1..5 as zoom; 0 the
//                                         unfiltered 320 x 240 picture into a
//                                         32-bit display) N times at display
//                                         width W and depth D (16 or 32) with
//                                         row build B (default: the one the
//                                         game chooses), for callgrind.sh
//   bench_filters --rows                  the number of the row build the
//                                         game chooses on this processor
//   bench_filters --machine B             the processor and the name of row
//                                         build B, for the scripts' figures
#include "machine.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "video/filters.h"
#include "video/screen.h"

namespace {

const char* const names[6] = {"unfiltered", "SIMPLE", "SCALE2X", "BILINEAR_AA", "SCANLINE", "BLUR"};
void (*const filters[6])() = {nullptr, zoom2, Scale2X, Bilinear2, Scanline2x, antiAlias2};

std::vector<uint8_t> copy_src;  // the memcpy's source, as large as the output

void pixel_art(SDL_Surface* s)
{
    static const uint16_t tiles[] = {0x0000, 0x18E3, 0x4208, 0x8410, 0x2945, 0x7BCF, 0x03E0, 0x001F};
    uint32_t seed = 2020;
    for (int y = 0; y < s->h; y++) {
        uint16_t* row = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch);
        for (int x = 0; x < s->w; x++) {
            int tx = x / 16, ty = y / 16;
            uint16_t v = tiles[(tx * 7 + ty * 3 + (tx * ty) % 5) % 8];
            if (x % 16 == 0 || y % 16 == 0)
                v = 0x0000;  // outline
            else if ((x % 16 == 1 || y % 16 == 1) && v)
                v = 0xFFFF;  // highlight
            seed = seed * 1664525u + 1013904223u;
            if ((seed >> 24) < 8)
                v = static_cast<uint16_t>(seed);  // noise
            row[x] = v;
        }
    }
}

// The back surface, and a display of w x (w * 3 / 4) at depth bits (the
// unfiltered case: 320 x 240).
void setup(int f, int w, int depth)
{
    if (!screen) {
        screen = SDL_CreateRGBSurface(0, 320, 240, 16, 0xF800, 0x07E0, 0x001F, 0);
        pixel_art(screen);
    }
    if (f == 0)
        w = 320;
    if (fscreen)
        SDL_FreeSurface(fscreen);
    if (depth == 32)
        fscreen = SDL_CreateRGBSurface(0, w, w * 3 / 4, 32, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    else
        fscreen = SDL_CreateRGBSurface(0, w, w * 3 / 4, 16, 0xF800, 0x07E0, 0x001F, 0);
    full_width = w;
    full_height = w * 3 / 4;
    filters_release_buffer();
    size_t bytes = static_cast<size_t>(fscreen->pitch) * fscreen->h;
    if (copy_src.size() != bytes)
        copy_src.assign(bytes, 0x5A);
}

void run_filter(int f)
{
    if (f == 0)
        unfiltered_320(screen, fscreen);
    else
        filters[f]();
}

double median(std::vector<double> v)
{
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

constexpr int ROUNDS = 151;

// Filter f and a memcpy of the display, taking turns: the medians in ns.
void measure(int f, double* filter_ns, double* copy_ns)
{
    using clock = std::chrono::steady_clock;
    std::vector<double> ft, ct;
    run_filter(f);  // BLUR allocates its buffer on the first frame
    for (int i = 0; i < ROUNDS; i++) {
        auto t0 = clock::now();
        memcpy(fscreen->pixels, copy_src.data(), copy_src.size());
        auto t1 = clock::now();
        run_filter(f);
        auto t2 = clock::now();
        ct.push_back(std::chrono::duration<double, std::nano>(t1 - t0).count());
        ft.push_back(std::chrono::duration<double, std::nano>(t2 - t1).count());
    }
    *filter_ns = median(ft);
    *copy_ns = median(ct);
}

void table()
{
    printf("%-12s %9s %5s %10s %11s %11s %9s\n", "filter", "display", "depth", "rows", "filter ns", "memcpy ns",
           "x memcpy");
    for (int w : {640, 1280})
        for (int depth : {16, 32})
            for (int f = 0; f < 6; f++) {
                if (f == 0 && (depth == 16 || w == 1280))
                    continue;  // a 16-bit display shows the back surface itself
                for (int b = 0; b < FILTER_ROWS_BUILDS; b++) {
                    if (!filters_use_rows(b))
                        continue;
                    setup(f, w, depth);
                    double fns, cns;
                    measure(f, &fns, &cns);
                    printf("%-12s %9s %5d %10s %11.0f %11.0f %9.2f\n", names[f],
                           f == 0 ? "320x240" : w == 640 ? "640x480" : "1280x960", depth, filters_rows_name(b),
                           fns, cns, fns / cns);
                }
            }
    filters_use_rows(-1);
    printf("the game runs the %s build here\n", filters_rows_name(filters_rows_in_use()));
}

// Runs frames without the table, for instruction counts.
int run_frames(int f, int n, int w, int depth, int build)
{
    if (f < 0 || f > 5 || n < 0 || (w != 640 && w != 1280) || (depth != 16 && depth != 32))
        return 2;
    if (!filters_use_rows(build))
        return 3;
    setup(f, w, depth);
    run_filter(f);  // one frame more in every run: BLUR's one allocation cancels out
    for (int i = 0; i < n; i++)
        run_filter(f);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 5 && argc <= 7 && strcmp(argv[1], "--frames") == 0)
        return run_frames(atoi(argv[2]), atoi(argv[3]), atoi(argv[4]), argc >= 6 ? atoi(argv[5]) : 16,
                          argc >= 7 ? atoi(argv[6]) : -1);
    if (argc == 2 && strcmp(argv[1], "--rows") == 0) {
        printf("%d\n", filters_rows_in_use());
        return 0;
    }
    if (argc == 3 && strcmp(argv[1], "--machine") == 0) {
        printf("%s; filters' row build %s\n", machine_processor().c_str(), filters_rows_name(atoi(argv[2])));
        return 0;
    }
    if (argc != 1) {
        fprintf(stderr, "usage: bench_filters [--frames F N W [DEPTH [BUILD]] | --rows | --machine BUILD]\n");
        return 2;
    }
    printf("%s; filters' row build %s\n", machine_processor().c_str(), filters_rows_name(filters_rows_in_use()));
    table();
    return 0;
}
