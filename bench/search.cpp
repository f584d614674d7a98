// The route search of the hints on every shipped level from its start: the
// work it takes (units: frames of the rules stepped and edges its tests look
// at), the states it keeps, the time a unit of work costs on this machine and
// the level that costs the most; then the searches that must prove a
// negative (a step less than the route found), as the game gives up; then
// the stored solutions against the shortest the solver finds. Times are the
// CPU time of the thread, so that other programs on the machine do not
// inflate them. Instructions come from callgrind (bench/search_callgrind.sh).
//
//   bench_search                 a table of every level, then the figures
//   bench_search --work L N      level L (1..48 normal, 49..80 classic) searched
//                                for N units, for callgrind (instructions per unit)
//
// Run it from the build folder, which holds data/.
#include "machine.h"

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
#include "solver.h"

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

std::string level_name(int index)
{
    level_ref l = level_at(index);
    return level_entry_name(l.number, l.classic);
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
    int most_index = 0;
    double total_ms = 0;
    size_t most_slots = 0;
    int found = 0;
    std::vector<int32_t> route_steps(81);
    printf("%s\n", machine_processor().c_str());
    printf("%-8s %-8s %10s %8s %6s %6s %9s\n", "level", "status", "work", "ms", "moves", "steps", "states");
    for (int index = 1; index <= 80; index++) {
        begin(*r, index);
        double t0 = cpu_ms();
        while (route_run(*r, HINT_SLICE_WORK) == ROUTE_RUNNING) {
        }
        double ms = cpu_ms() - t0;
        printf("%-8s %-8s %10llu %8.2f %6d %6d %9zu\n", level_name(index).c_str(), status_name(r->status),
               static_cast<unsigned long long>(r->level.work), ms, r->moves, r->steps, r->used);
        if (getenv("BENCH_ROUTES")) {
            for (int k = 0; k < r->moves; k++)
                putchar("UDLR"[r->route[k]]);
            putchar('\n');
        }
        found += r->status == ROUTE_FOUND;
        route_steps[size_t(index)] = r->steps;
        total_work += r->level.work;
        if (r->level.work > most_work)
            most_work = r->level.work, most_index = index;
        most_slots = std::max(most_slots, r->used);
        total_ms += ms;
    }
    printf("\nhints found from the start: %d of 80\n", found);
    printf("work: %llu units in %.1f ms, %.1f ns a unit; the most on one level %llu units (%s)\n",
           static_cast<unsigned long long>(total_work), total_ms, total_ms * 1e6 / double(total_work),
           static_cast<unsigned long long>(most_work), level_name(most_index).c_str());
    printf("memory: at most route_search %zu bytes + table %zu bytes = %zu bytes; most states kept %zu\n",
           sizeof(route_search), HINT_TABLE_WORDS * sizeof(uint64_t), HINT_MEMORY, most_slots);
    printf("a frame's slice %llu units (%.2f ms of work here), give up after %llu units (%.0f ms here, a second of "
           "frames)\n",
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
    // The stored solutions (the attract mode plays them) and the hint's route
    // from the start against the shortest route, which the solver's full
    // count finds.
    std::string longer[2];
    int longer_count[2] = {0, 0};
    for (int index = 1; index <= 80; index++) {
        const level_ref l = level_at(index);
        init_maps(l.number, l.classic);
        auto field = std::make_shared<level_field>();
        memcpy(field->map, Map, sizeof Map);
        field->data = MapData;
        solver::level lv;
        lv.start = field;
        lv.time_limit = level_seconds();
        char moves[SOLUTION_MAX + 1];
        load_solution(l.number, l.classic, moves, sizeof moves);
        int stored = 0;
        solver::report rep = solver::solve(lv);
        if (!solver::check(lv, moves, &stored) || !rep.complete) {
            printf("%s: stored solution %s, solver %s\n", level_name(index).c_str(),
                   solver::check(lv, moves) ? "wins" : "does not win", rep.complete ? "complete" : "incomplete");
            continue;
        }
        const int32_t steps[2] = {stored, route_steps[size_t(index)]};
        for (int k = 0; k < 2; k++) {
            if (steps[k] <= rep.steps)
                continue;
            char item[64];
            snprintf(item, sizeof item, "%s%s %d > %d", longer_count[k] ? ", " : "", level_name(index).c_str(),
                     steps[k], rep.steps);
            longer[k] += item;
            longer_count[k]++;
        }
    }
    const char* what[2] = {"stored solutions", "hint routes from the start"};
    for (int k = 0; k < 2; k++)
        printf("%s longer than the shortest route: %d of 80%s%s\n", what[k], longer_count[k],
               longer_count[k] ? " (steps > shortest): " : "", longer[k].c_str());
    closeArchives();
    return 0;
}
