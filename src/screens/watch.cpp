#include "screens/watch.h"

#include "config/input.h"
#include "core/field.h"
#include "core/hint.h"
#include "core/level.h"
#include "core/play.h"
#include "core/state.h"
#include "screens/frame.h"
#include "video/font.h"
#include "video/screen.h"

namespace {

constexpr int END_FRAMES = 30;  // the field is shown a second after the level ends
constexpr int BLINK_FRAMES = 16;
constexpr int LABEL_X = 8, LABEL_Y = 28;  // on the top bar's plate

const char* label_shown;
void (*draw_level)();
int frames_shown;  // frames of the watching drawn: the word blinks by them

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
