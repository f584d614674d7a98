#include "support/boot.h"

#include "app/game.h"
#include "app/startup.h"
#include "config/config.h"
#include "config/input.h"
#include "core/field.h"
#include "core/hint.h"
#include "core/packs.h"
#include "core/records.h"
#include "core/replays.h"
#include "core/state.h"
#include "res/assets.h"
#include "res/qva.h"
#include "screens/demo.h"
#include "screens/scrolltext.h"
#include "sound/sound.h"
#include "sys/clock.h"
#include "video/fps.h"
#include "video/screen.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

std::string enter_scratch(const std::string& prefix)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    std::string dir = "/tmp/" + prefix + "-XXXXXX";
    if (mkdtemp(dir.data()) && symlink(ZARN_DATA_DIR, (dir + "/data").c_str()) == 0 && chdir(dir.c_str()) == 0)
        return dir;
    perror("scratch folder");
    return "";
}

void remove_scratch(const std::string& dir)
{
    if (system(("rm -rf '" + dir + "'").c_str()) != 0)
        fprintf(stderr, "could not remove %s\n", dir.c_str());
}

void fresh_process()
{
    bind_settings();
    state_reset();
    config_reset();
    input_reset();
    assets_reset();
    screen_reset();
    field_reset();
    hint_reset();
    scrolltext_reset();
    records_reset();
    packs_reset();
    replays_reset();
    demo_reset();
    resetdefault_controls();
    sys_use_virtual_clock(true);
}

void boot_game()
{
    fresh_process();
    fps_frame_hook = nullptr;
    openArchives();
    init_zarn();
}

void shutdown_game()
{
    fps_frame_hook = nullptr;
    destroy_sound();  // the game leaves this to SDL's shut-down; tests boot many times
    closeArchives();
    freestuff();
    sys_use_virtual_clock(false);
}

int run_zarn(std::vector<const char*> args)
{
    fresh_process();
    args.push_back(nullptr);
    int status = zarn_main(static_cast<int>(args.size()) - 1, const_cast<char**>(args.data()));
    destroy_sound();  // the game leaves it to the end of the process
    return status;
}

bool drawn_already(const std::function<void(SDL_Surface*)>& draw)
{
    SDL_Surface* copy = SDL_ConvertSurface(screen, screen->format, SDL_SWSURFACE);
    draw(copy);
    bool same = memcmp(copy->pixels, screen->pixels, size_t(screen->h) * screen->pitch) == 0;
    SDL_FreeSurface(copy);
    return same;
}
