// Every image of the game: loading from the gfx archive, themes, release; and
// the start-up routine that brings SDL, screen, sound and controls up.
#pragma once
#include <SDL.h>
#include <cstdint>

extern SDL_Surface* tiles1;             // tile sheet of levels 1..24
extern SDL_Surface* tiles2;             // tile sheet of levels 25..48
extern SDL_Surface* classic_tiles;      // tile sheet of the classic set
extern SDL_Surface* tiles;              // the sheet in use (aliases one above)
extern SDL_Surface* tiles_back;         // background tiles
extern SDL_Surface* tiles_backcurrent;  // 32 x 32 background of the level
extern SDL_Surface* font_large;         // 32 x 32 glyphs
extern SDL_Surface* font_small;         // 8 x 8 glyphs
extern SDL_Surface* font_medium;        // 16 x 16 glyphs
extern SDL_Surface* anim;               // player frames
extern SDL_Surface* raster;             // the darkening raster tile
extern SDL_Surface* scoreboard;         // 104 x 24 frame behind typed words
extern SDL_Surface* gameover;           // themed pictures
extern SDL_Surface* letsgo;
extern SDL_Surface* zarnmenu;
extern SDL_Surface* paused;
extern SDL_Surface* top;

// Strips a folder part: what follows the first '/', else the first '\'.
const char* base_name(const char* name);
// Decodes the image entry (folder stripped) into a new surface; null if missing.
SDL_Surface* ZARN_LoadBMP(const char* name);
// Brings up SDL, the screen, sound, controls and every image.
void init_zarn();
// Replaces the five themed surfaces for gfx_scheme.
void load_newtheme();
// Releases every surface, the controls and SDL.
void freestuff();
