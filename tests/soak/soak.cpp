// The soak: the whole game from start-up, headless on the virtual clock with
// the real data, fed random keys, clicks, joystick and window events at every
// frame boundary until the frames asked for have passed; a game that ends is
// started again. Built with the sanitizers it finds memory faults, undefined
// behaviour and leaks on the way; it also checks that every window close ends
// the program within a frame and that no frame hangs.
//
//   zarn_soak [FRAMES [SEED]]    (100000 frames and a seed from the clock)
//
// The same seed plays the same run (only the intro tune, which the audio
// thread plays in real time, could end the intro at another frame).
#include "config/config.h"
#include "config/input.h"
#include "core/highscores.h"
#include "support/boot.h"
#include "support/input_script.h"
#include "screens/frame.h"
#include "video/fps.h"
#include "video/screen.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr unsigned HANG_SECONDS = 120;  // a frame that takes this long is a hang
constexpr int CLOSE_ODDS = 3000;        // one frame in this many closes the window

// The screens, by the names they run under.
const char* const SCREEN_NAMES[] = {"start_screen", "show_opensource", "menu",   "watch",  "show_highscores",
                                    "enter_pw",     "settings",        "controls", "select_level", "aktion",
                                    "engine",       "pause",           "enter_highscore"};

std::mt19937_64 rng;
long long frames_wanted, frames_done;
int session_frames, close_frame;  // the session frame of the window close, -1 none
std::string close_screen, last_screen;  // the screens running at the close and at the last frame ("none")
std::map<std::string, long long> screen_frames;
std::vector<std::pair<int, int>> held;  // key, session frame of its release

int roll(int n)
{
    return static_cast<int>(rng() % static_cast<unsigned>(n));
}

void set_key(int sym, bool down)
{
    hold_key(static_cast<SDLKey>(sym), down);
    push_event(down ? SDL_KEYDOWN : SDL_KEYUP, sym);
}

// A key let go within the frame, or held for up to 20 frames.
void press(int sym)
{
    set_key(sym, true);
    if (roll(5) < 2)
        set_key(sym, false);
    else
        held.emplace_back(sym, session_frames + 1 + roll(20));
}

// A letter, a digit, an editing or modifier key, or any key at all (the
// controls screen may bind it).
int other_key()
{
    static const int keys[] = {SDLK_BACKSPACE, SDLK_DELETE, SDLK_ESCAPE, SDLK_LSHIFT, SDLK_x, SDLK_TAB};
    int kind = roll(4);
    return kind == 0 ? 'a' + roll(26) : kind == 1 ? '0' + roll(10) : kind == 2 ? keys[roll(6)] : roll(SDLK_LAST);
}

// A click of any button, on the display or (now and then) anywhere at all.
void click()
{
    SDL_Surface* display = SDL_GetVideoSurface();
    bool wild = roll(20) == 0;
    int x = roll(wild ? 65536 : display ? display->w : 320), y = roll(wild ? 65536 : display ? display->h : 240);
    int button = 1 + roll(5);
    push_event(SDL_MOUSEBUTTONDOWN, button, x, y);
    push_event(SDL_MOUSEBUTTONUP, button, x, y);
}

void joystick_event()
{
    static const int values[] = {0, 31000, 31001, -31001, 32767, -32768};
    int kind = roll(3);
    if (kind == 0)
        push_event(SDL_JOYAXISMOTION, roll(4), roll(2) ? values[roll(6)] : roll(65536) - 32768);
    else if (kind == 1)
        push_event(SDL_JOYHATMOTION, roll(6), roll(16));
    else
        push_event(roll(2) ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP, roll(16));
}

// One frame's input: most often a bound control, as a player would. The
// menu sees up seldom, so that "EXIT" does not end most games at once.
void random_input()
{
    static const Uint8 others[] = {SDL_ACTIVEEVENT, SDL_VIDEOEXPOSE, SDL_VIDEORESIZE, SDL_USEREVENT, SDL_MOUSEMOTION};
    for (int n = roll(4) - 1; n > 0; n--) {
        int kind = roll(100), control = roll(CONTROL_COUNT);
        if (last_screen == "menu" && control == CONTROL_UP && roll(10))
            control = CONTROL_DOWN;
        if (kind < 50)
            press(key_buttons[control]);
        else if (kind < 62)
            press(other_key());
        else if (kind < 80)
            click();
        else if (kind < 95)
            joystick_event();
        else
            push_event(others[roll(5)], roll(2000), roll(2000));
    }
}

void on_frame()
{
    alarm(HANG_SECONDS);
    frames_done++;
    session_frames++;
    last_screen = *running_screen() ? running_screen() : "none";
    screen_frames[last_screen]++;
    srand(static_cast<unsigned>(rng()));  // the game's own draws follow the seed
    for (size_t i = held.size(); i-- > 0;)
        if (held[i].second <= session_frames) {
            set_key(held[i].first, false);
            held.erase(held.begin() + static_cast<long>(i));
        }
    if (close_frame >= 0)
        return;
    if (frames_done < frames_wanted && roll(CLOSE_ODDS) != 0)
        return random_input();
    close_frame = session_frames;
    close_screen = last_screen;
    push_event(SDL_QUIT);
}

void on_hang(int)
{
    static const char msg[] = "soak: FINDING: no frame for 120 s, a hang\n";
    (void)!write(2, msg, sizeof msg - 1);
    _exit(3);
}

}  // namespace

int main(int argc, char** argv)
{
    frames_wanted = argc > 1 ? atoll(argv[1]) : 100000;
    unsigned long long seed = argc > 2 ? strtoull(argv[2], nullptr, 10) : static_cast<unsigned long long>(time(nullptr));
    rng.seed(seed);
    const std::string scratch = enter_scratch("zarn-soak");  // zarn.cfg and zarn.hi go here
    if (scratch.empty())
        return 2;
    signal(SIGALRM, on_hang);
    printf("soak: %lld frames, seed %llu (zarn_soak %lld %llu repeats it)\n", frames_wanted, seed, frames_wanted, seed);
    fflush(stdout);

    auto start = std::chrono::steady_clock::now();
    int games = 0, closes = 0, findings = 0;
    for (; frames_done < frames_wanted; games++) {
        for (int i = 0; i < HIGHSCORE_PLACES; i++) {  // a table that most scores enter
            high_scores[i] = 50 - 10 * i;
            snprintf(high_names[i], HIGHSCORE_NAME_BYTES, "SOAK%c", '1' + i);
        }
        write_highscores();
        // Under the sanitizers a frame enlarged to 640 x 480 spends most of
        // its time doubling pixels, whose every store is checked (the filters
        // have their own sanitized tests): most games start in the 320 x 240
        // mode, the settings that the last game saved otherwise kept, and may
        // change it as a player would.
        if (roll(5) != 0) {
            fresh_process();
            loadGfxConfig();
            loadConfig();
            zoom = double_scale = 0;
            dumpConfig();
        }
        held.clear();
        session_frames = 0;
        close_frame = -1;
        fps_frame_hook = on_frame;
        alarm(HANG_SECONDS);
        run_zarn(roll(3) == 0 ? std::vector<const char*>{"zarn", "-debug"} : std::vector<const char*>{"zarn"});
        alarm(0);
        fps_frame_hook = nullptr;
        closes += close_frame >= 0;
        if (close_frame >= 0 && session_frames > close_frame + 1) {
            printf("soak: FINDING: game %d ran %d frames after the window closed in %s (the last in %s)\n",
                   games + 1, session_frames - close_frame, close_screen.c_str(), last_screen.c_str());
            findings++;
        }
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    printf("soak: %lld frames in %d games, %.1f s; %d ended by a window close, the others by EXIT\n", frames_done,
           games, seconds, closes);
    printf("soak: frames per screen:");
    for (const auto& [name, frames] : screen_frames)
        printf(" %s %lld", name.c_str(), frames);
    printf("\n");
    for (const char* name : SCREEN_NAMES)
        if (!screen_frames.count(name))
            printf("soak: never reached: %s\n", name);
    printf("soak: %d findings\n", findings);
    remove_scratch(scratch);
    return findings ? 1 : 0;
}
