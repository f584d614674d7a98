// The search's moves against the real play of the game's field, and the route
// search on small levels whose answers are worked out by hand.
#include "support/game.h"

#include <random>

namespace {

constexpr char MOVES[] = "UDLR";

// A route search over the level in Map, the player on its start.
struct route {
    std::unique_ptr<route_search> r = std::make_unique<route_search>();
    std::vector<uint64_t> table;

    explicit route(size_t words = size_t(1) << 16) : table(words) { route_memory(*r, table.data(), table.size()); }
    int32_t run(int32_t budget, uint64_t work_limit = UINT64_MAX)
    {
        route_begin(*r, game_field, MapData.start_col, MapData.start_row, budget, work_limit);
        while (route_run(*r, 1000) == ROUTE_RUNNING) {
        }
        return r->status;
    }
    std::string moves() const
    {
        std::string m;
        for (int k = 0; k < r->moves; k++)
            m += MOVES[r->route[k]];
        return m;
    }
};

}  // namespace

TEST(SearchMoves, EveryMoveEndsWhereAndWhenTheRulesOnTheGameFieldEndIt)
{
    std::mt19937 rng(1234);
    const char tiles[] = "oooooo***##|-^v<>..";
    auto lv = std::make_unique<search_level>();
    int moves = 0, falls = 0, refusals = 0;
    for (int round = 0; round < 300; round++) {
        std::vector<std::string> rows(LEVEL_ROWS);  // every kind of tile, the start in the middle
        for (auto& row : rows)
            for (int c = 0; c < LEVEL_COLS; c++)
                row += tiles[rng() % (sizeof tiles - 1)];
        rows[rng() % 12][rng() % 20] = 'T';
        rows[rng() % 12][rng() % 20] = 'T';
        rows[6][10] = 'S';
        std::string text;
        for (auto& row : rows)
            text += row + "\n";
        load_level_text(text);
        search_begin(*lv, game_field, MapData.start_col, MapData.start_row);
        search_state m = lv->root;
        play_state s;
        rules_start(s, game_field);
        for (int step = 0; step < 60 && !search_won(m); step++) {
            SCOPED_TRACE("round " + std::to_string(round) + " step " + std::to_string(step));
            // Mostly moves that keep the player standing, so walks run long;
            // now and then one from an earlier state, which the search must
            // put back on its own field.
            if (step % 7 == 6)
                search_apply(*lv, lv->root, int(rng() % 4));
            int dir = int(rng() % 4);
            for (int tries = 0; tries < 8 && search_apply(*lv, m, dir).result != SEARCH_MOVED; tries++)
                dir = int(rng() % 4);
            search_move r = search_apply(*lv, m, dir);
            int frames = 0;  // the real move, frame by frame until the player stands again
            do {
                rules_move(s, frames == 0 ? MOVE_UP + dir : MOVE_NONE, game_field);
                rules_resolve(s, game_field);
            } while (++frames < 2000 && s.move_state != 0);
            if (r.result == SEARCH_REFUSED) {
                refusals++;
                ASSERT_EQ(frames, 1);  // the player stood for a frame
                continue;
            }
            if (frames == 2000) {  // pushers in a ring: the real player never stops either
                ASSERT_EQ(r.result, SEARCH_FALL);
                break;
            }
            ASSERT_EQ(frames, r.steps * STEP_FRAMES);
            bool stands = Map[s.player_row][s.player_col].kind != KIND_EMPTY;
            ASSERT_EQ(stands, r.result == SEARCH_MOVED);
            if (!stands) {
                falls++;
                break;
            }
            moves++;
            m = r.next;
            ASSERT_EQ(m.pos, s.player_row * MAP_COLS + s.player_col);
            for (int cell = 0; cell < SEARCH_CELLS; cell++)
                ASSERT_EQ(search_kind_at(*lv, m, cell), Map[cell / MAP_COLS][cell % MAP_COLS].kind) << "cell " << cell;
            ASSERT_EQ(search_state_of(*lv, game_field, s.player_col, s.player_row), m);
            ASSERT_EQ(search_won(m), MapData.fields_left == 0);
        }
    }
    EXPECT_GT(moves, 1500);
    EXPECT_GT(falls, 100);
    EXPECT_GT(refusals, 20);
}

TEST(RouteSearch, FindsAWinningRouteWithinTheStepsAllowedOrProvesThereIsNone)
{
    const struct {
        const char* level;
        int32_t budget;
        int32_t status;
        const char* moves;  // the route found
        const char* why;
    } cases[] = {
        {"Sooo#", 99, ROUTE_FOUND, "RRRR", "a line of fields onto a solid one"},
        {"Sooo#", 3, ROUTE_NONE, "", "three fields are not left in three steps and stood beside"},
        {"Sooo.\n.ooo#\n.ooo.", 99, ROUTE_NONE, "", "a 3 x 3 block left beside the far middle: parity"},
        {"ooo\no.o\noSo\no..", 99, ROUTE_NONE, "", "a field hanging off the ring can never be left"},
        {"ooooo\no...o\nS>ooo", 12, ROUTE_FOUND, "RRRUULLLLDD", "a pusher in the ring: one way round only"},
        {"ooooo\no...o\nS>ooo", 11, ROUTE_NONE, "", "the push is a step of its own"},
        {"..#..\n..o..\nSo*oo\n..o.o\n..ooo", 12, ROUTE_FOUND, "RRDDRRUULLUU", "a mine crossed twice"},
        {"S|o\n#.o\n#oo", 99, ROUTE_NONE, "", "a track is not entered from the side"},
    };
    for (const auto& c : cases) {
        load_level_text(c.level);
        route r;
        ASSERT_EQ(r.run(c.budget), c.status) << c.why;
        if (c.status != ROUTE_FOUND)
            continue;
        EXPECT_EQ(r.moves(), c.moves) << c.why;
        load_level_text(c.level);
        EXPECT_EQ(play_on_field(r.moves()), r.r->steps) << c.why << ": the route does not win on the field";
        EXPECT_LE(r.r->steps, c.budget) << c.why;
    }
}

TEST(RouteSearch, WorksInSlicesThatKeepToTheirSizeAndGivesUpOnWorkOrMemory)
{
    // A block of fields with mines in it: many turns, many dead ends.
    const char* level = "oooo*o\nSooooo\no*oooo\n#ooooo\nooo*oo";
    load_level_text(level);
    route whole;
    ASSERT_EQ(whole.run(999), ROUTE_FOUND);
    const uint64_t whole_work = whole.r->level.work;
    EXPECT_GT(whole_work, 2000u) << "too small a search to slice";

    route sliced;
    route_begin(*sliced.r, game_field, MapData.start_col, MapData.start_row, 999, UINT64_MAX);
    uint64_t most = 0;
    int slices = 0;
    for (uint64_t before = sliced.r->level.work; sliced.r->status == ROUTE_RUNNING; slices++) {
        route_run(*sliced.r, 100);
        most = std::max(most, sliced.r->level.work - before);
        before = sliced.r->level.work;
    }
    EXPECT_EQ(sliced.moves(), whole.moves()) << "slices change nothing but when the work is done";
    EXPECT_EQ(sliced.r->level.work, whole_work);
    EXPECT_GT(slices, 20);
    EXPECT_LE(most, 100u + 64u) << "a slice runs over by one expansion at most";

    route tired;
    EXPECT_EQ(tired.run(999, whole_work / 2), ROUTE_GAVE_UP);
    EXPECT_LE(tired.r->level.work, whole_work / 2 + 64);
    for (size_t words : {0, 2, 64}) {  // no table, less than a slot, a few slots
        route cramped(words);
        EXPECT_EQ(cramped.run(999), ROUTE_GAVE_UP) << words;
    }
}
