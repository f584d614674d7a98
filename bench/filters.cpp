// The scaling filters per presented frame, beside a memcpy of the same output
// bytes in the same run, on a pixel-art frame (16 x 16 tiles with outlines
// and a little noise), at 640 x 480 and at 1280 x 960.
//
//   bench_filters                   Google Benchmark figures, then a table of
//                                   ns per frame and the ratio to memcpy
//   bench_filters --frames F N W    runs filter F (0 memcpy, 1..5 zoom) N times
//                                   at display width W, for callgrind.sh
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "video/filters.h"
#include "video/screen.h"

namespace {

const char* const names[6] = {"memcpy", "SIMPLE", "SCALE2X", "BILINEAR_AA", "SCANLINE", "BLUR"};
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

void setup(int display_w)
{
    if (!screen) {
        screen = SDL_CreateRGBSurface(0, 320, 240, 16, 0xF800, 0x07E0, 0x001F, 0);
        pixel_art(screen);
    }
    if (fscreen && fscreen->w != display_w) {
        SDL_FreeSurface(fscreen);
        fscreen = nullptr;
    }
    if (!fscreen)
        fscreen = SDL_CreateRGBSurface(0, display_w, display_w * 3 / 4, 16, 0xF800, 0x07E0, 0x001F, 0);
    full_width = display_w;
    full_height = display_w * 3 / 4;
    size_t bytes = static_cast<size_t>(fscreen->pitch) * fscreen->h;
    if (copy_src.size() != bytes)
        copy_src.assign(bytes, 0x5A);
}

// One frame of filter f (0: the memcpy of the same output bytes).
void frame(int f)
{
    if (f == 0)
        memcpy(fscreen->pixels, copy_src.data(), copy_src.size());
    else
        filters[f]();
}

void BM_Frame(benchmark::State& state)
{
    int f = static_cast<int>(state.range(0));
    setup(static_cast<int>(state.range(1)));
    frame(f);  // BLUR allocates its buffer on the first frame
    for (auto _ : state) {
        frame(f);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(copy_src.size()));
    state.SetLabel(names[f]);
}

void frame_args(benchmark::internal::Benchmark* b)
{
    for (int w : {640, 1280})
        for (int f = 0; f < 6; f++)
            b->Args({f, w});
}
BENCHMARK(BM_Frame)->Apply(frame_args)->Unit(benchmark::kMicrosecond)->MinTime(0.5)->Repetitions(3)
    ->ReportAggregatesOnly(true);

// Keeps the medians of each run (real and CPU time, ns) for the closing
// table. The machine is shared, so CPU time is the steadier of the two.
class TableReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::pair<int, int>, std::pair<double, double>> ns;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs) {
            int f = 0, w = 0;  // run_name.args is "f/w"
            if (r.aggregate_name == "median" && sscanf(r.run_name.args.c_str(), "%d/%d", &f, &w) == 2)
                ns[{w, f}] = {r.GetAdjustedRealTime() * 1000.0, r.GetAdjustedCPUTime() * 1000.0};
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

void print_table(const TableReporter& rep)
{
    printf("\n%-12s %9s %12s %12s %10s %10s\n", "filter", "display", "real ns", "cpu ns", "x memcpy",
           "(real)");
    for (int w : {640, 1280}) {
        auto base = rep.ns.find({w, 0});
        for (int f = 0; f < 6; f++) {
            auto it = rep.ns.find({w, f});
            if (it == rep.ns.end() || base == rep.ns.end())
                continue;
            auto [real, cpu] = it->second;
            printf("%-12s %9s %12.0f %12.0f %10.2f %10.2f\n", names[f], w == 640 ? "640x480" : "1280x960",
                   real, cpu, cpu / base->second.second, real / base->second.first);
        }
    }
}

// Runs frames without the benchmark machinery, for instruction counts.
int run_frames(int f, int n, int w)
{
    if (f < 0 || f > 5 || n < 0 || (w != 640 && w != 1280))
        return 2;
    setup(w);
    frame(f);  // one frame more in every run: BLUR's one allocation cancels out
    for (int i = 0; i < n; i++)
        frame(f);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && strcmp(argv[1], "--frames") == 0)
        return run_frames(atoi(argv[2]), atoi(argv[3]), atoi(argv[4]));
    benchmark::Initialize(&argc, argv);
    TableReporter rep;
    benchmark::RunSpecifiedBenchmarks(&rep);
    print_table(rep);
    benchmark::Shutdown();
    return 0;
}
