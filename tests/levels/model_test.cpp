// The solver's model of a move against the real rules, and its search on
// small levels whose answers are worked out by hand.
#include <gtest/gtest.h>

#include "config/input.h"
#include "core/level.h"
#include "core/rules.h"
#include "core/state.h"
#include "levelsrc.h"
#include "solver.h"

#include <cstring>
#include <random>

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

TEST(SolverModel, EveryMoveEndsWhereAndWhenTheRealRulesEndIt)
{
    std::mt19937 rng(1234);
    const char tiles[] = "oooooo***##|-^v<>..";
    int moves = 0, falls = 0, refusals = 0;
    for (int round = 0; round < 400; round++) {
        levelsrc::level_source src;  // every kind of tile, the start in the middle
        for (auto& row : src.rows)
            for (int c = 0; c < levelsrc::COLS; c++)
                row += tiles[rng() % (sizeof tiles - 1)];
        src.rows[rng() % 12][rng() % 20] = 'T';
        src.rows[rng() % 12][rng() % 20] = 'T';
        src.rows[6][10] = 'S';
        solver::level lv = solver::from_source(src);
        solver::state m = solver::start_state(lv);
        play_state s;
        rules_start(s);
        for (int step = 0; step < 60 && !solver::won(m); step++) {
            SCOPED_TRACE("round " + std::to_string(round) + " step " + std::to_string(step));
            int dir = int(rng() % 4);  // mostly moves that keep the player standing, so walks run long
            for (int tries = 0; tries < 8 && solver::apply(lv, m, dir).result != solver::outcome::moved; tries++)
                dir = int(rng() % 4);
            solver::move_result r = solver::apply(lv, m, dir);
            if (r.steps > 40)
                break;  // pushers in a ring: the real player never stops either
            int frames = 0;  // the real move, frame by frame until the player stands again
            do {
                rules_move(s, frames == 0 ? MOVE_UP + dir : MOVE_NONE);
                rules_resolve(s);
            } while (++frames < 10000 && s.move_state != 0);
            if (r.result == solver::outcome::refused) {
                refusals++;
                ASSERT_EQ(frames, 1);  // the player stood for a frame
                continue;
            }
            ASSERT_EQ(frames, r.steps * STEP_FRAMES);
            bool stands = Map[s.player_row][s.player_col].kind != KIND_EMPTY;
            ASSERT_EQ(stands, r.result == solver::outcome::moved);
            if (!stands) {
                falls++;
                break;
            }
            moves++;
            m = r.next;
            ASSERT_EQ(m.pos, s.player_row * MAP_COLS + s.player_col);
            for (int cell = 0; cell < solver::CELLS; cell++)
                ASSERT_EQ(solver::kind_at(lv, m, cell), Map[cell / MAP_COLS][cell % MAP_COLS].kind) << "cell " << cell;
            ASSERT_EQ(solver::won(m), MapData.fields_left == 0);
        }
    }
    EXPECT_GT(moves, 2000);
    EXPECT_GT(falls, 100);
    EXPECT_GT(refusals, 20);
}

TEST(SolverModel, APusherChainIntoATeleporterIsOneMoveOfThreeSteps)
{
    solver::level lv = solver::from_source(level_of({"S>>T", "-|", "oo.........T#"}));
    solver::move_result r = solver::apply(lv, solver::start_state(lv), 3);
    ASSERT_EQ(r.result, solver::outcome::moved);
    EXPECT_EQ(r.steps, 3);
    EXPECT_EQ(r.next.pos, 3 * MAP_COLS + 12);  // at the other teleporter
    EXPECT_EQ(r.specials, solver::SPECIAL_PUSHER | solver::SPECIAL_TELEPORT);
}

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
        {{"Sooo.", ".ooo#", ".ooo."}, false, 0, 0, "", 0, 0, 0, "a 3 x 3 block left beside the far middle: parity"},
        {{"S####o#", "#.....#", "#######"}, true, 2, 0, "RRRRR", 6, 1, 0, "the short way round a loop; off either side"},
        {{"ooo", "o.o", "oSo", "o.."}, false, 0, 0, "", 0, 0, 0, "a field hanging off the ring can never be left"},
        {{"ooo", "o.o", "oSo"}, true, 2, 0, "", 8, 2, 0, "a ring through the start, once each way"},
        {{"ooooo", "o...o", "S>ooo"}, true, 1, 1, "RRRUULLLLDD", 12, 2, solver::SPECIAL_PUSHER,
         "a pusher in the ring: the push is a step of its own, the other way round loses"},
        {{"..#..", "..o..", "S.*oo", "..o.o", "..ooo"}, false, 0, 0, "", 0, 0, 0, "the start does not touch the field"},
        {{"..#..", "..o..", "So*oo", "..o.o", "..ooo"}, true, 2, 0, "RR", 12, 2, solver::SPECIAL_MINE,
         "a mine crossed twice, round the loop either way"},
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
