#include "app/startup.h"

#include "config/config.h"
#include "config/input.h"
#include "core/highscores.h"
#include "core/state.h"
#include "res/assets.h"
#include "res/qva.h"
#include "screens/credits.h"
#include "screens/intro.h"
#include "sound/sound.h"
#include "sys/fatal.h"
#include "video/screen.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

// Argument 1 is looked at, argument 2 only after "-zoom". The zoom given here
// is read again from the configuration file, so it does not last.
void read_command_line(int argc, char** argv)
{
    if (argc >= 3 && strcmp(argv[1], "-zoom") == 0)
        zoom = atoi(argv[2]);
    debug_levels = argc >= 2 && strcmp(argv[1], "-debug") == 0 ? 1 : 0;
}

// What a fatal error leaves behind: no sound device, no display mode.
void release_all()
{
    destroy_sound();
    freestuff();
}

}  // namespace

void init_zarn()
{
    srand(static_cast<unsigned>(time(nullptr)));
    // The game reads keys, never composed text: X need not parse the
    // locale's compose table (half a megabyte) for the input method SDL
    // opens. A table the player names is still read.
    setenv("XCOMPOSEFILE", "/dev/null", 0);
    if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO) < 0) {
        printf("SDL Error: %s\n", SDL_GetError());
        SDL_Quit();
    }
    SDL_WM_SetCaption("Zarn v1.10", "zarnicon");
    init_screen();
    init_sound();
    init_controls();
    sys_set_fatal_cleanup(release_all);
    load_images();
    fill_default_highscores();
    load_newtheme();
}

void start_up(int argc, char** argv)
{
    getConfigFolder();
    resetdefault_controls();
    read_command_line(argc, argv);
    openArchives();
    loadGfxConfig();
    loadConfig();
    init_zarn();
    read_highscores();
    start_screen();
    show_opensource();
}

void shut_down()
{
    write_highscores();
    dumpConfig();
    closeArchives();
    freestuff();
    GFX_Shutdown();
}

void freestuff()
{
    sys_set_fatal_cleanup(nullptr);
    screen_release();
    release_images();
    destroy_controls();
    SDL_Quit();
}
