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

// What a fatal error leaves behind: no sound device, no display mode.
void release_all()
{
    destroy_sound();
    freestuff();
}

}  // namespace

void read_command_line(int argc, char** argv)
{
    if (argc >= 3 && strcmp(argv[1], "-zoom") == 0) {
        long n = strtol(argv[2], nullptr, 10);  // no overflow, whatever the digits
        zoom = n < 0 || n > 5 ? 1 : static_cast<int>(n);
    }
    debug_levels = argc >= 2 && strcmp(argv[1], "-debug") == 0 ? 1 : 0;
}

void init_zarn()
{
    srand(static_cast<unsigned>(time(nullptr)));
    // A named display is the one to use: without this SDL would fall back to
    // drawing the game as text art in the terminal when no X server answers.
    const char* display = getenv("DISPLAY");
    if (!getenv("SDL_VIDEODRIVER") && display && *display)
        setenv("SDL_VIDEODRIVER", "x11", 1);
    // Without sound the game goes on; without video it cannot: one line, at
    // once, and the exit status 1, before any window or file is touched.
    if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO) < 0 && SDL_Init(SDL_INIT_VIDEO) < 0) {
        char line[256];
        snprintf(line, sizeof line, "SDL Error: %s", SDL_GetError());
        SDL_Quit();
        sys_fatal_to(stdout, line);
    }
    sys_set_fatal_cleanup([] { SDL_Quit(); });  // until there is more to release
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
    if (!qva_header[QVA_MAPS])
        sys_fatal("Missing or damaged data/maps.qva: the levels cannot be read");
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
