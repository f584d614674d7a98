// zarn_web_reference OUT.png: the settings screen as the native game shows it
// in a 640 x 480 window with BLUR (chosen on the screen itself, so the scaling
// line stays selected), written as a PNG. The web test compares the page's
// canvas with it pixel for pixel.
#include <SDL.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "app/startup.h"
#include "config/config.h"
#include "res/qva.h"
#include "screens/settings.h"
#include "support/boot.h"
#include "support/input_script.h"
#include "video/shot.h"

int main(int argc, char** argv)
{
    char out[PATH_MAX];
    if (argc != 2 || !realpath(".", out)) {
        fprintf(stderr, "usage: zarn_web_reference OUT.png\n");
        return 2;
    }
    std::string path = argv[1][0] == '/' ? argv[1] : std::string(out) + '/' + argv[1];
    unlink(path.c_str());
    std::string dir = enter_scratch("zarn-web-reference");
    if (dir.empty())
        return 1;
    // As the game starts without a configuration file, the intro left out.
    fresh_process();
    openArchives();
    loadGfxConfig();
    loadConfig();
    init_zarn();
    // Down to SCALING SETTINGS, then SIMPLE on to BLUR: one key a frame.
    bool written = false;
    start_script([&](int frame) {
        if (frame < 8) {
            push_key(frame < 4 ? SDLK_DOWN : SDLK_RIGHT);
        } else if (frame == 18) {
            written = write_png(SDL_GetVideoSurface(), path.c_str());
            push_quit();
        }
    });
    settings();
    stop_script();
    shutdown_game();
    remove_scratch(dir);
    if (!written)
        fprintf(stderr, "zarn_web_reference: %s not written\n", path.c_str());
    return written ? 0 : 1;
}
