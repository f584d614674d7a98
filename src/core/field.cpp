#include "core/field.h"

#include "core/level.h"
#include "core/state.h"
#include "res/assets.h"
#include "video/cells.h"
#include "video/font.h"
#include "video/screen.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int32_t offx, offy;
int32_t animframe;
int32_t explosions[EXPLOSION_SLOTS] = {EXPLOSION_FREE, EXPLOSION_FREE, EXPLOSION_FREE, EXPLOSION_FREE,
                                       EXPLOSION_FREE, EXPLOSION_FREE, EXPLOSION_FREE, EXPLOSION_FREE};
dissolve_slot dissolve[DISSOLVE_SLOTS];
int32_t r;

namespace {

constexpr int CELL = 16;
constexpr int FIELD_TOP = 48;       // row 1 starts below the top bar
constexpr int STRIP_Y = 32;         // the strip of background under the top bar
constexpr int STRIP_X = 128;
constexpr int MINE_FRAME_COL = 5;   // mine and teleporter frames start at sheet column 5
constexpr int EXPLOSION_ROW = 2;    // sheet rows of the explosion and dissolve frames
constexpr int DISSOLVE_ROW = 3;
constexpr int EXPLOSION_LAST = 7;
constexpr int DISSOLVE_END = 17;
constexpr int LIFE_ICONS = 10;
constexpr int FRAME_W = 320, FRAME_H = 240;

// One 16 x 16 cell of src at (sx, sy) to (dx, dy) of dst (from the cell's own
// surface when src is cut); a missing surface draws nothing.
void blit_cell(SDL_Surface* dst, int dx, int dy, SDL_Surface* src, int sx, int sy)
{
    if (!dst || !src)
        return;
    blit_rect(src, sx, sy, CELL, CELL, dst, dx, dy);
}

// True when the raster can be laid straight onto the screen: a keyed 16 x 16
// picture of 16-bit pixels in the screen's own format.
bool raster_fits()
{
    const SDL_PixelFormat* r = raster->format;
    const SDL_PixelFormat* s = screen->format;
    return (raster->flags & SDL_SRCCOLORKEY) && !(raster->flags & SDL_SRCALPHA) && raster->w == CELL &&
           raster->h == CELL && r->BytesPerPixel == 2 && s->BytesPerPixel == 2 && r->Rmask == s->Rmask &&
           r->Gmask == s->Gmask && r->Bmask == s->Bmask && r->Amask == 0 && screen->w >= FRAME_W &&
           screen->h >= FRAME_H;
}

// Every pixel of the pattern line that is not the key, onto the row.
void keyed_row(const Uint16* __restrict line, Uint16 key, Uint16* __restrict row)
{
    for (int x = 0; x < FRAME_W; x++)
        row[x] = line[x] != key ? line[x] : row[x];
}

// The raster laid over rows STRIP_Y.. of the screen, the pixels a keyed blit
// of each cell would copy, a row of cells at a time.
void lay_raster()
{
    static Uint16 line[FRAME_W];
    SDL_LockSurface(raster);
    SDL_LockSurface(screen);
    Uint16 key = static_cast<Uint16>(raster->format->colorkey);
    for (int r = 0; r < CELL; r++) {
        const Uint8* cell_row = static_cast<const Uint8*>(raster->pixels) + r * raster->pitch;
        for (int x = 0; x < FRAME_W; x += CELL)
            memcpy(line + x, cell_row, CELL * sizeof(Uint16));
        for (int y = STRIP_Y + r; y < FRAME_H; y += CELL)
            keyed_row(line, key, reinterpret_cast<Uint16*>(static_cast<Uint8*>(screen->pixels) + y * screen->pitch));
    }
    SDL_UnlockSurface(screen);
    SDL_UnlockSurface(raster);
}

// The moving background pattern at (dx, dy).
void blit_background(SDL_Surface* dst, int dx, int dy)
{
    blit_cell(dst, dx, dy, tiles_backcurrent, offx, offy);
}

void scroll_background(int32_t facing)
{
    switch (facing) {
    case 0: offy = (offy + 1) & 15; break;
    case 1: offy = (offy - 1) & 15; break;
    case 2: offx = (offx - 1) & 15; break;
    case 3: offx = (offx + 1) & 15; break;
    default: break;  // message screens hold the pattern still
    }
}

bool is_teleporter_cell(int col, int row)
{
    return (col == MapData.tele_a_col && row == MapData.tele_a_row) ||
           (col == MapData.tele_b_col && row == MapData.tele_b_row);
}

void draw_cell(SDL_Surface* surface, int col, int row)
{
    const map_cell& cell = Map[row][col];
    int x = CELL * (col - 1), y = FIELD_TOP + CELL * (row - 1);
    if (cell.kind == KIND_EMPTY) {
        blit_background(surface, x, y);
        return;
    }
    int sx = (cell.type - 1) * CELL, sy = (cell.variant - 1) * CELL;
    if (cell.kind == KIND_MINE)  // neighbouring mines run out of phase
        sx = ((((col - 1) + (row - 1) + animframe / 4) & 3) + MINE_FRAME_COL) * CELL;
    else if (is_teleporter_cell(col, row))
        sx = (animframe / 4 + MINE_FRAME_COL) * CELL;
    blit_cell(surface, x, y, tiles, sx, sy);
}

}  // namespace

void setup_backgroundpattern()
{
    set_backgroundpattern(rand() % 4);
}

void set_backgroundpattern(int32_t row)
{
    int c = static_cast<int>((curr_map - 1) / 1.5);
    r = row;
    for (int y = 0; y < 2 * CELL; y += CELL)
        for (int x = 0; x < 2 * CELL; x += CELL)
            blit_cell(tiles_backcurrent, x, y, tiles_back, c * CELL, r * CELL);
}

void field_scroll(int32_t facing)
{
    scroll_background(facing);
}

void field_animate(bool with_explosions)
{
    for (dissolve_slot& d : dissolve)
        if (d.frame > 0 && ++d.frame == DISSOLVE_END)
            d.frame = 0;
    if (!with_explosions)
        return;
    for (int32_t& e : explosions) {
        if (e == EXPLOSION_FREE)
            continue;
        int32_t col = e >> 16, row = (e >> 8) & 0xff, frame = (e & 0xff) + 1;
        e = frame > EXPLOSION_LAST ? EXPLOSION_FREE : (col << 16) | (row << 8) | frame;
    }
}

void draw_map(SDL_Surface* surface)
{
    for (int x = STRIP_X; x < 320; x += CELL)
        blit_background(surface, x, STRIP_Y);
    for (int row = 1; row <= LEVEL_ROWS; row++)
        for (int col = 1; col <= LEVEL_COLS; col++)
            draw_cell(surface, col, row);
    draw_dissolves(surface);
}

void add_dissolve(int32_t col, int32_t row)
{
    for (dissolve_slot& d : dissolve) {
        if (d.frame == 0) {
            d = {1, col - 1, row - 1};
            return;
        }
    }
}

void draw_dissolves(SDL_Surface* surface)
{
    for (const dissolve_slot& d : dissolve)
        if (d.frame > 0)
            blit_cell(surface, d.x * CELL, d.y * CELL + FIELD_TOP, tiles, ((d.frame - 1) >> 2) * CELL,
                      DISSOLVE_ROW * CELL);
}

void add_explosion(int32_t col, int32_t row)
{
    for (int32_t& e : explosions) {
        if (e == EXPLOSION_FREE) {
            e = (col << 16) | (row << 8);
            return;
        }
    }
}

void draw_explosions(SDL_Surface* surface)
{
    for (int32_t e : explosions) {
        if (e == EXPLOSION_FREE)
            continue;
        int32_t col = e >> 16, row = (e >> 8) & 0xff, frame = e & 0xff;
        blit_cell(surface, (col - 1) * CELL, (row + 2) * CELL, tiles, frame * CELL, EXPLOSION_ROW * CELL);
    }
}

void draw_raster()
{
    if (screen && raster && raster_fits()) {
        lay_raster();
        return;
    }
    for (int y = STRIP_Y; y <= 224; y += CELL)
        for (int x = 0; x <= 304; x += CELL)
            blit_cell(screen, x, y, raster, 0, 0);
}

void show_text()
{
    if (!screen)
        return;
    snprintf(tmp_string, sizeof tmp_string, "LEVEL   %02d~", curr_map);
    put_text1(screen, 144, 6, tmp_string);
    snprintf(tmp_string, sizeof tmp_string, "TIME  %02d~", MapData.time_left);
    put_text1(screen, 240, 6, tmp_string);
    snprintf(tmp_string, sizeof tmp_string, "%05d~", Player.score);
    put_text(screen, 224, 32, tmp_string);
    int icons = Player.lives < LIFE_ICONS ? Player.lives : LIFE_ICONS;
    for (int i = 0; i < icons; i++)
        blit_cell(screen, 288 - CELL * i, 16, anim, 48, 0);
}

void clear_animations()
{
    for (int32_t& e : explosions)
        e = EXPLOSION_FREE;
    for (dissolve_slot& d : dissolve)
        d = {};
}

void field_reset()
{
    offx = offy = 0;
    animframe = 0;
    r = 0;
    clear_animations();
}
