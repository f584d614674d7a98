// Playing the intro, credits, settings and controls screens frame by frame,
// and looking at what they drew.
#pragma once
#include <SDL.h>

#include <cstring>
#include <functional>
#include <initializer_list>
#include <vector>

#include "res/assets.h"
#include "support/input_script.h"
#include "video/font.h"
#include "video/screen.h"

using frame_step = std::function<void()>;

// steps[i] runs at the end of frame i (steps[0] before the first frame) and
// queues the input of frame i + 1. A screen still running long after the
// steps are used up is closed. Returns the number of frames shown.
inline int run_steps(void (*run)(), const std::vector<frame_step>& steps, int limit = 600)
{
    start_script([&steps, limit](int frame) {
        if (frame < static_cast<int>(steps.size()))
            steps[frame]();
        else if (frame > limit)
            push_quit();
    });
    run();
    return stop_script();
}

// steps followed by one more.
inline std::vector<frame_step> operator+(std::vector<frame_step> steps, frame_step next)
{
    steps.push_back(std::move(next));
    return steps;
}

inline frame_step press(SDLKey key)
{
    return [key] { push_key(key); };
}

inline bool rows_equal(SDL_Surface* a, SDL_Surface* b, int y, int h)
{
    SDL_LockSurface(a);
    SDL_LockSurface(b);
    bool same = true;
    for (int row = y; row < y + h && same; row++)
        same = memcmp(static_cast<Uint8*>(a->pixels) + row * a->pitch, static_cast<Uint8*>(b->pixels) + row * b->pitch,
                      a->w * a->format->BytesPerPixel) == 0;
    SDL_UnlockSurface(b);
    SDL_UnlockSurface(a);
    return same;
}

struct small_text {
    int x, y;
    const char* text;
};

// True when rows y .. y + 7 of the back surface show the menu picture with
// exactly these small-font texts on it.
inline bool row_shows(int y, std::initializer_list<small_text> texts)
{
    SDL_Surface* ref = SDL_ConvertSurface(screen, screen->format, SDL_SWSURFACE);
    drawPic(ref, 0, 0, 320, 240, zarnmenu, 0, 0, 320, 240);
    for (const small_text& t : texts)
        put_text1(ref, t.x, t.y, t.text);
    bool same = rows_equal(screen, ref, y, 8);
    SDL_FreeSurface(ref);
    return same;
}
