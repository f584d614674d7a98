// The route search of the hints on every shipped level from its start: the
// work it takes (units: frames of the rules stepped, and hopeless tests),
// the states it keeps, and the time a unit of work costs on this machine,
// which sets the size of a slice and the give-up point of the game's search.
// Times are the CPU time of the thread, so that other programs on the machine
// do not inflate them.
//
//   bench_search                 a table of every level, then the figures
//   bench_search --work L N      level L (1..48 normal, 49..80 classic) searched
//                                for N units, for callgrind (instructions per unit)
//
// Run it from the build folder, which holds data/.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

#include "core/hint.h"
#include "core/level.h"
#include "model/search.h"
#include "res/qva.h"

namespace {

struct level_ref {
    int number, classic;
};

level_ref level_at(int index)
{
    return index <= 48 ? level_ref{index, 0} : level_ref{index - 48, 1};
}

int level_seconds()
{
    int count = 0;
    for (int row = 1; row <= LEVEL_ROWS; row++)
        for (int col = 1; col <= LEVEL_COLS; col++)
            count += Map[row][col].kind == KIND_FIELD || Map[row][col].kind == KIND_MINE;
    return level_time_limit(count);
}

std::vector<uint64_t>& table()
{
    static std::vector<uint64_t> t(HINT_TABLE_WORDS);
    return t;
}

// Begins the hint's search on level index from its start, for a route of
// at most budget steps (-1: as many as the level's time allows).
void begin(route_search& r, int index, int32_t budget = -1, uint64_t work_limit = UINT64_MAX)
{
    level_ref l = level_at(index);
    init_maps(l.number, l.classic);
    route_memory(r, table().data(), table().size());
    route_begin(r, game_field, MapData.start_col, MapData.start_row,
                budget < 0 ? level_seconds() * HINT_STEPS_A_SECOND : budget, work_limit);
}

double cpu_ms()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

const char* status_name(int32_t s)
{
    const char* names[] = {"running", "found", "none", "gave up"};
    return names[s];
}

}  // namespace

int main(int argc, char** argv)
{
    openArchives();
    if (!qva_file[QVA_MAPS]) {
        fprintf(stderr, "run from the build folder: data/maps.qva is needed\n");
        return 1;
    }
    auto r = std::make_unique<route_search>();
    if (argc == 4 && strcmp(argv[1], "--work") == 0) {
        begin(*r, atoi(argv[2]));
        route_run(*r, strtoull(argv[3], nullptr, 10));
        printf("work %llu\n", static_cast<unsigned long long>(r->level.work));
        return 0;
    }
    uint64_t total_work = 0, most_work = 0;
    double total_ms = 0;
    size_t most_slots = 0;
    int found = 0;
    std::vector<int32_t> route_steps(81);
    printf("%-6s %-8s %10s %8s %6s %6s %9s\n", "level", "status", "work", "ms", "moves", "steps", "states");
    for (int index = 1; index <= 80; index++) {
        begin(*r, index);
        double t0 = cpu_ms();
        while (route_run(*r, HINT_SLICE_WORK) == ROUTE_RUNNING) {
        }
        double ms = cpu_ms() - t0;
        level_ref l = level_at(index);
        printf("%s%03d %-8s %10llu %8.2f %6d %6d %9zu\n", l.classic ? "lev" : "zarn-", l.number,
               status_name(r->status), static_cast<unsigned long long>(r->level.work), ms, r->moves, r->steps,
               r->used);
        found += r->status == ROUTE_FOUND;
        route_steps[size_t(index)] = r->steps;
        total_work += r->level.work;
        most_work = std::max(most_work, r->level.work);
        most_slots = std::max(most_slots, r->used);
        total_ms += ms;
    }
    printf("\nhints found from the start: %d of 80\n", found);
    printf("work: %llu units in %.1f ms, %.1f ns a unit; the most on one level %llu units\n",
           static_cast<unsigned long long>(total_work), total_ms, total_ms * 1e6 / double(total_work),
           static_cast<unsigned long long>(most_work));
    printf("memory: route_search %zu bytes + table %zu bytes = %zu bytes; most states kept %zu\n",
           sizeof(route_search), HINT_TABLE_WORDS * sizeof(uint64_t),
           sizeof(route_search) + HINT_TABLE_WORDS * sizeof(uint64_t), most_slots);
    printf("slice of the background check %llu units (%.2f ms), of a hint asked %llu units (%.2f ms),\n"
           "give up after %llu units (%.0f ms)\n",
           static_cast<unsigned long long>(HINT_CHECK_WORK), double(HINT_CHECK_WORK) * total_ms / double(total_work),
           static_cast<unsigned long long>(HINT_SLICE_WORK), double(HINT_SLICE_WORK) * total_ms / double(total_work),
           static_cast<unsigned long long>(HINT_GIVE_UP_WORK),
           double(HINT_GIVE_UP_WORK) * total_ms / double(total_work));
    // The searches that must prove a negative: each level with one step less
    // than the route found, searched as the game does, giving up where it does.
    double worst_ms = 0;
    uint64_t worst_work = 0;
    int gave_up = 0, none = 0;
    for (int index = 1; index <= 80; index++) {
        begin(*r, index, route_steps[size_t(index)] - 1, HINT_GIVE_UP_WORK);
        double t0 = cpu_ms();
        while (route_run(*r, HINT_SLICE_WORK) == ROUTE_RUNNING) {
        }
        double ms = cpu_ms() - t0;
        if (getenv("BENCH_VERBOSE"))
            printf("  %d: %s %llu\n", index, status_name(r->status), static_cast<unsigned long long>(r->level.work));
        gave_up += r->status == ROUTE_GAVE_UP;
        none += r->status == ROUTE_NONE;
        if (ms > worst_ms)
            worst_ms = ms, worst_work = r->level.work;
    }
    printf("one step less than the route found: %d proved none, %d gave up; the longest took %llu units in %.0f ms\n",
           none, gave_up, static_cast<unsigned long long>(worst_work), worst_ms);
    closeArchives();
    return 0;
}
