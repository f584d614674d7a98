// Every shipped level played through the real play loop, headless on the
// virtual clock, by holding the keys of its stored solution: the level is
// won, and the score and the time left are what the solution promises.
#include <gtest/gtest.h>

#include "core/clock.h"
#include "core/level.h"
#include "core/play.h"
#include "core/state.h"
#include "levels.h"
#include "solver.h"
#include "support/boot.h"
#include "support/play_script.h"

#include <string>
#include <vector>

namespace {

const char* const KEY_NAMES[4] = {"UP", "DOWN", "LEFT", "RIGHT"};

// The script of a solution: the start screen is confirmed in frame 1, play
// starts in frame 2, each move's key is held from the frame its step starts
// until the next one (a push takes a step of its own), and the closing
// screen is confirmed once the last step has ended.
std::string solution_script(const solver::level& lv, const std::string& moves)
{
    std::string text = "1 press RETURN\n";
    solver::state s = solver::start_state(lv);
    int frame = 2, held = -1;
    for (char m : moves) {
        int dir = int(std::string("UDLR").find(m));
        if (held != dir) {
            if (held >= 0)
                text += std::to_string(frame) + " release " + KEY_NAMES[held] + "\n";
            text += std::to_string(frame) + " hold " + KEY_NAMES[dir] + "\n";
            held = dir;
        }
        solver::move_result r = solver::apply(lv, s, dir);
        s = r.next;
        frame += r.steps * 5;
    }
    text += std::to_string(frame) + " release " + KEY_NAMES[held] + "\n";
    text += std::to_string(frame + 1) + " press RETURN\n";
    return text;
}

}  // namespace

TEST(ShippedInPlay, EveryLevelIsWonThroughThePlayLoop)
{
    boot_game();
    for (int classic = 0; classic <= 1; classic++) {
        const auto& levels = shipped(classic ? "classic" : "normal");
        for (size_t i = 0; i < levels.size(); i++) {
            const shipped_level& l = levels[i];
            solver::level lv = solver::from_source(l.src);
            int steps = 0;
            ASSERT_TRUE(solver::check(lv, l.src.solution, &steps)) << l.name;
            state_reset();
            classic_mode = classic;
            maxmap = int(levels.size());
            curr_map = int(i) + 1;
            Player.lives = 3;
            Player.perfect = 1;
            play_script s = script(solution_script(lv, l.src.solution));
            // The clock a frame reads is the one the frame before left: the
            // level clock loses a second whenever the second changes, the
            // first frame of play comparing with second 0.
            std::vector<uint32_t> ticks(1, 0);
            play_result res = run_script(
                s,
                [&] {
                    init_maps(curr_map, classic_mode);
                    engine();
                },
                [&](int) { ticks.push_back(sys_ticks()); });
            int last_frame = 1 + steps * 5, time_left = lv.time_limit;
            ASSERT_GT(int(ticks.size()), last_frame) << l.name;
            for (int f = 2, second = 0; f <= last_frame; f++) {
                int now = int(ticks[f - 1] / 1000);
                time_left -= now != second;
                second = now;
            }
            EXPECT_EQ(engine_outcome, PLAY_WON) << l.name;
            EXPECT_EQ(MapData.time_left, time_left) << l.name;
            EXPECT_GE(time_left, lv.time_limit - solver::seconds_needed(steps) - 1) << l.name;
            EXPECT_EQ(res.score, lv.fields + 3 * lv.mines + time_left + 100) << l.name;
            EXPECT_EQ(res.lives, 4) << l.name << ": a perfect level gives a life";
        }
    }
    shutdown_game();
}
