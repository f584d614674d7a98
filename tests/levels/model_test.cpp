// The solver's cell model against the real rules, and the solver's search on
// small levels whose answers are known.
#include <gtest/gtest.h>

#include "config/input.h"
#include "core/level.h"
#include "core/rules.h"
#include "core/state.h"
#include "levels.h"
#include "solver.h"

#include <random>

namespace {

levelsrc::level_source level_of(std::initializer_list<const char*> rows)
{
    levelsrc::level_source src;
    src.title = "test";
    src.solution = "U";
    int r = 0;
    for (const char* row : rows) {
        src.rows[r] = row;
        src.rows[r++].resize(levelsrc::COLS, '.');
    }
    for (; r < levelsrc::ROWS; r++)
        src.rows[r] = std::string(levelsrc::COLS, '.');
    return src;
}

// A random level with every kind of tile, start in the middle.
levelsrc::level_source random_level(std::mt19937& rng)
{
    const char tiles[] = "oooooo***##|-^v<>..";
    levelsrc::level_source src;
    src.title = "random";
    src.solution = "U";
    for (auto& row : src.rows) {
        row.clear();
        for (int c = 0; c < levelsrc::COLS; c++)
            row += tiles[rng() % (sizeof tiles - 1)];
    }
    src.rows[rng() % 12][rng() % 20] = 'T';
    src.rows[rng() % 12][rng() % 20] = 'T';
    src.rows[6][10] = 'S';
    return src;
}

// Plays one move through the real rules; false when the player fell.
bool real_move(play_state& s, int dir)
{
    constexpr int32_t bit[4] = {CTRL_UP, CTRL_DOWN, CTRL_LEFT, CTRL_RIGHT};
    rules_move(s, bit[dir]);
    rules_resolve();
    for (int guard = 0; s.move_state != 0 && guard < 10000; guard++) {
        rules_move(s, 0);
        rules_resolve();
    }
    return Map[s.player_row][s.player_col].kind != KIND_EMPTY;
}

// The model's state and the real field agree cell by cell.
void expect_same(const solver::level& lv, const solver::state& m, const play_state& s, int step)
{
    ASSERT_EQ(m.pos, s.player_row * MAP_COLS + s.player_col) << "step " << step;
    for (int row = 1; row <= LEVEL_ROWS; row++)
        for (int col = 1; col <= LEVEL_COLS; col++)
            ASSERT_EQ(solver::kind_at(lv, m, row * MAP_COLS + col), Map[row][col].kind)
                << "step " << step << " row " << row << " col " << col;
}

}  // namespace

TEST(SolverModel, MovesExactlyLikeTheRealRules)
{
    std::mt19937 rng(1234);
    int moves = 0, falls = 0, wins = 0;
    for (int round = 0; round < 400; round++) {
        levelsrc::level_source src = random_level(rng);
        solver::level lv = solver::from_source(src);
        solver::state m = solver::start_state(lv);
        play_state s;
        rules_start(s);
        for (int step = 0; step < 60; step++) {
            // Mostly moves that keep the player standing, so walks run long.
            int dir = int(rng() % 4);
            for (int tries = 0; tries < 8 && solver::apply(lv, m, dir).result != solver::outcome::moved; tries++)
                dir = int(rng() % 4);
            solver::move_result r = solver::apply(lv, m, dir);
            if (r.result == solver::outcome::refused)
                continue;  // the real game would stand for a frame
            if (r.steps > 40)
                break;     // pushers in a ring: the real player never stops either
            bool stands = real_move(s, dir);
            moves++;
            ASSERT_EQ(stands, r.result == solver::outcome::moved) << "round " << round << " step " << step;
            if (!stands) {
                falls++;
                break;
            }
            m = r.next;
            expect_same(lv, m, s, step);
            if (HasFatalFailure())
                return;
            ASSERT_EQ(solver::won(m), MapData.fields_left == 0);
            if (solver::won(m)) {
                wins++;
                break;
            }
        }
    }
    EXPECT_GT(moves, 2000);
    EXPECT_GT(falls, 100);
    printf("%d moves compared, %d falls, %d wins\n", moves, falls, wins);
}

TEST(SolverModel, PushersTeleportersAndTracksChainAsInTheGame)
{
    // Right onto a pusher chain that throws the player onto a teleporter,
    // arriving at the other one; a track refuses a sideways step.
    levelsrc::level_source src = level_of({
        "S>>T................",
        "-|..................",
        "oo.........T#.......",
    });
    solver::level lv = solver::from_source(src);
    solver::state s = solver::start_state(lv);
    solver::move_result r = solver::apply(lv, s, 3);
    ASSERT_EQ(r.result, solver::outcome::moved);
    EXPECT_EQ(r.steps, 3);
    EXPECT_EQ(r.next.pos, 3 * MAP_COLS + 12);  // the second teleporter
    EXPECT_EQ(r.specials, solver::SPECIAL_PUSHER | solver::SPECIAL_TELEPORT);
    EXPECT_EQ(solver::apply(lv, s, 1).result, solver::outcome::refused);  // onto a horizontal track from above
    EXPECT_EQ(solver::apply(lv, s, 0).result, solver::outcome::fall);     // off the top edge
}

TEST(Solver, ProvesParityTrapsUnwinnableAndFindsTheShortestWay)
{
    // Nine fields in a 3 x 3 block, entered at a corner, left beside the
    // middle of the far side: the chessboard colours cannot work out.
    levelsrc::level_source trap = level_of({"Sooo.", ".ooo#", ".ooo."});
    solver::report r = solver::solve(solver::from_source(trap), 5);
    EXPECT_FALSE(r.solved);
    EXPECT_TRUE(r.complete);

    // Two ways round a solid loop to one field: the short one is found.
    levelsrc::level_source loop = level_of({
        "S####o#",
        "#.....#",
        "#######",
    });
    r = solver::solve(solver::from_source(loop), 5);
    ASSERT_TRUE(r.solved && r.complete);
    EXPECT_EQ(r.solution.substr(0, 5), "RRRRR");
    EXPECT_EQ(r.steps, 6);
    EXPECT_EQ(r.seconds, 1);
    EXPECT_EQ(r.solutions, 2u);  // off the field to the left or to the right
}

TEST(Solver, CountsSolutionsAndLosingFirstMoves)
{
    // A field hanging off a field is a dead end that can never be left.
    levelsrc::level_source ring = level_of({
        "ooo",
        "o.o",
        "oSo",
        "o..",
    });
    solver::report r = solver::solve(solver::from_source(ring), 5);
    EXPECT_FALSE(r.solved);
    EXPECT_TRUE(r.complete);
    // Without it: a ring through the start, once each way round.
    levelsrc::level_source fair = level_of({
        "ooo",
        "o.o",
        "oSo",
    });
    r = solver::solve(solver::from_source(fair), 5);
    ASSERT_TRUE(r.solved && r.complete);
    EXPECT_EQ(r.solutions, 2u);
    EXPECT_EQ(r.losing_first, 0);

    // A pusher in the ring: only one way round works, and the first step
    // the other way loses although it does not fall.
    levelsrc::level_source arrow = level_of({
        "ooooo",
        "o...o",
        "S>ooo",
    });
    r = solver::solve(solver::from_source(arrow), 5);
    ASSERT_TRUE(r.solved && r.complete);
    EXPECT_EQ(r.solutions, 1u);
    EXPECT_EQ(r.losing_first, 1);
    EXPECT_EQ(r.solution, "RRRUULLLLDD");
    EXPECT_EQ(r.steps, 12);  // the push is a step of its own
    EXPECT_TRUE(replay(arrow, r.solution).won);
    EXPECT_FALSE(replay(arrow, "UURRRRDDLL").won);

    // A mine that must be crossed twice: the crossing is only possible one
    // way, and a first step the wrong way round loses.
    levelsrc::level_source cross = level_of({
        "..#..",
        "..o..",
        "S.*oo",
        "..o.o",
        "..ooo",
    });
    r = solver::solve(solver::from_source(cross), 5);
    EXPECT_FALSE(r.solved);  // the start does not touch the field
    cross.rows[2] = "So*oo" + std::string(15, '.');
    r = solver::solve(solver::from_source(cross), 5);
    ASSERT_TRUE(r.solved && r.complete);
    EXPECT_EQ(r.specials & solver::SPECIAL_MINE, solver::SPECIAL_MINE);
    EXPECT_EQ(r.solutions, 2u);  // round the loop either way
    replay_result play = replay(cross, r.solution);
    EXPECT_TRUE(play.won);
}
