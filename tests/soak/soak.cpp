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
#include "app/game.h"
#include "config/config.h"
#include "config/input.h"
#include "core/field.h"
#include "core/highscores.h"
#include "core/state.h"
#include "res/assets.h"
#include "screens/scrolltext.h"
#include "sound/sound.h"
#include "support/screen_probe.h"
#include "sys/clock.h"
#include "video/fps.h"
#include "video/screen.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr unsigned HANG_SECONDS = 120;  // a frame that takes this long is a hang
constexpr int CLOSE_ODDS = 3000;        // one frame in this many closes the window

std::mt19937_64 rng;
long long frames_wanted, frames_done;
int session_frames, close_frame;  // the session frame of the window close, -1 none
int close_screen, last_screen;    // the screens running at the close and at the last frame
int closes, findings;
std::vector<long long> screen_frames;   // by screen; the last one: no screen
std::vector<std::pair<int, int>> held;  // key, session frame of its release

const char* screen_name(int screen)
{
    return screen < SCREEN_COUNT ? SCREEN_NAMES[screen] : "none";
}

int roll(int n)
{
    return static_cast<int>(rng() % static_cast<unsigned>(n));
}

void push(Uint8 type, void (*fill)(SDL_Event&) = nullptr)
{
    SDL_Event e;
    memset(&e, 0, sizeof e);
    e.type = type;
    if (fill)
        fill(e);
    SDL_PushEvent(&e);
}

void set_key(int sym, bool down)
{
    int count = 0;
    Uint8* keys = SDL_GetKeyState(&count);
    if (keys && sym >= 0 && sym < count)
        keys[sym] = down;
    static int key;
    key = sym;
    push(down ? SDL_KEYDOWN : SDL_KEYUP, [](SDL_Event& e) { e.key.keysym.sym = static_cast<SDLKey>(key); });
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

int other_key()
{
    static const int keys[] = {SDLK_BACKSPACE, SDLK_DELETE, SDLK_ESCAPE, SDLK_LSHIFT, SDLK_x, SDLK_TAB};
    switch (roll(4)) {
    case 0: return 'a' + roll(26);
    case 1: return '0' + roll(10);
    case 2: return keys[roll(6)];
    default: return roll(SDLK_LAST);  // any key; the controls screen may bind it
    }
}

void click()
{
    SDL_Surface* display = SDL_GetVideoSurface();
    static int x, y, button;
    bool wild = roll(20) == 0;
    x = wild ? roll(65536) : roll(display ? display->w : 320);
    y = wild ? roll(65536) : roll(display ? display->h : 240);
    button = 1 + roll(5);
    auto at = [](SDL_Event& e) {
        e.button.button = static_cast<Uint8>(button);
        e.button.x = static_cast<Uint16>(x);
        e.button.y = static_cast<Uint16>(y);
    };
    push(SDL_MOUSEBUTTONDOWN, at);
    push(SDL_MOUSEBUTTONUP, at);
}

void joystick_event()
{
    static const int values[] = {0, 31000, 31001, -31001, 32767, -32768};
    switch (roll(3)) {
    case 0:
        push(SDL_JOYAXISMOTION, [](SDL_Event& e) {
            e.jaxis.axis = static_cast<Uint8>(rng() % 4);
            e.jaxis.value = static_cast<Sint16>(rng() % 2 ? values[rng() % 6] : static_cast<int>(rng() % 65536) - 32768);
        });
        break;
    case 1:
        push(SDL_JOYHATMOTION, [](SDL_Event& e) {
            e.jhat.hat = static_cast<Uint8>(rng() % 6);
            e.jhat.value = static_cast<Uint8>(rng() % 16);
        });
        break;
    default:
        push(roll(2) ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP,
             [](SDL_Event& e) { e.jbutton.button = static_cast<Uint8>(rng() % 16); });
        break;
    }
}

// One frame's input: most often a bound control, as a player would. The
// menu sees up seldom, so that "EXIT" does not end most games at once.
void random_input(int screen)
{
    static const Uint8 others[] = {SDL_ACTIVEEVENT, SDL_VIDEOEXPOSE, SDL_VIDEORESIZE, SDL_USEREVENT, SDL_MOUSEMOTION};
    bool menu = screen >= 0 && strcmp(SCREEN_NAMES[screen], "menu") == 0;
    for (int n = roll(4) - 1; n > 0; n--) {
        int kind = roll(100), control = roll(CONTROL_COUNT);
        if (menu && control == CONTROL_UP && roll(10))
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
            push(others[roll(5)], [](SDL_Event& e) { e.resize.w = e.resize.h = static_cast<int>(rng() % 2000); });
    }
}

void on_frame()
{
    alarm(HANG_SECONDS);
    frames_done++;
    session_frames++;
    int screen = running_screen();
    last_screen = screen >= 0 ? screen : SCREEN_COUNT;
    screen_frames[last_screen]++;
    srand(static_cast<unsigned>(rng()));  // the game's own draws follow the seed
    for (size_t i = held.size(); i-- > 0;) {
        if (held[i].second <= session_frames) {
            set_key(held[i].first, false);
            held.erase(held.begin() + static_cast<long>(i));
        }
    }
    if (close_frame >= 0)
        return;
    if (frames_done >= frames_wanted || roll(CLOSE_ODDS) == 0) {
        close_frame = session_frames;
        close_screen = last_screen;
        closes++;
        push(SDL_QUIT);
    } else {
        random_input(screen);
    }
}

void on_hang(int)
{
    static const char msg[] = "soak: FINDING: no frame for 120 s, a hang\n";
    (void)!write(2, msg, sizeof msg - 1);
    _exit(3);
}

// Every global back to its start, as in a new process, and a high-score table
// that most scores enter.
void fresh_session()
{
    state_reset();
    config_reset();
    input_reset();
    assets_reset();
    screen_reset();
    field_reset();
    scrolltext_reset();
    sys_use_virtual_clock(true);
    for (int i = 0; i < HIGHSCORE_PLACES; i++) {
        high_scores[i] = 50 - 10 * i;
        snprintf(high_names[i], HIGHSCORE_NAME_BYTES, "SOAK%d", i + 1);
    }
    write_highscores();
    held.clear();
    session_frames = 0;
    close_frame = -1;
}

}  // namespace

int main(int argc, char** argv)
{
    frames_wanted = argc > 1 ? atoll(argv[1]) : 100000;
    unsigned long long seed = argc > 2 ? strtoull(argv[2], nullptr, 10) : static_cast<unsigned long long>(time(nullptr));
    rng.seed(seed);
    screen_frames.assign(SCREEN_COUNT + 1, 0);
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    char scratch[] = "/tmp/zarn-soak-XXXXXX";  // zarn.cfg and zarn.hi go here
    if (!mkdtemp(scratch) || symlink(ZARN_DATA_DIR, (std::string(scratch) + "/data").c_str()) != 0 ||
        chdir(scratch) != 0) {
        perror("soak: scratch folder");
        return 2;
    }
    signal(SIGALRM, on_hang);
    printf("soak: %lld frames, seed %llu (zarn_soak %lld %llu repeats it)\n", frames_wanted, seed, frames_wanted, seed);
    fflush(stdout);

    auto start = std::chrono::steady_clock::now();
    int games = 0;
    for (; frames_done < frames_wanted; games++) {
        fresh_session();
        char zarn[] = "zarn", debug[] = "-debug";
        char* args[] = {zarn, roll(3) == 0 ? debug : nullptr, nullptr};
        fps_frame_hook = on_frame;
        alarm(HANG_SECONDS);
        zarn_main(args[1] ? 2 : 1, args);
        alarm(0);
        fps_frame_hook = nullptr;
        destroy_sound();  // the game leaves it to the end of the process
        if (close_frame >= 0 && session_frames > close_frame + 1) {
            printf("soak: FINDING: game %d ran %d frames after the window closed in %s (the last in %s)\n",
                   games + 1, session_frames - close_frame, screen_name(close_screen), screen_name(last_screen));
            findings++;
        }
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    printf("soak: %lld frames in %d games, %.1f s; %d ended by a window close, the others by EXIT\n", frames_done,
           games, seconds, closes);
    printf("soak: frames per screen:");
    for (int i = 0; i <= SCREEN_COUNT; i++)
        printf(" %s %lld", screen_name(i), screen_frames[i]);
    printf("\n");
    for (int i = 0; i < SCREEN_COUNT; i++)
        if (screen_frames[i] == 0)
            printf("soak: never reached: %s\n", SCREEN_NAMES[i]);
    printf("soak: %d findings\n", findings);
    if (system(("rm -rf '" + std::string(scratch) + "'").c_str()) != 0)
        fprintf(stderr, "soak: could not remove %s\n", scratch);
    return findings ? 1 : 0;
}
