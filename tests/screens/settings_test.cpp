#include "play_screen.h"

namespace {

// Both screens in a 640 x 480 window.
struct Settings : screen_test {
    void SetUp() override
    {
        boot_game();
        set_mode(1, 0, 0);
    }
};
using Controls = Settings;

// Line `line` of the settings list (of the controls list when asked) shows
// the text, and the selection marks stand on line `selected`.
bool line_shows(int line, const std::string& text, int selected, bool controls_list = false)
{
    int y = 136 + 12 * (line - 1), marks_y = 134 + 12 * (selected - 1);
    if (controls_list)
        return row_shows(y, {{79, y, text.c_str()}, {63, marks_y, ".~"}});
    return row_shows(y, {{24, y, text.c_str()}, {12, marks_y, ".                                    .~"}});
}

bool prompt_shown()
{
    return row_shows(232, {{8, 232, "PRESS KEY OR BUTTON FOR THIS CONTROL!~"}});
}

// Keeps the frame surface of each frame's end alive: when the display is
// re-created after it, the frame surface is a new one. (What a re-created
// display holds before its first frame differs between SDL libraries.)
SDL_Surface* held_frame;
void hold_frame(int)
{
    SDL_FreeSurface(held_frame);
    held_frame = screen;
    held_frame->refcount++;
}

bool display_recreated()
{
    bool recreated = screen != held_frame;
    SDL_FreeSurface(held_frame);
    held_frame = nullptr;
    return recreated;
}

// Full screen, zoom, double scale and the display's width.
std::vector<int> mode()
{
    return {full_screen != 0, zoom, double_scale, SDL_GetVideoSurface()->w};
}

}  // namespace

TEST_F(Settings, VolumesStepByTenAndWrapEveryControlOfAFrameCountsAndASecondClickActivates)
{
    music_volume = 95;
    sound_volume = 5;
    std::vector<int> music, sfx;
    auto record = [&](int) {
        music.push_back(music_volume);
        sfx.push_back(sound_volume);
    };
    EXPECT_EQ(play(settings, "[<][^][vE][>][<][v<][>][S]", record).frames, 8);
    EXPECT_EQ(music, (std::vector<int>{85, 85, 95, 0, 100, 100, 100, 100}));  // line 8, then down to 1 and action
    EXPECT_EQ(sfx, (std::vector<int>{5, 5, 5, 5, 5, 100, 0, 0}));
    EXPECT_TRUE(line_shows(2, "SFX VOLUME:        000%~", 2));
    EXPECT_EQ(MP_PlayingMusic(), 1) << "the menu music starts on leaving";

    // Clicks on line 1, below the list, line 1 again, the sound check twice, exit twice.
    music_volume = 50;
    music.clear();
    EXPECT_EQ(play(settings, "[v](60,136)(60,221)(60,136)(60,196)(60,196)(60,220)(60,220)", record).frames, 8);
    EXPECT_EQ(music, (std::vector<int>{50, 50, 50, 60, 60, 60, 60, 60}));
    EXPECT_TRUE(line_shows(6, std::string("SOUNDCHECK:        ") + mus_titles[1] + "~", 8));
}

// The screen line cycles through five modes both ways, applied on leaving;
// the filter line changes the filter at once with left and right but waits
// with action.
TEST_F(Settings, ScreenModesCycleBothWaysAndApplyOnLeavingTheFilterChangesAtOnce)
{
    // From BOXED 640 x 480 with BILINEAR AA, after 1 to 5 steps right, then left.
    const std::vector<int> modes[2][5] = {
        {{0, 3, 1, 1280}, {1, 3, 0, 640}, {1, 3, 1, 1280}, {0, 0, 0, 320}, {0, 1, 0, 640}},
        {{0, 0, 0, 320}, {1, 1, 1, 1280}, {1, 1, 0, 640}, {0, 1, 1, 1280}, {0, 1, 0, 640}}};
    for (int way = 0; way < 2; way++) {
        std::string script = "[v][v][v]";
        for (int k = 0; k < 5; k++) {
            set_mode(3, 0, 0);
            play(settings, (script += way ? "[<]" : "[>]") + "[S]");
            EXPECT_EQ(mode(), modes[way][k]) << script;
            EXPECT_STREQ(tmp_string, "APPLY AND EXIT~");
        }
    }

    // Nothing changed: the display is left alone. Changed and changed back:
    // it is re-created all the same.
    play(settings, "[S]", hold_frame);
    EXPECT_TRUE(line_shows(4, "SCREEN SETTINGS:   BOXED 640 x 480~", 1));
    EXPECT_TRUE(line_shows(5, "SCALING SETTINGS:  SIMPLE~", 1));
    EXPECT_FALSE(display_recreated());
    play(settings, "[v][v][v][>][<][S]", hold_frame);
    EXPECT_TRUE(display_recreated());
    EXPECT_EQ(SDL_GetVideoSurface()->w, 640);

    // A closed window keeps the change for the configuration file, without
    // drawing another frame or making a new display on the way out.
    EXPECT_EQ(play(settings, "[v][v][v][>][Q]").frames, 4);
    EXPECT_EQ(std::make_tuple(quit_zarn, int(double_scale), SDL_GetVideoSurface()->w), std::make_tuple(1, 1, 640));

    quit_zarn = 0;
    set_mode(1, 0, 0);
    std::vector<int> zooms;
    std::string exits;  // E "EXIT TO MENU", A "APPLY AND EXIT": the last line of each frame
    bool scale2x_shown = false;
    auto record = [&](int frame) {
        zooms.push_back(zoom);
        exits += tmp_string[0];
        scale2x_shown = scale2x_shown || (frame == 9 && line_shows(5, "SCALING SETTINGS:  SCALE2X~", 5));
    };
    play(settings, "[v][v][v][v][>][<][<][>][E][S]", record);
    EXPECT_EQ(zooms, (std::vector<int>{1, 1, 1, 1, 2, 1, 5, 1, 1, 1}));
    EXPECT_EQ(exits, "EEEEEEEEAA");
    EXPECT_TRUE(scale2x_shown);
    EXPECT_EQ(zoom, 2);

    set_mode(0, 0, 0);  // no enlargement, no filter
    exits.clear();
    play(settings, "[v][v][v][v][>][<][E][S]", record);
    EXPECT_EQ(exits, "EEEEEEEE");
    EXPECT_TRUE(line_shows(5, "SCALING SETTINGS:  NOT AVAILABLE~", 5));
    EXPECT_EQ(zoom, 0);
}

// Alt+Enter switches the display on any screen, here the settings, whose
// screen line follows it, and zarn.cfg keeps it; F12 saves the shown frame
// as a PNG of its size. Neither is a press (Return would raise the music).
// In zarn-fixed Alt+Enter does nothing.
TEST_F(Settings, AltEnterSwitchesTheDisplayAndIsKeptF12SavesItAsShown)
{
    const std::string pictures = scratch_dir() + "/pictures";
    std::filesystem::create_directory(pictures);
    setenv("XDG_PICTURES_DIR", pictures.c_str(), 1);
    music_volume = 50;
    play(settings, "[A][F][S]");
    EXPECT_EQ(std::make_tuple(full_screen != 0, SDL_GetVideoSurface()->w, music_volume),
              std::make_tuple(true, 640, 50));
    EXPECT_NE(SDL_GetVideoSurface()->flags & SDL_FULLSCREEN, 0u);
    EXPECT_TRUE(line_shows(4, "SCREEN SETTINGS:   FULL 640 x 480~", 1));
    dumpConfig();
    full_screen = 0;
    loadGfxConfig();
    EXPECT_NE(full_screen, 0) << "kept in zarn.cfg";

    // One picture of the display (the screen tests hold it to the display's size and pixels).
    using std::filesystem::directory_iterator;
    EXPECT_EQ(std::distance(directory_iterator(pictures), directory_iterator()), 1);

    // A mode chosen but not applied yet: Alt+Enter turns it to a window too.
    play(settings, "[v][v][v][>][A][S]");
    EXPECT_EQ(std::make_pair(full_screen != 0, SDL_GetVideoSurface()->w), std::make_pair(false, 1280));

    screen_mode_locked = 1;  // as zarn-fixed sets it
    play(settings, "[A][S]");
    EXPECT_EQ(full_screen, 0);
    EXPECT_EQ(SDL_GetVideoSurface()->flags & SDL_FULLSCREEN, 0u);
    unsetenv("XDG_PICTURES_DIR");
}

// Reset restores the defaults, deletes the high scores and is applied at
// once; in zarn the controls line opens the controls screen, and the
// settings come back to that line; the fixed build ignores the controls and
// screen lines.
TEST_F(Settings, ResetRestoresTheDefaultsAndDeletesTheHighScoresAndTheFixedBuildIgnoresControlsAndScreen)
{
    set_mode(3, 0, 1);
    music_volume = 30;
    sound_volume = 20;
    key_buttons[CONTROL_PAUSE] = SDLK_p;
    joy_buttons[CONTROL_ACTION] = 7;
    write_bytes("zarn.hi", std::vector<uint8_t>(66, 1));
    play(settings, "[^][^][E][S]", hold_frame);
    EXPECT_EQ(std::vector<int>({music_volume, sound_volume, key_buttons[CONTROL_PAUSE], joy_buttons[CONTROL_ACTION]}),
              std::vector<int>({100, 80, SDLK_SPACE, 0}));
    EXPECT_EQ(mode(), std::vector<int>({1, 1, 1, 1280})) << "full screen, double scale kept";
    EXPECT_EQ(fopen("zarn.hi", "rb"), nullptr);
    EXPECT_TRUE(line_shows(4, "SCREEN SETTINGS:   FULL 1280 x 960~", 7));
    EXPECT_FALSE(display_recreated()) << "applied at once, nothing left pending";

    set_mode(1, 0, 0);
    EXPECT_EQ(play(settings, "[v][v][E][E]w[S][1][E][E]a[S][1][S]").frames, 13);
    EXPECT_TRUE(line_shows(3, "SET CONTROLS       PRESS ACTION~", 3));
    EXPECT_EQ(key_buttons[CONTROL_UP], SDLK_a);

    fixed_build = 1;
    resetdefault_controls();
    EXPECT_EQ(play(settings, "[v][v][E][E]w(60,160)[v][>][<][E](60,172)[S]").frames, 12);
    fixed_build = 0;
    EXPECT_TRUE(line_shows(3, "SET CONTROLS       NOT AVAILABLE~", 4));
    EXPECT_TRUE(line_shows(4, "SCREEN SETTINGS:   NOT AVAILABLE~", 4));
    EXPECT_STREQ(tmp_string, "EXIT TO MENU~");
    EXPECT_EQ(key_buttons[CONTROL_UP], SDLK_UP);
    EXPECT_EQ(mode(), std::vector<int>({0, 1, 0, 640}));
}

// Action waits a tenth of a second, then binds the next key or button; PAUSE
// is taken like any key, and leaves only outside a capture.
TEST_F(Controls, ActionWaitsATenthOfASecondThenBindsTheNextKeyOrButtonPauseIncluded)
{
    std::vector<uint32_t> ends;  // the virtual time at each frame's end
    std::string prompts;         // P where the prompt showed
    // UP gets w; two clicks on line 2 only select it; DOWN gets button 3,
    // drops the x that came with ACTION, takes a over button 5, then UP
    // after a click below the list; two clicks on line 7 leave.
    played r = play(controls, "[1][E]w(120,152)(120,152)[E][J3][Ex][aJ5](120,224)[E][^](120,212)(120,212)", [&](int) {
        ends.push_back(sys_ticks());
        prompts += prompt_shown() ? 'P' : '.';
    });
    EXPECT_EQ(r.frames, 14);
    EXPECT_GE(ends[1] - ends[0], 100u);
    EXPECT_EQ(prompts, ".P...P.P..P...");
    EXPECT_EQ(std::vector<int>({key_buttons[0], joy_buttons[0], key_buttons[1], joy_buttons[1]}),
              std::vector<int>({SDLK_w, -1, SDLK_UP, 3}));
    EXPECT_TRUE(line_shows(1, "    UP: -01  w~", 7, true));
    EXPECT_TRUE(line_shows(2, "  DOWN: 003  up~", 7, true));

    resetdefault_controls();
    EXPECT_EQ(play(controls, "[v][v][E][S][^][^][^][E]").frames, 8);
    EXPECT_EQ(key_buttons[CONTROL_LEFT], SDLK_SPACE);
    EXPECT_TRUE(line_shows(7, "  BACK TO SETTINGS~", 7, true));

    // PAUSE with ACTION: the prompt shows for one frame, bindings unchanged.
    resetdefault_controls();
    EXPECT_EQ(play(controls, "[ES]").frames, 1);
    EXPECT_TRUE(prompt_shown());
    EXPECT_EQ(key_buttons[CONTROL_UP], SDLK_UP);

    // UP may take DOWN's key; a closed window ends the screen at once.
    EXPECT_EQ(play(controls, "[E][v][Q]").frames, 2);
    EXPECT_EQ(std::make_tuple(quit_zarn, key_buttons[CONTROL_UP], key_buttons[CONTROL_DOWN]),
              std::make_tuple(1, int(SDLK_DOWN), int(SDLK_DOWN)));
}
