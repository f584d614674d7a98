// Every image of the game: loading from the gfx archive, themes, release.
#pragma once
#include <SDL.h>
#include <cstdint>

constexpr int THEME_COUNT = 3;          // graphics themes

extern int gfx_scheme;                  // graphics theme 0..2
extern SDL_Surface* tiles1;             // tile sheet of levels 1..24
extern SDL_Surface* tiles2;             // tile sheet of levels 25..48
extern SDL_Surface* classic_tiles;      // tile sheet of the classic set
extern SDL_Surface* tiles;              // the sheet in use (aliases one above)
extern SDL_Surface* tiles_back;         // background tiles
extern SDL_Surface* tiles_backcurrent;  // 32 x 32 background of the level
extern SDL_Surface* anim;               // player frames
extern SDL_Surface* ghost_anim;         // the player frames, faint: the best run's ghost
extern SDL_Surface* hint_arrows;        // the hint's arrow pointing up, down, left, right
extern SDL_Surface* raster;             // the darkening raster tile
extern SDL_Surface* scoreboard;         // 104 x 24 frame behind typed words
extern SDL_Surface* top;                // the themed top bar of play

// The themed pictures that fill the screen, one screen at a time.
enum : int {
    PICTURE_GAMEOVER,  // the game over
    PICTURE_LETSGO,    // the level start
    PICTURE_TITLE,     // the title behind the menus
    PICTURE_PAUSED,    // the pause
    THEME_PICTURES,
};

// Strips a folder part: what follows the first '/', else the first '\'.
const char* base_name(const char* name);
// Decodes the bytes of a BMP entry into a new surface for the picture named
// name (the base name, which gives its role); null when damaged, or of a
// depth or size the game cannot draw in that role.
SDL_Surface* picture_from_bytes(const uint8_t* bytes, uint32_t len, const char* name);
// Decodes the image entry (folder stripped) into a new surface; null if
// missing, damaged, or of a depth or size the game cannot draw in its role.
SDL_Surface* ZARN_LoadBMP(const char* name);
// Loads every image but the themed ones, font sheets included; a missing
// required one ends the program ("Missing image ..."), a missing optional one
// is named in a line on standard error.
void load_images();
// Replaces the themed top bar and big font for gfx_scheme and looks at its
// four pictures; a number outside 0..2 or a theme the data lacks falls back
// to the first, a missing top bar ends the program, and the pictures missing
// or damaged are named in one line.
void load_newtheme();
// A picture (PICTURE_*) of the theme loaded; null when the data lacks it.
// Only the last one asked for is held (a screen shows one): another is
// decoded when it is asked for, in the frame that first draws it.
SDL_Surface* theme_picture(int which);
// Releases every image loaded above, font sheets included; tiles becomes null.
void release_images();
// Restores gfx_scheme to the first theme (the images stay as they are).
void assets_reset();
