// The settings screen: volumes, controls, screen mode, scaling filter, sound
// check, reset and exit. Volumes, the filter chosen with LEFT/RIGHT and the
// reset act at once; screen-mode changes and a filter chosen with ACTION wait
// until the screen is left. In zarn-fixed the controls and screen-mode lines
// are fixed.
#include "screens/settings.h"

#include "config/config.h"
#include "config/input.h"
#include "core/highscores.h"
#include "core/state.h"
#include "model/texts.h"
#include "res/assets.h"
#include "screens/controls.h"
#include "screens/frame.h"
#include "sound/sound.h"
#include "video/font.h"
#include "video/screen.h"

#include <cstdio>

namespace {

enum : int {
    LINE_MUSIC = 1, LINE_SFX, LINE_CONTROLS, LINE_SCREEN, LINE_SCALING, LINE_SOUNDCHECK, LINE_RESET, LINE_EXIT,
};
constexpr int LINE_COUNT = SETTINGS_LINES;
constexpr int32_t LIST_Y = SETTINGS_Y;
constexpr int32_t LIST_HEIGHT = 84;
constexpr int32_t LINE_HEIGHT = SETTINGS_LINE_HEIGHT;
constexpr int VOLUME_STEP = 10;
constexpr int MENU_TRACK = 0;

// Everything the screen keeps while it runs; set up anew on every entry.
struct settings_state {
    int selected;
    int full;        // working copy of full_screen
    int zoom;        // working copy of zoom
    int dbl;         // working copy of double_scale
    int track;       // sound-check track
    bool pending;    // screen-mode copies to be applied on leaving
    bool leave;
};

settings_state st;

// Steps a volume by delta, wrapping below 0 to 100 and above 100 to 0.
int step_volume(int volume, int delta)
{
    volume += delta;
    if (volume < 0)
        return 100;
    if (volume > 100)
        return 0;
    return volume;
}

void change_music_volume(int delta)
{
    set_music_volume(step_volume(music_volume, delta));
}

void change_sound_volume(int delta)
{
    set_sound_volume(step_volume(sound_volume, delta));
    play_sfx(SFX_SELECT);
}

// The five screen modes in order: BOXED 320, BOXED 640, BOXED 1280, FULL 640,
// FULL 1280. Full screen without enlargement (Alt+Enter on BOXED 320, or a
// hand-edited file) steps as BOXED 320 does.
void screen_mode_next()
{
    st.pending = true;
    if (st.zoom == 0) {  // full screen without enlargement counts as BOXED 320
        st.full = 0;
        st.zoom = 1;
    } else if (st.full == 0) {
        if (st.dbl == 0) {
            st.dbl = 1;
        } else {
            st.full = 1;
            st.dbl = 0;
        }
    } else if (st.zoom != 0) {
        if (st.dbl == 0) {
            st.dbl = 1;
        } else {
            st.full = 0;
            st.zoom = 0;
            st.dbl = 0;
        }
    }
}

void screen_mode_previous()
{
    st.pending = true;
    if (st.zoom == 0) {
        st.full = 1;
        st.zoom = 1;
        st.dbl = 1;
    } else if (st.full == 0) {
        if (st.dbl == 0)
            st.zoom = 0;
        else
            st.dbl = 0;
    } else if (st.zoom != 0) {
        if (st.dbl == 0) {
            st.full = 0;
            st.zoom = 1;
            st.dbl = 1;
        } else {
            st.dbl = 0;
        }
    }
}

// The filter steps only while the screen is enlarged: 1..5 round.
int filter_next(int z)
{
    return z >= 5 ? 1 : z + 1;
}

int filter_previous(int z)
{
    return z <= 1 ? 5 : z - 1;
}

void step_soundcheck(int delta)
{
    st.track = (st.track + delta + MUS_TITLE_COUNT) % MUS_TITLE_COUNT;
    play_music(st.track, -1);
}

// The defaults, the high scores deleted, and full screen with the simple
// filter at once.
void reset_globals()
{
    config_default(&music_volume);  // the next tune takes it; the effect channels keep theirs
    config_default(&sound_volume);
    resetdefault_controls();
    full_screen = 1;
    zoom = 1;
    remove_highscores();
    init_screen();
}

bool fixed_line(int line)
{
    return fixed_build == 1 && (line == LINE_CONTROLS || line == LINE_SCREEN);
}

void press_left(int line)
{
    if (fixed_line(line))
        return;
    switch (line) {
    case LINE_MUSIC: change_music_volume(-VOLUME_STEP); break;
    case LINE_SFX: change_sound_volume(-VOLUME_STEP); break;
    case LINE_SCREEN: screen_mode_previous(); break;
    case LINE_SCALING:
        if (st.zoom != 0)
            zoom = st.zoom = filter_previous(st.zoom);
        break;
    case LINE_SOUNDCHECK: step_soundcheck(-1); break;
    default: break;
    }
}

void press_right(int line)
{
    if (fixed_line(line))
        return;
    switch (line) {
    case LINE_MUSIC: change_music_volume(VOLUME_STEP); break;
    case LINE_SFX: change_sound_volume(VOLUME_STEP); break;
    case LINE_SCREEN: screen_mode_next(); break;
    case LINE_SCALING:
        if (st.zoom != 0)
            zoom = st.zoom = filter_next(st.zoom);
        break;
    case LINE_SOUNDCHECK: step_soundcheck(1); break;
    default: break;
    }
}

void press_action(int line)
{
    if (fixed_line(line))
        return;
    switch (line) {
    case LINE_CONTROLS: controls(); break;
    case LINE_SCALING:
        if (st.zoom != 0) {
            st.zoom = filter_next(st.zoom);
            st.pending = true;
        }
        break;
    case LINE_RESET:
        reset_globals();
        st.full = full_screen;
        st.zoom = zoom;
        break;
    case LINE_EXIT: st.leave = true; break;
    default: press_right(line); break;
    }
}

const char* screen_mode_label()
{
    if (st.zoom == 0)
        return st.full ? "SCREEN SETTINGS:   FULL 320 x 240~" : "SCREEN SETTINGS:   BOXED 320 x 240~";
    if (st.full == 0)
        return st.dbl ? "SCREEN SETTINGS:   BOXED 1280 x 960~" : "SCREEN SETTINGS:   BOXED 640 x 480~";
    return st.dbl ? "SCREEN SETTINGS:   FULL 1280 x 960~" : "SCREEN SETTINGS:   FULL 640 x 480~";
}

// Formats line n into tmp_string.
void format_line(int line)
{
    const size_t size = sizeof tmp_string;
    switch (line) {
    case LINE_MUSIC: snprintf(tmp_string, size, "MUSIC VOLUME:      %03d%%~", music_volume); break;
    case LINE_SFX: snprintf(tmp_string, size, "SFX VOLUME:        %03d%%~", sound_volume); break;
    case LINE_CONTROLS:
        snprintf(tmp_string, size, "%s",
                 fixed_build == 1 ? "SET CONTROLS       NOT AVAILABLE~" : "SET CONTROLS       PRESS ACTION~");
        break;
    case LINE_SCREEN:
        snprintf(tmp_string, size, "%s", fixed_build == 1 ? "SCREEN SETTINGS:   NOT AVAILABLE~" : screen_mode_label());
        break;
    case LINE_SCALING:
        snprintf(tmp_string, size, "SCALING SETTINGS:  %s~", zoom_modes[st.zoom >= 0 && st.zoom <= 5 ? st.zoom : 0]);
        break;
    case LINE_SOUNDCHECK: snprintf(tmp_string, size, "SOUNDCHECK:        %s~", mus_titles[st.track]); break;
    case LINE_RESET: snprintf(tmp_string, size, "RESET TO DEFAULT~"); break;
    default: snprintf(tmp_string, size, "%s", st.pending ? "APPLY AND EXIT~" : "EXIT TO MENU~"); break;
    }
}

void draw()
{
    drawPic(screen, 0, 0, 320, 240, zarnmenu, 0, 0, 320, 240);
    put_text(screen, SETTINGS_TITLE_X, SETTINGS_TITLE_Y, "SETTINGS");
    for (int line = 1; line <= LINE_COUNT; line++) {
        format_line(line);
        put_text1(screen, SETTINGS_X, LIST_Y + LINE_HEIGHT * (line - 1), tmp_string);
    }
    put_text1(screen, SETTINGS_MARK_X, LIST_Y - 2 + LINE_HEIGHT * (st.selected - 1), SETTINGS_MARK);
}

// One frame's input, in the fixed order: click, UP, DOWN, LEFT, RIGHT,
// PAUSE, ACTION. full_before: full_screen before the input was read.
void handle_input(const frame_input& in, int full_before)
{
    int32_t c = in.pressed, clicked = in.row;
    if ((full_screen != 0) != (full_before != 0))
        st.full = full_screen != 0;  // Alt+Enter: the working copy follows the display
    if (clicked >= 1 && clicked <= LINE_COUNT) {
        if (clicked == st.selected)
            press_action(st.selected);
        else
            st.selected = clicked;
    }
    if (c & CTRL_UP)
        st.selected = st.selected <= 1 ? LINE_COUNT : st.selected - 1;
    if (c & CTRL_DOWN)
        st.selected = st.selected >= LINE_COUNT ? 1 : st.selected + 1;
    if (c & CTRL_LEFT)
        press_left(st.selected);
    if (c & CTRL_RIGHT)
        press_right(st.selected);
    if (c & CTRL_PAUSE)
        st.leave = true;
    if (c & CTRL_ACTION)
        press_action(st.selected);
}

// Pending screen changes are kept; when the program is ending they are only
// saved, with no new screen and no menu music.
void leave_screen()
{
    if (st.pending) {
        double_scale = static_cast<uint8_t>(st.dbl);
        full_screen = st.full;
        zoom = st.zoom;
        if (quit_zarn != 1)
            init_screen();
    }
    if (quit_zarn != 1)
        play_music(MENU_TRACK, -1);
}

}  // namespace

void settings()
{
    if (quit_zarn == 1)
        return;
    st = settings_state{1, full_screen, zoom, double_scale, 0, false, false};
    screen_frame frame("settings");
    for (;;) {
        int full_before = full_screen;
        handle_input(frame.read(LIST_Y, LIST_HEIGHT, LINE_HEIGHT), full_before);
        if (quit_zarn == 1)
            break;
        draw();
        frame.show();
        if (st.leave)
            break;
    }
    leave_screen();
}

void reset_todefault()
{
    reset_globals();
}
