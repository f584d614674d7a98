#include "support/input_script.h"

#include "video/fps.h"

#include <cstring>

static std::function<void(int)> script;
static int frames;

// A zeroed event of the type.
static SDL_Event event(Uint8 type)
{
    SDL_Event e;
    memset(&e, 0, sizeof e);
    e.type = type;
    return e;
}

void push_key(SDLKey sym, SDLMod mod)
{
    SDL_Event e = event(SDL_KEYDOWN);
    e.key.state = SDL_PRESSED;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    SDL_PushEvent(&e);
}

void push_focus_lost()
{
    SDL_Event e = event(SDL_ACTIVEEVENT);
    e.active.gain = 0;
    e.active.state = SDL_APPINPUTFOCUS | SDL_APPMOUSEFOCUS;
    SDL_PushEvent(&e);
}

void hold_key(SDLKey sym, bool down)
{
    int count = 0;
    Uint8* keys = SDL_GetKeyState(&count);
    if (keys && static_cast<int>(sym) < count)
        keys[sym] = down ? 1 : 0;
}

void release_all_keys()
{
    int count = 0;
    if (Uint8* keys = SDL_GetKeyState(&count))
        memset(keys, 0, count);
}

void push_click(int x, int y, Uint8 button)
{
    SDL_Event e = event(SDL_MOUSEBUTTONDOWN);
    e.button.button = button;
    e.button.state = SDL_PRESSED;
    e.button.x = static_cast<Uint16>(x);
    e.button.y = static_cast<Uint16>(y);
    SDL_PushEvent(&e);
}

void push_quit()
{
    SDL_Event e = event(SDL_QUIT);
    SDL_PushEvent(&e);
}

void push_joy_button(int button)
{
    SDL_Event e = event(SDL_JOYBUTTONDOWN);
    e.jbutton.button = static_cast<Uint8>(button);
    e.jbutton.state = SDL_PRESSED;
    SDL_PushEvent(&e);
}

void flush_events()
{
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
    }
}

static void on_frame()
{
    frames++;
    if (script)
        script(frames);
}

void start_script(std::function<void(int)> fn)
{
    frames = 0;
    script = std::move(fn);
    fps_frame_hook = on_frame;
    if (script)
        script(0);
}

int stop_script()
{
    fps_frame_hook = nullptr;
    script = nullptr;
    return frames;
}

int script_frames()
{
    return frames;
}
