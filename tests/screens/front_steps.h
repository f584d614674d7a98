// Driving a front-end screen frame by frame: a list of input steps, one per
// frame, pushed at the frame boundary so the next frame reads it; and a
// fixture that boots the game headless on the virtual clock.
#pragma once
#include <gtest/gtest.h>

#include "core/clock.h"
#include "core/state.h"
#include "support/boot.h"
#include "support/input_script.h"
#include "video/screen.h"

#include <cctype>
#include <cstdint>
#include <functional>
#include <vector>

class front_steps {
public:
    // One frame that presses a key.
    front_steps& press(SDLKey key)
    {
        return add([key] { push_key(key); });
    }
    // One frame per character, each pressing that character's key.
    front_steps& type(const char* text)
    {
        for (; *text; ++text)
            press(static_cast<SDLKey>(tolower(static_cast<unsigned char>(*text))));
        return *this;
    }
    // Holds a key for exactly one frame, then lets the 5-frame input pause
    // that a held step starts run out before the next step.
    front_steps& hold(SDLKey key)
    {
        add([key] { hold_key(key, true); });
        add([key] { hold_key(key, false); });
        return idle(4);
    }
    // One frame with a click at a position of the 320 x 240 frame.
    front_steps& click(int x, int y)
    {
        return add([x, y] {
            int scale = zoom ? 2 : 1;
            push_click(x * scale, y * scale);
        });
    }
    front_steps& idle(int frames)
    {
        for (int i = 0; i < frames; i++)
            add([] {});
        return *this;
    }
    // Waits, frame after frame, until ms of virtual time have passed since
    // the run began; the next step follows in the same frame boundary.
    front_steps& at(uint32_t ms)
    {
        steps.push_back({nullptr, static_cast<int64_t>(ms)});
        return *this;
    }
    // One frame that runs fn (several inputs in one frame, a check, ...).
    front_steps& add(std::function<void()> fn)
    {
        steps.push_back({std::move(fn), -1});
        return *this;
    }

    // Runs screen() with the steps applied one per frame boundary, the
    // first before frame 1, so frame n + 1 reads what step n pushed. If the
    // screen is still running `grace` frames after the last step, sets
    // quit_zarn to end it and notes the time-out. Returns the number of
    // frames the screen ran.
    int run(const std::function<void()>& screen, int grace = 200)
    {
        timed_out = false;
        size_t next = 0;
        int done_at = 0;
        uint32_t start = sys_ticks();
        start_script([&](int frame) {
            while (next < steps.size() && steps[next].gate_ms >= 0 &&
                   sys_ticks() - start >= static_cast<uint32_t>(steps[next].gate_ms))
                next++;
            if (next < steps.size()) {
                if (steps[next].gate_ms < 0)
                    steps[next++].fn();
                done_at = frame;
            } else if (frame >= done_at + grace && !quit_zarn) {
                timed_out = true;
                quit_zarn = 1;
            }
        });
        screen();
        int frames = stop_script();
        release_all_keys();
        return frames;
    }

    bool timed_out = false;

private:
    struct step {
        std::function<void()> fn;
        int64_t gate_ms;  // -1: an input step; else wait for this time
    };
    std::vector<step> steps;
};

// Boots the game for each test and brings it down afterwards.
class front_screen : public testing::Test {
protected:
    void SetUp() override
    {
        boot_game();
        flush_events();
        release_all_keys();
    }
    void TearDown() override
    {
        stop_script();
        release_all_keys();
        shutdown_game();
    }
};
