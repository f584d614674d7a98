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
    void SetUp() override { boot_game(); }
    void TearDown() override
    {
        fixed_build = 0;
        shutdown_game();
    }
};

void set_mode(int full, int z, int dbl)
{
    full_screen = full;
    zoom = z;
    double_scale = static_cast<uint8_t>(dbl);
    init_screen();
}

// Where line n of the list is drawn.
int line_y(int line)
{
    return 136 + 12 * (line - 1);
}

// True when line n shows text, with the cursor on line `selected`.
bool line_shows(int line, const std::string& text, int selected)
{
    return rows_show(line_y(line), 8, {{24, line_y(line), text.c_str()},
                                       {12, line_y(selected) - 2, ".                                   .~"}});
}

// A click on line n, in display coordinates of the 640 x 480 window. The
// list's click area ends at the first row of line 8.
frame_step click_line(int line)
{
    return [line] { push_click(2 * 60, 2 * line_y(line)); };
}

// The exit line is the last one formatted in a frame.
std::string exit_line()
{
    return tmp_string;
}

int display_width()
{
    return SDL_GetVideoSurface()->w;
}

const uint32_t WHITE = 0xffffffff;

// Paints the display white; a re-created display comes back blank.
void paint_display()
{
    SDL_FillRect(SDL_GetVideoSurface(), nullptr, WHITE);
}

bool display_painted()
{
    SDL_Surface* d = SDL_GetVideoSurface();
    SDL_LockSurface(d);
    bool white = *static_cast<const Uint16*>(d->pixels) == 0xffff;
    SDL_UnlockSurface(d);
    return white;
}

}  // namespace

TEST_F(Settings, VolumesWrapAndDownWithLeftActsOnTheLineBelow)
{
    music_volume = 100;
    sound_volume = 0;
    int frames = run_steps(settings, {
        press(SDLK_RIGHT),
        [] { EXPECT_EQ(music_volume, 0); push_key(SDLK_LEFT); },
        [] { EXPECT_EQ(music_volume, 100); music_volume = 5; push_key(SDLK_RIGHT); },
        [] { EXPECT_EQ(music_volume, 15); push_key(SDLK_DOWN); push_key(SDLK_LEFT); },
        [] { EXPECT_EQ(sound_volume, 100); EXPECT_EQ(music_volume, 15); push_key(SDLK_RIGHT); },
        [] {
            EXPECT_EQ(sound_volume, 0);
            EXPECT_TRUE(line_shows(2, "SFX VOLUME:        000%~", 2));
            EXPECT_FALSE(line_shows(2, "SFX VOLUME:        100%~", 2));
            push_key(SDLK_RETURN);
        },
        [] { EXPECT_EQ(sound_volume, 10); push_key(SDLK_SPACE); },
    });
    EXPECT_EQ(frames, 7);
    EXPECT_EQ(exit_line(), "EXIT TO MENU~");
    EXPECT_EQ(quit_zarn, 0);
}

TEST_F(Settings, ScreenModesCycleThroughFiveModesBothWays)
{
    struct mode {
        int full, zoom, dbl, width;
    };
    // From BOXED 640 x 480 with BILINEAR AA, after 1..5 steps.
    const mode forward[5] = {{0, 3, 1, 1280}, {1, 3, 0, 640}, {1, 3, 1, 1280}, {0, 0, 0, 320}, {0, 1, 0, 640}};
    const mode back[5] = {{0, 0, 0, 320}, {1, 1, 1, 1280}, {1, 1, 0, 640}, {0, 1, 1, 1280}, {0, 1, 0, 640}};
    for (SDLKey key : {SDLK_RIGHT, SDLK_LEFT}) {
        for (int k = 1; k <= 5; k++) {
            SCOPED_TRACE(std::string(SDL_GetKeyName(key)) + " x" + std::to_string(k));
            set_mode(0, 3, 0);
            std::vector<frame_step> steps(3, press(SDLK_DOWN));
            steps.insert(steps.end(), k, press(key));
            steps.push_back([] { EXPECT_EQ(display_width(), 640) << "nothing applied yet"; push_key(SDLK_SPACE); });
            run_steps(settings, steps);
            const mode& m = (key == SDLK_RIGHT ? forward : back)[k - 1];
            EXPECT_EQ(full_screen != 0, m.full != 0);
            EXPECT_EQ(zoom, m.zoom);
            EXPECT_EQ(double_scale, m.dbl);
            EXPECT_EQ(display_width(), m.width);
            EXPECT_EQ(exit_line(), "APPLY AND EXIT~");
        }
    }

    // What the lines show on the way round.
    set_mode(0, 3, 0);
    const char* labels[5] = {"BOXED 1280 x 960~", "FULL 640 x 480~", "FULL 1280 x 960~", "BOXED 320 x 240~", "BOXED 640 x 480~"};
    std::vector<frame_step> steps(3, press(SDLK_DOWN));
    for (int k = 0; k < 5; k++)
        steps.push_back([k, &labels] {
            if (k > 0) {
                EXPECT_TRUE(line_shows(4, std::string("SCREEN SETTINGS:   ") + labels[k - 1], 4)) << k;
            }
            push_key(SDLK_RETURN);
        });
    steps.push_back([&labels] {
        EXPECT_TRUE(line_shows(4, std::string("SCREEN SETTINGS:   ") + labels[4], 4));
        EXPECT_TRUE(line_shows(5, "SCALING SETTINGS:  SIMPLE~", 4));
        push_key(SDLK_SPACE);
    });
    run_steps(settings, steps);
}

TEST_F(Settings, ChangingTheModeAndBackStillRecreatesTheScreenAlsoWhenTheWindowCloses)
{
    set_mode(0, 1, 0);
    run_steps(settings, {idle(), [] { EXPECT_EQ(exit_line(), "EXIT TO MENU~"); push_key(SDLK_SPACE); }, paint_display});
    EXPECT_TRUE(display_painted()) << "nothing to apply: the display is left alone";

    run_steps(settings, {
        press(SDLK_DOWN), press(SDLK_DOWN), press(SDLK_DOWN), press(SDLK_RIGHT), press(SDLK_LEFT),
        [] { EXPECT_EQ(exit_line(), "APPLY AND EXIT~"); push_key(SDLK_SPACE); },
        paint_display,  // after the last frame, before the screen is left
    });
    EXPECT_FALSE(display_painted()) << "the screen was not re-created";
    EXPECT_EQ(zoom, 1);
    EXPECT_EQ(full_screen, 0);
    EXPECT_EQ(display_width(), 640);
    EXPECT_EQ(MP_PlayingMusic(), 1) << "the menu music starts on leaving";

    int frames = run_steps(settings, {press(SDLK_DOWN), press(SDLK_DOWN), press(SDLK_DOWN), press(SDLK_RIGHT), [] { push_quit(); }});
    EXPECT_EQ(frames, 4) << "no frame is drawn after the window closed";
    EXPECT_EQ(quit_zarn, 1);
    EXPECT_EQ(double_scale, 1);
    EXPECT_EQ(display_width(), 1280);
}

TEST_F(Settings, TheFilterChangesAtOnceWithLeftAndRightButWaitsWithAction)
{
    set_mode(0, 1, 0);
    std::vector<frame_step> steps(4, press(SDLK_DOWN));
    steps.insert(steps.end(), {
        press(SDLK_RIGHT),
        [] {
            EXPECT_EQ(zoom, 2);
            EXPECT_TRUE(line_shows(5, "SCALING SETTINGS:  SCALE2X~", 5));
            EXPECT_EQ(exit_line(), "EXIT TO MENU~");
            push_key(SDLK_LEFT);
        },
        [] { EXPECT_EQ(zoom, 1); push_key(SDLK_LEFT); },
        [] { EXPECT_EQ(zoom, 5); push_key(SDLK_RIGHT); },
        [] { EXPECT_EQ(zoom, 1); push_key(SDLK_RETURN); },
        [] {
            EXPECT_EQ(zoom, 1) << "ACTION only marks the change";
            EXPECT_TRUE(line_shows(5, "SCALING SETTINGS:  SCALE2X~", 5));
            EXPECT_EQ(exit_line(), "APPLY AND EXIT~");
            push_key(SDLK_SPACE);
        },
    });
    run_steps(settings, steps);
    EXPECT_EQ(zoom, 2);
    EXPECT_EQ(display_width(), 640);

    // Without enlargement there is no filter to choose.
    set_mode(0, 0, 0);
    steps.assign(4, press(SDLK_DOWN));
    steps.insert(steps.end(), {press(SDLK_RIGHT), press(SDLK_LEFT), press(SDLK_RETURN), [] {
                                   EXPECT_EQ(zoom, 0);
                                   EXPECT_TRUE(line_shows(5, "SCALING SETTINGS:  NOT AVAILABLE~", 5));
                                   EXPECT_EQ(exit_line(), "EXIT TO MENU~");
                                   push_key(SDLK_SPACE);
                               }});
    run_steps(settings, steps);
    EXPECT_EQ(zoom, 0);
}

TEST_F(Settings, ClicksSelectFirstAndActivateTheSelectedLine)
{
    set_mode(0, 1, 0);
    music_volume = 50;
    int frames = run_steps(settings, {
        press(SDLK_DOWN),
        click_line(1),
        [] { EXPECT_EQ(music_volume, 50) << "the first click only selects"; push_click(2 * 60, 2 * 230); },
        [] { EXPECT_EQ(music_volume, 50); push_click(2 * 60, 2 * (line_y(1) + 4)); },
        [] { EXPECT_EQ(music_volume, 60); push_key(SDLK_UP); },
        [] { EXPECT_EQ(music_volume, 60); push_key(SDLK_DOWN); push_key(SDLK_RETURN); },
        [] { EXPECT_EQ(music_volume, 70) << "DOWN with ACTION on line 8 acts on line 1"; },
        click_line(8),
        click_line(8),
    });
    EXPECT_EQ(frames, 9);
    EXPECT_EQ(quit_zarn, 0);
}

TEST_F(Settings, ResetRestoresTheDefaultsAndDeletesTheHighScores)
{
    set_mode(0, 3, 1);
    music_volume = 30;
    sound_volume = 20;
    key_buttons[CONTROL_PAUSE] = SDLK_p;
    joy_buttons[CONTROL_ACTION] = 7;
    FILE* f = fopen("zarn.hi", "wb");
    ASSERT_NE(f, nullptr);
    fwrite(std::string(66, 'x').data(), 1, 66, f);
    fclose(f);
    run_steps(settings, {
        press(SDLK_UP), press(SDLK_UP), press(SDLK_RETURN),
        [] {
            EXPECT_EQ(music_volume, 100);
            EXPECT_EQ(sound_volume, 80);
            EXPECT_EQ(key_buttons[CONTROL_PAUSE], SDLK_SPACE);
            EXPECT_EQ(joy_buttons[CONTROL_ACTION], 0);
            EXPECT_NE(full_screen, 0);
            EXPECT_EQ(zoom, 1);
            EXPECT_EQ(double_scale, 1);
            EXPECT_EQ(display_width(), 1280) << "full screen at once";
            EXPECT_EQ(fopen("zarn.hi", "rb"), nullptr);
            EXPECT_TRUE(line_shows(4, "SCREEN SETTINGS:   FULL 1280 x 960~", 7));
            EXPECT_TRUE(line_shows(5, "SCALING SETTINGS:  SIMPLE~", 7));
            EXPECT_TRUE(line_shows(1, "MUSIC VOLUME:      100%~", 7));
            EXPECT_TRUE(line_shows(2, "SFX VOLUME:        080%~", 7));
            EXPECT_EQ(exit_line(), "EXIT TO MENU~");
            push_key(SDLK_SPACE);
        },
        paint_display,
    });
    EXPECT_TRUE(display_painted()) << "the reset applies at once, nothing is left pending";
    EXPECT_EQ(zoom, 1);

    // The reset on its own does the same.
    music_volume = 0;
    full_screen = 0;
    zoom = 4;
    key_buttons[CONTROL_PAUSE] = SDLK_p;
    reset_todefault();
    EXPECT_EQ(music_volume, 100);
    EXPECT_EQ(full_screen, 1);
    EXPECT_EQ(zoom, 1);
    EXPECT_EQ(key_buttons[CONTROL_PAUSE], SDLK_SPACE);
}

TEST_F(Settings, TheSoundCheckStartsAtTheFirstTitle)
{
    std::vector<frame_step> steps(3, press(SDLK_UP));
    steps.insert(steps.end(), {
        press(SDLK_LEFT),
        [] {
            EXPECT_TRUE(line_shows(6, std::string("SOUNDCHECK:        ") + mus_titles[8] + "~", 6));
            EXPECT_EQ(MP_PlayingMusic(), 1);
            push_key(SDLK_RIGHT);
        },
        [] { EXPECT_TRUE(line_shows(6, std::string("SOUNDCHECK:        ") + mus_titles[0] + "~", 6)); push_key(SDLK_SPACE); },
    });
    run_steps(settings, steps);
    steps.resize(3);
    steps.push_back([] { EXPECT_TRUE(line_shows(6, std::string("SOUNDCHECK:        ") + mus_titles[0] + "~", 6)); push_key(SDLK_SPACE); });
    run_steps(settings, steps);
}

TEST_F(Settings, TheFixedBuildIgnoresTheControlsAndScreenLines)
{
    // In zarn the controls line opens the controls screen, and the settings
    // come back to that line: ACTION there opens it again.
    set_mode(0, 1, 0);
    int frames = run_steps(settings, {
        press(SDLK_DOWN),
        [] {
            EXPECT_TRUE(line_shows(3, "SET CONTROLS       PRESS ACTION~", 2));
            EXPECT_FALSE(line_shows(3, "SET CONTROLS       NOT AVAILABLE~", 2));
            push_key(SDLK_DOWN);
        },
        press(SDLK_RETURN), press(SDLK_RETURN), press(SDLK_w), press(SDLK_SPACE), idle(),
        press(SDLK_RETURN), press(SDLK_RETURN), press(SDLK_a), press(SDLK_SPACE), idle(),
        press(SDLK_SPACE),
    });
    EXPECT_EQ(frames, 13);
    EXPECT_EQ(key_buttons[CONTROL_UP], SDLK_a);

    fixed_build = 1;
    resetdefault_controls();
    frames = run_steps(settings, {
        press(SDLK_DOWN),
        [] {
            EXPECT_TRUE(line_shows(3, "SET CONTROLS       NOT AVAILABLE~", 2));
            EXPECT_TRUE(line_shows(4, "SCREEN SETTINGS:   NOT AVAILABLE~", 2));
            push_key(SDLK_DOWN);
        },
        press(SDLK_RETURN), press(SDLK_RETURN), press(SDLK_w), click_line(3),
        press(SDLK_DOWN), press(SDLK_RIGHT), press(SDLK_LEFT), press(SDLK_RETURN), click_line(4),
        [] { EXPECT_EQ(exit_line(), "EXIT TO MENU~"); push_key(SDLK_DOWN); },
        press(SDLK_RETURN),
        [] { EXPECT_EQ(exit_line(), "APPLY AND EXIT~"); push_key(SDLK_SPACE); },
    });
    EXPECT_EQ(frames, 14);
    EXPECT_EQ(key_buttons[CONTROL_UP], SDLK_UP);
    EXPECT_EQ(full_screen, 0);
    EXPECT_EQ(double_scale, 0);
    EXPECT_EQ(zoom, 2);
    EXPECT_EQ(display_width(), 640);
}
