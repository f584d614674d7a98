// The display: the 320 x 240 back surface every screen draws into, the video
// mode, and the presentation of each finished frame.
#pragma once
#include <SDL.h>
#include <cstdint>

extern SDL_Surface* screen;             // the 320 x 240 back surface
extern SDL_Surface* fscreen;            // the enlarged display, or null
extern int zoom;                        // 0 no enlargement, 1..5 the filter
extern int full_screen;                 // non-zero: full screen
extern uint8_t double_scale;            // 1: the enlarged display is 1280 x 960
extern int full_width, full_height;     // size of the enlarged display
extern const char* const zoom_modes[6]; // names of the zoom values
extern int cfgbpp;                      // colour depth written to the config file (the back surface's)
extern int native_bpp;                  // depth of the display's own format, 0 until read from SDL
extern int screen_mode_locked;          // 1 in zarn-fixed: window or full screen never changes

// (Re)creates the video mode and the back surface from zoom, full_screen and
// double_scale; the display is opened at native_bpp when that is 32 and the
// filters write its format as SDL would convert to it, else at 16 bits. When
// SDL refuses either, prints "SDL Error: ..." and ends the program with exit
// status 1 (the fatal clean-up runs, no file is written).
void init_screen();
// Switches between window and full screen (Alt+Enter) at the same size and
// filter, flipping full_screen; nothing when screen_mode_locked or when the
// other mode cannot be had. The back surface may be made anew.
void toggle_full_screen();
// Shows text (one or two lines of at most 40 small-font characters, split at
// a newline) at the foot of the next 30 presented frames, over what the
// screens draw; their frames stay as they drew them.
void screen_notice(const char* text);
// Presents a finished frame (every caller passes screen), enlarged by the
// filter of zoom, or widened into a 32-bit display.
void GFX_Flip(SDL_Surface* surface);
// Blits (src_x, src_y, src_w, src_h) of src to (dst_x, dst_y) of dst, keyed.
int drawPic(SDL_Surface* dst, int16_t dst_x, int16_t dst_y, uint16_t dst_w, uint16_t dst_h,
            SDL_Surface* src, int16_t src_x, int16_t src_y, uint16_t src_w, uint16_t src_h);
// Does nothing: the surfaces are released by freestuff.
void GFX_Shutdown();
// Frees the back surface and the enlarged display and forgets both.
void screen_release();
// SIMPLE: screen doubled into fscreen.
void zoom2();
// SCALE2X of screen into fscreen.
void Scale2X();
// BILINEAR AA of screen into fscreen.
void Bilinear2();
// SCANLINE of screen into fscreen.
void Scanline2x();
// BLUR of screen into fscreen.
void antiAlias2();
// Maps a position on the display to the 320 x 240 frame, in place.
void display_to_frame(int32_t* x, int32_t* y);
// Restores the globals above to their initial values and frees the BLUR
// buffer (the surfaces are not freed); native_bpp is read again at the next
// init_screen.
void screen_reset();
