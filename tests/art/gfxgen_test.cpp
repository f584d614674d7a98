// The picture generator: its file writers, its readers of the text sources,
// and the properties the game relies on in what it draws.
#include "support/game.h"

#include <stdexcept>

#include "art.h"

namespace {

std::string write_text(const std::string& name, const std::string& text)
{
    std::ofstream(name) << text;
    return name;
}

// A small picture whose every pixel differs, with an odd width so that BMP
// rows need padding.
Img sample()
{
    Img img(5, 3);
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 5; x++)
            img.set(x, y, mkrgb(40 * x + 7, 90 * y + 3, 200 - 30 * x - 50 * y));
    return img;
}

}  // namespace

// The game's pictures are 16-bit 5-6-5 bitmaps; magenta stays the game's key
// bit for bit, and only magenta: a colour next to it must not turn clear.
// The review pictures are PNGs of the colours as they are.
TEST(GfxFiles, BitmapsAndPngsReadBackKeepingTheKeyAndFontsAndSpritesReadAsDrawnOrAreRefused)
{
    Img img = sample();
    img.set(0, 0, KEY);
    img.set(1, 0, 0xfc02fc);
    for (bool dither : {false, true}) {
        Img q = to565(img, dither);
        EXPECT_NE(q.at(1, 0), KEY) << "only the key is the key";
        write_bmp16("sample16.bmp", q);
        SDL_Surface* s = SDL_LoadBMP("sample16.bmp");
        ASSERT_NE(s, nullptr) << SDL_GetError();
        ASSERT_EQ(std::make_tuple(s->w, s->h, s->format->BitsPerPixel, s->format->Rmask, s->format->Gmask),
                  std::make_tuple(5, 3, Uint8(16), 0xf800u, 0x07e0u));
        EXPECT_EQ(pixel16(s, 0, 0), SDL_MapRGB(s->format, 255, 0, 255)) << "the game's key, bit for bit";
        for (int i = 0; i < 15; i++)
            EXPECT_EQ(pixel16(s, i % 5, i / 5), pack565(q.at(i % 5, i / 5))) << i % 5 << "," << i / 5;
        SDL_FreeSurface(s);
    }
    // without dithering every colour is the 5-6-5 colour nearest below it
    Img q = to565(sample(), false);
    for (int x = 0; x < 5; x++)
        EXPECT_EQ(pack565(q.at(x, 1)), pack565(sample().at(x, 1)));

    write_png("sample.png", img);
    int w = 0, h = 0;
    std::vector<uint8_t> png = read_png_rgb("sample.png", w, h);
    ASSERT_EQ(w * 10 + h, 53);
    for (int i = 0; i < 15; i++)
        EXPECT_EQ(mkrgb(png[3 * i], png[3 * i + 1], png[3 * i + 2]), img.at(i % 5, i / 5)) << i;

    // The text sources: a font master as drawn, a sprite in its palette's
    // colours; a source with a mistake is refused.
    std::string rows = "#...... .......\n....... ......#\n";
    for (int i = 0; i < 5; i++)
        rows += "....... .......\n";
    std::vector<Mask> font = read_font(write_text("font.txt", "# a comment line\ncodes 65 66\n" + rows +
                                                                  "###.### .......\n"));
    ASSERT_EQ(font.size(), 95u);
    const Mask& a = font['A' - 32];
    EXPECT_TRUE(a.get(0, 0)) << "a row that starts with ink is a row, not a comment";
    EXPECT_TRUE(a.get(2, 7) && !a.get(3, 7));
    EXPECT_FALSE(a.get(7, 0)) << "the eighth column stays paper";
    EXPECT_TRUE(font['B' - 32].get(6, 1));
    EXPECT_EQ(font['a' - 32].on, a.on) << "lower case uses the capitals";
    EXPECT_EQ(font['b' - 32].on, font['B' - 32].on);
    for (int c : {' ', 'C', '~'})
        EXPECT_EQ(std::count(font[size_t(c - 32)].on.begin(), font[size_t(c - 32)].on.end(), 1), 0);

    SpriteFile f = read_sprites(write_text("sprites.txt", "palette p\na 102030\nb ffffff\n\nsprite s p\na.b\n.a.\n"));
    Img s = render_sprite(f, "s", "");
    ASSERT_EQ(s.w * 10 + s.h, 32);  // '.' is transparent
    EXPECT_EQ(s.px, std::vector<rgb>({0x102030, KEY, 0xffffff, KEY, 0x102030, KEY}));
    EXPECT_THROW(render_sprite(f, "nothing", ""), std::runtime_error);

    // ragged font rows, rows before a codes line, no file; a colour the
    // palette lacks, a ragged sprite
    write_text("ragged.txt", "codes 65 66\n#...... ......\n");
    write_text("stray.txt", "#...... .......\n");
    for (const char* bad : {"ragged.txt", "stray.txt", "no-such-file.txt"})
        EXPECT_THROW(read_font(bad), std::runtime_error) << bad;
    for (const char* bad : {"palette p\na 000000\n\nsprite s p\naz\n", "palette p\na 000000\n\nsprite s p\naa\na\n"})
        EXPECT_THROW(render_sprite(read_sprites(write_text("bad.txt", bad)), "s", ""), std::runtime_error) << bad;
}

namespace {

// Mean colour of a w x h block as a direction in RGB space, and the angle
// in degrees between two such directions: how far apart two hues are.
std::vector<double> mean_colour(const Img& img, int x0, int y0, int w, int h)
{
    std::vector<double> m(3, 0.0);
    for (int y = y0; y < y0 + h; y++)
        for (int x = x0; x < x0 + w; x++) {
            rgb c = img.at(x, y);
            m[0] += red(c), m[1] += green(c), m[2] += blue(c);
        }
    return m;
}

// The CIE Lab colour of an sRGB colour, and the distance of two colours in it.
std::vector<double> lab(rgb c)
{
    double v[3] = {red(c) / 255.0, green(c) / 255.0, blue(c) / 255.0};
    for (double& k : v)
        k = k <= 0.04045 ? k / 12.92 : std::pow((k + 0.055) / 1.055, 2.4);
    double xyz[3] = {(0.4124 * v[0] + 0.3576 * v[1] + 0.1805 * v[2]) / 0.9505, 0.2126 * v[0] + 0.7152 * v[1] + 0.0722 * v[2],
                     (0.0193 * v[0] + 0.1192 * v[1] + 0.9505 * v[2]) / 1.089};
    for (double& k : xyz)
        k = k > 0.008856 ? std::cbrt(k) : 7.787 * k + 16.0 / 116;
    return {116 * xyz[1] - 16, 500 * (xyz[0] - xyz[1]), 200 * (xyz[1] - xyz[2])};
}

double lab_distance(const std::vector<double>& a, const std::vector<double>& b)
{
    return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
}

double hue_angle(const std::vector<double>& a, const std::vector<double>& b)
{
    double cos = (a[0] * b[0] + a[1] * b[1] + a[2] * b[2]) / std::hypot(a[0], a[1], a[2]) /
                 std::hypot(b[0], b[1], b[2]);
    return std::acos(std::clamp(cos, -1.0, 1.0)) * 180.0 / 3.14159265358979;
}

}  // namespace

// Every line, life icon and score board the game draws sits inside a panel
// of its picture, a pixel clear of the panel's rim (the screen's edge serves
// where a panel runs off). The player stands in the middle of his cell, so
// that three pixels of the tile under him show on every side.
// The big words of each theme's pictures stand off the sky behind them (the
// aurora's green words once sat on its green veils): every pixel the words
// change lies, on average, at least 40 apart (CIE Lab) from the sky pixel it
// covers.
TEST(GfxScreens, EveryLineIconAndBoardSitsClearInsideAPanelThePlayerLeavesHisTileInSightAndBigWordsStandOffTheSky)
{
    auto inside = [](const Box& b, const Box& p) {
        return b.x0 >= std::max(p.x0 + 2, 0) && b.x1 <= std::min(p.x1 - 2, 319) && b.y0 >= std::max(p.y0 + 2, 0) &&
               b.y1 <= std::min(p.y1 - 2, 239);
    };
    Img player = player_sheet(read_sprites(GFX_ASSETS "/sprites.txt"));
    Box figure = {16, 16, -1, -1};  // the inked pixels of the four frames, within a cell
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 64; x++)
            if (player.at(x, y) != KEY)
                figure = {std::min(figure.x0, x % 16), std::min(figure.y0, y), std::max(figure.x1, x % 16),
                          std::max(figure.y1, y)};
    EXPECT_GE(std::min(std::min(figure.x0, figure.y0), std::min(15 - figure.x1, 15 - figure.y1)), 3)
        << "the player hides the edges of the tile he stands on";
    int checked = 0;
    for (const ScreenText& s : game_screens()) {
        std::vector<Box> panels = text_panels(s.picture);
        ASSERT_FALSE(panels.empty()) << s.picture;
        std::vector<std::pair<Box, std::string>> things;
        for (const TextLine& l : s.lines)
            if (l.framed)
                things.emplace_back(text_extent(l), l.text);
        for (auto [x, y] : s.boards)
            things.emplace_back(Box{x, y, x + 103, y + 23}, "the score board");
        for (int i = 0; s.picture == "top" && i < 10; i++)  // the life icons, right to left from x 288, y 16
            things.emplace_back(Box{288 - 16 * i + figure.x0, 16 + figure.y0, 288 - 16 * i + figure.x1, 16 + figure.y1},
                                "life icon " + std::to_string(i + 1));
        for (const auto& [b, what] : things) {
            checked++;
            EXPECT_TRUE(std::any_of(panels.begin(), panels.end(), [&](const Box& p) { return inside(b, p); }))
                << s.name << ": \"" << what << "\" at " << b.x0 << "," << b.y0 << " to " << b.x1 << "," << b.y1;
        }
    }
    EXPECT_GE(checked, 60);

    Fonts f;
    f.masters = read_font(GFX_ASSETS "/font8.txt");
    f.small = font_small_sheet(f.masters);
    f.medium = font_medium_sheet(f.masters);
    f.player = player_sheet(read_sprites(GFX_ASSETS "/sprites.txt"));
    const char* names[4] = {"title", "level start", "game over", "pause"};
    for (int t = 0; t < 3; t++) {
        int k = 0;
        for (auto picture : {title_picture, letsgo_picture, gameover_picture, paused_picture}) {
            Img with = picture(t, f, true), without = picture(t, f, false);
            double apart = 0;
            int n = 0;
            for (int y = 0; y < 240; y++)
                for (int x = 0; x < 320; x++)
                    if (with.at(x, y) != without.at(x, y)) {
                        apart += lab_distance(lab(with.at(x, y)), lab(without.at(x, y)));
                        n++;
                    }
            EXPECT_GE(apart / std::max(n, 1), 40.0) << "theme " << t << ", " << names[k];
            k++;
        }
    }
}

// The larger fonts are their masters doubled with the corners of diagonals
// rounded: a lone pixel becomes a 2 x 2 block.
TEST(GfxFonts, Scale2xRoundsOnlyDiagonalsLettersLeaveNoHolesAndTheCursorMarkClearsItsNeighbours)
{
    Mask dot(3, 3);
    dot.put(1, 1, true);
    Mask d2 = scale2x(dot);
    ASSERT_EQ(d2.w, 6);
    EXPECT_EQ(std::count(d2.on.begin(), d2.on.end(), 1), 4);
    EXPECT_TRUE(d2.get(2, 2) && d2.get(3, 3));

    Mask stair(2, 2);  // a diagonal step
    stair.put(0, 0, true);
    stair.put(1, 1, true);
    stair.put(1, 0, true);
    Mask s2 = scale2x(stair);
    // The outer corner is rounded off, the empty one stays empty, the inner one is filled in.
    EXPECT_EQ(std::vector<bool>({s2.get(2, 0), s2.get(3, 0), s2.get(0, 3), s2.get(1, 2), s2.get(0, 2)}),
              std::vector<bool>({true, false, false, true, false}));

    std::vector<Mask> masters = read_font(GFX_ASSETS "/font8.txt");
    for (auto [sheet, size] : {std::pair{font_medium_sheet(masters), 16}, {font_large_sheet(masters), 32}}) {
        // ink: bright pixels the empty space glyph does not have (outline and banner are dark or shared)
        auto span = [&, &sheet = sheet, size = size](char c) {
            int lo = size, hi = -1;
            for (int y = 0; y < size; y++)
                for (int x = 0; x < size; x++) {
                    rgb p = sheet.at(x, size * (c - 32) + y);
                    if (p != sheet.at(x, y) && red(p) + green(p) + blue(p) > 100)
                        lo = std::min(lo, x), hi = std::max(hi, x);
                }
            return std::pair{lo, hi};
        };
        // between two letters of a word no more than two master columns stay empty ("CONT INUE" had three)
        for (char a = 'A'; a <= 'Z'; a++)
            for (char b = 'A'; b <= 'Z'; b++)
                EXPECT_LE(size - 1 - span(a).second + span(b).first, size / 4) << size << ": " << a << b;
    }
    // The medium '.' marks the place under a typed word: at 176 it must clear
    // the result line at 190 and at 216 the score board's bottom row 219, and
    // be too wide to pass for the dot of an "i".
    Img medium = font_medium_sheet(masters);
    int top = 16, bottom = -1, left = 16, right = -1;
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++)
            if (medium.at(x, 16 * ('.' - 32) + y) != KEY)
                top = std::min(top, y), bottom = std::max(bottom, y), left = std::min(left, x), right = std::max(right, x);
    EXPECT_GT(216 + top, 219);
    EXPECT_LT(176 + bottom, 190);
    EXPECT_GE(right - left + 1, 10);
}

// Every hole of a level shows the same sky tile, so the sky repeats every 16
// pixels: across a tile's edge the colour changes as little as inside it
// (stars aside, hence the medians), and no star stands out of its tile (one
// that did would show as a grid of stars over the whole field).
// A tile must read as a tile, not a hole, on every sky of the levels that use
// its sheet (the first normal sheet over background columns 0-15, the second
// over 16-31, the classic one over 0-20): the colour of its outer band (three
// pixels deep, where it meets the hole) lies at least 20 apart (CIE Lab) from
// the sky's. Every theme has its own scroll strip.
TEST(GfxDrawing, SkyTilesAreSeamlessWithoutAGridOfStarsEveryTileStandsOffEverySkyOfItsSetAndEveryThemeHasItsOwnStrip)
{
    Img back = background_sheet();
    for (int col = 0; col < 32; col++)
        for (int row = 0; row < 4; row++) {
            auto luma = [&](int x, int y) {
                rgb c = back.at(col * 16 + (x & 15), row * 16 + (y & 15));
                return 0.299 * red(c) + 0.587 * green(c) + 0.114 * blue(c);
            };
            double brightest = 0;  // above the mean of its eight neighbours, round the tile's wrap
            for (int y = 0; y < 16; y++)
                for (int x = 0; x < 16; x++) {
                    double around = 0;
                    for (int j = -1; j <= 1; j++)
                        for (int i = -1; i <= 1; i++)
                            around += i || j ? luma(x + i, y + j) / 8 : 0;
                    brightest = std::max(brightest, luma(x, y) - around);
                }
            EXPECT_LE(brightest, 64) << "a star stands out of sky tile " << col << "," << row;
        }
    auto median = [](std::vector<int> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    for (int col : {0, 17, 31})
        for (int row = 0; row < 4; row++) {
            std::vector<int> inside, edge;
            auto step = [&](int x0, int y0, int x1, int y1) {
                rgb a = back.at(col * 16 + x0, row * 16 + y0), b = back.at(col * 16 + x1, row * 16 + y1);
                return std::abs(red(a) - red(b)) + std::abs(green(a) - green(b)) + std::abs(blue(a) - blue(b));
            };
            for (int i = 0; i < 16; i++) {
                for (int k = 0; k < 15; k++) {
                    inside.push_back(step(k, i, k + 1, i));
                    inside.push_back(step(i, k, i, k + 1));
                }
                edge.push_back(step(15, i, 0, i));
                edge.push_back(step(i, 15, i, 0));
            }
            EXPECT_LE(median(edge), 2 * median(inside) + 2) << "tile " << col << "," << row;
        }
    auto band_lab = [](const Img& img, int x0, int y0, int band) {  // the mean Lab colour of a tile's outer band
        std::vector<double> m(3, 0.0);
        int n = 0;
        for (int y = 0; y < 16; y++)
            for (int x = 0; x < 16; x++)
                if (std::min(std::min(x, y), std::min(15 - x, 15 - y)) < band) {
                    std::vector<double> c = lab(img.at(x0 + x, y0 + y));
                    for (int k = 0; k < 3; k++)
                        m[size_t(k)] += c[size_t(k)];
                    n++;
                }
        for (double& k : m)
            k /= n;
        return m;
    };
    const char* kinds[10] = {"field", "mine", "solid", "track", "track", "pusher up", "pusher down",
                             "pusher left", "pusher right", "teleporter"};
    struct Use {
        int sheet, first_col, last_col;
    };
    for (Use u : {Use{1, 0, 15}, Use{2, 16, 31}, Use{0, 0, 20}}) {
        Img sheet = tile_sheet(u.sheet);
        for (int k = 0; k < 10; k++) {
            std::vector<double> tile = band_lab(sheet, k == 9 ? 80 : 16 * (k % 5), k < 5 ? 0 : 16, 3);
            for (int col = u.first_col; col <= u.last_col; col++)
                for (int row = 0; row < 4; row++) {
                    double d = lab_distance(tile, band_lab(back, 16 * col, 16 * row, 16));
                    EXPECT_GE(d, 20.0) << "sheet " << u.sheet << " " << kinds[k] << " on sky " << col << "," << row;
                }
        }
    }
    // Levels 25-48 lay the amethyst plates over background columns 16-31,
    // whose colours turn away from violet.
    std::vector<double> plate = mean_colour(tile_sheet(2), 0, 0, 16, 16);
    for (int col = 16; col < 32; col++)
        for (int row = 0; row < 4; row++)
            EXPECT_GE(hue_angle(plate, mean_colour(back, 16 * col, 16 * row, 16, 16)), 25.0) << col << "," << row;
    // the strip behind the scroll text: blue ice, ember, aurora; the big
    // font's banner: navy, copper, violet (not the blue one in every theme)
    std::vector<Mask> masters = read_font(GFX_ASSETS "/font8.txt");
    for (int t = 0; t < 3; t++) {
        std::vector<double> m = mean_colour(back, SCROLL_STRIP_X, SCROLL_STRIP_H * t, 16, SCROLL_STRIP_H);
        int strongest = int(std::max_element(m.begin(), m.end()) - m.begin());
        EXPECT_EQ(strongest, t == 0 ? 2 : t == 1 ? 0 : 1) << "theme " << t;
        Img banner = font_large_sheet(masters, t);  // the space: banner alone
        rgb lit = banner.at(0, 0), mid = banner.at(0, 16);
        EXPECT_EQ(red(mid) > blue(mid), t == 1) << "banner of theme " << t;
        EXPECT_EQ(red(mid) > green(mid) && blue(mid) > green(mid) && 2 * red(mid) > blue(mid), t == 2)
            << "banner of theme " << t;
        EXPECT_GE(lab_distance(lab(lit), lab(mid)), 25.0) << "the banner's lit edge, theme " << t;
    }
}
