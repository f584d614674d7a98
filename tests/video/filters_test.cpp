// The five filters on synthetic pictures with hand-worked expectations. The
// surfaces have rows longer than their pictures, so every filter must step
// each surface by its own pitch. Every build of the row code, and a display
// of 32-bit pixels, must give the same picture.
#include "support/game.h"

namespace {

using Block = std::vector<uint16_t>;
constexpr uint16_t SENTINEL = 0x1234;  // what the display held before a frame
void (*const all_filters[])() = {zoom2, Scale2X, Bilinear2, Scanline2x, antiAlias2};

uint32_t px32(SDL_Surface* s, int x, int y)
{
    return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch)[x];
}

// Displays of 32-bit pixels: red, green, blue and alpha masks.
constexpr uint32_t XRGB[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0};
constexpr uint32_t ABGR[4] = {0x0000FF, 0x00FF00, 0xFF0000, 0xFF000000};

// A 5-6-5 pixel as SDL 1.2 widens it into a 32-bit format: each channel
// shifted up to 8 bits, alpha opaque.
uint32_t widened(uint16_t p, const uint32_t* masks)
{
    uint32_t r = (p >> 8) & 0xF8, g = (p >> 3) & 0xFC, b = (p << 3) & 0xF8;
    uint32_t rgb = masks[0] == 0xFF0000 ? r << 16 | g << 8 | b : b << 16 | g << 8 | r;
    return rgb | masks[3];
}

// The builds of the row code this processor runs, the portable one first;
// says which are left out.
std::vector<int> builds_run()
{
    std::vector<int> run;
    std::string left_out;
    for (int path = 0; path < FILTER_ROWS_BUILDS; path++)
        filters_use_rows(path) ? run.push_back(path) : void(left_out += std::string(" ") + filters_rows_name(path));
    filters_use_rows(-1);
    EXPECT_TRUE(!run.empty() && run[0] == FILTER_ROWS_BASELINE) << "the portable build runs everywhere";
    if (!left_out.empty())
        printf("row builds this processor cannot run, not checked:%s\n", left_out.c_str());
    return run;
}

class Filters : public testing::Test {
protected:
    std::vector<uint8_t> mem[2];
    SDL_Surface* padded(int i, int w, int h, bool is555, const uint32_t* wide = nullptr)
    {
        const uint32_t rgb565[4] = {0xF800, 0x07E0, 0x001F, 0}, rgb555[4] = {0x7C00, 0x03E0, 0x001F, 0};
        const uint32_t* m = wide ? wide : is555 ? rgb555 : rgb565;
        int pitch = (wide ? 4 : 2) * w + 12;
        mem[i].assign(static_cast<size_t>(pitch) * h, 0);
        return SDL_CreateRGBSurfaceFrom(mem[i].data(), w, h, wide ? 32 : 16, pitch, m[0], m[1], m[2], m[3]);
    }
    // A 320 x 240 back surface and a display display_w wide, of 16-bit
    // pixels or, given its masks, of 32-bit ones.
    void use(int display_w, bool is555 = false, const uint32_t* wide = nullptr)
    {
        TearDown();
        screen = padded(0, 320, 240, is555);
        fscreen = padded(1, display_w, display_w * 3 / 4, is555, wide);
        SDL_FillRect(fscreen, nullptr, SENTINEL);
    }
    void TearDown() override
    {
        SDL_FreeSurface(screen);
        SDL_FreeSurface(fscreen);
        screen_reset();
    }
    uint16_t out(int x, int y) { return pixel16(fscreen, x, y); }
    // The four output pixels of source pixel (x, y), row by row.
    Block block(int x, int y)
    {
        return {out(2 * x, 2 * y), out(2 * x + 1, 2 * y), out(2 * x, 2 * y + 1), out(2 * x + 1, 2 * y + 1)};
    }
};

TEST_F(Filters, Scale2xKeepsFlatColourAndLoneDotsAndRoundsCornersUsingTheCentreBeyondEdges)
{
    use(640);
    const uint16_t A = 0x1111, C = 0xF800;
    SDL_FillRect(screen, nullptr, A);
    pixel16(screen, 100, 100) = C;
    pixel16(screen, 10, 9) = pixel16(screen, 9, 10) = C;  // C above and left of (10, 10)
    // Each picture corner with C on its two inner neighbours.
    pixel16(screen, 1, 0) = pixel16(screen, 0, 1) = pixel16(screen, 318, 0) = pixel16(screen, 319, 1) = C;
    pixel16(screen, 1, 239) = pixel16(screen, 0, 238) = pixel16(screen, 318, 239) = pixel16(screen, 319, 238) = C;
    Scale2X();
    EXPECT_EQ(block(50, 50), Block(4, A));
    EXPECT_EQ(block(100, 100), Block(4, C));
    EXPECT_EQ(block(10, 10), (Block{C, A, A, A}));
    EXPECT_EQ(block(0, 0), (Block{A, A, A, C}));
    EXPECT_EQ(block(319, 0), (Block{A, A, C, A}));
    EXPECT_EQ(block(0, 239), (Block{A, C, A, A}));
    EXPECT_EQ(block(319, 239), (Block{C, A, A, A}));
}

TEST_F(Filters, BilinearBlendsNeighboursAndRepeatsTheLastRowAndColumn)
{
    use(640);
    pixel16(screen, 10, 10) = pixel16(screen, 319, 5) = pixel16(screen, 100, 239) = 0xF800;
    pixel16(screen, 319, 6) = 0x001F;
    pixel16(screen, 319, 239) = 0x07E0;
    Bilinear2();
    EXPECT_EQ(block(10, 10), (Block{0xF800, 0x7800, 0x7800, 0x3800}));
    EXPECT_EQ(block(9, 9), (Block{0, 0, 0, 0x3800}));
    EXPECT_EQ(block(319, 5), (Block{0xF800, 0xF800, 0x780F, 0x780F}));
    EXPECT_EQ(out(637, 477), 0x01E0);  // row 238 reaches the last row's right pixel
    for (int row : {478, 479}) {
        EXPECT_EQ(Block({out(200, row), out(201, row), out(637, row), out(639, row)}),
                  (Block{0xF800, 0x7800, 0x03E0, 0x07E0}));
    }
    SDL_FillRect(screen, nullptr, 0x0001);
    Bilinear2();
    EXPECT_EQ(block(50, 50), Block(4, 0x0001));
}

TEST_F(Filters, ScanlineKeepsTheTopBitOfEachChannelOnTheDarkRow)
{
    use(640);
    SDL_Rect left = {0, 0, 160, 240}, right = {160, 0, 160, 240};
    SDL_FillRect(screen, &left, 0xFFFF);
    SDL_FillRect(screen, &right, 0x7BEF);
    Scanline2x();
    for (int y : {0, 239}) {
        EXPECT_EQ(block(0, y), (Block{0xFFFF, 0xFFFF, 0x2104, 0x2104}));
        EXPECT_EQ(block(319, y), (Block{0x7BEF, 0x7BEF, 0x0000, 0x0000}));
    }
}

TEST_F(Filters, BlurBlendsRightAndLowerNeighboursAndFillsEveryPixel)
{
    use(640);
    pixel16(screen, 10, 10) = pixel16(screen, 319, 5) = pixel16(screen, 30, 31) = 0xF800;
    pixel16(screen, 319, 6) = pixel16(screen, 318, 239) = 0x001F;
    pixel16(screen, 319, 239) = 0x07E0;
    antiAlias2();
    EXPECT_EQ(block(10, 10), (Block{0xF800, 0x7800, 0x7800, 0x0000}));
    // Lower right of a pixel: its right and lower neighbours, neither itself
    // nor the one diagonally below.
    EXPECT_EQ(block(9, 10), (Block{0x0000, 0x7800, 0x0000, 0x7800}));
    EXPECT_EQ(block(30, 30), (Block{0x0000, 0x0000, 0x7800, 0x7800}));
    // Column 319: the centre above, the lower neighbour unblended below.
    EXPECT_EQ(block(319, 5), (Block{0xF800, 0xF800, 0x001F, 0x001F}));
    for (int row : {478, 479})  // the last source row, shown twice; 0x03EF = (0x001E + 0x07C0) >> 1
        EXPECT_EQ(Block({out(637, row), out(639, row)}), (Block{0x03EF, 0x07E0}));
    SDL_FillRect(screen, nullptr, 0x0001);
    antiAlias2();
    EXPECT_EQ(block(50, 50), (Block{0x0001, 0x0000, 0x0000, 0x0000}));
}

TEST_F(Filters, MasksFollowTheChannelShifts)
{
    use(640, true);
    pixel16(screen, 10, 10) = 0x7C00;  // full red
    pixel16(screen, 20, 10) = 0x7FFF;  // white
    Bilinear2();
    EXPECT_EQ(out(21, 20), 0x3C00);  // 0x7C00 & 0xFBDF, halved
    antiAlias2();
    EXPECT_EQ(out(21, 20), 0x3C00);  // 0x7C00 & 0xFBDE, halved
    Scanline2x();
    EXPECT_EQ(out(40, 21), 0x1104);  // (0x7FFF & 0x4410) >> 2
    EXPECT_EQ(out(20, 21), 0x1100);

    // No channel at bit 0 (5-5-5 one bit up): BLUR's mask keeps bit 0, so a
    // blend of 1 and 0 halves to 0, on every build.
    SDL_FreeSurface(screen);
    screen = SDL_CreateRGBSurfaceFrom(mem[0].data(), 320, 240, 16, 2 * 320 + 12, 0xF800, 0x07C0, 0x003E, 0);
    if (!screen)
        GTEST_SKIP() << "this SDL (sdl12-compat) makes no 16-bit surface without a channel at bit 0, so no display "
                        "of it can come either: BLUR's mask for one is not checked";
    for (int path : builds_run()) {
        filters_use_rows(path);
        SDL_FillRect(screen, nullptr, 0);
        pixel16(screen, 10, 10) = 0x0001;
        antiAlias2();
        EXPECT_EQ(Block({out(20, 20), out(21, 20), out(20, 21), out(19, 21)}), (Block{1, 0, 0, 0}))
            << filters_rows_name(path);
    }
    filters_use_rows(-1);
}

// No filter: the frame copied, widened on a display of 32-bit pixels.
void unfiltered()
{
    unfiltered_320(screen, fscreen);
}

// Every filter writes every display pixel; every build of the row code this
// processor runs (the portable one, NEON, x86-64-v2, AVX2) gives the
// portable build's picture at 640 x 480, and that picture doubled at
// 1280 x 960; a display of 32-bit pixels gets each pixel widened as SDL
// widens it, with red and blue either way round. Unenlarged, the display
// gets the frame as it is, or widened. The frame's first two rows hold every
// level of every channel.
TEST_F(Filters, EveryFilterFillsTheDisplayWithTheSamePictureOnEveryPathAndAtEveryDepth)
{
    const uint32_t* const formats[] = {nullptr, XRGB, ABGR};
    for (auto filter : {zoom2, Scale2X, Bilinear2, Scanline2x, antiAlias2, unfiltered}) {
        const int base = filter == unfiltered ? 320 : 640;
        use(base);
        uint32_t seed = 7;  // tiles, outlines and noise
        for (int y = 0; y < 240; y++)
            for (int x = 0; x < 320; x++) {
                seed = seed * 1103515245u + 12345u;
                pixel16(screen, x, y) = (seed >> 16) % 19 == 0 ? static_cast<uint16_t>(seed >> 8)
                                   : x % 16 == 0         ? 0x2104
                                                         : static_cast<uint16_t>(0xF81F * ((x / 16 + y / 16) % 3));
            }
        for (int y : {0, 1})  // every level of every channel
            for (int x = 0; x < 320; x++)
                pixel16(screen, x, y) = static_cast<uint16_t>((x & 31) << (11 * y) | (x & 63) << 5);
        std::vector<uint8_t> picture = mem[0];
        ASSERT_TRUE(filters_use_rows(FILTER_ROWS_BASELINE));
        filter();
        std::vector<uint16_t> small;
        for (int y = 0; y < fscreen->h; y++)
            for (int x = 0; x < base; x++) {
                ASSERT_NE(out(x, y), SENTINEL) << x << "," << y << " left unwritten";
                if (filter == unfiltered) {
                    ASSERT_EQ(out(x, y), pixel16(screen, x, y)) << x << "," << y;
                }
                small.push_back(out(x, y));
            }
        for (int path : builds_run()) {
            filters_use_rows(path);
            for (const uint32_t* wide : formats)
                for (int w : {base, 2 * base}) {
                    if (filter == unfiltered && w > base)
                        continue;
                    use(w, false, wide);
                    std::copy(picture.begin(), picture.end(), mem[0].begin());
                    filter();
                    int scale = w / base;
                    for (int y = 0; y < fscreen->h; y++)
                        for (int x = 0; x < fscreen->w; x++) {
                            uint16_t want = small[(y / scale) * base + x / scale];
                            ASSERT_EQ(wide ? px32(fscreen, x, y) : out(x, y), wide ? widened(want, wide) : want)
                                << x << "," << y << " " << filters_rows_name(path) << " width " << w
                                << (wide ? " 32-bit" : "");
                        }
                }
        }
        filters_use_rows(-1);
    }
}

// Too small, missing, or of a format the filters do not write (a 32-bit one
// with green elsewhere, or a 5-5-5 picture to widen): nothing is written.
TEST_F(Filters, MissingSmallOrForeignSurfacesAreLeftAlone)
{
    use(320);
    SDL_Surface* display = fscreen;
    for (auto filter : all_filters) {
        filter();
        fscreen = nullptr;
        filter();
        fscreen = display;
    }
    EXPECT_EQ(out(319, 239), SENTINEL);
    const uint32_t rgbx[4] = {0xFF000000, 0x00FF0000, 0x0000FF00, 0};
    use(640, false, rgbx);
    EXPECT_FALSE(filters_can_write(fscreen->format));
    for (auto filter : all_filters)
        filter();
    EXPECT_EQ(px32(fscreen, 5, 5), SENTINEL);
    use(640, true, XRGB);
    for (auto filter : all_filters)
        filter();
    EXPECT_EQ(px32(fscreen, 5, 5), SENTINEL);
}

}  // namespace
