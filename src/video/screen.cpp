// The display: the video mode, the 320 x 240 back surface and the
// presentation of every finished frame, enlarged by the chosen filter.
#include "video/screen.h"

#include "sys/fatal.h"
#include "video/filters.h"

#include <array>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int FRAME_W = 320;
constexpr int FRAME_H = 240;
constexpr int DEPTH = 16;
constexpr int ZOOM_DEFAULT = 1;         // SIMPLE
constexpr int FULL_SCREEN_DEFAULT = 1;  // full screen
constexpr int WIDE_W = 640, WIDE_H = 480;     // the enlarged display
constexpr int HUGE_W = 1280, HUGE_H = 960;    // and enlarged twice more

}  // namespace

SDL_Surface* screen;
SDL_Surface* fscreen;
int zoom = ZOOM_DEFAULT;
int full_screen = FULL_SCREEN_DEFAULT;
uint8_t double_scale;
int full_width = WIDE_W, full_height = WIDE_H;
const char* const zoom_modes[6] = {"NOT AVAILABLE", "SIMPLE", "SCALE2X", "BILINEAR AA", "SCANLINE", "BLUR"};
int cfgbpp = DEPTH;

namespace {

// The filter of each zoom value; 0 shows the back surface itself.
constexpr std::array<void (*)(), 6> filters = {nullptr, zoom2, Scale2X, Bilinear2, Scanline2x, antiAlias2};
static_assert(filters.size() == sizeof zoom_modes / sizeof zoom_modes[0], "one filter per zoom mode");

}  // namespace

void screen_release()
{
    // SDL keeps the display surface itself; freeing it is a no-op.
    if (screen)
        SDL_FreeSurface(screen);
    screen = nullptr;
    if (fscreen)
        SDL_FreeSurface(fscreen);
    fscreen = nullptr;
}

// Sets the mode from zoom, full_screen and double_scale; on failure prints
// SDL's error, ends SDL and the program (exit status 1).
void init_screen()
{
    screen_release();
    if (double_scale) {
        filters_release_buffer();  // the BLUR buffer is made again at the larger size
        full_width = HUGE_W;
        full_height = HUGE_H;
    } else {
        full_width = WIDE_W;
        full_height = WIDE_H;
    }
    Uint32 flags = SDL_HWSURFACE | SDL_DOUBLEBUF;
    if (full_screen)
        flags |= SDL_FULLSCREEN;
    bool display_ok;
    if (zoom) {
        fscreen = SDL_SetVideoMode(full_width, full_height, DEPTH, flags);
        display_ok = fscreen != nullptr;
        if (fscreen) {
            const SDL_PixelFormat* f = fscreen->format;
            screen = SDL_CreateRGBSurface(0, FRAME_W, FRAME_H, f->BitsPerPixel, f->Rmask, f->Gmask,
                                          f->Bmask, f->Amask);
        }
    } else {
        screen = SDL_SetVideoMode(FRAME_W, FRAME_H, DEPTH, flags);
        display_ok = screen != nullptr;
    }
    if (!display_ok || !screen) {
        // Nothing can be shown: one line, at once, and the exit status 1.
        char line[256];
        snprintf(line, sizeof line, "SDL Error: %s", SDL_GetError());
        // The display belongs to SDL, which the fatal clean-up ends: keep no
        // handle to it.
        screen = nullptr;
        fscreen = nullptr;
        sys_fatal_to(stdout, line);
    }
    SDL_ShowCursor(0);
}

void GFX_Flip(SDL_Surface* surface)
{
    if (zoom == 0 || !fscreen) {
        if (surface)
            SDL_Flip(surface);
        return;
    }
    if (zoom > 0 && zoom < static_cast<int>(filters.size()))
        filters[zoom]();
    SDL_Flip(fscreen);
}

int drawPic(SDL_Surface* dst, int16_t dst_x, int16_t dst_y, uint16_t dst_w, uint16_t dst_h,
            SDL_Surface* src, int16_t src_x, int16_t src_y, uint16_t src_w, uint16_t src_h)
{
    SDL_Rect s = {src_x, src_y, src_w, src_h};
    SDL_Rect d = {dst_x, dst_y, dst_w, dst_h};
    return SDL_UpperBlit(src, &s, dst, &d);
}

void GFX_Shutdown() {}

void zoom2()
{
    zoom2_320(screen, fscreen);
}

void Scale2X()
{
    Scale2X_320(screen, fscreen);
}

void Bilinear2()
{
    Bilinear2_320(screen, fscreen);
}

void Scanline2x()
{
    Scanline2x_320(screen, fscreen);
}

void antiAlias2()
{
    antiAlias2_320(screen, fscreen);
}

// The picture fills the display: halved at 640 x 480, quartered at 1280 x 960.
void display_to_frame(int32_t* x, int32_t* y)
{
    if (!zoom)
        return;
    int shift = full_width >= 4 * FRAME_W ? 2 : 1;
    *x >>= shift;
    *y >>= shift;
}

void screen_reset()
{
    screen = nullptr;
    fscreen = nullptr;
    zoom = ZOOM_DEFAULT;
    full_screen = FULL_SCREEN_DEFAULT;
    double_scale = 0;
    full_width = WIDE_W;
    full_height = WIDE_H;
    filters_release_buffer();
    cfgbpp = DEPTH;
}
