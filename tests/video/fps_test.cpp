// The frame pacer on the virtual clock: a frame "works" by moving the clock
// on; controlFPS then sleeps (moves it on further) or not.
#include "support/game.h"

namespace {

using Sleeps = std::vector<uint32_t>;

class Pacer : public testing::Test {
protected:
    void SetUp() override
    {
        sys_use_virtual_clock(true);
        fps_frame_hook = nullptr;
        initFPS();
    }
    void TearDown() override { sys_use_virtual_clock(false); }
    // Runs frames of the given work (ms); returns how long each slept.
    Sleeps frames(std::vector<uint32_t> work)
    {
        Sleeps slept;
        for (uint32_t w : work) {
            sys_advance_clock(w);
            uint32_t before = sys_ticks();
            controlFPS();
            slept.push_back(sys_ticks() - before);
        }
        return slept;
    }
};

// Frames 0 and 1 of a group have 34 ms, frame 2 what is left of 100 ms from
// the group's start; each sleeps to 10 ms short of its budget. A clock going
// back counts the frame as its budget.
TEST_F(Pacer, FramesSleepToTheirBudgetCarryOverrunsForAtMostTwoFramesAndSurviveAClockGoingBack)
{
    const struct {
        std::vector<uint32_t> work;
        Sleeps slept;
    } cases[] = {
        {{5, 5, 5, 5, 5, 5}, {19, 19, 37, 19, 19, 37}},
        {{50, 5}, {0, 3}},                  // 16 ms of debt: 5 of work, 3 of sleep
        {{60, 60, 60, 5}, {0, 0, 0, 19}},   // the third frame clears the debt, unslept
        {{34, 34, 34, 5}, {0, 0, 0, 17}},   // a full frame is no debt; frame 2 overruns by 2
        {{23}, {1}},                        // 11 ms left
        {{24}, {0}},
        {{30}, {0}},
    };
    for (const auto& c : cases) {
        initFPS();
        EXPECT_EQ(frames(c.work), c.slept) << "first frame works " << c.work[0];
    }
    sys_set_clock(1000);
    initFPS();
    sys_set_clock(990);
    EXPECT_EQ(frames({0, 5}), (Sleeps{0, 19}));
    sys_set_clock(500);  // frame 2, against the group's start
    EXPECT_EQ(frames({0, 5}), (Sleeps{0, 19}));
    EXPECT_EQ(fpsGrpTick, 500u);
}

}  // namespace
