// The five filters on synthetic pictures with hand-worked expectations.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "video/filters.h"
#include "video/screen.h"

namespace {

// Channel masks of the two layouts used here.
constexpr Uint32 R565 = 0xF800, G565 = 0x07E0, B565 = 0x001F;
constexpr Uint32 R555 = 0x7C00, G555 = 0x03E0, B555 = 0x001F;

constexpr uint16_t SENTINEL = 0x1234;  // what the display held before a frame

SDL_Surface* surface(int w, int h, bool is555 = false)
{
    return is555 ? SDL_CreateRGBSurface(0, w, h, 16, R555, G555, B555, 0)
                 : SDL_CreateRGBSurface(0, w, h, 16, R565, G565, B565, 0);
}

uint16_t& px(SDL_Surface* s, int x, int y)
{
    return reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch)[x];
}

void fill(SDL_Surface* s, uint16_t v)
{
    for (int y = 0; y < s->h; y++)
        for (int x = 0; x < s->w; x++)
            px(s, x, y) = v;
}

// A back surface and a display for one test; the globals point at them.
class Filters : public testing::Test {
protected:
    void use(int display_w, int display_h, bool is555 = false)
    {
        screen = surface(320, 240, is555);
        fscreen = surface(display_w, display_h, is555);
        fill(screen, 0);
        fill(fscreen, SENTINEL);
    }
    void TearDown() override
    {
        SDL_FreeSurface(screen);
        SDL_FreeSurface(fscreen);
        screen_reset();
    }
    // Output pixel (x, y) of the 640 x 480 picture.
    uint16_t out(int x, int y) { return px(fscreen, x, y); }
    // The 2 x 2 output block of source pixel (x, y), row by row.
    std::vector<uint16_t> block(int x, int y)
    {
        return {out(2 * x, 2 * y), out(2 * x + 1, 2 * y), out(2 * x, 2 * y + 1), out(2 * x + 1, 2 * y + 1)};
    }
};

// A picture with something everywhere: 16 x 16 tiles, outlines, odd pixels.
void pixel_art(SDL_Surface* s)
{
    static const uint16_t colours[] = {0x0000, 0xF800, 0x07E0, 0x001F, 0xFFFF, 0x7BEF, 0x0001, 0x8410};
    uint32_t seed = 12345;
    for (int y = 0; y < 240; y++)
        for (int x = 0; x < 320; x++) {
            uint16_t v = colours[((x / 16) * 3 + (y / 16) * 5) % 8];
            if (x % 16 == 0 || y % 16 == 15)
                v = 0x2104;
            seed = seed * 1103515245u + 12345u;
            if ((seed >> 16) % 23 == 0)
                v = static_cast<uint16_t>(seed >> 8);
            px(s, x, y) = v;
        }
}

TEST_F(Filters, SimpleDoublesEveryPixelAndKeepsEachPitch)
{
    use(640, 480);
    fill(screen, 0x07E0);
    px(screen, 5, 7) = 0xF800;
    px(screen, 319, 239) = 0x001F;
    zoom2();
    EXPECT_EQ(block(5, 7), std::vector<uint16_t>(4, 0xF800));
    EXPECT_EQ(block(4, 7), std::vector<uint16_t>(4, 0x07E0));
    EXPECT_EQ(block(319, 239), std::vector<uint16_t>(4, 0x001F));

    // Padded rows on both sides give the same picture.
    std::vector<uint8_t> src_mem(660 * 240), dst_mem(1300 * 480);
    SDL_Surface* src = SDL_CreateRGBSurfaceFrom(src_mem.data(), 320, 240, 16, 660, R565, G565, B565, 0);
    SDL_Surface* dst = SDL_CreateRGBSurfaceFrom(dst_mem.data(), 640, 480, 16, 1300, R565, G565, B565, 0);
    SDL_BlitSurface(screen, nullptr, src, nullptr);
    zoom2_320(src, dst);
    for (int y = 0; y < 480; y++)
        ASSERT_EQ(0, memcmp(&px(dst, 0, y), &px(fscreen, 0, y), 1280)) << "row " << y;
    SDL_FreeSurface(src);
    SDL_FreeSurface(dst);
}

TEST_F(Filters, Scale2xKeepsFlatColourAndLoneDots)
{
    use(640, 480);
    fill(screen, 0x1111);
    px(screen, 100, 100) = 0xF800;
    Scale2X();
    EXPECT_EQ(block(100, 100), std::vector<uint16_t>(4, 0xF800));
    EXPECT_EQ(block(101, 100), std::vector<uint16_t>(4, 0x1111));
    EXPECT_EQ(block(0, 0), std::vector<uint16_t>(4, 0x1111));
    EXPECT_EQ(block(319, 239), std::vector<uint16_t>(4, 0x1111));
}

TEST_F(Filters, Scale2xRoundsCornersAndUsesTheCentreBeyondEachEdge)
{
    use(640, 480);
    const uint16_t A = 0x1111, C = 0xF800;
    fill(screen, A);
    // Interior: C above and to the left of an A pixel rounds its top-left.
    px(screen, 10, 9) = C;
    px(screen, 9, 10) = C;
    // Each picture corner with C on its two inner neighbours.
    px(screen, 1, 0) = px(screen, 0, 1) = C;
    px(screen, 318, 0) = px(screen, 319, 1) = C;
    px(screen, 1, 239) = px(screen, 0, 238) = C;
    px(screen, 318, 239) = px(screen, 319, 238) = C;
    Scale2X();
    EXPECT_EQ(block(10, 10), (std::vector<uint16_t>{C, A, A, A}));
    EXPECT_EQ(block(0, 0), (std::vector<uint16_t>{A, A, A, C}));
    EXPECT_EQ(block(319, 0), (std::vector<uint16_t>{A, A, C, A}));
    EXPECT_EQ(block(0, 239), (std::vector<uint16_t>{A, C, A, A}));
    EXPECT_EQ(block(319, 239), (std::vector<uint16_t>{C, A, A, A}));
}

TEST_F(Filters, BilinearBlendsNeighboursAndRepeatsTheLastRowAndColumn)
{
    use(640, 480);
    px(screen, 10, 10) = 0xF800;
    px(screen, 319, 5) = 0xF800;
    px(screen, 319, 6) = 0x001F;
    px(screen, 100, 239) = 0xF800;
    px(screen, 319, 239) = 0x07E0;
    Bilinear2();
    EXPECT_EQ(block(10, 10), (std::vector<uint16_t>{0xF800, 0x7800, 0x7800, 0x3800}));
    EXPECT_EQ(block(9, 10), (std::vector<uint16_t>{0x0000, 0x7800, 0x0000, 0x3800}));
    EXPECT_EQ(block(10, 9), (std::vector<uint16_t>{0x0000, 0x0000, 0x7800, 0x3800}));
    EXPECT_EQ(block(319, 5), (std::vector<uint16_t>{0xF800, 0xF800, 0x780F, 0x780F}));
    for (int row : {478, 479}) {
        EXPECT_EQ(out(200, row), 0xF800);
        EXPECT_EQ(out(201, row), 0x7800);
        EXPECT_EQ(out(199, row), 0x7800);
        EXPECT_EQ(out(637, row), 0x03E0);
        EXPECT_EQ(out(638, row), 0x07E0);
        EXPECT_EQ(out(639, row), 0x07E0);
    }
    // The lower-right blend of row 238 reaches the last row's right pixel.
    EXPECT_EQ(out(637, 477), 0x01E0);

    fill(screen, 0x0001);
    Bilinear2();
    EXPECT_EQ(block(50, 50), std::vector<uint16_t>(4, 0x0001));
}

TEST_F(Filters, ScanlineDarkensEveryOtherRowToTheTopBitOfEachChannel)
{
    use(640, 480);
    for (int x = 0; x < 160; x++)
        for (int y = 0; y < 240; y++)
            px(screen, x, y) = 0xFFFF;
    for (int x = 160; x < 320; x++)
        for (int y = 0; y < 240; y++)
            px(screen, x, y) = 0x7BEF;
    Scanline2x();
    for (int y : {0, 100, 239}) {
        EXPECT_EQ(block(0, y), (std::vector<uint16_t>{0xFFFF, 0xFFFF, 0x2104, 0x2104}));
        EXPECT_EQ(block(159, y), (std::vector<uint16_t>{0xFFFF, 0xFFFF, 0x2104, 0x2104}));
        EXPECT_EQ(block(160, y), (std::vector<uint16_t>{0x7BEF, 0x7BEF, 0x0000, 0x0000}));
        EXPECT_EQ(block(319, y), (std::vector<uint16_t>{0x7BEF, 0x7BEF, 0x0000, 0x0000}));
    }
}

TEST_F(Filters, BlurBlendsRightAndLowerNeighboursAndFillsEveryPixel)
{
    use(640, 480);
    px(screen, 10, 10) = 0xF800;
    px(screen, 319, 5) = 0xF800;
    px(screen, 319, 6) = 0x001F;
    px(screen, 319, 239) = 0x07E0;
    px(screen, 318, 239) = 0x001F;
    antiAlias2();
    EXPECT_EQ(block(10, 10), (std::vector<uint16_t>{0xF800, 0x7800, 0x7800, 0x0000}));
    // The lower-right output of a pixel blends its right and lower
    // neighbours, not itself.
    EXPECT_EQ(block(9, 10), (std::vector<uint16_t>{0x0000, 0x7800, 0x0000, 0x7800}));
    EXPECT_EQ(block(10, 9), (std::vector<uint16_t>{0x0000, 0x0000, 0x7800, 0x7800}));
    // Column 319: the centre above, the lower neighbour unblended below.
    EXPECT_EQ(block(319, 5), (std::vector<uint16_t>{0xF800, 0xF800, 0x001F, 0x001F}));
    EXPECT_EQ(block(319, 4), (std::vector<uint16_t>{0x0000, 0x0000, 0xF800, 0xF800}));
    // The last source row gives one row, shown twice.
    for (int row : {478, 479}) {
        EXPECT_EQ(out(636, row), 0x001F);
        EXPECT_EQ(out(637, row), 0x03EF);  // (0x001E + 0x07C0) >> 1
        EXPECT_EQ(out(638, row), 0x07E0);
        EXPECT_EQ(out(639, row), 0x07E0);
    }
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++)
            ASSERT_NE(out(x, y), SENTINEL) << x << "," << y;

    fill(screen, 0x0001);
    antiAlias2();
    EXPECT_EQ(block(50, 50), (std::vector<uint16_t>{0x0001, 0x0000, 0x0000, 0x0000}));
}

TEST_F(Filters, BlurKeepsItsWorkBufferAcrossFramesUntilTheDisplayGrows)
{
    use(640, 480);
    pixel_art(screen);
    antiAlias2();
    uint32_t* first = aabuf;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(aabuf[0], px(screen, 0, 0));
    EXPECT_EQ(aabuf[2 * (320 * 239 + 319) + 1], px(screen, 319, 239) & 0xF7DEu);
    antiAlias2();
    EXPECT_EQ(aabuf, first);
    SDL_Surface* back = screen;
    SDL_Surface* display = fscreen;
    screen_reset();
    EXPECT_EQ(aabuf, nullptr);
    screen = back;
    fscreen = display;
}

TEST_F(Filters, MasksFollowTheChannelShiftsOf555)
{
    use(640, 480, true);
    px(screen, 10, 10) = 0x7C00;  // full red
    px(screen, 20, 10) = 0x7FFF;  // white
    Bilinear2();
    EXPECT_EQ(out(21, 20), 0x3C00);  // 0x7C00 & 0xFBDF, halved
    antiAlias2();
    EXPECT_EQ(out(21, 20), 0x3C00);  // 0x7C00 & 0xFBDE, halved
    Scanline2x();
    EXPECT_EQ(out(40, 21), 0x1104);  // (0x7FFF & 0x4410) >> 2
    EXPECT_EQ(out(20, 21), 0x1100);
}

TEST_F(Filters, EveryFilterFillsA1280DisplayWithItsPictureDoubled)
{
    void (*filters[])() = {zoom2, Scale2X, Bilinear2, Scanline2x, antiAlias2};
    for (auto filter : filters) {
        use(640, 480);
        pixel_art(screen);
        filter();
        std::vector<uint16_t> small(640 * 480);
        for (int y = 0; y < 480; y++)
            for (int x = 0; x < 640; x++)
                small[y * 640 + x] = out(x, y);
        SDL_Surface* back = screen;
        SDL_FreeSurface(fscreen);
        fscreen = surface(1280, 960);
        fill(fscreen, SENTINEL);
        filter();
        for (int y = 0; y < 960; y++)
            for (int x = 0; x < 1280; x++)
                ASSERT_EQ(px(fscreen, x, y), small[(y / 2) * 640 + x / 2]) << x << "," << y;
        SDL_FreeSurface(back);
        SDL_FreeSurface(fscreen);
        screen_reset();
    }
    screen = surface(320, 240);  // for TearDown
    fscreen = surface(640, 480);
}

TEST_F(Filters, MissingOrSmallSurfacesAreLeftAlone)
{
    use(320, 240);
    pixel_art(screen);
    void (*filters[])() = {zoom2, Scale2X, Bilinear2, Scanline2x, antiAlias2};
    for (auto filter : filters)
        filter();
    EXPECT_EQ(px(fscreen, 319, 239), SENTINEL);
    SDL_Surface* keep = fscreen;
    fscreen = nullptr;
    for (auto filter : filters)
        filter();
    fscreen = keep;
}

}  // namespace
