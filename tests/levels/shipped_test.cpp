// The shipped level sets (the data build has held them to their limits with
// the solver): the hints' search finds its way through every level, the
// archive holds what the sources draw, and every stored solution travels in
// the archive beside its level (the data build proves each wins, solver
// --check, and the game plays each as a replay,
// Replays.EveryShippedLevelsReplayVerifies).
#include "support/game.h"

#include "model/levelsrc.h"
#include "solver.h"

namespace {

struct level_set {
    const char* dir;
    size_t count;
    int classic;
};

constexpr level_set SETS[] = {{"normal", 48, 0}, {"classic", 32, 1}};

// The sources of a set, each named after its archive entry, and no others.
std::vector<levelsrc::level_source> shipped(const level_set& set)
{
    const std::string dir = std::string(ZARN_LEVEL_SOURCES) + "/" + set.dir;
    EXPECT_EQ(size_t(std::distance(std::filesystem::directory_iterator(dir), {})), set.count) << dir;
    std::vector<levelsrc::level_source> levels(set.count);
    for (size_t i = 0; i < set.count; i++) {
        std::string path = dir + "/" + level_entry_name(int(i) + 1, set.classic) + ".txt", text, error;
        EXPECT_TRUE(levelsrc::read_file(path, text) && levelsrc::parse(text, levels[i], error)) << path << error;
    }
    return levels;
}

}  // namespace

// Every level is packed as its source, with its stored solution beside it,
// under a title of its own; the hints' search, with its memory and work, finds
// from the start a way that wins on the game's field in the level's time.
TEST(Shipped, EveryLevelIsPackedWithItsSolutionAndTheHintsSearchWinsItFromTheStart)
{
    boot_game();
    auto r = std::make_unique<route_search>();
    std::vector<uint64_t> table(HINT_TABLE_WORDS);
    route_memory(*r, table.data(), table.size());
    for (const level_set& set : SETS) {
        std::vector<levelsrc::level_source> levels = shipped(set);
        std::set<std::string> titles;
        for (int i = 0; i < int(levels.size()); i++) {
            const levelsrc::level_source& src = levels[i];
            const char* name = level_entry_name(i + 1, set.classic);
            EXPECT_TRUE(titles.insert(src.title).second) << "title used twice: " << src.title;
            uint32_t len = 0;
            auto* packed = static_cast<uint8_t*>(loadQVAFile(QVA_MAPS, name, "zlv", &len));
            ASSERT_NE(packed, nullptr) << name;
            EXPECT_EQ(std::vector<uint8_t>(packed, packed + len), levelsrc::encode(src)) << name;
            free(packed);
            char moves[SOLUTION_MAX + 1];
            EXPECT_EQ(load_solution(i + 1, set.classic, moves, sizeof moves), src.solution.size()) << name;
            EXPECT_EQ(moves, src.solution) << name << ": the attract mode plays the stored solution";

            solver::level lv = solver::from_source(src);
            memcpy(Map, lv.start->map, sizeof Map);  // the game's field, which play_on_field plays
            MapData = lv.start->data;
            route_begin(*r, game_field, MapData.start_col, MapData.start_row, solver::steps_allowed(lv.time_limit),
                        HINT_GIVE_UP_WORK);
            while (route_run(*r, HINT_SLICE_WORK) == ROUTE_RUNNING) {
            }
            ASSERT_EQ(r->status, ROUTE_FOUND) << src.title;
            std::string route;
            for (int k = 0; k < r->moves; k++)
                route += solver::MOVE_CHARS[r->route[k]];
            EXPECT_EQ(play_on_field(route), r->steps) << src.title << ": " << route;
            EXPECT_LE(solver::seconds_needed(r->steps), lv.time_limit) << src.title;
        }
    }
    shutdown_game();
}
