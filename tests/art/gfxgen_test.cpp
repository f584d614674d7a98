// The picture generator: its file writers, its readers of the text sources,
// and the properties the game relies on in what it draws.
#include <gtest/gtest.h>
#include <zlib.h>

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "art.h"
#include "support/scratch.h"

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

uint32_t be32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

bool same(const Img& a, const Img& b)
{
    return a.w == b.w && a.h == b.h && a.px == b.px;
}

}  // namespace

TEST(GfxFiles, BitmapsReadBackThroughSdlPixelForPixel)
{
    Img img = sample();
    write_bmp("sample.bmp", img);
    SDL_Surface* s = SDL_LoadBMP("sample.bmp");
    ASSERT_NE(s, nullptr) << SDL_GetError();
    ASSERT_EQ(s->w, 5);
    ASSERT_EQ(s->h, 3);
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 5; x++) {
            const uint8_t* p = static_cast<const uint8_t*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
            uint32_t v = 0;
            memcpy(&v, p, s->format->BytesPerPixel);
            uint8_t r, g, b;
            SDL_GetRGB(v, s->format, &r, &g, &b);
            EXPECT_EQ(mkrgb(r, g, b), img.at(x, y)) << x << "," << y;
        }
    SDL_FreeSurface(s);
}

TEST(GfxFiles, SixteenBitBitmapsKeepTheKeyAndTheScreenColours)
{
    Img img = sample();
    img.set(0, 0, KEY);
    img.set(1, 0, 0xfc02fc);  // so close to magenta that 5-6-5 would make it the key
    for (bool dither : {false, true}) {
        Img q = to565(img, dither);
        EXPECT_EQ(q.at(0, 0), KEY);
        EXPECT_NE(q.at(1, 0), KEY) << "only the key is the key";
        write_bmp16("sample16.bmp", q);
        SDL_Surface* s = SDL_LoadBMP("sample16.bmp");
        ASSERT_NE(s, nullptr) << SDL_GetError();
        ASSERT_EQ(s->format->BitsPerPixel, 16);
        EXPECT_EQ(s->format->Rmask, 0xf800u);
        EXPECT_EQ(s->format->Gmask, 0x07e0u);
        for (int y = 0; y < 3; y++)
            for (int x = 0; x < 5; x++) {
                uint16_t v;
                memcpy(&v, static_cast<const uint8_t*>(s->pixels) + y * s->pitch + 2 * x, 2);
                EXPECT_EQ(v, pack565(q.at(x, y))) << x << "," << y;
                if (x == 0 && y == 0) {
                    EXPECT_EQ(v, SDL_MapRGB(s->format, 255, 0, 255)) << "the game's key, bit for bit";
                }
            }
        SDL_FreeSurface(s);
    }
    // without dithering every colour is the 5-6-5 colour nearest below it
    Img q = to565(sample(), false);
    for (int x = 0; x < 5; x++)
        EXPECT_EQ(pack565(q.at(x, 1)), pack565(sample().at(x, 1)));
}

TEST(GfxFiles, PngHasValidChunksAndTheSameRows)
{
    Img img = sample();
    write_png("sample.png", img);
    std::vector<uint8_t> f = read_bytes("sample.png");
    const uint8_t sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    ASSERT_GE(f.size(), 8u);
    ASSERT_EQ(memcmp(f.data(), sig, 8), 0);
    std::vector<uint8_t> idat;
    std::vector<std::string> order;
    for (size_t at = 8; at + 12 <= f.size();) {
        uint32_t len = be32(&f[at]);
        ASSERT_LE(at + 12 + len, f.size());
        std::string type(reinterpret_cast<const char*>(&f[at + 4]), 4);
        order.push_back(type);
        uint32_t crc = uint32_t(crc32(0, &f[at + 4], len + 4));
        EXPECT_EQ(crc, be32(&f[at + 8 + len])) << type;
        if (type == "IHDR") {
            EXPECT_EQ(be32(&f[at + 8]), 5u);
            EXPECT_EQ(be32(&f[at + 12]), 3u);
            EXPECT_EQ(f[at + 16], 8);  // bits per channel
            EXPECT_EQ(f[at + 17], 2);  // RGB
        }
        if (type == "IDAT")
            idat.insert(idat.end(), &f[at + 8], &f[at + 8 + len]);
        at += 12 + len;
    }
    EXPECT_EQ(order, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    std::vector<uint8_t> raw(3 * (1 + 5 * 3));
    uLongf rawlen = raw.size();
    ASSERT_EQ(uncompress(raw.data(), &rawlen, idat.data(), idat.size()), Z_OK);
    ASSERT_EQ(rawlen, raw.size());
    for (int y = 0; y < 3; y++) {
        EXPECT_EQ(raw[size_t(y) * 16], 0) << "filter byte";
        for (int x = 0; x < 5; x++) {
            const uint8_t* p = &raw[size_t(y) * 16 + 1 + 3 * x];
            EXPECT_EQ(mkrgb(p[0], p[1], p[2]), img.at(x, y));
        }
    }
}

TEST(GfxSources, FontMastersReadAsDrawn)
{
    std::string path = write_text("font.txt",
                                  "# a comment line\n"
                                  "codes 65 66\n"
                                  "#...... .......\n"
                                  "....... ......#\n"
                                  "....... .......\n"
                                  "....... .......\n"
                                  "....... .......\n"
                                  "....... .......\n"
                                  "....... .......\n"
                                  "###.### .......\n");
    std::vector<Mask> font = read_font(path);
    ASSERT_EQ(font.size(), 95u);
    const Mask& a = font['A' - 32];
    EXPECT_TRUE(a.get(0, 0)) << "a row that starts with ink is a row, not a comment";
    EXPECT_TRUE(a.get(2, 7));
    EXPECT_FALSE(a.get(3, 7));
    EXPECT_FALSE(a.get(7, 0)) << "the eighth column stays paper";
    EXPECT_TRUE(font['B' - 32].get(6, 1));
    EXPECT_EQ(font['a' - 32].on, a.on) << "lower case uses the capitals";
    EXPECT_EQ(font['b' - 32].on, font['B' - 32].on);
    for (int c : {' ', 'C', '~'})
        EXPECT_EQ(std::count(font[size_t(c - 32)].on.begin(), font[size_t(c - 32)].on.end(), 1), 0);

    write_text("ragged.txt", "codes 65 66\n#...... ......\n");
    EXPECT_THROW(read_font("ragged.txt"), std::runtime_error);
    write_text("stray.txt", "#...... .......\n");
    EXPECT_THROW(read_font("stray.txt"), std::runtime_error) << "rows need a codes line first";
    EXPECT_THROW(read_font("no-such-file.txt"), std::runtime_error);
}

TEST(GfxSources, SpritesUseTheirPalettesAndRejectMistakes)
{
    write_text("sprites.txt",
               "palette p\n"
               "a 102030\n"
               "b ffffff\n"
               "\n"
               "sprite s p\n"
               "a.b\n"
               ".a.\n");
    SpriteFile f = read_sprites("sprites.txt");
    Img s = render_sprite(f, "s", "");
    ASSERT_EQ(s.w, 3);
    ASSERT_EQ(s.h, 2);
    EXPECT_EQ(s.at(0, 0), 0x102030u);
    EXPECT_EQ(s.at(1, 0), KEY) << "'.' is transparent";
    EXPECT_EQ(s.at(2, 0), 0xffffffu);
    EXPECT_EQ(s.at(1, 1), 0x102030u);
    EXPECT_THROW(render_sprite(f, "nothing", ""), std::runtime_error);

    write_text("bad-colour.txt", "palette p\na 000000\n\nsprite s p\naz\n");
    SpriteFile bad = read_sprites("bad-colour.txt");
    EXPECT_THROW(render_sprite(bad, "s", ""), std::runtime_error);
    write_text("ragged.txt", "palette p\na 000000\n\nsprite s p\naa\na\n");
    SpriteFile ragged = read_sprites("ragged.txt");
    EXPECT_THROW(render_sprite(ragged, "s", ""), std::runtime_error);
}

TEST(GfxDrawing, Scale2xDoublesAndRoundsOnlyDiagonals)
{
    Mask dot(3, 3);
    dot.put(1, 1, true);
    Mask d2 = scale2x(dot);
    ASSERT_EQ(d2.w, 6);
    int on = 0;
    for (int y = 0; y < 6; y++)
        for (int x = 0; x < 6; x++)
            on += d2.get(x, y);
    EXPECT_EQ(on, 4) << "a lone pixel becomes a 2 x 2 block";
    EXPECT_TRUE(d2.get(2, 2) && d2.get(3, 3));

    Mask stair(2, 2);  // a diagonal step
    stair.put(0, 0, true);
    stair.put(1, 1, true);
    stair.put(1, 0, true);
    Mask s2 = scale2x(stair);
    EXPECT_TRUE(s2.get(2, 0));
    EXPECT_FALSE(s2.get(3, 0)) << "the outer corner is rounded off";
    EXPECT_FALSE(s2.get(0, 3)) << "the empty corner stays empty";
    EXPECT_TRUE(s2.get(1, 2)) << "the inner corner is filled in";
    EXPECT_FALSE(s2.get(0, 2));
}

TEST(GfxDrawing, BackgroundNoiseRepeatsSoTilesAreSeamless)
{
    for (int period : {16, 32})
        for (double y = 0; y < 16; y += 1.5)
            for (double x = 0; x < 16; x += 1.25) {
                EXPECT_DOUBLE_EQ(fbm(x, y, period, 9), fbm(x + period, y, period, 9));
                EXPECT_DOUBLE_EQ(fbm(x, y, period, 9), fbm(x, y + period, period, 9));
            }
    // across a tile's edge the colour changes as little as inside it (stars
    // aside, hence the medians)
    Img back = background_sheet();
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
}

TEST(GfxDrawing, TileSheetsAreDeterministicAndTheMineBlinks)
{
    EXPECT_TRUE(same(tile_sheet(1), tile_sheet(1)));
    EXPECT_FALSE(same(tile_sheet(1), tile_sheet(2))) << "the second sheet is a variation";
    EXPECT_FALSE(same(tile_sheet(1), tile_sheet(0)));
    for (int style = 0; style < 3; style++) {
        Img t = tile_sheet(style);
        auto lamp = [&](int frame) {  // brightness of the lamp in the mine's middle
            int sum = 0;
            for (int y = 7; y <= 8; y++)
                for (int x = 7; x <= 8; x++) {
                    rgb c = t.at(16 * (5 + frame) + x, y);
                    sum += red(c) + green(c) + blue(c);
                }
            return sum;
        };
        EXPECT_GT(lamp(0), lamp(1)) << style;
        EXPECT_GT(lamp(1), lamp(2)) << style;
        EXPECT_EQ(lamp(1), lamp(3)) << style << ": it fades back as it faded out";
    }
}
