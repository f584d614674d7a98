// Sheets cut into cells: every size x size cell of a picture sheet becomes a
// surface of its own with the sheet's pixels, colour key and run-length
// acceleration, so that drawing one cell never walks the runs of the whole
// sheet (a sheet without run-length acceleration lends its cells its own
// pixels, so that they are held once: free its cells before the sheet). Blits of a cell-sized rectangle on a cell corner are drawn from the
// cell, every other blit from the sheet; the pixels are the same either way.
#pragma once
#include <SDL.h>

constexpr int CELL_SHEETS = 12;      // sheets cut at once
constexpr int CELLS_PER_SHEET = 96;  // cells of one sheet at most

// Cuts sheet into its whole size x size cells, row by row, and prepares them
// and the sheet for blits into prepare_for unless it is null (see
// warm_cells); a sheet cut before is cut again. Returns false, cutting
// nothing, for a missing sheet, one of fewer than 2 bytes per pixel, one of
// more than CELLS_PER_SHEET cells, or when CELL_SHEETS sheets are cut.
bool cut_cells(SDL_Surface* sheet, int size, SDL_Surface* prepare_for = nullptr);
// The cell of sheet whose top-left pixel is (x, y), when sheet is cut into
// cells of w x h; null otherwise.
SDL_Surface* sheet_cell(const SDL_Surface* sheet, int x, int y, int w, int h);
// Frees the cells of sheet (nothing when it was not cut); call it before
// freeing the sheet.
void release_cells(const SDL_Surface* sheet);
// Blits every cut sheet and every cell once into the top-left pixel of dst,
// which keeps its value: SDL prepares (run-length encodes) a surface for a
// destination at its first blit there, so that a frame drawing a cell for
// the first time allocates nothing.
void warm_cells(SDL_Surface* dst);
// Blits the w x h rectangle at (sx, sy) of src to (dx, dy) of dst, from its
// cell when it is one; returns the result of SDL_UpperBlit.
int blit_rect(SDL_Surface* src, int sx, int sy, int w, int h, SDL_Surface* dst, int dx, int dy);
