// Placeholder: the front end replaces this file.
#include "screens/intro.h"

SDL_Surface* qv_quor;
SDL_Surface* qv_logo;
int32_t j = 360;
int32_t dj;
int32_t gx, gy;
SDL_Rect rect;

int quorInit() { return 0; }
int quorUpdate(int32_t) { return 1; }
int quorRender(SDL_Surface*) { return 0; }
void quorFillRect(SDL_Surface*, int, int, int, int, uint32_t) {}
int quorShutdown() { return 0; }
void start_screen() {}
