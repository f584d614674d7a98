// Placeholder: the play module replaces this file.
#include "core/field.h"

int32_t offx, offy;
int32_t animframe;
int32_t explosions[EXPLOSION_SLOTS] = {-1, -1, -1, -1, -1, -1, -1, -1};
dissolve_slot dissolve[DISSOLVE_SLOTS];
int32_t r;

void setup_backgroundpattern() {}
void draw_map(SDL_Surface*) {}
void add_dissolve(int32_t, int32_t) {}
void draw_dissolves(SDL_Surface*) {}
void add_explosion(int32_t, int32_t) {}
void draw_explosions(SDL_Surface*) {}
void draw_raster() {}
void show_text() {}
void field_reset() {}
