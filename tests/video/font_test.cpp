// Glyph choice and clipping of the three fonts, on sheets of known glyphs:
// every pixel of a glyph holds its number plus a per-sheet base.
#include <gtest/gtest.h>

#include <cstdio>

#include "res/assets.h"
#include "video/font.h"

namespace {

constexpr uint16_t SMALL_BASE = 0x1000, MEDIUM_BASE = 0x2000, LARGE_BASE = 0x3000;
constexpr int GLYPHS = 96;  // codes 32 to 127 in the column sheets; 64 glyphs in the row sheet

uint16_t& px(SDL_Surface* s, int x, int y)
{
    return reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch)[x];
}

SDL_Surface* sheet(int size, bool row, int count, uint16_t base)
{
    SDL_Surface* s = row ? SDL_CreateRGBSurface(0, size * count, size, 16, 0xF800, 0x07E0, 0x001F, 0)
                         : SDL_CreateRGBSurface(0, size, size * count, 16, 0xF800, 0x07E0, 0x001F, 0);
    for (int y = 0; y < s->h; y++)
        for (int x = 0; x < s->w; x++)
            px(s, x, y) = static_cast<uint16_t>(base + (row ? x : y) / size);
    return s;
}

class Font : public testing::Test {
protected:
    SDL_Surface* dst = nullptr;
    void SetUp() override
    {
        font_small = sheet(8, true, 64, SMALL_BASE);
        font_medium = sheet(16, false, GLYPHS, MEDIUM_BASE);
        font_large = sheet(32, false, GLYPHS, LARGE_BASE);
        dst = SDL_CreateRGBSurface(0, 320, 240, 16, 0xF800, 0x07E0, 0x001F, 0);
        clear();
    }
    void TearDown() override
    {
        for (SDL_Surface** s : {&font_small, &font_medium, &font_large}) {
            SDL_FreeSurface(*s);
            *s = nullptr;
        }
        SDL_FreeSurface(dst);
    }
    void clear() { SDL_FillRect(dst, nullptr, 0); }
    // The glyph number drawn in the cell at (x, y), -1 for none; the
    // cell must be filled whole by one glyph.
    int glyph_at(int x, int y, int size, uint16_t base)
    {
        uint16_t v = px(dst, x, y);
        if (v == 0)
            return -1;
        EXPECT_EQ(px(dst, x + size - 1, y + size - 1), v) << "part of a glyph at " << x << "," << y;
        return v - base;
    }
    // Glyph numbers of the small-font cells along a line.
    std::vector<int> small_line(int x, int y, int cells)
    {
        std::vector<int> g;
        for (int i = 0; i < cells; i++)
            g.push_back(glyph_at(x + 8 * i, y, 8, SMALL_BASE));
        return g;
    }
    int count_drawn()
    {
        int n = 0;
        for (int y = 0; y < dst->h; y++)
            for (int x = 0; x < dst->w; x++)
                n += px(dst, x, y) != 0;
        return n;
    }
};

TEST_F(Font, SmallTextSkipsSpacesAndStopsAtTheEndMark)
{
    put_text1(dst, 10, 20, "A B~C");
    EXPECT_EQ(small_line(10, 20, 4), (std::vector<int>{10, -1, 11, -1}));

    clear();
    put_text1(dst, 10, 20, "abc~");
    EXPECT_EQ(small_line(10, 20, 3), (std::vector<int>{10, 11, 12}));
    clear();
    put_text1(dst, 10, 20, "xyz~");
    EXPECT_EQ(small_line(10, 20, 3), (std::vector<int>{33, 34, 35}));

    clear();
    put_text1(dst, 10, 20, "~ABC~");
    EXPECT_EQ(count_drawn(), 0);

    // A text without the mark stops at its NUL.
    const char unmarked[] = {'0', '9', '\0', 'Z', '~', '\0'};
    put_text1(dst, 10, 20, unmarked);
    EXPECT_EQ(small_line(10, 20, 4), (std::vector<int>{0, 9, -1, -1}));
}

TEST_F(Font, SmallTextSignsHaveTheirOwnGlyphs)
{
    put_text1(dst, 0, 0, "!,.+-%:?*()#~");
    // '#' (35) keeps its code: glyph 35, the same as 'Z'.
    EXPECT_EQ(small_line(0, 0, 13), (std::vector<int>{36, 37, 38, 39, 40, 41, 42, 42, 43, 48, 49, 35, -1}));
    EXPECT_EQ(small_glyph(' '), -1);
    EXPECT_EQ(small_glyph('/'), '/');
    EXPECT_EQ(small_glyph(';'), ';');
    EXPECT_EQ(small_glyph('z'), small_glyph('Z'));
}

TEST_F(Font, TextBelowItsLimitIsNotDrawnAndNegativeRowsCountAsBelow)
{
    put_text1(dst, 0, 232, "A~");
    EXPECT_EQ(glyph_at(0, 232, 8, SMALL_BASE), 10);
    clear();
    for (int y : {233, 240, -1, -100})
        put_text1(dst, 0, y, "A~");
    EXPECT_EQ(count_drawn(), 0);

    put_text(dst, 0, 224, "A");
    EXPECT_EQ(glyph_at(0, 224, 16, MEDIUM_BASE), 'A' - 32);
    clear();
    for (int y : {225, -1, -16})
        put_text(dst, 0, y, "A");
    EXPECT_EQ(count_drawn(), 0);

    // The large font has no limit of its own: SDL clips it.
    put_text_large(dst, 0, 230, "A");
    EXPECT_EQ(px(dst, 0, 239), LARGE_BASE + 'A' - 32);
    EXPECT_EQ(count_drawn(), 32 * 10);
    clear();
    put_text_large(dst, 0, -20, "A");
    EXPECT_EQ(px(dst, 31, 11), LARGE_BASE + 'A' - 32);
    EXPECT_EQ(count_drawn(), 32 * 12);
}

TEST_F(Font, ColumnFontsDrawEveryCharacterFromTheSpaceOn)
{
    snprintf(tmp_string, sizeof tmp_string, "%05d~", 420);
    put_text(dst, 8, 40, tmp_string);
    std::vector<int> g;
    for (int i = 0; i < 7; i++)
        g.push_back(glyph_at(8 + 16 * i, 40, 16, MEDIUM_BASE));
    EXPECT_EQ(g, (std::vector<int>{16, 16, 20, 18, 16, 94, -1}));

    clear();
    put_text_large(dst, 0, 0, "A ~");
    EXPECT_EQ(glyph_at(0, 0, 32, LARGE_BASE), 33);
    EXPECT_EQ(glyph_at(32, 0, 32, LARGE_BASE), 0);  // the space is drawn: glyph 0
    EXPECT_EQ(glyph_at(64, 0, 32, LARGE_BASE), 94);

    // A code beyond the sheet draws nothing.
    clear();
    const char beyond[] = {static_cast<char>(200), 0};
    put_text(dst, 0, 0, beyond);
    put_text_large(dst, 0, 0, beyond);
    EXPECT_EQ(count_drawn(), 0);
}

TEST_F(Font, MissingSheetsDrawNothing)
{
    SDL_Surface* sheets[] = {font_small, font_medium, font_large};
    font_small = font_medium = font_large = nullptr;
    put_text1(dst, 0, 0, "ABC~");
    put_text(dst, 0, 0, "ABC");
    put_text_large(dst, 0, 0, "ABC");
    EXPECT_EQ(count_drawn(), 0);
    font_small = sheets[0];
    font_medium = sheets[1];
    font_large = sheets[2];
}

}  // namespace
