// Helpers for playing the intro, credits, settings and controls screens
// frame by frame and for looking at what they drew.
#pragma once
#include <SDL.h>

#include <functional>
#include <initializer_list>
#include <vector>

#include "res/assets.h"
#include "support/input_script.h"
#include "video/font.h"
#include "video/screen.h"

using frame_step = std::function<void()>;

// Runs screen with one step per frame: steps[i] runs at the end of frame i
// (steps[0] before the first frame), sees what frame i did and queues the
// input of frame i + 1. A screen still running long after the steps are used
// up is closed, so a broken screen fails instead of hanging. Returns the
// number of frames shown.
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

// A step that does nothing (the screen just runs a frame).
inline frame_step idle()
{
    return [] {};
}

inline frame_step press(SDLKey key)
{
    return [key] { push_key(key); };
}

// A piece of small-font text at a position of the frame.
struct small_text {
    int x, y;
    const char* text;
};

// True when rows y .. y + h - 1 of a and b hold the same pixels.
inline bool rows_equal(SDL_Surface* a, SDL_Surface* b, int y, int h)
{
    SDL_LockSurface(a);
    SDL_LockSurface(b);
    bool same = true;
    for (int row = y; row < y + h && same; row++) {
        const Uint8* pa = static_cast<const Uint8*>(a->pixels) + row * a->pitch;
        const Uint8* pb = static_cast<const Uint8*>(b->pixels) + row * b->pitch;
        for (int i = 0; i < a->w * a->format->BytesPerPixel; i++)
            if (pa[i] != pb[i]) {
                same = false;
                break;
            }
    }
    SDL_UnlockSurface(b);
    SDL_UnlockSurface(a);
    return same;
}

// True when rows y .. y + h - 1 of the back surface show the menu picture
// with exactly these texts on it.
inline bool rows_show(int y, int h, std::initializer_list<small_text> texts)
{
    SDL_PixelFormat* f = screen->format;
    SDL_Surface* ref = SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, f->BitsPerPixel, f->Rmask, f->Gmask, f->Bmask, f->Amask);
    drawPic(ref, 0, 0, 320, 240, zarnmenu, 0, 0, 320, 240);
    for (const small_text& t : texts)
        put_text1(ref, t.x, t.y, t.text);
    bool same = rows_equal(screen, ref, y, h);
    SDL_FreeSurface(ref);
    return same;
}
