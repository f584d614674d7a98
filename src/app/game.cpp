// The game flow: the outer loop between the main menu and a run of levels.
#include "app/game.h"

#include "app/startup.h"
#include "app/verify.h"
#include "config/input.h"
#include "core/level.h"
#include "core/state.h"
#include "screens/editor.h"
#include "screens/highscore.h"
#include "screens/level.h"
#include "screens/levelselect.h"
#include "screens/menu.h"
#include "sound/sound.h"

#include <cstring>

namespace {

constexpr int MUSIC_MENU = 0;
constexpr int MUSIC_CLASSIC_MENU = 9;
constexpr int MUSIC_CLASSIC_GAME = 10;
constexpr int START_LIVES = 3;

void start_game()
{
    Player.lives = Player.bonus_lives + START_LIVES;
    Player.score = 0;
    Player.bonus_lives = 0;
    end_game = 0;
    fin = 0;
    Player.perfect = 1;
}

// Level attempts until the last life, the last level or a quit; false on quit.
bool play_levels()
{
    int track = -1, tune = -1;  // the music runs on across levels that share a tune
    while (fin != 1) {
        if (debug_levels) {
            select_level();
            if (quit_zarn == 1)
                return false;
        }
        int wanted = level_track(curr_map, classic_mode), wanted_tune = level_tune(curr_map, classic_mode);
        if (wanted != track || wanted_tune != tune) {
            play_music(wanted, -1, wanted_tune);
            track = wanted;
            tune = wanted_tune;
        } else {
            resume_music();
        }
        init_maps(curr_map, classic_mode);
        engine();
        if (quit_zarn == 1)
            return false;
        if (Player.lives <= 0)
            break;  // game over
        if (cont == 2)
            cont = 0;  // restart: the same level again
    }
    return true;
}

}  // namespace

int level_track(int level, int classic)
{
    return classic ? MUSIC_CLASSIC_GAME : (((level - 1) >> 1) & 7) + 1;
}

int level_tune(int level, int classic)
{
    return classic ? (level - 1) >> 1 : 0;
}

void game_loop()
{
    while (quit_zarn != 1) {
        play_music(classic_mode ? MUSIC_CLASSIC_MENU : MUSIC_MENU, -1);
        if (cont == 0) {
            curr_map = 1;
            menu();
            if (quit_zarn == 1)
                return;
        }
        start_game();
        if (!play_levels())
            return;
        got_highscore = check_highscore(Player.score);
    }
}

int zarn_main(int argc, char** argv)
{
    if (argc >= 2 && strcmp(argv[1], "--verify") == 0)
        return verify_replays(argc - 2, argv + 2);
    start_up(argc, argv);
    if (edit_requested)
        level_editor(edit_file);
    else
        game_loop();
    shut_down();
    return 0;
}
