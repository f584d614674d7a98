// The search's moves against the real play of the game's field, and the route
// search: against a plain search of every state on small random fields (every
// kind of tile), and in slices.
#include "support/game.h"

#include <queue>
#include <random>

namespace {

// A route search over the level in Map, the player on its start.
struct route {
    std::unique_ptr<route_search> r = std::make_unique<route_search>();
    std::vector<uint64_t> table;
    int slices = 0;              // calls of route_run
    uint64_t largest_slice = 0;  // the most work one of them did

    explicit route(size_t words = size_t(1) << 16) : table(words) { route_memory(*r, table.data(), table.size()); }
    int32_t run(int32_t budget, uint64_t work_limit = UINT64_MAX, uint64_t slice = 1000)
    {
        route_begin(*r, game_field, MapData.start_col, MapData.start_row, budget, work_limit);
        for (uint64_t before = r->level.work; r->status == ROUTE_RUNNING; slices++, before = r->level.work) {
            route_run(*r, slice);
            largest_slice = std::max(largest_slice, r->level.work - before);
        }
        return r->status;
    }
    std::string moves() const
    {
        std::string m;
        for (int k = 0; k < r->moves; k++)
            m += "UDLR"[r->route[k]];
        return m;
    }
};

// The fewest steps that win from the start of the level in Map, by a plain
// search of every state the moves reach, nearest first; -1 when none wins.
int32_t fewest_steps()
{
    auto lv = std::make_unique<search_level>();
    search_begin(*lv, game_field, MapData.start_col, MapData.start_row);
    using state = std::tuple<int32_t, search_bits, search_bits>;  // a search_state, ordered
    std::set<state> settled;
    std::priority_queue<std::pair<int32_t, state>, std::vector<std::pair<int32_t, state>>, std::greater<>> queue;
    queue.push({0, {lv->root.pos, lv->root.alive, lv->root.mine}});
    while (!queue.empty()) {
        auto [steps, k] = queue.top();
        queue.pop();
        const search_state s = {std::get<0>(k), std::get<1>(k), std::get<2>(k)};
        if (!settled.insert(k).second)
            continue;  // reached before, in fewer steps
        if (search_won(s))
            return steps;
        for (int d = 0; d < 4; d++)
            if (search_move m = search_apply(*lv, s, d); m.result == SEARCH_MOVED)
                queue.push({steps + m.steps, {m.next.pos, m.next.alive, m.next.mine}});
    }
    return -1;
}

}  // namespace

TEST(SearchMoves, EveryMoveEndsWhereAndWhenTheRulesOnTheGameFieldEndIt)
{
    std::mt19937 rng(1234);
    const char tiles[] = "oooooo***##|-^v<>..";
    auto lv = std::make_unique<search_level>();
    int moves = 0, falls = 0, refusals = 0;
    for (int round = 0; round < 300; round++) {
        std::string text;  // every kind of tile, the start in the middle
        for (int cell = 0; cell < LEVEL_ROWS * (LEVEL_COLS + 1); cell++)
            text += cell % (LEVEL_COLS + 1) == LEVEL_COLS ? '\n' : tiles[rng() % (sizeof tiles - 1)];
        for (int t = 0; t < 2; t++) {
            const int row = int(rng() % 12);
            text[row * (LEVEL_COLS + 1) + rng() % 20] = 'T';
        }
        text[6 * (LEVEL_COLS + 1) + 10] = 'S';
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
            for (int cell = 0; cell < SEARCH_CELLS; cell++)
                ASSERT_EQ(search_kind_at(*lv, m, cell), Map[cell / MAP_COLS][cell % MAP_COLS].kind) << "cell " << cell;
            ASSERT_EQ(search_state_of(*lv, game_field, s.player_col, s.player_row), m);  // where, and what is left
            ASSERT_EQ(search_won(m), MapData.fields_left == 0);
        }
    }
    EXPECT_GT(moves, 1500);
    EXPECT_GT(falls, 100);
    EXPECT_GT(refusals, 20);
}

TEST(RouteSearch, FindsTheShortestWinExactlyWithinItsStepsOnSmallRandomFields)
{
    // What the search leaves out as hopeless or too far must never hold a
    // win: with the fewest steps that win allowed it finds one, with a step
    // less it proves there is none.
    std::mt19937 rng(77);
    const char tiles[] = "oooooo****###|-<>^v...";
    int wins = 0, losses = 0;
    for (int round = 0; round < 400; round++) {
        int cols = 3 + int(rng() % 3), rows = 3 + int(rng() % 2);
        std::string text;
        for (int row = 0; row < rows; row++, text += "\n")
            for (int col = 0; col < cols; col++)
                text += tiles[rng() % (sizeof tiles - 1)];
        text[rng() % (text.size() - 1)] = 'S';
        for (int t = round % 3 == 0 ? 2 : 0; t > 0; t--)
            text[rng() % (text.size() - 1)] = 'T';
        if (std::count(text.begin(), text.end(), 'S') != 1 || std::count(text.begin(), text.end(), '\n') != rows ||
            std::count(text.begin(), text.end(), 'T') % 2)
            continue;
        load_level_text(text);
        const int32_t fewest = fewest_steps();
        if (fewest == 0)
            continue;  // nothing to destroy
        route r;
        if (fewest < 0) {
            EXPECT_EQ(r.run(999), ROUTE_NONE) << text;
            losses++;
            continue;
        }
        EXPECT_EQ(r.run(fewest - 1), ROUTE_NONE) << text;
        EXPECT_EQ(r.run(fewest), ROUTE_FOUND) << text;
        EXPECT_EQ(play_on_field(r.moves()), fewest) << text;
        wins++;
    }
    EXPECT_GT(wins, 60);
    EXPECT_GT(losses, 60);
}

TEST(RouteSearch, WorksInSlicesThatKeepToTheirSizeAndGivesUpOnWorkOrMemory)
{
    // A block of fields with mines in it: many turns, many dead ends.
    const char* level = "ooo*oo\no*oooo\nSooo*o\noooooo\n#o*ooo\nooooo#";
    load_level_text(level);
    route whole;
    ASSERT_EQ(whole.run(999), ROUTE_FOUND);
    const uint64_t whole_work = whole.r->level.work;
    EXPECT_GT(whole_work, 2000u) << "too small a search to slice";

    // Slices of one unit are single moves of the search; slices of a hundred
    // stop at the first move that reaches their size.
    route move, sliced;
    move.run(999, UINT64_MAX, 1);
    sliced.run(999, UINT64_MAX, 100);
    for (const route* r : {&move, &sliced}) {
        EXPECT_EQ(r->moves(), whole.moves()) << "slices change nothing but when the work is done";
        EXPECT_EQ(r->r->level.work, whole_work);
        EXPECT_GT(r->slices, 20);
    }
    EXPECT_LT(sliced.largest_slice, 100 + move.largest_slice) << "a slice runs over by one move of the search at most";

    route tired;
    EXPECT_EQ(tired.run(999, whole_work / 2), ROUTE_GAVE_UP);
    EXPECT_LT(tired.r->level.work, whole_work / 2 + move.largest_slice);
    for (size_t words : {0, 2, 64}) {  // no table, less than a slot, a few slots
        route cramped(words);
        EXPECT_EQ(cramped.run(999), ROUTE_GAVE_UP) << words;
    }
}
