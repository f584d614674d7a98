#include "video/fps.h"

#include "sys/clock.h"

int32_t cntFrames;
uint32_t fpsCurTick;
uint32_t fpsGrpTick;
int32_t fpsSum;
int32_t framesSkipped;
void (*fps_frame_hook)();

namespace {

constexpr int32_t FRAME_BUDGET = 34;   // frames 0 and 1 of a group
constexpr int32_t GROUP_BUDGET = 100;  // frame 2, from the group start
// A native sleep may overshoot, so the pacer wakes a little early. A
// browser's timer fires late, never early, and the page shows the frame at
// its next refresh anyway: there the whole budget is slept.
#ifdef __EMSCRIPTEN__
constexpr int32_t SLEEP_MARGIN = 0;
#else
constexpr int32_t SLEEP_MARGIN = 10;
#endif

// Sleeps away what is left of the budget, less the margin; never spins.
// True when it slept.
bool sleep_rest(int32_t remaining)
{
    if (remaining <= 0)
        return false;
    uint32_t tick = sys_ticks();
    if (tick < fpsCurTick)
        return false;
    uint32_t target = fpsCurTick + static_cast<uint32_t>(remaining);
    if (tick < target - SLEEP_MARGIN) {
        tick = sys_ticks();
        int32_t ms = static_cast<int32_t>(target - tick) - SLEEP_MARGIN;
        if (ms > 0) {
            sys_usleep(static_cast<uint32_t>(ms) * 1000);
            return true;
        }
    }
    return false;
}

}  // namespace

void initFPS()
{
    fpsCurTick = fpsGrpTick = sys_ticks();
    cntFrames = 0;
    fpsSum = 0;
    framesSkipped = 0;
}

void controlFPS()
{
    uint32_t prev = fpsCurTick;
    uint32_t now = sys_ticks();
    fpsCurTick = now;
    int32_t budget;
    if (cntFrames <= 1) {
        budget = FRAME_BUDGET;
        if (now >= prev) {
            fpsSum += static_cast<int32_t>(now - prev);
        } else {  // the tick counter went back: count the frame as its budget
            fpsSum += FRAME_BUDGET;
            fpsCurTick = prev + FRAME_BUDGET;
        }
    } else {
        budget = GROUP_BUDGET;
        if (now >= fpsGrpTick) {
            fpsSum += static_cast<int32_t>(now - fpsGrpTick);
        } else {
            fpsSum += GROUP_BUDGET;
            fpsCurTick = fpsGrpTick + GROUP_BUDGET;
        }
    }
    bool slept = false;
    if (fpsSum > budget && framesSkipped <= 1) {
        fpsSum -= budget;  // the overrun is carried as debt
        framesSkipped++;
    } else {
        slept = sleep_rest(budget - fpsSum);
        fpsSum = 0;
        framesSkipped = 0;
    }
#ifdef __EMSCRIPTEN__
    // A browser shows the frame and takes input only while the game sleeps:
    // a frame that overran still gives it its turn.
    if (!slept)
        sys_usleep(0);
#else
    (void)slept;
#endif
    uint32_t tick = sys_ticks();
    fpsCurTick = tick;
    if (cntFrames <= 1) {
        cntFrames++;
    } else {
        cntFrames = 0;
        fpsGrpTick = tick;
    }
    if (fps_frame_hook)
        fps_frame_hook();
}

int32_t fps_ms_left()
{
    uint32_t now = sys_ticks();
    uint32_t since = cntFrames <= 1 ? fpsCurTick : fpsGrpTick;
    int32_t budget = cntFrames <= 1 ? FRAME_BUDGET : GROUP_BUDGET;
    int32_t used = now >= since ? static_cast<int32_t>(now - since) : 0;  // a clock gone back: none used
    return budget - fpsSum - used;
}
