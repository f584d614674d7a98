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

bool line_shows(int line, const std::string& text, int selected)
{
    return row_shows(line_y(line), {{79, line_y(line), text.c_str()}, {63, line_y(selected) - 2, ".~"}});
}

bool prompt_shown()
{
    return row_shows(232, {{8, 232, "PRESS KEY OR BUTTON FOR THIS CONTROL!~"}});
}

frame_step click_line(int line)
{
    return [line] { push_click(240, 2 * (line_y(line) + 4)); };
}

}  // namespace

TEST_F(Controls, BindsTheNextKeyOrButtonAfterAction)
{
    uint32_t ticks = 0;
    EXPECT_EQ(run_steps(controls, {
        [] {},
        [&] {
            EXPECT_TRUE(line_shows(1, "    UP: -01  up~", 1));
            EXPECT_FALSE(prompt_shown());
            ticks = sys_ticks();
            push_key(SDLK_RETURN);
        },
        [&] {
            EXPECT_GE(sys_ticks() - ticks, 100u);
            EXPECT_TRUE(prompt_shown());
            push_key(SDLK_w);
        },
        [] {
            EXPECT_TRUE(line_shows(1, "    UP: -01  w~", 1));
            EXPECT_FALSE(prompt_shown());
            click_line(2)();
        },
        click_line(2),  // selected already: no capture
        [] { EXPECT_FALSE(prompt_shown()); push_key(SDLK_RETURN); },
        [] { push_joy_button(3); },
        [] {
            EXPECT_TRUE(line_shows(2, "  DOWN: 003  down~", 2));
            push_key(SDLK_RETURN);
            push_key(SDLK_x);  // pressed with ACTION: not taken
        },
        [] {
            EXPECT_EQ(key_buttons[CONTROL_DOWN], SDLK_DOWN);
            push_key(SDLK_a);
            push_joy_button(5);  // with a key in the same frame: dropped
        },
        [] { push_click(240, 2 * (line_y(8) + 4)); },  // below the list: ignored
        press(SDLK_RETURN), press(SDLK_UP),
        [] { EXPECT_EQ(key_buttons[CONTROL_DOWN], SDLK_UP) << "the click moved nothing"; click_line(7)(); },
        click_line(7),
    }), 14);
    EXPECT_EQ(std::vector<int>({key_buttons[0], joy_buttons[0], key_buttons[1], joy_buttons[1]}),
              std::vector<int>({SDLK_w, -1, SDLK_UP, 3}));
}

TEST_F(Controls, PauseIsTakenLikeAnyKeyAndLeavesOnlyOutsideACapture)
{
    EXPECT_EQ(run_steps(controls, {
        press(SDLK_DOWN), press(SDLK_DOWN), press(SDLK_RETURN), press(SDLK_SPACE),
        [] { EXPECT_EQ(key_buttons[CONTROL_LEFT], SDLK_SPACE); push_key(SDLK_UP); },
        press(SDLK_UP), press(SDLK_UP),
        [] { EXPECT_TRUE(line_shows(7, "  BACK TO SETTINGS~", 7)); push_key(SDLK_RETURN); },
    }), 8);

    // PAUSE with ACTION: the prompt shows for one frame, bindings unchanged.
    resetdefault_controls();
    bool prompt = false;
    EXPECT_EQ(run_steps(controls, {[] { push_key(SDLK_RETURN); push_key(SDLK_SPACE); }, [&] { prompt = prompt_shown(); }}), 1);
    EXPECT_TRUE(prompt);
    EXPECT_EQ(key_buttons[CONTROL_UP], SDLK_UP);

    // UP takes DOWN's key: both share it, a press counting for UP only.
    EXPECT_EQ(run_steps(controls, {press(SDLK_RETURN), press(SDLK_DOWN), push_quit}), 2);
    EXPECT_EQ(quit_zarn, 1);
    EXPECT_EQ(key_buttons[CONTROL_UP], SDLK_DOWN);
    flush_events();
    push_key(SDLK_DOWN);
    EXPECT_EQ(check_controls(nullptr, nullptr, 0, 0, 0, nullptr), CTRL_UP);
    hold_key(SDLK_DOWN, true);
    EXPECT_EQ(get_controls() & (CTRL_UP | CTRL_DOWN), CTRL_UP | CTRL_DOWN);
    release_all_keys();
}
