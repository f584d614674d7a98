#include "screens/watch.h"

#include "config/input.h"
#include "core/field.h"
#include "core/hint.h"
#include "core/level.h"
#include "core/play.h"
#include "core/replays.h"
#include "core/state.h"
#include "screens/frame.h"
#include "video/font.h"
#include "video/screen.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int END_FRAMES = 30;  // the field is shown a second after the level ends
constexpr int BLINK_FRAMES = 16;
constexpr int LABEL_X = 8, LABEL_Y = 28;  // on the top bar's plate

const char* label_shown;
void (*draw_level)();
int frames_shown;  // frames of the watching drawn: the word blinks by them
char offer[48];    // the start screen's line that offers the best run
map_cell kept_map[MAP_ROWS][MAP_COLS];  // the level about to be played, while its best run is watched
map_header kept_data;

void draw_watch()
{
    draw_level();
    if ((frames_shown / BLINK_FRAMES) % 2 == 0)
        put_text(screen, LABEL_X, LABEL_Y, label_shown);
}

// Any key, joystick button or click since the last frame (the window keys,
// Alt+Enter and F12, are no keys here).
bool interrupted(screen_frame& frame)
{
    frame_input in = frame.read();
    return in.pressed != 0 || in.click_x != -1 || in.key != -1 || in.button != -1 || quit_zarn == 1;
}

// The offer's line: the key, and the joystick's button when there is a joystick.
const char* offer_line()
{
    if (joystick)
        snprintf(offer, sizeof offer, "R / BUTTON %d: WATCH THE BEST RUN~", hint_button());
    else
        snprintf(offer, sizeof offer, "R: WATCH THE BEST RUN~");
    return offer;
}

// Where the offer's line starts: it ends at the screen's right edge.
int offer_x()
{
    return 316 - 8 * static_cast<int>(strlen(offer_line()) - 1);
}

}  // namespace

int watch_replay(const replay& r, const char* label, void (*draw)())
{
    if (quit_zarn == 1)
        return -1;
    const player_record game = Player;
    const int32_t game_px = px, game_py = py, game_dir = dir;
    const replay_look game_look = look_now();
    level_clear(game_field);  // the level as it was recorded: no time bonus
    level_decode(game_field, MapBody, LEVEL_BYTES);
    level_derive(game_field, 0);

    play_attempt a;
    attempt_start(a);
    look_set(r.look);
    label_shown = label;
    draw_level = draw;
    frames_shown = 0;
    screen_frame frame("watch");
    replay_cursor c;
    uint32_t ms = 0;
    int outcome = -1;
    for (int ended = 0; ended < END_FRAMES; frames_shown++) {
        if (interrupted(frame))
            break;
        frame_input in;
        bool over = a.outcome != PLAY_ON || !replay_next(r, c, in, ms);
        ended += over;
        play_tick(a, in, ms, draw_watch);
        frame.show();
        outcome = ended == END_FRAMES ? a.outcome : -1;
    }

    Player = game;
    px = game_px, py = game_py, dir = game_dir;
    look_set(game_look);
    hint_reset();
    clear_animations();
    return outcome;
}

void draw_best_run_offer(int y)
{
    if (best_run())
        put_text1(screen, offer_x(), y, offer_line());
}

bool watch_best_run(const frame_input& in, int y, void (*draw)())
{
    bool on_line = in.click_x >= offer_x() - 2 && in.click_x <= 318 && in.click_y >= y - 2 && in.click_y <= y + 9;
    bool asked = (in.pressed & CTRL_REPLAY) || ((in.pressed & CTRL_HINT) && in.button != -1) || on_line;
    if (!asked || !best_run())
        return false;
    memcpy(kept_map, Map, sizeof Map);
    kept_data = MapData;
    watch_replay(*best_run(), "REPLAY", draw);
    memcpy(Map, kept_map, sizeof Map);
    MapData = kept_data;
    return true;
}
