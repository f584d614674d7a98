#include "app/startup.h"

#include "config/config.h"
#include "config/input.h"
#include "core/editor.h"
#include "core/highscores.h"
#include "core/records.h"
#include "core/state.h"
#include "res/assets.h"
#include "res/qva.h"
#include "screens/credits.h"
#include "screens/ghost.h"
#include "screens/intro.h"
#include "sound/sound.h"
#include "sys/fatal.h"
#include "sys/files.h"
#include "sys/web.h"
#include "video/screen.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <unistd.h>

#ifndef ZARN_VERSION
#define ZARN_VERSION "1.10"
#endif
// The installed data seen from the folder of the installed program.
#ifndef ZARN_DATA_FROM_PROGRAM
#define ZARN_DATA_FROM_PROGRAM "../share/games/zarn/data"
#endif

int edit_requested;
const char* edit_file;

namespace {

const char* program_name()
{
    return fixed_build ? "zarn-fixed" : "zarn";
}

void print_usage(FILE* out)
{
    fprintf(out,
            "usage: %s [-debug | -zoom N | --edit [FILE]] [--help] [--version] | --check FILE... | --verify FILE...\n",
            program_name());
}

void print_help()
{
    print_usage(stdout);
    printf("Zarn " ZARN_VERSION ", an arcade tile puzzle: destroy every field and mine before the time runs out.\n"
           "  -debug            (first argument) a level select before every level\n"
           "  -zoom N           read, then overridden by the settings (kept for old scripts)\n"
           "  --edit [FILE]     the level editor, on FILE (a level source) or a new level\n"
           "  --check FILE...   proves each level source winnable: a line a file; status 0 only when\n"
           "                    every one is\n"
           "  --verify FILE...  plays each replay on its level, without a window or sound, on its\n"
           "                    own clock: a line a file; status 0 only when every one won as it claims\n"
           "  --help            this text\n"
           "  --version         the version\n"
           "The archives are read from $ZARN_DATA_DIR when it is set, else from ./data, else from\n"
           "%s beside the program. Settings go to $XDG_CONFIG_HOME/zarn/zarn.cfg\n"
           "(~/.config/zarn/zarn.cfg) and high scores to $XDG_DATA_HOME/zarn/zarn.hi\n"
           "(~/.local/share/zarn/zarn.hi), or both into the working folder when the archives come\n"
           "from ./data; the replays of the best and last wins go to replays/ beside the high scores.\n",
           ZARN_DATA_FROM_PROGRAM);
}

// --help and --version answer and end the program (status 0); an option it
// does not know ends it with the usage line on standard error (status 2).
void check_options(int argc, char** argv)
{
    for (int i = 1; i < argc; i++) {
        const char* arg = argv[i];
        if (strcmp(arg, "--help") == 0) {
            print_help();
            exit(0);
        }
        if (strcmp(arg, "--version") == 0) {
            printf("zarn " ZARN_VERSION "\n");
            exit(0);
        }
        if (strcmp(arg, "--check") == 0 && i == 1) {
            if (argc < 3) {
                print_usage(stderr);
                exit(2);
            }
            exit(check_level_files(argc - 2, argv + 2));
        }
        if (strcmp(arg, "-zoom") == 0 || (strcmp(arg, "--edit") == 0 && i == 1))
            i++;  // its number or file, whatever it looks like
        else if (arg[0] == '-' && strcmp(arg, "-debug") != 0) {
            print_usage(stderr);
            exit(2);
        }
    }
}

// Makes a user folder (mode 0700) before the first file goes in.
bool make_folder(const char* folder)
{
    return !folder || !*folder || sys_make_folder(folder);
}

// The high scores, then the configuration, each folder made just before its
// file goes in; one line naming the first that failed.
void save_files()
{
    const char* failed = nullptr;
    int failure = 0;
    auto note = [&](bool saved, const char* folder) {
        if (!saved && !failed) {
            failure = errno;
            failed = folder ? folder : "the working folder";
        }
    };
    note(make_folder(scoresFolder) && write_highscores(), scoresFolder);
    note(make_folder(configFolder) && dumpConfig(), configFolder);
    if (failed)
        fprintf(stderr, "zarn: settings or high scores not saved in %s: %s\n", failed, strerror(failure));
}

// What a fatal error leaves behind: no sound device, no display mode.
void release_all()
{
    destroy_sound();
    freestuff();
}

}  // namespace

void bind_settings()
{
    input_bind_settings();
    sound_bind_settings();
    ghost_bind_settings();
}

void read_command_line(int argc, char** argv)
{
    if (argc >= 3 && strcmp(argv[1], "-zoom") == 0) {
        long n = strtol(argv[2], nullptr, 10);  // no overflow, whatever the digits
        zoom = n < 0 || n > 5 ? 1 : static_cast<int>(n);
    }
    debug_levels = argc >= 2 && strcmp(argv[1], "-debug") == 0 ? 1 : 0;
    edit_requested = argc >= 2 && strcmp(argv[1], "--edit") == 0 ? 1 : 0;
    edit_file = edit_requested && argc >= 3 ? argv[2] : nullptr;
}

void init_zarn()
{
    srand(static_cast<unsigned>(time(nullptr)));
    // The game reads keys, never composed text: X need not parse the
    // locale's compose table (half a megabyte) for the input method SDL
    // opens. A table the player names is still read.
    setenv("XCOMPOSEFILE", "/dev/null", 0);
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
    SDL_WM_SetCaption("Zarn v" ZARN_VERSION, "zarnicon");
    screen_mode_locked = fixed_build;
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
    check_options(argc, argv);
    bind_settings();
    getConfigFolder();
    scoresFolder = chosenScoresFolder;
    resetdefault_controls();
    read_command_line(argc, argv);
    openArchives();
    if (!qva_header[QVA_MAPS])
        sys_fatal(("Missing or damaged " + std::string(qva_name(QVA_MAPS)) + ": the levels cannot be read").c_str());
    loadGfxConfig();
    loadConfig();
    init_zarn();
    read_highscores();
    read_records();
#ifdef __EMSCRIPTEN__
    web_keep_saving(save_files);
#endif
    if (edit_requested)
        return;  // straight into the editor
    start_screen();
    show_opensource();
}

void shut_down()
{
    save_files();
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
