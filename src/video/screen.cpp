// The display: the video mode, the 320 x 240 back surface and the
// presentation of every finished frame, enlarged by the chosen filter.
//
// The back surface always has 16-bit pixels. When the display's own format
// is one of 32-bit pixels that the filters write (the usual X desktop), the
// display is opened in that format and the filters (or, unenlarged, a plain
// widening copy) write it directly, as SDL would have converted the frame;
// otherwise the display is opened at 16 bits and SDL converts, if need be.
#include "video/screen.h"

#include "sys/fatal.h"
#include "video/cells.h"
#include "video/filters.h"
#include "video/font.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int FRAME_W = 320;
constexpr int FRAME_H = 240;
constexpr int DEPTH = 16;
constexpr int WIDE_DEPTH = 32;
constexpr int ZOOM_DEFAULT = 1;         // SIMPLE
constexpr int FULL_SCREEN_DEFAULT = 1;  // full screen
constexpr int WIDE_W = 640, WIDE_H = 480;     // the enlarged display
constexpr int HUGE_W = 1280, HUGE_H = 960;    // and enlarged twice more
constexpr int NOTICE_FRAMES = 30;             // a second of presented frames
constexpr int NOTICE_LINE_CHARS = 40;
constexpr int NOTICE_TOP = 214;               // the strip under the notice
constexpr int NOTICE_ROWS = FRAME_H - NOTICE_TOP;

}  // namespace

SDL_Surface* screen;
SDL_Surface* fscreen;
int zoom = ZOOM_DEFAULT;
int full_screen = FULL_SCREEN_DEFAULT;
uint8_t double_scale;
int full_width = WIDE_W, full_height = WIDE_H;
const char* const zoom_modes[6] = {"NOT AVAILABLE", "SIMPLE", "SCALE2X", "BILINEAR AA", "SCANLINE", "BLUR"};
int cfgbpp = DEPTH;
int native_bpp;
int screen_mode_locked;

namespace {

// The filter of each zoom value; 0 shows the back surface itself.
constexpr std::array<void (*)(), 6> filters = {nullptr, zoom2, Scale2X, Bilinear2, Scanline2x, antiAlias2};
static_assert(filters.size() == sizeof zoom_modes / sizeof zoom_modes[0], "one filter per zoom mode");

// The notice and the presented frames it has left; the rows of the frame it
// covers are kept aside while it is presented.
struct notice_state {
    char lines[2][NOTICE_LINE_CHARS + 2];  // each ends in '~'
    int frames_left;
    uint8_t kept[NOTICE_ROWS * FRAME_W * 4];
};
notice_state notice;

// Draws the notice over the foot of the frame and keeps what it covers;
// false when there is none.
bool put_notice(SDL_Surface* s)
{
    if (notice.frames_left <= 0 || !s || s->w != FRAME_W || s->h != FRAME_H || s->pitch > FRAME_W * 4)
        return false;
    notice.frames_left--;
    if (SDL_MUSTLOCK(s) && SDL_LockSurface(s) < 0)
        return false;
    uint8_t* foot = static_cast<uint8_t*>(s->pixels) + NOTICE_TOP * s->pitch;
    memcpy(notice.kept, foot, static_cast<size_t>(NOTICE_ROWS) * s->pitch);
    if (SDL_MUSTLOCK(s))
        SDL_UnlockSurface(s);
    SDL_Rect strip = {0, NOTICE_TOP, FRAME_W, NOTICE_ROWS};
    SDL_FillRect(s, &strip, SDL_MapRGB(s->format, 0, 0, 0));
    put_text1(s, 0, NOTICE_TOP + 2, notice.lines[0]);
    put_text1(s, 0, NOTICE_TOP + 14, notice.lines[1]);
    return true;
}

void take_notice_off(SDL_Surface* s)
{
    if (SDL_MUSTLOCK(s) && SDL_LockSurface(s) < 0)
        return;
    memcpy(static_cast<uint8_t*>(s->pixels) + NOTICE_TOP * s->pitch, notice.kept,
           static_cast<size_t>(NOTICE_ROWS) * s->pitch);
    if (SDL_MUSTLOCK(s))
        SDL_UnlockSurface(s);
}

Uint32 mode_flags()
{
    return SDL_HWSURFACE | SDL_DOUBLEBUF | (full_screen ? SDL_FULLSCREEN : 0);
}

// The display surface, and whether its pixels are 32-bit ones into which the
// back surface is widened (then the back surface is a surface of its own
// even without enlargement).
SDL_Surface* display;
bool widened;

// The depth of the display's own format, as SDL reports it before a mode is
// set (afterwards it reports the mode's).
int read_native_bpp()
{
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    return info && info->vfmt ? info->vfmt->BitsPerPixel : DEPTH;
}

// True when SDL widens 5-6-5 pixels into format f exactly as the filters do:
// every level of every channel, and a few mixed pixels, through both.
bool widens_as_sdl(const SDL_PixelFormat* f)
{
    constexpr int W = 80;
    SDL_Surface* pic = SDL_CreateRGBSurface(0, W, 1, DEPTH, 0xF800, 0x07E0, 0x001F, 0);
    SDL_Surface* by_sdl = SDL_CreateRGBSurface(0, W, 1, WIDE_DEPTH, f->Rmask, f->Gmask, f->Bmask, f->Amask);
    SDL_Surface* by_us = SDL_CreateRGBSurface(0, W, 1, WIDE_DEPTH, f->Rmask, f->Gmask, f->Bmask, f->Amask);
    bool same = pic && by_sdl && by_us;
    if (same) {
        Uint16* p = static_cast<Uint16*>(pic->pixels);
        for (int i = 0; i < 64; i++)
            p[i] = static_cast<Uint16>(((i & 31) << 11) | (i << 5) | (31 - (i & 31)));
        for (int i = 64; i < W; i++)
            p[i] = static_cast<Uint16>(0x9E37 * i);
        same = SDL_BlitSurface(pic, nullptr, by_sdl, nullptr) == 0;
        unfiltered_320(pic, by_us);
        Uint32 bits = f->Rmask | f->Gmask | f->Bmask | f->Amask;
        for (int i = 0; i < W && same; i++)
            same = ((static_cast<Uint32*>(by_sdl->pixels)[i] ^ static_cast<Uint32*>(by_us->pixels)[i]) & bits) == 0;
    }
    SDL_FreeSurface(pic);
    SDL_FreeSurface(by_sdl);
    SDL_FreeSurface(by_us);
    return same;
}

// Opens the display of w x h: in the display's own 32-bit format when the
// filters write it as SDL would, else at 16 bits.
SDL_Surface* open_display(int w, int h, Uint32 flags)
{
    if (!native_bpp)
        native_bpp = read_native_bpp();
    if (native_bpp == WIDE_DEPTH) {
        SDL_Surface* d = SDL_SetVideoMode(w, h, WIDE_DEPTH, flags);
        if (d && d->format->BytesPerPixel == 4 && filters_can_write(d->format) && widens_as_sdl(d->format))
            return d;
    }
    return SDL_SetVideoMode(w, h, DEPTH, flags);
}

// A 320 x 240 software surface of 16-bit pixels: 5-6-5 before a display
// of 32-bit pixels, else in the display's own format.
SDL_Surface* make_back_surface(const SDL_PixelFormat* f)
{
    if (f->BytesPerPixel == 4)
        return SDL_CreateRGBSurface(0, FRAME_W, FRAME_H, DEPTH, 0xF800, 0x07E0, 0x001F, 0);
    return SDL_CreateRGBSurface(0, FRAME_W, FRAME_H, f->BitsPerPixel, f->Rmask, f->Gmask, f->Bmask, f->Amask);
}

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
    display = nullptr;
    widened = false;
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
    Uint32 flags = mode_flags();
    display = zoom ? open_display(full_width, full_height, flags) : open_display(FRAME_W, FRAME_H, flags);
    if (display) {
        widened = display->format->BytesPerPixel == 4;
        if (zoom)
            fscreen = display;
        screen = zoom || widened ? make_back_surface(display->format) : display;
    }
    if (!display || !screen) {
        // Nothing can be shown: one line, at once, and the exit status 1.
        char line[256];
        snprintf(line, sizeof line, "SDL Error: %s", SDL_GetError());
        // The display belongs to SDL, which the fatal clean-up ends: keep no
        // handle to it.
        screen = nullptr;
        fscreen = nullptr;
        display = nullptr;
        widened = false;
        sys_fatal_to(stdout, line);
    }
    warm_cells(screen);
    SDL_ShowCursor(0);
}

void toggle_full_screen()
{
    SDL_Surface* shown = SDL_GetVideoSurface();
    if (screen_mode_locked || !shown)
        return;
    full_screen = full_screen ? 0 : 1;
    // Where the driver can, the display switches in place and every surface stays.
    if ((shown->flags & SDL_FULLSCREEN) != (mode_flags() & SDL_FULLSCREEN) && SDL_WM_ToggleFullScreen(shown))
        return;
    if (!SDL_VideoModeOK(shown->w, shown->h, shown->format->BitsPerPixel, mode_flags())) {
        full_screen = full_screen ? 0 : 1;
        return;
    }
    init_screen();
}

void screen_notice(const char* text)
{
    const char* cut = strchr(text, '\n');
    int first = cut ? static_cast<int>(cut - text) : static_cast<int>(strlen(text));
    snprintf(notice.lines[0], sizeof notice.lines[0], "%.*s~", first < NOTICE_LINE_CHARS ? first : NOTICE_LINE_CHARS,
             text);
    snprintf(notice.lines[1], sizeof notice.lines[1], "%.*s~", NOTICE_LINE_CHARS, cut ? cut + 1 : "");
    notice.frames_left = NOTICE_FRAMES;
}

void GFX_Flip(SDL_Surface* surface)
{
    bool noticed = put_notice(surface);
    if (zoom == 0 || !fscreen) {
        if (surface && widened && display && surface != display) {
            unfiltered_320(surface, display);
            SDL_Flip(display);
        } else if (surface) {
            SDL_Flip(surface);
        }
    } else {
        if (zoom > 0 && zoom < static_cast<int>(filters.size()))
            filters[zoom]();
        SDL_Flip(fscreen);
    }
    if (noticed)
        take_notice_off(surface);
}

// SDL uses only the position of the destination rectangle, so dst_w and
// dst_h change nothing; a cell of a cut sheet is drawn from its own surface.
int drawPic(SDL_Surface* dst, int16_t dst_x, int16_t dst_y, uint16_t, uint16_t, SDL_Surface* src,
            int16_t src_x, int16_t src_y, uint16_t src_w, uint16_t src_h)
{
    return blit_rect(src, src_x, src_y, src_w, src_h, dst, dst_x, dst_y);
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
    native_bpp = 0;
    display = nullptr;
    widened = false;
    screen_mode_locked = 0;
    notice.frames_left = 0;
}
