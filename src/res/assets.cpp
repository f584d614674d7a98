// Placeholder: the asset module replaces this file.
#include "res/assets.h"

#include "video/screen.h"

SDL_Surface* tiles1;
SDL_Surface* tiles2;
SDL_Surface* classic_tiles;
SDL_Surface* tiles;
SDL_Surface* tiles_back;
SDL_Surface* tiles_backcurrent;
SDL_Surface* font_large;
SDL_Surface* font_small;
SDL_Surface* font_medium;
SDL_Surface* anim;
SDL_Surface* raster;
SDL_Surface* scoreboard;
SDL_Surface* gameover;
SDL_Surface* letsgo;
SDL_Surface* zarnmenu;
SDL_Surface* paused;
SDL_Surface* top;

const char* base_name(const char* name) { return name; }
SDL_Surface* ZARN_LoadBMP(const char*) { return nullptr; }
void init_zarn()
{
    SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO);
    init_screen();
}
void load_newtheme() {}
void freestuff() { SDL_Quit(); }
