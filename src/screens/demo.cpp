#include "screens/demo.h"

#include "config/input.h"
#include "core/level.h"
#include "core/play.h"
#include "core/replays.h"
#include "core/state.h"
#include "screens/level.h"
#include "screens/watch.h"

#include <cstdlib>

int32_t demo_level = 1;

namespace {

constexpr int DEMO_LIVES = 3;  // the lives the bar shows

replay solution;      // the level's stored solution as a replay
level_field scratch;  // where it is worked out

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
    const int32_t game_map = curr_map;
    Player = player_record{};
    Player.lives = DEMO_LIVES;
    curr_map = level;
    // The player's own best run of the level when there is one, else the
    // stored solution on a sky of its own.
    read_best_replays(level, classic_mode);
    const replay* own = best_run();
    solution.classic = classic_mode;
    solution.level = level;
    replay_from_moves(solution, MapBody, scratch, moves, count);
    solution.look = look_now();
    solution.look.sky = rand() % 4;
    choose_tiles();
    int outcome = watch_replay(own ? *own : solution, own ? "REPLAY" : "DEMO", draw_play_screen);
    Player = game;
    curr_map = game_map;
    return outcome;
}

void demo_reset()
{
    demo_level = 1;
}
