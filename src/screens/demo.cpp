#include "screens/demo.h"

#include "config/input.h"
#include "core/field.h"
#include "core/level.h"
#include "core/play.h"
#include "core/state.h"
#include "res/assets.h"
#include "screens/level.h"
#include "sys/clock.h"
#include "video/font.h"
#include "video/fps.h"
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

bool step_begun(const play_state& s)
{
    for (int i = 0; i < s.event_count; i++)
        if (s.events[i].kind == EVENT_WALK)
            return true;
    return false;
}

// Any key, joystick button or click since the last frame (the window keys,
// Alt+Enter and F12, are no keys here).
bool interrupted()
{
    last_key = -1;
    last_button = -1;
    int32_t x = -1, y = -1;
    int32_t ctrl = check_controls(&x, &y, 0, 0, 0, nullptr);
    return ctrl != 0 || x != -1 || last_key != -1 || last_button != -1 || quit_zarn == 1;
}

// The level and its moves through the play loop: PLAY_* once it is over,
// -1 when interrupted.
int run(const char* moves, size_t count)
{
    play_attempt a;
    attempt_start(a);
    setup_backgroundpattern();
    tiles = classic_mode ? classic_tiles : curr_map > maxmap / 2 ? tiles2 : tiles1;
    clear_animations();
    initFPS();
    size_t next = 0;
    int outcome = PLAY_ON;
    for (int frame = 0, ended = 0; ended < END_FRAMES; frame++) {
        if (interrupted())
            return -1;
        animframe = (animframe + 1) & 15;
        draw_play_screen();
        if ((frame / BLINK_FRAMES) % 2 == 0)
            put_text(screen, 8, 28, "DEMO");
        if (outcome == PLAY_ON) {
            int32_t held = next < count && a.player.move_state == 0 ? move_bit(moves[next]) : 0;
            outcome = play_frame(a, sys_ticks(), held, 0);
            apply_events(a.player);
            if (held && step_begun(a.player))
                next++;
        } else {
            ended++;
        }
        GFX_Flip(screen);
        controlFPS();
    }
    return outcome;
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
