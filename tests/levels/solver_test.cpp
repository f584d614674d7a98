// The solver's measures on small levels whose answers are worked out by hand
// (what the route search proves unwinnable, tests/core shows).
#include "support/game.h"

#include "model/levelsrc.h"
#include "solver.h"

namespace {

// A level drawn from its top rows; the rest is space.
levelsrc::level_source level_of(std::initializer_list<const char*> rows)
{
    levelsrc::level_source src;
    src.rows.fill(std::string(levelsrc::COLS, '.'));
    int r = 0;
    for (const char* row : rows)
        src.rows[r++].replace(0, strlen(row), row);
    return src;
}

}  // namespace

TEST(Solver, ProvesWhatCanBeWonFindsTheShortestWayAndCountsOnlyRealChoices)
{
    const struct {
        std::initializer_list<const char*> rows;
        bool solved;
        uint64_t solutions;
        int losing_first;
        const char* solution;  // the start of the shortest one
        int steps, seconds, specials;
        const char* why;
    } cases[] = {
        {{"S####o#", "#.....#", "#######"}, true, 2, 0, "RRRRR", 6, 1, 0, "the short way round a loop; off either side"},
        {{"ooo", "o.o", "oSo"}, true, 2, 0, "", 8, 2, 0, "a ring through the start, once each way"},
        {{"ooooo", "o...o", "S>ooo"}, true, 1, 1, "RRRUULLLLDD", 12, 2, SPECIAL_PUSHER,
         "a pusher in the ring: the push is a step of its own, the other way round loses"},
        {{"..#..", "..o..", "S.*oo", "..o.o", "..ooo"}, false, 0, 0, "", 0, 0, 0, "the start does not touch the field"},
        {{"..#..", "..o..", "So*oo", "..o.o", "..ooo"}, true, 2, 0, "RR", 12, 2, SPECIAL_MINE,
         "a mine crossed twice, round the loop either way"},
        {{"S>T", "", "..To#"}, true, 2, 0, "RR", 4, 1, SPECIAL_PUSHER | SPECIAL_TELEPORT,
         "a pusher into a teleporter is one move; the field is left either way"},
    };
    for (const auto& c : cases) {
        solver::level lv = solver::from_source(level_of(c.rows));
        solver::report r = solver::solve(lv);
        EXPECT_TRUE(r.complete) << c.why;
        ASSERT_EQ(r.solved, c.solved) << c.why;
        if (!c.solved)
            continue;
        EXPECT_EQ(r.solutions, c.solutions) << c.why;
        EXPECT_EQ(r.losing_first, c.losing_first) << c.why;
        EXPECT_EQ(r.solution.rfind(c.solution, 0), 0u) << c.why << ": " << r.solution;
        EXPECT_EQ(r.steps, c.steps) << c.why;
        EXPECT_EQ(r.seconds, c.seconds) << c.why;
        EXPECT_EQ(r.specials & c.specials, c.specials) << c.why;
        EXPECT_TRUE(solver::check(lv, r.solution)) << c.why << ": " << r.solution;
    }

    // Beside the corridor: a track refusing the step down, a pusher throwing
    // back onto the crumbled field, a pusher throwing into space: no choice.
    // The step back onto the start is one (it looks safe), and so is a solid
    // cell (a shortcut that strands the field it skips).
    for (auto [below, open, longest_forced, forced_from] : {std::tuple{".-^.v.", 1, 3, 2}, {".-^#v.", 2, 1, 0}}) {
        solver::choices w = solver::weigh_choices(solver::from_source(level_of({"Soooo#", below})), "RRRRR");
        EXPECT_EQ(std::make_tuple(w.moves, w.open, w.longest_forced, w.forced_from),
                  std::make_tuple(5, open, longest_forced, forced_from))
            << below;
    }
}

TEST(Solver, TheLimitsNameEveryLevelAndSetThatBreaksThem)
{
    std::vector<solver::measured> sets;
    char name[16];
    for (int n = 1; n <= 48; n++) {
        snprintf(name, sizeof name, "zarn-%03d", n);
        // Harder by the level, a third of the late levels tight, every quarter
        // offering choices at half its moves.
        sets.push_back({name, true, true, 40, 40, n >= 25 && n % 3 == 0 ? 14 : 20, n, {40, 20, 20, 0}});
    }
    for (int n = 1; n <= 8; n++)
        sets.push_back({"lev00" + std::to_string(n), true, true, 40, 40, 20, n, {40, 20, 20, 0}});
    EXPECT_EQ(solver::check_limits(sets), std::vector<std::string>{});

    sets[2].walk.longest_forced = 30;  // the first five may walk without choices
    sets[5].walk.longest_forced = 21;
    sets[11].spare = 11;                // the first dozen leave 12 s
    sets[12].spare = 10;                // the rest 10 s
    sets[13].spare = 9;
    sets[26].spare = 15;                // 7 of 24 late levels tight
    sets[30].walk.open = 19;            // the third quarter a move's worth flatter than the second
    sets[30].stored_wins = false;
    sets[31].stored_steps = 39;         // the search missed a shorter way
    sets[53].walk.longest_forced = 21;  // classic too
    sets[53].proved = false;
    sets[52].difficulty = sets[53].difficulty = 3;  // its third quarter no harder than the second
    const std::vector<std::string> want = {
        "zarn-006: 21 moves without a real choice from move 1 (at most 20)",
        "zarn-012: 11 s to spare at the fastest (at least 12)",
        "zarn-014: 9 s to spare at the fastest (at least 10)",
        "zarn-031: its stored solution does not win",
        "zarn-032: its stored solution takes 39 steps, the search's shortest 40",
        "lev006: the search did not prove it winnable in time",
        "lev006: 21 moves without a real choice from move 1 (at most 20)",
        "classic set: quarter 3 is not harder than quarter 2 on average",
        "normal levels 25 on: 7 of 24 leave under 15 s at the fastest (at least a third)",
        "normal set: the third quarter offers a choice at 49.8 % of its moves, the second at 50.0 %",
    };
    EXPECT_EQ(solver::check_limits(sets), want);
}
