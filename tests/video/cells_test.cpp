// Sheets cut into cells: a cell drawn from its own surface gives exactly the
// pixels a blit of the same rectangle of the sheet gives, keyed and clipped.
#include "support/game.h"

namespace {

constexpr Uint16 KEY = 0xF81F;

// A 48 x 32 keyed sheet of 16 x 16 cells, every opaque pixel its own value,
// a third of the pixels transparent.
SDL_Surface* keyed_sheet()
{
    SDL_Surface* s = SDL_CreateRGBSurface(0, 48, 32, 16, 0xF800, 0x07E0, 0x001F, 0);
    for (int y = 0; y < s->h; y++)
        for (int x = 0; x < s->w; x++)
            static_cast<Uint16*>(s->pixels)[y * s->pitch / 2 + x] =
                static_cast<Uint16>((x * 7 + y * 3) % 3 ? 1 + y * 48 + x : KEY);
    SDL_SetColorKey(s, SDL_SRCCOLORKEY | SDL_RLEACCEL, KEY);
    return s;
}

SDL_Surface* back()
{
    SDL_Surface* s = SDL_CreateRGBSurface(0, 64, 48, 16, 0xF800, 0x07E0, 0x001F, 0);
    SDL_FillRect(s, nullptr, 0x4321);
    return s;
}

bool same(SDL_Surface* a, SDL_Surface* b)
{
    for (int y = 0; y < a->h; y++)
        if (memcmp(static_cast<Uint8*>(a->pixels) + y * a->pitch, static_cast<Uint8*>(b->pixels) + y * b->pitch,
                   2 * a->w) != 0)
            return false;
    return true;
}

TEST(Cells, ACellDrawsWhatTheSheetDrawsAndOtherRectanglesComeFromTheSheet)
{
    SDL_Surface* sheet = keyed_sheet();
    SDL_Surface* plain = keyed_sheet();  // never cut: the reference
    ASSERT_TRUE(cut_cells(sheet, 16));
    SDL_Surface* by_cells = back();
    SDL_Surface* by_sheet = back();
    // (sx, sy, w, h, dx, dy): cells, clipped at every edge, and rectangles
    // that are not cells.
    const int rects[][6] = {{0, 0, 16, 16, 3, 5},   {32, 16, 16, 16, 0, 0}, {16, 0, 16, 16, -7, 40},
                            {16, 16, 16, 16, 56, -9}, {8, 0, 16, 16, 20, 20}, {0, 0, 32, 16, 30, 1},
                            {32, 16, 16, 32, 1, 30}, {40, 24, 16, 16, 10, 10}};
    for (const auto& r : rects) {
        SDL_Rect from = {static_cast<Sint16>(r[0]), static_cast<Sint16>(r[1]), static_cast<Uint16>(r[2]),
                         static_cast<Uint16>(r[3])};
        SDL_Rect to = {static_cast<Sint16>(r[4]), static_cast<Sint16>(r[5]), 0, 0};
        EXPECT_EQ(blit_rect(sheet, r[0], r[1], r[2], r[3], by_cells, r[4], r[5]),
                  SDL_UpperBlit(plain, &from, by_sheet, &to));
        EXPECT_TRUE(same(by_cells, by_sheet)) << r[0] << "," << r[1] << " " << r[2] << "x" << r[3];
    }
    EXPECT_NE(sheet_cell(sheet, 32, 16, 16, 16), nullptr);
    EXPECT_EQ(sheet_cell(sheet, 8, 0, 16, 16), nullptr);
    EXPECT_EQ(sheet_cell(sheet, 0, 0, 8, 8), nullptr);
    EXPECT_EQ(sheet_cell(sheet, 48, 0, 16, 16), nullptr);
    EXPECT_EQ(sheet_cell(plain, 0, 0, 16, 16), nullptr);

    // Warming the cells for a surface leaves its pixels as they were.
    SDL_Surface* kept = back();
    SDL_BlitSurface(by_cells, nullptr, kept, nullptr);
    warm_cells(by_cells);
    EXPECT_TRUE(same(by_cells, kept));

    // Cut again at another size, then released: drawn from the sheet.
    ASSERT_TRUE(cut_cells(sheet, 8));
    EXPECT_EQ(sheet_cell(sheet, 16, 0, 16, 16), nullptr);
    EXPECT_NE(sheet_cell(sheet, 8, 8, 8, 8), nullptr);
    release_cells(sheet);
    EXPECT_EQ(sheet_cell(sheet, 8, 8, 8, 8), nullptr);
    EXPECT_FALSE(cut_cells(nullptr, 16));
    for (SDL_Surface* s : {sheet, plain, by_cells, by_sheet, kept})
        SDL_FreeSurface(s);
}

}  // namespace
