// The solver's measures on small levels whose answers are worked out by hand
// (what the route search proves unwinnable, tests/core shows).
#include "support/game.h"

#include "levelsrc.h"
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

TEST(Solver, ProvesWhatCanBeWonAndFindsTheShortestWay)
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
        solver::report r = solver::solve(lv, 5);
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
}
