// Plays a front-end screen of the booted headless game from a script of
// inputs, one step per frame boundary on the virtual clock, and looks at what
// it drew.
//
// Script: a plain character presses its key (letters as lower case);
// [...] presses all it holds in one frame: ^ v < > the arrows, E Return,
// S space, B Backspace, X Delete, Q a window close, J3 joystick button 3,
// A Alt+Enter, F F12;
// [5] is five idle frames; [@31000] waits until 31 s of virtual time have
// passed since the start (the frame after holds no input); {v} holds an arrow for one frame and lets the
// 5-frame input pause pass, {v25} holds it for 25 frames, {v!} holds it one
// frame with no pause after; (x,y) clicks at a point of the 320 x 240 frame.
#pragma once
#include "support/game.h"

#include <cctype>

inline SDLKey key_of(char c)
{
    const char* named = "^v<>ESBX";
    const SDLKey keys[] = {SDLK_UP,     SDLK_DOWN,  SDLK_LEFT,      SDLK_RIGHT,
                           SDLK_RETURN, SDLK_SPACE, SDLK_BACKSPACE, SDLK_DELETE};
    const char* at = strchr(named, c);
    return at ? keys[at - named] : static_cast<SDLKey>(tolower(static_cast<unsigned char>(c)));
}

// A step queues the input of the next frame; false while it waits for a later one.
using screen_step = std::function<bool()>;

inline std::vector<screen_step> parse_steps(const std::string& s, uint32_t start)
{
    std::vector<screen_step> out;
    auto add = [&out](std::function<void()> fn, int times = 1) {
        out.insert(out.end(), times, [fn] { return fn(), true; });
    };
    for (size_t i = 0; i < s.size(); i++) {
        char open = s[i];
        if (!strchr("[{(", open)) {
            add([open] { push_key(static_cast<SDLKey>(tolower(static_cast<unsigned char>(open)))); });
            continue;
        }
        size_t close = s.find(open == '[' ? ']' : open == '{' ? '}' : ')', i);
        std::string in = s.substr(i + 1, close - i - 1);
        i = close;
        if (open == '[' && in[0] == '@') {
            uint32_t ms = std::stoul(in.substr(1));
            out.push_back([start, ms] { return sys_ticks() - start >= ms; });
        } else if (open == '[' && isdigit(static_cast<unsigned char>(in[0]))) {
            add([] {}, std::stoi(in));
        } else if (open == '[') {
            add([in] {
                for (size_t k = 0; k < in.size(); k++)
                    in[k] == 'Q'   ? push_quit()
                    : in[k] == 'J' ? push_joy_button(in[++k] - '0')
                    : in[k] == 'A' ? push_key(SDLK_RETURN, KMOD_LALT)
                    : in[k] == 'F' ? push_key(SDLK_F12)
                                   : push_key(key_of(in[k]));
            });
        } else if (open == '{') {
            SDLKey key = key_of(in[0]);
            add([key] { hold_key(key, true); });
            add([] {}, in.size() > 1 && in[1] != '!' ? std::stoi(in.substr(1)) - 1 : 0);
            add([key] { hold_key(key, false); });
            add([] {}, in.back() == '!' ? 0 : 4);
        } else {
            int x = std::stoi(in), y = std::stoi(in.substr(in.find(',') + 1));
            add([x, y] { push_click(x * SDL_GetVideoSurface()->w / 320, y * SDL_GetVideoSurface()->w / 320); });
        }
    }
    return out;
}

struct played {
    int frames;      // frames the screen ran
    uint32_t ms;     // virtual time it took
    bool timed_out;  // still running `grace` frames after the script, so closed
};

// Runs screen() with the script: step n is queued before frame n + 1.
// each_frame, if given, runs at the end of every frame (numbered from 1),
// while the frame's picture is on `screen`.
inline played play(const std::function<void()>& screen_fn, const std::string& script,
                   const std::function<void(int)>& each_frame = nullptr, int grace = 200)
{
    uint32_t start = sys_ticks();
    std::vector<screen_step> steps = parse_steps(script, start);
    flush_events();  // what a screen that ended early left unread
    played result = {0, 0, false};
    size_t next = 0;
    int last_step = 0;
    start_script([&](int frame) {
        if (frame > 0 && each_frame)
            each_frame(frame);
        if (next < steps.size()) {
            next += steps[next]();
            last_step = frame;
        } else if (frame >= last_step + grace && !quit_zarn) {
            result.timed_out = true;
            quit_zarn = 1;
            push_quit();
        }
    });
    screen_fn();
    result.frames = stop_script();
    result.ms = sys_ticks() - start;
    release_all_keys();
    return result;
}

using screen_test = booted_game;

inline bool rows_equal(SDL_Surface* a, SDL_Surface* b, int y, int h)
{
    return memcmp(static_cast<Uint8*>(a->pixels) + y * a->pitch, static_cast<Uint8*>(b->pixels) + y * b->pitch,
                  h * a->pitch) == 0;
}

// True when rows y .. y + 7 of `screen` show the menu picture with exactly
// these small-font texts on it: {x, y, text}.
inline bool row_shows(int y, std::initializer_list<std::tuple<int, int, const char*>> texts)
{
    SDL_Surface* ref = SDL_ConvertSurface(screen, screen->format, SDL_SWSURFACE);
    drawPic(ref, 0, 0, 320, 240, theme_picture(PICTURE_TITLE), 0, 0, 320, 240);
    for (auto [x, text_y, text] : texts)
        put_text1(ref, x, text_y, text);
    bool same = rows_equal(screen, ref, y, 8);
    SDL_FreeSurface(ref);
    return same;
}
