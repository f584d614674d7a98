#include "support/input_script.h"

#include "video/fps.h"

#include <cstring>

static std::function<void(int)> script;
static int frames;

void push_event(Uint8 type, int a, int b, int c)
{
    SDL_Event e;
    memset(&e, 0, sizeof e);
    e.type = type;
    switch (type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.sym = static_cast<SDLKey>(a);
        e.key.keysym.mod = static_cast<SDLMod>(b);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.button.button = Uint8(a), e.button.x = Uint16(b), e.button.y = Uint16(c);
        break;
    case SDL_JOYAXISMOTION: e.jaxis.axis = Uint8(a), e.jaxis.value = Sint16(b); break;
    case SDL_JOYHATMOTION: e.jhat.hat = Uint8(a), e.jhat.value = Uint8(b); break;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        e.jbutton.state = type == SDL_JOYBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.jbutton.button = Uint8(a);
        break;
    case SDL_ACTIVEEVENT: e.active.gain = Uint8(a), e.active.state = Uint8(b); break;
    default: e.resize.w = a, e.resize.h = b;
    }
    SDL_PushEvent(&e);
}

void hold_key(SDLKey sym, bool down)
{
    int count = 0;
    Uint8* keys = SDL_GetKeyState(&count);
    if (keys && sym >= 0 && static_cast<int>(sym) < count)
        keys[sym] = down ? 1 : 0;
}

void release_all_keys()
{
    int count = 0;
    if (Uint8* keys = SDL_GetKeyState(&count))
        memset(keys, 0, count);
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
