// Sheets cut into cells. A sheet that is run-length encoded gives each cell
// pixels of its own (SDL frees the pixels of an encoded surface, so its
// cells cannot share them); the cells of a sheet that never is are windows
// on the sheet's own pixels, which are then held once.
#include "video/cells.h"

#include <cstdint>
#include <cstring>

namespace {

// One cut sheet; sheet null: a free entry. The sheet's size is kept to tell
// it from a new surface that happens to take its address.
struct cut_sheet {
    SDL_Surface* sheet;
    int w, h;
    int size, cols, count;
    SDL_Surface* cells[CELLS_PER_SHEET];
};

cut_sheet sheets[CELL_SHEETS];

cut_sheet* find(const SDL_Surface* sheet)
{
    if (!sheet)
        return nullptr;
    for (cut_sheet& c : sheets)
        if (c.sheet == sheet && c.w == sheet->w && c.h == sheet->h)
            return &c;
    return nullptr;
}

void free_cells(cut_sheet& c)
{
    for (int i = 0; i < c.count; i++)
        SDL_FreeSurface(c.cells[i]);
    c = cut_sheet{};
}

// The size x size cell of sheet at (x, y), keyed as the sheet (the sheet is
// locked by the caller): a copy of it, or a window on the sheet's pixels
// when the sheet is never run-length encoded.
SDL_Surface* make_cell(SDL_Surface* sheet, int x, int y, int size)
{
    const SDL_PixelFormat* f = sheet->format;
    const Uint32 rle = (sheet->flags & (SDL_RLEACCELOK | SDL_RLEACCEL)) ? SDL_RLEACCEL : 0;
    uint8_t* from = static_cast<uint8_t*>(sheet->pixels) + y * sheet->pitch + x * f->BytesPerPixel;
    SDL_Surface* cell =
        rle ? SDL_CreateRGBSurface(SDL_SWSURFACE, size, size, f->BitsPerPixel, f->Rmask, f->Gmask, f->Bmask, f->Amask)
            : SDL_CreateRGBSurfaceFrom(from, size, size, f->BitsPerPixel, sheet->pitch, f->Rmask, f->Gmask, f->Bmask,
                                       f->Amask);
    if (!cell)
        return nullptr;
    for (int row = 0; row < size && rle; row++)
        memcpy(static_cast<uint8_t*>(cell->pixels) + row * cell->pitch, from + row * sheet->pitch,
               static_cast<size_t>(size) * f->BytesPerPixel);
    if (sheet->flags & SDL_SRCCOLORKEY)
        SDL_SetColorKey(cell, SDL_SRCCOLORKEY | rle, f->colorkey);
    if (sheet->flags & SDL_SRCALPHA)
        SDL_SetAlpha(cell, SDL_SRCALPHA | rle, f->alpha);
    return cell;
}

// What blits into a destination's top-left pixel alone change there.
struct corner_state {
    SDL_Rect clip;
    uint8_t pixel[4];
};

// Clips dst to its top-left pixel, keeping that pixel and the clip.
corner_state corner_begin(SDL_Surface* dst)
{
    corner_state kept{};
    SDL_GetClipRect(dst, &kept.clip);
    SDL_Rect corner = {0, 0, 1, 1};
    SDL_SetClipRect(dst, &corner);
    SDL_LockSurface(dst);
    memcpy(kept.pixel, dst->pixels, dst->format->BytesPerPixel);
    SDL_UnlockSurface(dst);
    return kept;
}

void corner_end(SDL_Surface* dst, const corner_state& kept)
{
    SDL_LockSurface(dst);
    memcpy(dst->pixels, kept.pixel, dst->format->BytesPerPixel);
    SDL_UnlockSurface(dst);
    SDL_SetClipRect(dst, &kept.clip);
}

// One blit of src into dst, clipped to its top-left pixel: SDL prepares src
// for dst (a run-length encoded surface frees its pixels then).
void blit_corner(SDL_Surface* src, SDL_Surface* dst)
{
    SDL_Rect at = {0, 0, 1, 1};
    SDL_UpperBlit(src, nullptr, dst, &at);
}

bool usable(SDL_Surface* dst)
{
    return dst && dst->w > 0 && dst->h > 0;
}

}  // namespace

bool cut_cells(SDL_Surface* sheet, int size, SDL_Surface* prepare_for)
{
    release_cells(sheet);
    if (!sheet || size <= 0 || sheet->format->BytesPerPixel < 2)
        return false;
    int cols = sheet->w / size, rows = sheet->h / size;
    if (cols * rows > CELLS_PER_SHEET || cols * rows == 0)
        return false;
    for (cut_sheet& c : sheets) {
        if (c.sheet)
            continue;
        c = {sheet, sheet->w, sheet->h, size, cols, 0, {}};
        bool prepare = usable(prepare_for);
        corner_state kept{};
        if (prepare)
            kept = corner_begin(prepare_for);
        for (int i = 0; i < cols * rows && c.count == i; i++) {
            if (SDL_LockSurface(sheet) < 0)
                break;
            c.cells[i] = make_cell(sheet, (i % cols) * size, (i / cols) * size, size);
            SDL_UnlockSurface(sheet);
            if (!c.cells[i])
                break;
            c.count = i + 1;
            if (prepare)  // each cell's pixels are freed before the next is made
                blit_corner(c.cells[i], prepare_for);
        }
        if (prepare) {
            blit_corner(sheet, prepare_for);
            corner_end(prepare_for, kept);
        }
        if (c.count < cols * rows) {
            free_cells(c);
            return false;
        }
        return true;
    }
    return false;
}

SDL_Surface* sheet_cell(const SDL_Surface* sheet, int x, int y, int w, int h)
{
    const cut_sheet* c = find(sheet);
    if (!c || w != c->size || h != c->size || x < 0 || y < 0 || x % c->size || y % c->size)
        return nullptr;
    int col = x / c->size, index = (y / c->size) * c->cols + col;
    return col < c->cols && index < c->count ? c->cells[index] : nullptr;
}

void release_cells(const SDL_Surface* sheet)
{
    if (cut_sheet* c = find(sheet))
        free_cells(*c);
}

void warm_cells(SDL_Surface* dst)
{
    if (!usable(dst))
        return;
    corner_state kept = corner_begin(dst);
    for (cut_sheet& c : sheets) {
        if (c.sheet)
            blit_corner(c.sheet, dst);
        for (int i = 0; i < c.count; i++)
            blit_corner(c.cells[i], dst);
    }
    corner_end(dst, kept);
}

int blit_rect(SDL_Surface* src, int sx, int sy, int w, int h, SDL_Surface* dst, int dx, int dy)
{
    SDL_Rect to = {static_cast<Sint16>(dx), static_cast<Sint16>(dy), static_cast<Uint16>(w), static_cast<Uint16>(h)};
    if (SDL_Surface* cell = sheet_cell(src, sx, sy, w, h))
        return SDL_UpperBlit(cell, nullptr, dst, &to);
    SDL_Rect from = {static_cast<Sint16>(sx), static_cast<Sint16>(sy), static_cast<Uint16>(w), static_cast<Uint16>(h)};
    return SDL_UpperBlit(src, &from, dst, &to);
}
