// The maker's logo intro.
#pragma once
#include <SDL.h>
#include <cstdint>

extern SDL_Surface* qv_quor;  // the mascot
extern SDL_Surface* qv_logo;  // the name logo
extern int32_t j;             // the logo's x
extern int32_t dj;            // wobble phase of the mascot
extern int32_t gx, gy;        // the mascot's previous position
extern SDL_Rect rect;         // the rectangle last filled

int quorInit();
int quorUpdate(int32_t controls);
int quorRender(SDL_Surface* surface);
void quorFillRect(SDL_Surface* surface, int x, int y, int w, int h, uint32_t colour);
int quorShutdown();
void start_screen();
