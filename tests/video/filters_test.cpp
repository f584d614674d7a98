// The five filters on synthetic pictures with hand-worked expectations. The
// surfaces have rows longer than their pictures, so every filter must step
// each surface by its own pitch. Every build of the row code, and a display
// of 32-bit pixels, must give the same picture.
#include "support/game.h"

#include <array>

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
};

// Hand-worked pictures: the back surface filled (its left half apart), some
// pixels set, then rectangles of the display read row by row; a source
// pixel (x, y) shows as the 2 x 2 rectangle at (2x, 2y).
struct Probe {
    int x, y, w;
    Block want;
};
struct Worked {
    const char* what;
    void (*filter)();
    bool is555;
    uint16_t fill, left;
    std::vector<std::array<int, 3>> paint;  // x, y, pixel
    std::vector<Probe> probes;
};

TEST_F(Filters, EachFilterGivesItsHandWorkedPicture)
{
    const uint16_t A = 0x1111, C = 0xF800;
    const Worked cases[] = {
        {"Scale2x keeps flat colour and lone dots and rounds corners, using the centre beyond edges", Scale2X, false,
         A, A,
         {{100, 100, C}, {10, 9, C}, {9, 10, C}, {1, 0, C}, {0, 1, C}, {318, 0, C}, {319, 1, C}, {1, 239, C},
          {0, 238, C}, {318, 239, C}, {319, 238, C}},
         {{100, 100, 2, Block(4, A)}, {200, 200, 2, Block(4, C)}, {20, 20, 2, {C, A, A, A}}, {0, 0, 2, {A, A, A, C}},
          {638, 0, 2, {A, A, C, A}}, {0, 478, 2, {A, C, A, A}}, {638, 478, 2, {C, A, A, A}}}},
        {"Bilinear blends neighbours and repeats the last row and column", Bilinear2, false, 0, 0,
         {{10, 10, C}, {319, 5, C}, {100, 239, C}, {319, 6, 0x001F}, {319, 239, 0x07E0}},
         {{20, 20, 2, {C, 0x7800, 0x7800, 0x3800}}, {18, 18, 2, {0, 0, 0, 0x3800}},
          {638, 10, 2, {C, C, 0x780F, 0x780F}}, {637, 477, 1, {0x01E0}},  // row 238 reaches the last row's right pixel
          {200, 478, 2, {C, 0x7800, C, 0x7800}}, {637, 478, 1, {0x03E0, 0x03E0}}, {639, 478, 1, {0x07E0, 0x07E0}}}},
        {"Bilinear keeps a lowest bit", Bilinear2, false, 1, 1, {}, {{100, 100, 2, Block(4, 1)}}},
        {"Scanline keeps the top bit of each channel on the dark row", Scanline2x, false, 0x7BEF, 0xFFFF, {},
         {{0, 0, 2, {0xFFFF, 0xFFFF, 0x2104, 0x2104}}, {0, 478, 2, {0xFFFF, 0xFFFF, 0x2104, 0x2104}},
          {638, 0, 2, {0x7BEF, 0x7BEF, 0, 0}}, {638, 478, 2, {0x7BEF, 0x7BEF, 0, 0}}}},
        // Lower right of a pixel: its right and lower neighbours, neither
        // itself nor the one diagonally below. Column 319: the centre above,
        // the lower neighbour unblended below. The last source row is shown
        // twice; 0x03EF = (0x001E + 0x07C0) >> 1.
        {"Blur blends right and lower neighbours", antiAlias2, false, 0, 0,
         {{10, 10, C}, {319, 5, C}, {30, 31, C}, {319, 6, 0x001F}, {318, 239, 0x001F}, {319, 239, 0x07E0}},
         {{20, 20, 2, {C, 0x7800, 0x7800, 0}}, {18, 20, 2, {0, 0x7800, 0, 0x7800}}, {60, 60, 2, {0, 0, 0x7800, 0x7800}},
          {638, 10, 2, {C, C, 0x001F, 0x001F}}, {637, 478, 1, {0x03EF, 0x03EF}}, {639, 478, 1, {0x07E0, 0x07E0}}}},
        {"Blur drops a lowest bit", antiAlias2, false, 1, 1, {}, {{100, 100, 2, {1, 0, 0, 0}}}},
        // On 5-5-5 the masks follow the channel shifts: 0x7C00 & 0xFBDF and
        // & 0xFBDE halved; (0x7FFF & 0x4410) >> 2.
        {"Bilinear on 5-5-5", Bilinear2, true, 0, 0, {{10, 10, 0x7C00}, {20, 10, 0x7FFF}}, {{21, 20, 1, {0x3C00}}}},
        {"Blur on 5-5-5", antiAlias2, true, 0, 0, {{10, 10, 0x7C00}, {20, 10, 0x7FFF}}, {{21, 20, 1, {0x3C00}}}},
        {"Scanline on 5-5-5", Scanline2x, true, 0, 0, {{10, 10, 0x7C00}, {20, 10, 0x7FFF}},
         {{40, 21, 1, {0x1104}}, {20, 21, 1, {0x1100}}}},
    };
    for (const Worked& c : cases) {
        use(640, c.is555);
        SDL_Rect left = {0, 0, 160, 240}, right = {160, 0, 160, 240};
        SDL_FillRect(screen, &left, c.left);
        SDL_FillRect(screen, &right, c.fill);
        for (const auto& [x, y, p] : c.paint)
            pixel16(screen, x, y) = static_cast<uint16_t>(p);
        c.filter();
        for (const Probe& p : c.probes) {
            Block got;
            for (size_t i = 0; i < p.want.size(); i++)
                got.push_back(out(p.x + int(i) % p.w, p.y + int(i) / p.w));
            EXPECT_EQ(got, p.want) << c.what << ", at " << p.x << "," << p.y;
        }
    }
}

// No channel at bit 0 (5-5-5 one bit up): BLUR's mask keeps bit 0, so a
// blend of 1 and 0 halves to 0, on every build.
TEST_F(Filters, BlurHalvesALoneBitZeroOnEveryBuild)
{
    use(640, true);
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
TEST_F(Filters, EveryFilterFillsTheDisplayAlikeOnEveryPathAndAtEveryDepthAndLeavesForeignSurfacesAlone)
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

    // Too small, missing, or of a format the filters do not write (a 32-bit one
    // with green elsewhere, or a 5-5-5 picture to widen): nothing is written.
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
