// Every image of the game, decoded once from the gfx archive and kept in the
// globals below until they are released at exit; the five themed ones are
// swapped as a group.
#include "res/assets.h"

#include "res/qva.h"
#include "model/bytes.h"
#include "sys/fatal.h"
#include "video/cells.h"
#include "video/font.h"
#include "video/screen.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

int gfx_scheme;
SDL_Surface* tiles1;
SDL_Surface* tiles2;
SDL_Surface* classic_tiles;
SDL_Surface* tiles;
SDL_Surface* tiles_back;
SDL_Surface* tiles_backcurrent;
SDL_Surface* anim;
SDL_Surface* ghost_anim;
SDL_Surface* hint_arrows;
SDL_Surface* raster;
SDL_Surface* scoreboard;
SDL_Surface* top;

namespace {

constexpr Uint32 KEY_FLAGS = SDL_SRCCOLORKEY | SDL_RLEACCEL;
constexpr Uint8 GHOST_ALPHA = 150;  // of 255: the ghost lets the field show through

// No picture of the game is wider or higher than this (the big font, 3040
// rows, is the highest): a larger one is damage, never a reason to allocate.
constexpr int32_t PICTURE_MAX_SIDE = 4096;

// The sizes each picture's role needs, by name; a digit suffix (a theme or a
// tile set) shares its entry. Fonts reach '~' (the small one ')', glyph 49);
// the intro logo slides in over the mascot and must fit above row 180.
struct picture_role {
    std::string_view name;
    int32_t min_w, min_h, max_w, max_h;
};
constexpr picture_role picture_roles[] = {
    {"zarn-tiles-", 144, 64, PICTURE_MAX_SIDE, PICTURE_MAX_SIDE},
    {"fontbig", 32, 32 * 95, PICTURE_MAX_SIDE, PICTURE_MAX_SIDE},
    {"fontmedium", 16, 16 * 95, PICTURE_MAX_SIDE, PICTURE_MAX_SIDE},
    {"fontsmall", 8 * 50, 8, PICTURE_MAX_SIDE, PICTURE_MAX_SIDE},
    {"zarn-anim", 64, 16, PICTURE_MAX_SIDE, PICTURE_MAX_SIDE},
    {"trans16x16", 16, 16, PICTURE_MAX_SIDE, PICTURE_MAX_SIDE},
    {"scrbrd", 104, 24, PICTURE_MAX_SIDE, PICTURE_MAX_SIDE},
    {"zarn-texturen", 528, 64, PICTURE_MAX_SIDE, PICTURE_MAX_SIDE},
    {"zarn-top", 320, 48, PICTURE_MAX_SIDE, PICTURE_MAX_SIDE},
    {"zarn-title", 320, 240, PICTURE_MAX_SIDE, PICTURE_MAX_SIDE},
    {"zarn-letsgo", 320, 240, PICTURE_MAX_SIDE, PICTURE_MAX_SIDE},
    {"zarn-gameover", 320, 240, PICTURE_MAX_SIDE, PICTURE_MAX_SIDE},
    {"zarn-paused", 320, 240, PICTURE_MAX_SIDE, PICTURE_MAX_SIDE},
    {"qv-logo", 1, 1, 320, 180},
    {"qv-quor", 1, 1, 320, 200},
};

// Whether name is the role's name, with digits at most after it.
bool plays_role(std::string_view name, std::string_view role)
{
    if (name.substr(0, role.size()) != role)
        return false;
    for (char c : name.substr(role.size()))
        if (c < '0' || c > '9')
            return false;
    return true;
}

// Whether the BMP file's header describes a picture the decoder can read from
// these bytes: a known header, a depth of 1, 4, 8, 16, 24 or 32 bits,
// uncompressed or with bit fields, sides within PICTURE_MAX_SIDE, a palette
// of at most 2^depth colours, and every pixel row inside the file. Checked
// before decoding, so the decoder never allocates for a picture that is not
// there.
bool bmp_header_sane(const uint8_t* b, uint32_t len)
{
    if (len < 26 || b[0] != 'B' || b[1] != 'M')
        return false;
    uint32_t pixels_at = get_le32(b + 10), header = get_le32(b + 14);
    int64_t w, h;
    uint32_t depth, compression = 0, colours = 0;
    if (header == 12) {  // the OS/2 header: 16-bit sides
        w = b[18] | b[19] << 8;
        h = b[20] | b[21] << 8;
        depth = b[24] | b[25] << 8;
    } else {
        if (header < 40 || header > 124 || len < 14 + header)
            return false;
        w = static_cast<int32_t>(get_le32(b + 18));
        h = static_cast<int32_t>(get_le32(b + 22));
        depth = b[28] | b[29] << 8;
        compression = get_le32(b + 30);
        colours = get_le32(b + 46);
    }
    if (h < 0)
        h = -h;  // rows stored top-down
    bool known_depth = depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32;
    if (!known_depth || w < 1 || w > PICTURE_MAX_SIDE || h < 1 || h > PICTURE_MAX_SIDE ||
        !(compression == 0 || (compression == 3 && (depth == 16 || depth == 32))) ||
        (depth <= 8 && colours > (1u << depth)))
        return false;
    uint64_t row_bytes = ((uint64_t(w) * depth + 31) / 32) * 4;
    return pixels_at <= len && row_bytes * uint64_t(h) <= len - pixels_at;
}

// Whether a decoded surface is one the drawing code can blit: 8, 15, 16, 24
// or 32 bits a pixel, rows as long as the width, and the size its role needs.
bool surface_usable(const SDL_Surface* s, std::string_view name)
{
    if (!s || !s->pixels || !s->format)
        return false;
    int bpp = s->format->BitsPerPixel, bytes = s->format->BytesPerPixel;
    if (!((bpp == 8 && bytes == 1) || ((bpp == 15 || bpp == 16) && bytes == 2) || (bpp == 24 && bytes == 3) ||
          (bpp == 32 && bytes == 4)))
        return false;
    if (s->w < 1 || s->h < 1 || s->w > PICTURE_MAX_SIDE || s->h > PICTURE_MAX_SIDE || s->pitch < s->w * bytes)
        return false;
    for (const picture_role& r : picture_roles)
        if (plays_role(name, r.name))
            return s->w >= r.min_w && s->h >= r.min_h && s->w <= r.max_w && s->h <= r.max_h;
    return true;
}

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
}

// Makes magenta, as the surface's own format stores it, transparent.
void key_magenta(SDL_Surface* surface, Uint32 flags = KEY_FLAGS)
{
    if (surface)
        SDL_SetColorKey(surface, flags, SDL_MapRGB(surface->format, 255, 0, 255));
}

// The medium and the big font are keyed without run-length encoding: their
// cells then share the sheet's pixels rather than hold a copy each (the big
// font's encoded copies took 400 kB), and a glyph is small enough to draw
// pixel by pixel.
void key_glyphs(SDL_Surface* font)
{
    key_magenta(font, SDL_SRCCOLORKEY);
}

// A keyed sheet drawn faint: a copy in the back surface's format, blended at
// GHOST_ALPHA over what lies beneath (not run-length encoded, so that its
// first blit allocates nothing).
SDL_Surface* faint_copy(SDL_Surface* sheet)
{
    SDL_Surface* copy = SDL_ConvertSurface(sheet, screen ? screen->format : sheet->format, SDL_SWSURFACE);
    if (copy) {
        SDL_SetColorKey(copy, SDL_SRCCOLORKEY, SDL_MapRGB(copy->format, 255, 0, 255));
        SDL_SetAlpha(copy, SDL_SRCALPHA, GHOST_ALPHA);
    }
    return copy;
}

// The game cannot run without this picture: say which one and stop.
[[noreturn]] void missing_image(const char* name)
{
    char line[4200];
    snprintf(line, sizeof line, "Missing image %s in %s", name, qva_name(QVA_GFX));
    sys_fatal(line);
}

// Says in one line which of the pictures the game can do without are missing
// or damaged, so that a damaged archive does not go unnoticed.
// missing: the names, each after a space; nothing is said when it is empty.
void report_missing(const std::string& missing)
{
    if (!missing.empty())
        fprintf(stderr, "Missing images in %s, shown without them:%s\n", qva_name(QVA_GFX), missing.c_str());
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

SDL_Surface* picture_from_bytes(const uint8_t* bytes, uint32_t len, const char* name)
{
    SDL_Surface* surface = nullptr;
    if (bmp_header_sane(bytes, len))
        if (SDL_RWops* stream = SDL_RWFromConstMem(bytes, static_cast<int>(len)))
            surface = SDL_LoadBMP_RW(stream, 1);
    if (surface && !surface_usable(surface, name)) {
        SDL_FreeSurface(surface);  // a picture the game cannot draw counts as missing
        surface = nullptr;
    }
    return surface;
}

SDL_Surface* ZARN_LoadBMP(const char* name)
{
    if (!name)
        return nullptr;
    uint32_t length = 0;
    void* bytes = loadQVAFile(QVA_GFX, base_name(name), "bmp", &length);
    if (!bytes)
        return nullptr;
    SDL_Surface* surface = picture_from_bytes(static_cast<const uint8_t*>(bytes), length, base_name(name));
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
    report_missing(tiles_back ? "" : " gfx/zarn-texturen");
    tiles_backcurrent = make_backcurrent();
    font_small = load_required("gfx/fontsmall", true);
    font_medium = load_required("gfx/fontmedium", false);
    key_glyphs(font_medium);
    anim = load_required("gfx/zarn-anim", true);
    ghost_anim = faint_copy(anim);
    hint_arrows = load_required("gfx/zarn-hint", true);
    raster = load_required("gfx/trans16x16", true);
    scoreboard = load_required("gfx/scrbrd", true);
    cut_sheets();
}

namespace {

// The big font in the theme's banner colour; the first theme's stands in
// for a theme the data lacks.
void load_large_font(const char* suffix, std::string& missing)
{
    release(font_large);
    if (*suffix) {
        snprintf(tmp_string, sizeof tmp_string, "gfx/fontbig%s", suffix);
        font_large = ZARN_LoadBMP(tmp_string);
        if (!font_large)
            missing += std::string(" ") + tmp_string;
    }
    if (!font_large)
        font_large = load_required("gfx/fontbig", false);
    key_glyphs(font_large);
    cut_cells(font_large, 32, screen);
}

}  // namespace

namespace {

// The four themed pictures: their names, which of them the theme loaded has,
// and the one held.
constexpr const char* THEME_PICTURE_NAMES[THEME_PICTURES] = {"gfx/zarn-gameover%s", "gfx/zarn-letsgo%s",
                                                             "gfx/zarn-title%s", "gfx/zarn-paused%s"};
char theme_suffix[16];
bool theme_has[THEME_PICTURES];
SDL_Surface* held_picture;
int held_which = -1;

void release_held_picture()
{
    release(held_picture);
    held_which = -1;
}

}  // namespace

void load_newtheme()
{
    release_held_picture();
    release(top);
    if (gfx_scheme < 0 || gfx_scheme >= THEME_COUNT)
        gfx_scheme = 0;  // a number from a hand-edited file: the first theme
    char suffix[16] = "";
    if (gfx_scheme >= 1)
        snprintf(suffix, sizeof suffix, "%d", gfx_scheme + 1);
    snprintf(tmp_string, sizeof tmp_string, "gfx/zarn-top%s", suffix);
    top = ZARN_LoadBMP(tmp_string);
    if (!top && gfx_scheme > 0) {
        // A theme the data does not have (a hand-edited configuration file):
        // the first theme stands in rather than ending the game.
        gfx_scheme = 0;
        load_newtheme();
        return;
    }
    if (!top)
        missing_image(tmp_string);
    key_magenta(top);
    memcpy(theme_suffix, suffix, sizeof theme_suffix);
    std::string missing;  // of the four the game can do without
    for (int i = 0; i < THEME_PICTURES; i++) {
        snprintf(tmp_string, sizeof tmp_string, THEME_PICTURE_NAMES[i], suffix);
        SDL_Surface* picture = ZARN_LoadBMP(tmp_string);  // decodes, or is named now
        theme_has[i] = picture != nullptr;
        if (!picture)
            missing += std::string(" ") + tmp_string;
        release(picture);
    }
    load_large_font(suffix, missing);
    report_missing(missing);
}

SDL_Surface* theme_picture(int which)
{
    if (which < 0 || which >= THEME_PICTURES || !theme_has[which])
        return nullptr;
    if (which != held_which) {
        release_held_picture();
        char name[64];
        snprintf(name, sizeof name, THEME_PICTURE_NAMES[which], theme_suffix);
        held_picture = ZARN_LoadBMP(name);
        held_which = which;
    }
    return held_picture;
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
    release(ghost_anim);
    release(hint_arrows);
    release_held_picture();
    for (bool& has : theme_has)
        has = false;
    release(scoreboard);
    release(raster);
}

void assets_reset()
{
    gfx_scheme = 0;
}
