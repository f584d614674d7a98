// Placeholder: the video module replaces this file.
#include "video/screen.h"

SDL_Surface* screen;
SDL_Surface* fscreen;
int zoom = 1;
int full_screen = 1;
uint8_t double_scale;
int full_width = 640, full_height = 480;
uint32_t* aabuf;
const char* const zoom_modes[6] = {"NOT AVAILABLE", "SIMPLE", "SCALE2X", "BILINEAR AA", "SCANLINE", "BLUR"};
int cfgbpp = 16;

void init_screen()
{
    if (screen && screen != SDL_GetVideoSurface())
        SDL_FreeSurface(screen);
    screen = SDL_SetVideoMode(320, 240, 16, SDL_SWSURFACE);
}
void GFX_Flip(SDL_Surface* surface)
{
    SDL_Flip(surface);
}
int drawPic(SDL_Surface* dst, int16_t dst_x, int16_t dst_y, uint16_t dst_w, uint16_t dst_h,
            SDL_Surface* src, int16_t src_x, int16_t src_y, uint16_t src_w, uint16_t src_h)
{
    SDL_Rect s = {src_x, src_y, src_w, src_h};
    SDL_Rect d = {dst_x, dst_y, dst_w, dst_h};
    return SDL_UpperBlit(src, &s, dst, &d);
}
void GFX_Shutdown() {}
void zoom2() {}
void zoom2_320(SDL_Surface*, SDL_Surface*) {}
void display_to_frame(int32_t* x, int32_t* y)
{
    if (zoom) {
        *x >>= 1;
        *y >>= 1;
    }
}
void screen_reset() {}
