// Glyph choice and clipping of the three fonts, on sheets of known glyphs:
// every pixel of glyph g holds base + g.
#include "support/game.h"

namespace {

using Glyphs = std::vector<int>;
constexpr uint16_t SMALL = 0x1000, MEDIUM = 0x2000, LARGE = 0x3000;

// count glyphs of size x size, side by side (row) or stacked.
SDL_Surface* sheet(int size, bool row, int count, uint16_t base)
{
    SDL_Surface* s = SDL_CreateRGBSurface(0, row ? size * count : size, row ? size : size * count, 16, 0xF800,
                                          0x07E0, 0x001F, 0);
    for (int y = 0; y < s->h; y++)
        for (int x = 0; x < s->w; x++)
            pixel16(s, x, y) = static_cast<uint16_t>(base + (row ? x : y) / size);
    return s;
}

class Font : public testing::Test {
protected:
    SDL_Surface* dst = SDL_CreateRGBSurface(0, 320, 240, 16, 0xF800, 0x07E0, 0x001F, 0);
    void SetUp() override
    {
        font_small = sheet(8, true, 64, SMALL);
        font_medium = sheet(16, false, 96, MEDIUM);
        font_large = sheet(32, false, 96, LARGE);
    }
    void TearDown() override
    {
        for (SDL_Surface** s : {&font_small, &font_medium, &font_large}) {
            SDL_FreeSurface(*s);
            *s = nullptr;
        }
        SDL_FreeSurface(dst);
    }
    // Clears the destination, draws, and returns the glyphs of n cells from
    // (x, y) (-1 for an empty cell); each drawn cell must be whole.
    template <typename Draw>
    Glyphs cells(Draw draw, int x, int y, int size, uint16_t base, int n)
    {
        SDL_FillRect(dst, nullptr, 0);
        draw();
        Glyphs g;
        for (int i = 0; i < n; i++) {
            uint16_t v = pixel16(dst, x + size * i, y);
            EXPECT_EQ(pixel16(dst, x + size * i + size - 1, y + size - 1), v);
            g.push_back(v ? v - base : -1);
        }
        return g;
    }
    Glyphs small(const char* text, int n) { return cells([&] { put_text1(dst, 8, 16, text); }, 8, 16, 8, SMALL, n); }
};

TEST_F(Font, SmallTextMapsCharactersToItsOwnGlyphOrder)
{
    EXPECT_EQ(small("A B~C", 4), (Glyphs{10, -1, 11, -1}));
    EXPECT_EQ(small("abc~", 3), small("ABC~", 3));
    EXPECT_EQ(small("09xyz~", 5), (Glyphs{0, 9, 33, 34, 35}));
    // '#' keeps its code (35, the glyph of Z).
    EXPECT_EQ(small("!,.+-%:?*()#~", 12), (Glyphs{36, 37, 38, 39, 40, 41, 42, 42, 43, 48, 49, 35}));
    EXPECT_EQ(small("_/~", 2), (Glyphs{44, 47}));  // as in a file name
    EXPECT_EQ(small("~ABC~", 4), Glyphs(4, -1));
    const char unmarked[] = {'A', 'B', '\0', 'Z', '~', '\0'};  // stops at the NUL
    EXPECT_EQ(small(unmarked, 4), (Glyphs{10, 11, -1, -1}));
}

TEST_F(Font, EachFontStopsAtItsLowestRowComparedUnsignedAndWithoutASheetAndDrawsFromTheSpaceOn)
{
    EXPECT_EQ(cells([&] { put_text1(dst, 0, 232, "A~"); }, 0, 232, 8, SMALL, 1), Glyphs{10});
    EXPECT_EQ(cells([&] { put_text(dst, 0, 224, "A"); }, 0, 224, 16, MEDIUM, 1), Glyphs{'A' - 32});
    SDL_FillRect(dst, nullptr, 0);
    for (int y : {233, 240, -1, -100})
        put_text1(dst, 0, y, "A~");
    for (int y : {225, -1, -16})
        put_text(dst, 0, y, "A");
    SDL_Surface* sheets[] = {font_small, font_medium, font_large};
    font_small = font_medium = font_large = nullptr;
    put_text1(dst, 0, 0, "ABC~");
    put_text(dst, 0, 0, "ABC");
    put_text_large(dst, 0, 0, "ABC");
    font_small = sheets[0];
    font_medium = sheets[1];
    font_large = sheets[2];
    EXPECT_EQ(lit_pixels(dst), 0);
    // The large font has no limit of its own: SDL clips it.
    put_text_large(dst, 0, 230, "A");
    put_text_large(dst, 100, -20, "A");
    EXPECT_EQ(pixel16(dst, 131, 11), LARGE + 'A' - 32);
    EXPECT_EQ(lit_pixels(dst), 32 * 22);

    snprintf(tmp_string, sizeof tmp_string, "%05d~", 420);
    EXPECT_EQ(cells([&] { put_text(dst, 8, 40, tmp_string); }, 8, 40, 16, MEDIUM, 7),
              (Glyphs{16, 16, 20, 18, 16, 94, -1}));
    EXPECT_EQ(cells([&] { put_text_large(dst, 0, 0, "A ~"); }, 0, 0, 32, LARGE, 3), (Glyphs{33, 0, 94}));
    const char beyond[] = {static_cast<char>(200), 0};  // past the end of the sheets
    put_text(dst, 0, 100, beyond);
    put_text_large(dst, 0, 100, beyond);
    EXPECT_EQ(lit_pixels(dst), 32 * 32 * 3);  // only the three glyphs drawn above
}

}  // namespace
