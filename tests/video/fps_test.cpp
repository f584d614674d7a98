// The frame pacer on the virtual clock: each frame "works" by moving the
// clock on, then controlFPS sleeps (moves it on further) or not.
#include <gtest/gtest.h>

#include "core/clock.h"
#include "video/fps.h"

namespace {

class Pacer : public testing::Test {
protected:
    void SetUp() override
    {
        clock_use_virtual(true);
        fps_frame_hook = nullptr;
        initFPS();
    }
    void TearDown() override { clock_use_virtual(false); }
    // Runs a frame of work ms; returns how long the pacer slept.
    uint32_t frame(uint32_t work)
    {
        clock_advance(work);
        uint32_t before = sys_ticks();
        controlFPS();
        return sys_ticks() - before;
    }
};

TEST_F(Pacer, ShortFramesSleepToThirtyFramesPerSecond)
{
    EXPECT_EQ(frame(5), 19u);  // 34 - 5 - 10
    EXPECT_EQ(frame(5), 19u);
    EXPECT_EQ(sys_ticks(), 48u);
    EXPECT_EQ(frame(5), 37u);  // to 10 ms before 100 ms after the group's start
    EXPECT_EQ(sys_ticks(), 90u);
    EXPECT_EQ(cntFrames, 0);
    EXPECT_EQ(fpsGrpTick, 90u);
    // The next group counts from there.
    EXPECT_EQ(frame(5), 19u);
    EXPECT_EQ(frame(5), 19u);
    EXPECT_EQ(frame(5), 37u);
    EXPECT_EQ(sys_ticks(), 180u);
}

TEST_F(Pacer, AnOverrunIsCarriedIntoTheNextFrame)
{
    EXPECT_EQ(frame(50), 0u);
    EXPECT_EQ(framesSkipped, 1);
    EXPECT_EQ(fpsSum, 16);
    EXPECT_EQ(cntFrames, 1);
    // Frame 1 has 34 - 16 = 18 ms: 5 of work, 3 of sleep.
    EXPECT_EQ(frame(5), 3u);
    EXPECT_EQ(fpsSum, 0);
    EXPECT_EQ(framesSkipped, 0);
}

TEST_F(Pacer, AtMostTwoFramesInARowAreSkipped)
{
    EXPECT_EQ(frame(60), 0u);
    EXPECT_EQ(framesSkipped, 1);
    EXPECT_EQ(fpsSum, 26);
    EXPECT_EQ(frame(60), 0u);
    EXPECT_EQ(framesSkipped, 2);
    EXPECT_EQ(fpsSum, 52);
    EXPECT_EQ(frame(60), 0u);  // the debt is cleared, not slept
    EXPECT_EQ(framesSkipped, 0);
    EXPECT_EQ(fpsSum, 0);
    EXPECT_EQ(cntFrames, 0);
    EXPECT_EQ(fpsGrpTick, 180u);
}

TEST_F(Pacer, AClockGoingBackCountsTheFrameAsItsBudget)
{
    clock_set(1000);
    initFPS();
    clock_set(990);
    EXPECT_EQ(frame(0), 0u);
    EXPECT_EQ(fpsSum, 0);
    EXPECT_EQ(framesSkipped, 0);
    EXPECT_EQ(fpsCurTick, 990u);
    EXPECT_EQ(cntFrames, 1);
    // Frame 2 against the group's start.
    EXPECT_EQ(frame(5), 19u);
    clock_set(500);
    EXPECT_EQ(frame(0), 0u);
    EXPECT_EQ(fpsSum, 0);
    EXPECT_EQ(cntFrames, 0);
    EXPECT_EQ(fpsGrpTick, 500u);
}

TEST_F(Pacer, LessThanTheMarginLeftMeansNoSleep)
{
    EXPECT_EQ(frame(23), 1u);  // 11 ms left: sleeps 1
    initFPS();
    EXPECT_EQ(frame(24), 0u);  // 10 left
    initFPS();
    EXPECT_EQ(frame(30), 0u);
    EXPECT_EQ(fpsSum, 0);
    EXPECT_EQ(framesSkipped, 0);
}

TEST_F(Pacer, TheFrameHookRunsAtTheEndOfEveryFrame)
{
    static int calls;
    static int32_t seen;
    calls = 0;
    fps_frame_hook = [] {
        calls++;
        seen = cntFrames;
    };
    frame(5);
    frame(50);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(seen, 2);
    fps_frame_hook = nullptr;
}

}  // namespace
