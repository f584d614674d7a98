#include <gtest/gtest.h>

#include "levels.h"
#include "solver.h"

TEST(Shipped, EveryStoredSolutionWinsThroughTheRealRules)
{
    for (const char* set : {"normal", "classic"}) {
        for (const shipped_level& l : shipped(set)) {
            replay_result r = replay(l.src, l.src.solution);
            EXPECT_TRUE(r.won) << l.name << (r.fell ? ": falls" : r.timed_out ? ": time up" : ": not won");
            EXPECT_GE(r.time_left, 1) << l.name;
            printf("%s won %d time_left %d frames %d score %d\n", l.name.c_str(), r.won, r.time_left, r.frames, r.score);
        }
    }
}
