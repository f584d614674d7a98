#include "screens/demo.h"

#include "config/input.h"
#include "core/field.h"
#include "core/level.h"
#include "core/play.h"
#include "core/state.h"
#include "res/assets.h"
#include "screens/frame.h"
#include "screens/level.h"
#include "sys/clock.h"
#include "video/font.h"
#include "video/screen.h"

int32_t demo_level = 1;

namespace {

constexpr int END_FRAMES = 30;   // the field is shown a second after the level ends
constexpr int BLINK_FRAMES = 16;
constexpr int DEMO_LIVES = 3;    // the lives the bar shows

// The control bit of a stored move.
int32_t move_bit(char m)
{
    switch (m) {
    case 'U': return CTRL_UP;
    case 'D': return CTRL_DOWN;
    case 'L': return CTRL_LEFT;
    default: return CTRL_RIGHT;
    }
}

// Any key, joystick button or click since the last frame (the window keys,
// Alt+Enter and F12, are no keys here).
bool interrupted(screen_frame& frame)
{
    frame_input in = frame.read();
    return in.pressed != 0 || in.click_x != -1 || in.key != -1 || in.button != -1 || quit_zarn == 1;
}

int frames_shown;  // frames of the demonstration drawn: "DEMO" blinks by them

void draw_demo()
{
    draw_play_screen();
    if ((frames_shown / BLINK_FRAMES) % 2 == 0)
        put_text(screen, 8, 28, "DEMO");
}

// The level and its moves through the play tick: PLAY_* once it is over,
// -1 when interrupted.
int run(const char* moves, size_t count)
{
    play_attempt a;
    attempt_start(a);
    setup_backgroundpattern();
    choose_tiles();
    screen_frame frame("demo");
    size_t next = 0;
    for (int ended = 0; ended < END_FRAMES;) {
        if (interrupted(frame))
            return -1;
        ended += a.outcome != PLAY_ON;
        frame_input in;
        int32_t steps = a.steps;
        if (next < count && a.player.move_state == 0)
            in.held = move_bit(moves[next]);
        play_tick(a, in, draw_demo);
        frames_shown++;
        next += a.steps != steps;
        frame.show();
    }
    return a.outcome;
}

}  // namespace

int play_demo()
{
    if (quit_zarn == 1 || maxmap < 1)
        return -1;
    int level = demo_level >= 1 && demo_level <= maxmap ? demo_level : 1;
    demo_level = level % maxmap + 1;
    char moves[SOLUTION_MAX + 1];
    size_t count = load_solution(level, classic_mode, moves, sizeof moves);
    if (count == 0 || !load_level(level, classic_mode))
        return -1;  // only a level the archive holds whole, with its solution, is shown
    const player_record game = Player;
    const int32_t game_map = curr_map, game_px = px, game_py = py, game_dir = dir;
    Player = player_record{};
    Player.lives = DEMO_LIVES;
    curr_map = level;
    frames_shown = 0;
    int outcome = run(moves, count);
    Player = game;
    curr_map = game_map;
    px = game_px;
    py = game_py;
    dir = game_dir;
    return outcome;
}

void demo_reset()
{
    demo_level = 1;
}
