#include <gtest/gtest.h>

#include <string>

#include "config/input.h"
#include "core/clock.h"
#include "core/state.h"
#include "screens/controls.h"
#include "screens/frame_steps.h"
#include "support/boot.h"

namespace {

class Controls : public testing::Test {
protected:
    void SetUp() override
    {
        boot_game();
        full_screen = 0;
        zoom = 1;
        double_scale = 0;
        init_screen();  // a 640 x 480 window: clicks are halved
    }
    void TearDown() override { shutdown_game(); }
};

int line_y(int line)
{
    return 136 + 12 * (line - 1);
}

// True when line n shows text, with the cursor on line `selected`.
bool line_shows(int line, const std::string& text, int selected)
{
    return rows_show(line_y(line), 8, {{79, line_y(line), text.c_str()}, {63, line_y(selected) - 2, ".~"}});
}

const char* const PROMPT = "PRESS KEY OR BUTTON FOR THIS CONTROL!~";

bool prompt_shown()
{
    return rows_show(232, 8, {{8, 232, PROMPT}});
}

frame_step click_line(int line)
{
    return [line] { push_click(2 * 120, 2 * (line_y(line) + 4)); };
}

}  // namespace

TEST_F(Controls, BindsTheNextKeyOrButtonAfterAction)
{
    uint32_t before_capture = 0;
    int frames = run_steps(controls, {
        [] { EXPECT_EQ(joy_buttons[CONTROL_UP], -1); },
        [&] {
            EXPECT_TRUE(line_shows(1, "    UP: -01  up~", 1));
            EXPECT_FALSE(prompt_shown());
            before_capture = sys_ticks();
            push_key(SDLK_RETURN);
        },
        [&] {
            EXPECT_GE(sys_ticks() - before_capture, 100u) << "the capture waits 100 ms";
            EXPECT_TRUE(prompt_shown());
            push_key(SDLK_w);
        },
        [] {
            EXPECT_EQ(key_buttons[CONTROL_UP], SDLK_w);
            EXPECT_EQ(joy_buttons[CONTROL_UP], -1);
            EXPECT_TRUE(line_shows(1, "    UP: -01  w~", 1));
            EXPECT_FALSE(prompt_shown());
            push_key(SDLK_DOWN);
        },
        press(SDLK_RETURN),
        [] { push_joy_button(3); },
        [] {
            EXPECT_EQ(joy_buttons[CONTROL_DOWN], 3);
            EXPECT_EQ(key_buttons[CONTROL_DOWN], SDLK_DOWN);
            EXPECT_TRUE(line_shows(2, "  DOWN: 003  down~", 2));
            // A key pressed together with ACTION is not taken; the next one is.
            push_key(SDLK_RETURN);
            push_key(SDLK_x);
        },
        [] {
            EXPECT_EQ(key_buttons[CONTROL_DOWN], SDLK_DOWN);
            EXPECT_TRUE(prompt_shown());
            push_key(SDLK_a);
            push_joy_button(5);
        },
        [] {
            EXPECT_EQ(key_buttons[CONTROL_DOWN], SDLK_a);
            EXPECT_EQ(joy_buttons[CONTROL_DOWN], 3) << "with a key and a button at once the key wins";
            push_key(SDLK_x);
        },
        [] { EXPECT_EQ(key_buttons[CONTROL_DOWN], SDLK_a) << "the capture is over"; },
        click_line(7),
        click_line(7),
    });
    EXPECT_EQ(frames, 12) << "BACK TO SETTINGS leaves on the second click";
    EXPECT_EQ(key_buttons[CONTROL_UP], SDLK_w);
    EXPECT_EQ(quit_zarn, 0);
}

TEST_F(Controls, PauseIsCapturedLikeAnyKeyAndLeavesOnlyWhenNotCapturing)
{
    int frames = run_steps(controls, {
        press(SDLK_DOWN), press(SDLK_DOWN), press(SDLK_RETURN), press(SDLK_SPACE),
        [] {
            EXPECT_EQ(key_buttons[CONTROL_LEFT], SDLK_SPACE);
            EXPECT_EQ(key_buttons[CONTROL_PAUSE], SDLK_SPACE);
            push_key(SDLK_UP);
        },
        press(SDLK_UP), press(SDLK_UP),
        [] { EXPECT_TRUE(line_shows(7, "  BACK TO SETTINGS~", 7)) << "UP from the first line wraps"; push_key(SDLK_RETURN); },
    });
    EXPECT_EQ(frames, 8) << "ACTION on BACK TO SETTINGS leaves";

    // PAUSE pressed with ACTION: the prompt shows for one frame and the
    // screen is left with the bindings unchanged.
    resetdefault_controls();
    bool prompt = false;
    frames = run_steps(controls, {
        [] { push_key(SDLK_RETURN); push_key(SDLK_SPACE); },
        [&] { prompt = prompt_shown(); },
    });
    EXPECT_EQ(frames, 1);
    EXPECT_TRUE(prompt);
    EXPECT_EQ(key_buttons[CONTROL_UP], SDLK_UP);
    EXPECT_EQ(key_buttons[CONTROL_PAUSE], SDLK_SPACE);
    EXPECT_EQ(joy_buttons[CONTROL_UP], -1);
}

TEST_F(Controls, ClickingAControlLineOnlySelectsIt)
{
    int frames = run_steps(controls, {
        click_line(2), click_line(2), press(SDLK_w),
        [] {
            EXPECT_EQ(key_buttons[CONTROL_DOWN], SDLK_DOWN);
            EXPECT_FALSE(prompt_shown());
            push_click(2 * 120, 2 * (line_y(8) + 4));  // below the list
        },
        press(SDLK_RETURN), press(SDLK_w),
        [] { EXPECT_EQ(key_buttons[CONTROL_DOWN], SDLK_w) << "the click below the list changed nothing"; },
        [] { push_quit(); },
    });
    EXPECT_EQ(frames, 7) << "a closed window ends the screen without another frame";
    EXPECT_EQ(quit_zarn, 1);
}

TEST_F(Controls, AKeyMayServeTwoControls)
{
    run_steps(controls, {press(SDLK_RETURN), press(SDLK_DOWN), press(SDLK_SPACE)});
    EXPECT_EQ(key_buttons[CONTROL_UP], SDLK_DOWN);
    EXPECT_EQ(key_buttons[CONTROL_DOWN], SDLK_DOWN);

    flush_events();
    push_key(SDLK_DOWN);
    EXPECT_EQ(check_controls(nullptr, nullptr, 0, 0, 0, nullptr), CTRL_UP) << "a press counts for UP only";
    hold_key(SDLK_DOWN, true);
    EXPECT_EQ(get_controls() & (CTRL_UP | CTRL_DOWN), CTRL_UP | CTRL_DOWN) << "holding it counts for both";
    release_all_keys();
}
