// The shipped level sets: every level is winnable through the real rules with
// its stored solution, the archive holds exactly what the sources say, and the
// sets get harder as they go by the solver's own measure.
#include <gtest/gtest.h>

#include "core/level.h"
#include "core/rules.h"
#include "core/state.h"
#include "levels.h"
#include "res/qva.h"
#include "solver.h"

#include <cstdio>
#include <set>

namespace {

struct set_info {
    const char* dir;
    int count;
    int classic;
    const char* pattern;
};

constexpr set_info SETS[] = {{"normal", 48, 0, "zarn-%03d"}, {"classic", 32, 1, "lev%03d"}};

char tile_at(int row, int col)
{
    const map_cell& cell = Map[row][col];
    if (cell.is_start)
        return 'S';
    for (const levelsrc::tile_char& t : levelsrc::legend())
        if (!t.start && t.type == cell.type && t.variant == cell.variant)
            return t.ch;
    return '?';
}

}  // namespace

TEST(Shipped, SetsAreCompleteAndNamedAsTheGameLoadsThem)
{
    for (const set_info& set : SETS) {
        const auto& levels = shipped(set.dir);
        ASSERT_EQ(levels.size(), size_t(set.count)) << set.dir;
        std::set<std::string> titles;
        for (int i = 0; i < set.count; i++) {
            char name[16];
            snprintf(name, sizeof name, set.pattern, i + 1);
            EXPECT_EQ(levels[i].name, name);
            EXPECT_EQ(levels[i].name, level_entry_name(i + 1, set.classic));
            EXPECT_TRUE(titles.insert(levels[i].src.title).second) << "title used twice: " << levels[i].src.title;
        }
    }
}

TEST(Shipped, ArchiveHoldsEveryLevelAsItsSourceDrawsIt)
{
    state_reset();
    openArchives();
    for (const set_info& set : SETS) {
        for (int i = 0; i < set.count; i++) {
            const shipped_level& l = shipped(set.dir)[i];
            MapData = map_header{};
            init_maps(i + 1, set.classic);
            ASSERT_GT(MapData.start_row, 0) << l.name << " did not load";
            for (int r = 0; r < LEVEL_ROWS; r++)
                for (int c = 0; c < LEVEL_COLS; c++)
                    ASSERT_EQ(tile_at(r + 1, c + 1), l.src.rows[r][c]) << l.name << " row " << r + 1 << " col " << c + 1;
        }
    }
    closeArchives();
}

TEST(Shipped, EveryStoredSolutionWinsThroughTheRealRulesInTime)
{
    for (const set_info& set : SETS) {
        for (const shipped_level& l : shipped(set.dir)) {
            solver::level lv = solver::from_source(l.src);
            int steps = 0;
            ASSERT_TRUE(solver::check(lv, l.src.solution, &steps)) << l.name;
            replay_result r = replay(l.src, l.src.solution);
            EXPECT_TRUE(r.won) << l.name << (r.fell ? ": falls" : r.timed_out ? ": time up" : ": not won");
            // Nothing gives way under the player: every field scores once,
            // every mine twice more when it explodes.
            EXPECT_EQ(r.score, lv.fields + 3 * lv.mines) << l.name;
            EXPECT_EQ(r.frames, steps * STEP_FRAMES) << l.name;
            EXPECT_EQ(r.time_left, lv.time_limit - solver::seconds_needed(steps)) << l.name;
            EXPECT_GE(r.time_left, 1) << l.name << " has no time to spare";
        }
    }
}

TEST(Shipped, SolverProvesEveryLevelAndTheCurveRises)
{
    for (const set_info& set : SETS) {
        const auto& levels = shipped(set.dir);
        std::vector<int> difficulty;
        printf("%-9s %-22s %-6s %6s %5s %5s %6s %7s %8s %9s %5s %6s\n", "level", "title", "tiles", "fields", "mines",
               "limit", "steps", "seconds", "solutions", "states", "traps", "diff");
        for (const shipped_level& l : levels) {
            solver::level lv = solver::from_source(l.src);
            solver::report rep = solver::solve(lv, 60);  // a bound, not a target: the sets take seconds
            EXPECT_TRUE(rep.solved && rep.complete) << l.name;
            int stored = 0;
            solver::check(lv, l.src.solution, &stored);
            EXPECT_GE(stored, rep.steps) << l.name << ": the solver found no shortest solution";
            printf("%-9s %-22.22s %-6s %6d %5d %5d %6d %7d %8llu %9llu %5d %6d\n", l.name.c_str(), l.src.title.c_str(),
                   solver::special_letters(rep.specials).c_str(), lv.fields, lv.mines, lv.time_limit, rep.steps,
                   rep.seconds, (unsigned long long)rep.solutions, (unsigned long long)rep.states, rep.traps,
                   rep.difficulty);
            difficulty.push_back(rep.difficulty);
        }
        // Each quarter of the set is harder on average than the one before.
        size_t q = difficulty.size() / 4;
        double previous = -1;
        for (size_t k = 0; k < 4; k++) {
            double sum = 0;
            for (size_t i = k * q; i < (k + 1) * q; i++)
                sum += difficulty[i];
            double average = sum / double(q);
            printf("%s quarter %zu: average difficulty %.1f\n", set.dir, k + 1, average);
            EXPECT_GT(average, previous) << set.dir << " quarter " << k + 1;
            previous = average;
        }
    }
}
