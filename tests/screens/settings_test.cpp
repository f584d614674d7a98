#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "config/config.h"
#include "config/input.h"
#include "core/state.h"
#include "screens/frame_steps.h"
#include "screens/settings.h"
#include "sound/sound.h"
#include "support/boot.h"

namespace {

class Settings : public testing::Test {
protected:
    void SetUp() override
    {
        boot_game();
        set_mode(0, 1, 0);
    }
    void TearDown() override
    {
        fixed_build = 0;
        shutdown_game();
    }
    static void set_mode(int full, int z, int dbl)
    {
        full_screen = full;
        zoom = z;
        double_scale = static_cast<uint8_t>(dbl);
        init_screen();
    }
};

int line_y(int line)
{
    return 136 + 12 * (line - 1);
}

bool line_shows(int line, const std::string& text, int selected)
{
    return row_shows(line_y(line), {{24, line_y(line), text.c_str()}, {12, line_y(selected) - 2, ".                                   .~"}});
}

// In display coordinates of the 640 x 480 window; the list's click area ends
// at the first row of line 8.
frame_step click_line(int line)
{
    return [line] { push_click(120, 2 * line_y(line)); };
}

std::vector<frame_step> down(int n, std::vector<frame_step> then)
{
    then.insert(then.begin(), n, press(SDLK_DOWN));
    return then;
}

// The exit line is the last line formatted in a frame.
std::string exit_line()
{
    return tmp_string;
}

int display_width()
{
    return SDL_GetVideoSurface()->w;
}

// Paints the display white; a re-created display comes back blank.
void paint_display()
{
    SDL_FillRect(SDL_GetVideoSurface(), nullptr, 0xffffffff);
}

bool display_painted()
{
    return *static_cast<Uint16*>(SDL_GetVideoSurface()->pixels) == 0xffff;
}

}  // namespace

TEST_F(Settings, VolumesWrapAndEveryControlOfAFrameCounts)
{
    music_volume = 100;
    sound_volume = 0;
    EXPECT_EQ(run_steps(settings, {
        press(SDLK_RIGHT),
        [] { EXPECT_EQ(music_volume, 0); push_key(SDLK_LEFT); },
        [] { EXPECT_EQ(music_volume, 100); music_volume = 5; push_key(SDLK_RIGHT); },
        [] { EXPECT_EQ(music_volume, 15); push_key(SDLK_DOWN); push_key(SDLK_LEFT); },  // acts on line 2
        [] { EXPECT_EQ(sound_volume, 100); push_key(SDLK_RIGHT); },
        [] { EXPECT_TRUE(line_shows(2, "SFX VOLUME:        000%~", 2)); push_key(SDLK_UP); },
        press(SDLK_UP),
        [] { EXPECT_EQ(music_volume, 15); push_key(SDLK_DOWN); push_key(SDLK_RETURN); },  // line 8 -> 1
        [] { EXPECT_EQ(music_volume, 25); EXPECT_EQ(exit_line(), "EXIT TO MENU~"); push_key(SDLK_SPACE); },
    }), 9);
    EXPECT_EQ(MP_PlayingMusic(), 1) << "the menu music starts on leaving";
}

TEST_F(Settings, ScreenModesCycleThroughFiveModesBothWaysAndApplyOnLeaving)
{
    struct mode {
        int full, zoom, dbl, width;
    };
    // From BOXED 640 x 480 with BILINEAR AA, after 1 to 5 steps.
    const mode forward[5] = {{0, 3, 1, 1280}, {1, 3, 0, 640}, {1, 3, 1, 1280}, {0, 0, 0, 320}, {0, 1, 0, 640}};
    const mode back[5] = {{0, 0, 0, 320}, {1, 1, 1, 1280}, {1, 1, 0, 640}, {0, 1, 1, 1280}, {0, 1, 0, 640}};
    for (SDLKey key : {SDLK_RIGHT, SDLK_LEFT})
        for (int k = 1; k <= 5; k++) {
            set_mode(0, 3, 0);
            run_steps(settings, down(3, std::vector<frame_step>(k, press(key)) + press(SDLK_SPACE)));
            const mode& m = (key == SDLK_RIGHT ? forward : back)[k - 1];
            EXPECT_EQ(std::vector<int>({full_screen != 0, zoom, double_scale, display_width()}),
                      std::vector<int>({m.full, m.zoom, m.dbl, m.width})) << SDL_GetKeyName(key) << " x" << k;
            EXPECT_EQ(exit_line(), "APPLY AND EXIT~");
        }

    // Nothing changed: the display is left alone. Changed and changed back:
    // it is re-created all the same.
    run_steps(settings, {[] {}, [] {
        EXPECT_TRUE(line_shows(4, "SCREEN SETTINGS:   BOXED 640 x 480~", 1));
        EXPECT_TRUE(line_shows(5, "SCALING SETTINGS:  SIMPLE~", 1));
        push_key(SDLK_SPACE);
    }, paint_display});
    EXPECT_TRUE(display_painted());
    run_steps(settings, down(3, {press(SDLK_RIGHT), press(SDLK_LEFT), press(SDLK_SPACE), paint_display}));
    EXPECT_FALSE(display_painted());
    EXPECT_EQ(display_width(), 640);

    // A closed window applies the change too, without drawing another frame.
    EXPECT_EQ(run_steps(settings, down(3, {press(SDLK_RIGHT), push_quit})), 4);
    EXPECT_EQ(quit_zarn, 1);
    EXPECT_EQ(display_width(), 1280);
}

TEST_F(Settings, TheFilterChangesAtOnceWithLeftAndRightButWaitsWithAction)
{
    run_steps(settings, down(4, {
        press(SDLK_RIGHT),
        [] {
            EXPECT_EQ(zoom, 2);
            EXPECT_EQ(exit_line(), "EXIT TO MENU~");
            push_key(SDLK_LEFT);
        },
        [] { EXPECT_EQ(zoom, 1); push_key(SDLK_LEFT); },
        [] { EXPECT_EQ(zoom, 5); push_key(SDLK_RIGHT); },
        [] { EXPECT_EQ(zoom, 1); push_key(SDLK_RETURN); },
        [] {
            EXPECT_EQ(zoom, 1);
            EXPECT_TRUE(line_shows(5, "SCALING SETTINGS:  SCALE2X~", 5));
            EXPECT_EQ(exit_line(), "APPLY AND EXIT~");
            push_key(SDLK_SPACE);
        },
    }));
    EXPECT_EQ(zoom, 2);

    set_mode(0, 0, 0);  // no enlargement, no filter
    run_steps(settings, down(4, {press(SDLK_RIGHT), press(SDLK_LEFT), press(SDLK_RETURN), [] {
        EXPECT_TRUE(line_shows(5, "SCALING SETTINGS:  NOT AVAILABLE~", 5));
        EXPECT_EQ(exit_line(), "EXIT TO MENU~");
        push_key(SDLK_SPACE);
    }}));
    EXPECT_EQ(zoom, 0);
}

TEST_F(Settings, ClicksSelectFirstAndActivateTheSelectedLine)
{
    music_volume = 50;
    EXPECT_EQ(run_steps(settings, {
        press(SDLK_DOWN), click_line(1),
        [] { EXPECT_EQ(music_volume, 50); push_click(120, 2 * 221); },  // below the list
        [] { EXPECT_EQ(music_volume, 50); click_line(1)(); },
        [] { EXPECT_EQ(music_volume, 60); click_line(6)(); },
        click_line(6),
        [] { EXPECT_TRUE(line_shows(6, std::string("SOUNDCHECK:        ") + mus_titles[1] + "~", 6)); click_line(8)(); },
        click_line(8),
    }), 8);
}

TEST_F(Settings, ResetRestoresTheDefaultsAndDeletesTheHighScores)
{
    set_mode(0, 3, 1);
    music_volume = 30;
    sound_volume = 20;
    key_buttons[CONTROL_PAUSE] = SDLK_p;
    joy_buttons[CONTROL_ACTION] = 7;
    FILE* f = fopen("zarn.hi", "wb");
    fputs("scores", f);
    fclose(f);
    run_steps(settings, {press(SDLK_UP), press(SDLK_UP), press(SDLK_RETURN), [] {
        EXPECT_EQ(std::vector<int>({music_volume, sound_volume, key_buttons[CONTROL_PAUSE], joy_buttons[CONTROL_ACTION]}),
                  std::vector<int>({100, 80, SDLK_SPACE, 0}));
        EXPECT_NE(full_screen, 0);
        EXPECT_EQ(zoom, 1);
        EXPECT_EQ(display_width(), 1280) << "full screen at once, double scale kept";
        EXPECT_EQ(fopen("zarn.hi", "rb"), nullptr);
        EXPECT_TRUE(line_shows(4, "SCREEN SETTINGS:   FULL 1280 x 960~", 7));
        EXPECT_TRUE(line_shows(2, "SFX VOLUME:        080%~", 7));
        EXPECT_EQ(exit_line(), "EXIT TO MENU~");
        push_key(SDLK_SPACE);
    }, paint_display});
    EXPECT_TRUE(display_painted()) << "nothing was left pending";
}

TEST_F(Settings, TheFixedBuildIgnoresTheControlsAndScreenLines)
{
    // In zarn the controls line opens the controls screen and the settings
    // come back to that line.
    EXPECT_EQ(run_steps(settings, {
        press(SDLK_DOWN),
        [] { EXPECT_TRUE(line_shows(3, "SET CONTROLS       PRESS ACTION~", 2)); push_key(SDLK_DOWN); },
        press(SDLK_RETURN), press(SDLK_RETURN), press(SDLK_w), press(SDLK_SPACE), [] {},
        press(SDLK_RETURN), press(SDLK_RETURN), press(SDLK_a), press(SDLK_SPACE), [] {}, press(SDLK_SPACE),
    }), 13);
    EXPECT_EQ(key_buttons[CONTROL_UP], SDLK_a);

    fixed_build = 1;
    resetdefault_controls();
    EXPECT_EQ(run_steps(settings, {
        press(SDLK_DOWN), press(SDLK_DOWN), press(SDLK_RETURN), press(SDLK_RETURN), press(SDLK_w), click_line(3),
        press(SDLK_DOWN), press(SDLK_RIGHT), press(SDLK_LEFT), press(SDLK_RETURN), click_line(4),
        [] {
            EXPECT_TRUE(line_shows(3, "SET CONTROLS       NOT AVAILABLE~", 4));
            EXPECT_TRUE(line_shows(4, "SCREEN SETTINGS:   NOT AVAILABLE~", 4));
            EXPECT_EQ(exit_line(), "EXIT TO MENU~");
            push_key(SDLK_SPACE);
        },
    }), 12);
    EXPECT_EQ(key_buttons[CONTROL_UP], SDLK_UP);
    EXPECT_EQ(std::vector<int>({full_screen, zoom, double_scale}), std::vector<int>({0, 1, 0}));
}
