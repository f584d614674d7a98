// Every image of the game, decoded once from the gfx archive and kept in the
// globals below until they are released at exit; the five themed ones are
// swapped as a group.
#include "res/assets.h"

#include "res/qva.h"
#include "sys/fatal.h"
#include "video/cells.h"
#include "video/font.h"
#include "video/screen.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int gfx_scheme;
SDL_Surface* tiles1;
SDL_Surface* tiles2;
SDL_Surface* classic_tiles;
SDL_Surface* tiles;
SDL_Surface* tiles_back;
SDL_Surface* tiles_backcurrent;
SDL_Surface* anim;
SDL_Surface* raster;
SDL_Surface* scoreboard;
SDL_Surface* gameover;
SDL_Surface* letsgo;
SDL_Surface* zarnmenu;
SDL_Surface* paused;
SDL_Surface* top;

namespace {

constexpr Uint32 KEY_FLAGS = SDL_SRCCOLORKEY | SDL_RLEACCEL;

// Releases a surface (and its cells) and forgets it, so nothing is ever
// freed twice.
void release(SDL_Surface*& surface)
{
    release_cells(surface);
    if (surface)
        SDL_FreeSurface(surface);
    surface = nullptr;
}

// The sheets drawn a cell at a time, each cut into surfaces of its cells,
// ready for the back surface.
void cut_sheets()
{
    cut_cells(tiles1, 16, screen);
    cut_cells(tiles2, 16, screen);
    cut_cells(classic_tiles, 16, screen);
    cut_cells(anim, 16, screen);
    cut_cells(font_medium, 16, screen);
    cut_cells(font_small, 8, screen);
    cut_cells(font_large, 32, screen);
}

// Makes magenta, as the surface's own format stores it, transparent.
void key_magenta(SDL_Surface* surface)
{
    if (surface)
        SDL_SetColorKey(surface, KEY_FLAGS, SDL_MapRGB(surface->format, 255, 0, 255));
}

// The game cannot run without this picture: say which one and stop.
[[noreturn]] void missing_image(const char* name)
{
    char line[128];
    snprintf(line, sizeof line, "Missing image %s in data/gfx.qva", name);
    sys_fatal(line);
}

// Loads a picture the game needs, with or without the magenta key.
SDL_Surface* load_required(const char* name, bool keyed)
{
    SDL_Surface* surface = ZARN_LoadBMP(name);
    if (!surface)
        missing_image(name);
    if (keyed)
        key_magenta(surface);
    return surface;
}

// The 32 x 32 surface the level's background tile is copied into, in the
// back surface's format (16-bit 5-6-5 when there is no back surface).
SDL_Surface* make_backcurrent()
{
    if (!screen)
        return SDL_CreateRGBSurface(0, 32, 32, 16, 0xf800, 0x07e0, 0x001f, 0);
    const SDL_PixelFormat* f = screen->format;
    return SDL_CreateRGBSurface(0, 32, 32, f->BitsPerPixel, f->Rmask, f->Gmask, f->Bmask, f->Amask);
}

}  // namespace

const char* base_name(const char* name)
{
    const char* sep = strchr(name, '/');
    if (!sep)
        sep = strchr(name, '\\');
    return sep ? sep + 1 : name;
}

SDL_Surface* ZARN_LoadBMP(const char* name)
{
    if (!name)
        return nullptr;
    uint32_t length = 0;
    void* bytes = loadQVAFile(QVA_GFX, base_name(name), "bmp", &length);
    if (!bytes)
        return nullptr;
    SDL_Surface* surface = nullptr;
    if (SDL_RWops* stream = SDL_RWFromConstMem(bytes, static_cast<int>(length)))
        surface = SDL_LoadBMP_RW(stream, 1);
    free(bytes);
    return surface;
}

void load_images()
{
    tiles1 = load_required("gfx/zarn-tiles-1", true);
    tiles2 = load_required("gfx/zarn-tiles-2", true);
    classic_tiles = load_required("gfx/zarn-tiles-0", true);
    tiles = tiles1;
    tiles_back = ZARN_LoadBMP("gfx/zarn-texturen");
    tiles_backcurrent = make_backcurrent();
    font_large = load_required("gfx/fontbig", true);
    font_small = load_required("gfx/fontsmall", true);
    font_medium = load_required("gfx/fontmedium", true);
    anim = load_required("gfx/zarn-anim", true);
    raster = load_required("gfx/trans16x16", true);
    scoreboard = load_required("gfx/scrbrd", true);
    cut_sheets();
}

void load_newtheme()
{
    release(gameover);
    release(letsgo);
    release(zarnmenu);
    release(paused);
    release(top);
    char suffix[16] = "";
    if (gfx_scheme >= 1)
        snprintf(suffix, sizeof suffix, "%d", gfx_scheme + 1);
    struct Themed {
        const char* format;
        SDL_Surface** surface;
    };
    const Themed themed[] = {
        {"gfx/zarn-gameover%s", &gameover}, {"gfx/zarn-letsgo%s", &letsgo}, {"gfx/zarn-title%s", &zarnmenu},
        {"gfx/zarn-paused%s", &paused},     {"gfx/zarn-top%s", &top},
    };
    for (const Themed& t : themed) {
        snprintf(tmp_string, sizeof tmp_string, t.format, suffix);
        *t.surface = ZARN_LoadBMP(tmp_string);
    }
    if (!top && gfx_scheme > 0) {
        // A theme the data does not have (a hand-edited configuration file):
        // the first theme stands in rather than ending the game.
        gfx_scheme = 0;
        load_newtheme();
        return;
    }
    if (!top)
        missing_image(tmp_string);  // still holds the top bar's name
    key_magenta(top);
}

void release_images()
{
    release(tiles1);
    release(tiles2);
    release(classic_tiles);
    tiles = nullptr;  // only ever an alias of one of the three sheets
    release(tiles_back);
    release(tiles_backcurrent);
    release(top);
    release(font_small);
    release(font_medium);
    release(font_large);
    release(anim);
    release(zarnmenu);
    release(gameover);
    release(letsgo);
    release(paused);
    release(scoreboard);
    release(raster);
}

void assets_reset()
{
    gfx_scheme = 0;
}
