// Every shipped level won through the real play loop: loaded from the maps
// archive as the game loads it, played with its stored solution by the keys.
#include <gtest/gtest.h>

#include "core/level.h"
#include "core/play.h"
#include "core/state.h"
#include "support/boot.h"
#include "support/play_script.h"

#include <fstream>
#include <string>

namespace {

// The "solution:" line of a level source.
std::string solution_of(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("solution:", 0) == 0)
            return line.substr(9);
    return "";
}

std::string sources()
{
    std::string here = __FILE__;
    return here.substr(0, here.rfind("/tests/")) + "/assets/levels/";
}

TEST(ShippedPlay, EveryLevelIsWonWithItsSolutionThroughThePlayLoop)
{
    boot_game();
    if (!input_reads_keys()) {
        shutdown_game();
        GTEST_SKIP() << "the input module of this tree reads no keys";
    }
    struct set_info {
        const char* dir;
        const char* pattern;
        int count, classic;
    };
    for (const set_info& set : {set_info{"normal/", "zarn-%03d.txt", 48, 0}, set_info{"classic/", "lev%03d.txt", 32, 1}}) {
        for (int level = 1; level <= set.count; level++) {
            char name[32];
            snprintf(name, sizeof name, set.pattern, level);
            std::string moves = solution_of(sources() + set.dir + name);
            ASSERT_FALSE(moves.empty()) << name;
            classic_mode = set.classic;
            maxmap = set.count;
            curr_map = level;
            quit_zarn = 0;
            Player = player_record{};
            Player.lives = 3;
            Player.perfect = 1;
            init_maps(level, set.classic);
            int fields = MapData.fields_left;
            play_result res = play_moves(moves);
            EXPECT_EQ(res.outcome, PLAY_WON) << set.dir << name << " after " << res.frames << " frames";
            EXPECT_EQ(res.lives, 4) << name;
            EXPECT_GE(res.score, fields + 100) << name;
            EXPECT_FALSE(res.cut_off) << name;
        }
    }
    // One move short, the first level is not won.
    classic_mode = 0;
    maxmap = 48;
    curr_map = 1;
    quit_zarn = 0;
    Player.lives = 3;
    init_maps(1, 0);
    std::string moves = solution_of(sources() + "normal/zarn-001.txt");
    play_result res = play_moves(moves.substr(0, moves.find_last_not_of(' ')));
    EXPECT_NE(res.outcome, PLAY_WON);
    EXPECT_EQ(res.curr_map, 1);
    shutdown_game();
}

}  // namespace
