// The maker's logo intro.
#pragma once
#include <SDL.h>
#include <cstdint>

extern SDL_Surface* qv_quor;  // the mascot
extern SDL_Surface* qv_logo;  // the name logo
extern int32_t j;             // the logo's x
extern int32_t dj;            // wobble phase of the mascot
extern int32_t gx, gy;        // the mascot's position
extern SDL_Rect rect;         // the rectangle last filled

// Loads both pictures and blacks out the screen: 0, or -1 (nothing loaded,
// nothing drawn) when either is missing.
int quorInit();
// Advances the wobble; 1 once the logo rests and a confirm key came or the
// tune is over, else 0.
int quorUpdate(int32_t controls);
// Moves a frame on: the mascot's wobble and the logo's slide, the places of
// the frame before kept for blacking out; starts the tune when the logo comes
// to rest.
void quorStep();
// Draws a frame: both pictures' places of the frame before blacked out, the
// mascot and the logo at their places now.
int quorRender(SDL_Surface* surface);
// Fills the rectangle with colour and keeps it in rect.
void quorFillRect(SDL_Surface* surface, int x, int y, int w, int h, uint32_t colour);
// Frees both pictures and stops the tune; returns 0.
int quorShutdown();
// The whole intro, skipped when a picture is missing.
void start_screen();
