// The frame pacer on the virtual clock: a frame "works" by moving the clock
// on; controlFPS then sleeps (moves it on further) or not.
#include <gtest/gtest.h>

#include <vector>

#include "core/clock.h"
#include "video/fps.h"

namespace {

using Sleeps = std::vector<uint32_t>;

class Pacer : public testing::Test {
protected:
    void SetUp() override
    {
        clock_use_virtual(true);
        fps_frame_hook = nullptr;
        initFPS();
    }
    void TearDown() override { clock_use_virtual(false); }
    // Runs frames of the given work (ms); returns how long each slept.
    Sleeps frames(std::vector<uint32_t> work)
    {
        Sleeps slept;
        for (uint32_t w : work) {
            clock_advance(w);
            uint32_t before = sys_ticks();
            controlFPS();
            slept.push_back(sys_ticks() - before);
        }
        return slept;
    }
};

TEST_F(Pacer, ShortFramesSleepToThreeFramesIn100Ms)
{
    // 34 - 5 - 10 twice, then up to 10 ms before 100 ms after the group's start.
    EXPECT_EQ(frames({5, 5, 5, 5, 5, 5}), (Sleeps{19, 19, 37, 19, 19, 37}));
    EXPECT_EQ(sys_ticks(), 180u);
    EXPECT_EQ(fpsGrpTick, 180u);
}

TEST_F(Pacer, OverrunsAreCarriedAsDebtForAtMostTwoFrames)
{
    EXPECT_EQ(frames({50}), Sleeps{0});
    EXPECT_EQ(framesSkipped * 1000 + fpsSum, 1016);
    EXPECT_EQ(frames({5}), Sleeps{3});  // 34 - 16 = 18 ms: 5 of work, 3 of sleep
    EXPECT_EQ(framesSkipped * 1000 + fpsSum, 0);

    initFPS();
    EXPECT_EQ(frames({60, 60}), (Sleeps{0, 0}));
    EXPECT_EQ(framesSkipped * 1000 + fpsSum, 2052);
    EXPECT_EQ(frames({60}), Sleeps{0});  // the debt is cleared, not slept
    EXPECT_EQ(framesSkipped * 1000 + fpsSum, 0);
}

TEST_F(Pacer, AClockGoingBackCountsTheFrameAsItsBudget)
{
    clock_set(1000);
    initFPS();
    clock_set(990);
    EXPECT_EQ(frames({0, 5}), (Sleeps{0, 19}));
    clock_set(500);  // frame 2, against the group's start
    EXPECT_EQ(frames({0}), Sleeps{0});
    EXPECT_EQ(fpsSum, 0);
    EXPECT_EQ(fpsGrpTick, 500u);
    EXPECT_EQ(frames({5}), Sleeps{19});
}

TEST_F(Pacer, LessThanTheMarginLeftMeansNoSleep)
{
    EXPECT_EQ(frames({23}), Sleeps{1});  // 11 ms left
    for (uint32_t work : {24u, 30u, 34u}) {
        initFPS();
        EXPECT_EQ(frames({work}), Sleeps{0}) << work;
        EXPECT_EQ(framesSkipped, 0);
    }
}

TEST_F(Pacer, TheFrameHookRunsAtTheEndOfEveryFrame)
{
    static int calls, position;
    calls = 0;
    fps_frame_hook = [] {
        calls++;
        position = cntFrames;
    };
    frames({5, 50});
    EXPECT_EQ(calls * 10 + position, 22);
    fps_frame_hook = nullptr;
}

}  // namespace
