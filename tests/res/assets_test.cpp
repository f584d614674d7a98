// The pictures in data/gfx.qva and how the game loads, themes and releases them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "config/config.h"
#include "res/assets.h"
#include "res/qva.h"
#include "screens/highscore.h"
#include "support/boot.h"
#include "support/scratch.h"
#include "video/font.h"
#include "video/screen.h"

namespace {

struct Surface {
    SDL_Surface* s;
    explicit Surface(const char* name) : s(ZARN_LoadBMP(name)) {}
    ~Surface() { SDL_FreeSurface(s); }
};

// Colour of a pixel as 0xRRGGBB, whatever the surface's depth.
uint32_t pixel(SDL_Surface* s, int x, int y)
{
    const uint8_t* p = static_cast<const uint8_t*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
    uint32_t v = 0;
    memcpy(&v, p, s->format->BytesPerPixel);  // little-endian host
    uint8_t r, g, b;
    SDL_GetRGB(v, s->format, &r, &g, &b);
    return uint32_t(r) << 16 | uint32_t(g) << 8 | b;
}

// Pixels of the key colour in a rectangle.
int keyed(SDL_Surface* s, int x0, int y0, int w, int h)
{
    int n = 0;
    for (int y = y0; y < y0 + h; y++)
        for (int x = x0; x < x0 + w; x++)
            n += pixel(s, x, y) == 0xff00ff;
    return n;
}

// Opens the archives and starts up as main does, keeping gfx_scheme.
void start_up()
{
    openArchives();
    init_zarn();
}

bool same_pixels(SDL_Surface* a, SDL_Surface* b)
{
    if (!a || !b || a->w != b->w || a->h != b->h)
        return false;
    for (int y = 0; y < a->h; y++)
        for (int x = 0; x < a->w; x++)
            if (pixel(a, x, y) != pixel(b, x, y))
                return false;
    return true;
}

void expect_magenta_key(SDL_Surface* s, const char* what)
{
    ASSERT_NE(s, nullptr) << what;
    EXPECT_EQ(s->flags & (SDL_SRCCOLORKEY | SDL_RLEACCELOK), SDL_SRCCOLORKEY | SDL_RLEACCELOK) << what;
    EXPECT_EQ(s->format->colorkey, SDL_MapRGB(s->format, 255, 0, 255)) << what;
}

// Every entry of the build's gfx archive, read while the archive is open.
std::vector<qva_item> build_gfx_entries()
{
    openArchives();
    std::vector<qva_item> items;
    for (uint32_t i = 0; i < qva_count[QVA_GFX]; i++) {
        std::string name = qva_header[QVA_GFX][i].name;
        uint32_t len = 0;
        void* bytes = loadQVAFile(QVA_GFX, name.substr(0, name.size() - 4).c_str(), "bmp", &len);
        if (!bytes)
            continue;
        items.emplace_back(name, std::vector<uint8_t>(static_cast<uint8_t*>(bytes), static_cast<uint8_t*>(bytes) + len));
        free(bytes);
    }
    closeArchives();
    return items;
}

// A private ./data whose gfx archive lacks the named entries.
struct gfx_without {
    private_data data;
    explicit gfx_without(std::set<std::string> omitted, std::vector<qva_item> extra = {})
    {
        std::vector<qva_item> kept;
        for (auto& item : all)
            if (!omitted.count(item.first))
                kept.push_back(item);
        kept.insert(kept.end(), extra.begin(), extra.end());
        write_qva("data/gfx.qva", kept);
    }
    ~gfx_without() { closeArchives(); }
    static std::vector<qva_item> all;
};
std::vector<qva_item> gfx_without::all;

class Assets : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (gfx_without::all.empty())
            gfx_without::all = build_gfx_entries();
    }
    void SetUp() override { gfx_scheme = 0; }
    void TearDown() override
    {
        gfx_scheme = 0;
        closeArchives();
    }
};

}  // namespace

TEST_F(Assets, EveryPictureIsInTheArchiveWithTheSizeItsLayoutNeeds)
{
    openArchives();
    struct Expect {
        const char* name;
        int w, h;  // 0: at least what the check below says
    };
    const Expect exact[] = {
        {"zarn-tiles-0", 144, 64}, {"zarn-tiles-1", 144, 64}, {"zarn-tiles-2", 144, 64}, {"trans16x16", 16, 16},
        {"scrbrd", 104, 24},       {"fontbig", 32, 0},        {"fontmedium", 16, 0},     {"fontsmall", 0, 8},
        {"zarn-anim", 0, 16},      {"zarn-texturen", 0, 64},  {"qv-quor", 0, 0},         {"qv-logo", 0, 0},
    };
    for (const Expect& e : exact) {
        Surface s(e.name);
        ASSERT_NE(s.s, nullptr) << e.name;
        if (e.w) {
            EXPECT_EQ(s.s->w, e.w) << e.name;
        }
        if (e.h) {
            EXPECT_EQ(s.s->h, e.h) << e.name;
        }
    }
    EXPECT_GE(Surface("fontbig").s->h, 32 * 95);  // space to '~'
    EXPECT_GE(Surface("fontmedium").s->h, 16 * 95);
    EXPECT_GE(Surface("fontsmall").s->w, 8 * 50);  // up to ')' at glyph 49
    EXPECT_GE(Surface("zarn-anim").s->w, 64);
    EXPECT_GE(Surface("zarn-texturen").s->w, 528);  // 33 columns, scroll cell at 512

    for (const char* suffix : {"", "2", "3"})
        for (const char* base : {"zarn-title", "zarn-letsgo", "zarn-gameover", "zarn-paused", "zarn-top"}) {
            std::string name = std::string(base) + suffix;
            Surface s(name.c_str());
            ASSERT_NE(s.s, nullptr) << name;
            EXPECT_EQ(s.s->w, 320) << name;
            EXPECT_EQ(s.s->h, strcmp(base, "zarn-top") ? 240 : 48) << name;
        }

    // The name logo slides in by 4 pixels a frame from x 360 and must stop on
    // its resting place exactly, with its bottom on row 180.
    Surface logo("qv-logo"), mascot("qv-quor");
    int rest = (320 - logo.s->w) >> 1;
    EXPECT_EQ((360 - rest) % 4, 0);
    EXPECT_LE(logo.s->h, 180);
    EXPECT_LE(mascot.s->h / 2 + 8, 100) << "the mascot would leave the top of the screen";
}

TEST_F(Assets, KeyedPicturesAreTransparentWhereTheyShouldBe)
{
    openArchives();
    Surface big("fontbig"), medium("fontmedium"), small("fontsmall");
    EXPECT_EQ(keyed(big.s, 0, 0, 32, 32), 32 * 32) << "the space glyph draws nothing";
    EXPECT_EQ(keyed(medium.s, 0, 0, 16, 16), 16 * 16);
    for (int c : {'A', 'Z', '0', '9'}) {
        int bk = keyed(big.s, 0, 32 * (c - 32), 32, 32), mk = keyed(medium.s, 0, 16 * (c - 32), 16, 16);
        EXPECT_GT(bk, 32 * 32 / 8) << char(c);  // an outlined glyph, not a block
        EXPECT_LT(bk, 32 * 32) << char(c);
        EXPECT_GT(mk, 16 * 16 / 8) << char(c);
        EXPECT_LT(mk, 16 * 16) << char(c);
    }
    // "%05d~" prints the end mark after every score: at most a small mark
    EXPECT_GE(keyed(medium.s, 0, 16 * ('~' - 32), 16, 16), 16 * 16 * 9 / 10);
    EXPECT_GE(keyed(big.s, 0, 32 * ('~' - 32), 32, 32), 32 * 32 * 9 / 10);
    for (int g : {0, 10, 35, 36, 42, 48, 49}) {  // '0', 'A', 'Z', '!', ':', '(', ')'
        int k = keyed(small.s, 8 * g, 0, 8, 8);
        EXPECT_GE(k, 8) << "small glyph " << g;
        EXPECT_LT(k, 64) << "small glyph " << g;
    }
    // lower and upper case share the large glyphs
    EXPECT_EQ(keyed(big.s, 0, 32 * ('a' - 32), 32, 32), keyed(big.s, 0, 32 * ('A' - 32), 32, 32));

    for (const char* sheet : {"zarn-tiles-0", "zarn-tiles-1", "zarn-tiles-2"}) {
        Surface t(sheet);
        EXPECT_EQ(keyed(t.s, 0, 0, 144, 32), 0) << sheet << ": field tiles are whole";
        for (int f = 0; f < 9; f++)
            EXPECT_GT(keyed(t.s, 16 * f, 32, 16, 16), 0) << sheet << ": explosion frame " << f;
        for (int f = 1; f < 4; f++)
            EXPECT_GT(keyed(t.s, 16 * f, 48, 16, 16), keyed(t.s, 16 * (f - 1), 48, 16, 16))
                << sheet << ": dissolve frame " << f << " shows more of the hole";
        // each mine and teleporter frame differs from the next: they animate
        for (int row : {0, 1})
            for (int f = 5; f < 9; f++) {
                bool differs = false;
                int next = f == 8 ? 5 : f + 1;
                for (int y = 0; y < 16 && !differs; y++)
                    for (int x = 0; x < 16 && !differs; x++)
                        differs = pixel(t.s, 16 * f + x, 16 * row + y) != pixel(t.s, 16 * next + x, 16 * row + y);
                EXPECT_TRUE(differs) << sheet << " row " << row << " frame " << f;
            }
    }
    Surface player("zarn-anim");
    for (int f = 0; f < 4; f++) {
        int k = keyed(player.s, 16 * f, 0, 16, 16);
        EXPECT_GT(k, 40) << "player frame " << f;
        EXPECT_LT(k, 200) << "player frame " << f;
    }
    Surface raster("trans16x16");
    int holes = keyed(raster.s, 0, 0, 16, 16);
    EXPECT_GT(holes, 64);
    EXPECT_LT(holes, 192);
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++)
            if (uint32_t c = pixel(raster.s, x, y); c != 0xff00ff) {
                EXPECT_LT((c >> 16) + (c >> 8 & 255) + (c & 255), 96u) << "the raster only darkens";
            }
    for (const char* bar : {"zarn-top", "zarn-top2", "zarn-top3"}) {
        Surface t(bar);
        EXPECT_EQ(keyed(t.s, 128, 32, 192, 16), 192 * 16) << bar << ": the scroll strip shows through";
    }
}

TEST_F(Assets, NamesFindTheirEntryWhateverTheFolderPart)
{
    EXPECT_STREQ(base_name("gfx/zarn-anim"), "zarn-anim");
    EXPECT_STREQ(base_name("gfx\\zarn-anim"), "zarn-anim");
    EXPECT_STREQ(base_name("zarn-anim"), "zarn-anim");
    EXPECT_STREQ(base_name("a/b/c"), "b/c");     // only the first separator counts
    EXPECT_STREQ(base_name("a\\b/c"), "c");      // a slash anywhere wins over backslashes
    EXPECT_STREQ(base_name("sfx\\x\\y"), "x\\y");
    EXPECT_STREQ(base_name("gfx/"), "");

    openArchives();
    Surface slash("gfx/zarn-anim"), backslash("gfx\\zarn-anim"), bare("zarn-anim"), other("whatever/zarn-anim");
    ASSERT_NE(slash.s, nullptr);
    EXPECT_TRUE(same_pixels(slash.s, backslash.s));
    EXPECT_TRUE(same_pixels(slash.s, bare.s));
    EXPECT_TRUE(same_pixels(slash.s, other.s)) << "the archive is always gfx, whatever the folder";
    EXPECT_EQ(Surface("gfx/no-such-picture").s, nullptr);
    EXPECT_EQ(Surface("gfx/gfx/zarn-anim").s, nullptr);
    EXPECT_EQ(ZARN_LoadBMP(nullptr), nullptr);
    EXPECT_EQ(Surface("gfx/zarn-anim").s->flags & SDL_SRCCOLORKEY, 0u) << "the loader sets no key";
}

TEST_F(Assets, DamagedBitmapGivesNoSurface)
{
    std::vector<uint8_t> junk = {'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8, 9};
    gfx_without arch({}, {{"broken.bmp", junk}});
    openArchives();
    EXPECT_EQ(Surface("gfx/broken").s, nullptr);
    EXPECT_NE(Surface("gfx/fontbig").s, nullptr);
}

TEST_F(Assets, StartUpLoadsEveryImageKeyedAsTheDrawingCodeExpects)
{
    srand(1);
    boot_game();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(tiles, tiles1);
    for (auto [s, what] : {std::pair{tiles1, "tiles1"}, {tiles2, "tiles2"}, {classic_tiles, "classic"},
                           {font_large, "large"}, {font_small, "small"}, {font_medium, "medium"},
                           {anim, "anim"}, {raster, "raster"}, {scoreboard, "scoreboard"}, {top, "top"}})
        expect_magenta_key(s, what);
    for (SDL_Surface* s : {tiles_back, gameover, letsgo, zarnmenu, paused}) {
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->flags & SDL_SRCCOLORKEY, 0u);
    }
    ASSERT_NE(tiles_backcurrent, nullptr);
    EXPECT_EQ(tiles_backcurrent->w, 32);
    EXPECT_EQ(tiles_backcurrent->h, 32);
    EXPECT_EQ(tiles_backcurrent->format->BitsPerPixel, screen->format->BitsPerPixel);
    EXPECT_EQ(tiles_backcurrent->format->Rmask, screen->format->Rmask);
    EXPECT_EQ(tiles_backcurrent->format->Gmask, screen->format->Gmask);
    EXPECT_EQ(tiles_backcurrent->flags & SDL_SRCCOLORKEY, 0u);

    // the default high-score table
    std::set<std::string> names(std::begin(score_names), std::end(score_names));
    for (int i = 0; i < HIGHSCORE_PLACES; i++) {
        EXPECT_GE(high_scores[i], 600 - 100 * i - 94) << "place " << i + 1;
        EXPECT_LE(high_scores[i], 600 - 100 * i - 31) << "place " << i + 1;
        EXPECT_TRUE(names.count(high_names[i])) << high_names[i];
    }

    // a picture that is missing is simply not drawn
    SDL_Surface* saved = zarnmenu;
    zarnmenu = nullptr;
    EXPECT_LT(drawPic(screen, 0, 0, 320, 240, zarnmenu, 0, 0, 320, 240), 0);
    zarnmenu = saved;

    shutdown_game();
    for (SDL_Surface* s : {screen, fscreen, tiles, tiles1, tiles2, classic_tiles, tiles_back, tiles_backcurrent,
                           font_large, font_small, font_medium, anim, raster, scoreboard, gameover, letsgo,
                           zarnmenu, paused, top})
        EXPECT_EQ(s, nullptr);
    freestuff();  // a second release finds nothing to free twice
}

TEST_F(Assets, DefaultHighScoresStayInTheirRangesForAnySeed)
{
    std::set<std::string> names(std::begin(score_names), std::end(score_names));
    for (unsigned seed = 0; seed < 300; seed++) {
        srand(seed);
        fill_default_highscores();
        EXPECT_GE(high_scores[0], 506);
        EXPECT_LE(high_scores[0], 569);
        EXPECT_GE(high_scores[5], 6);
        EXPECT_LE(high_scores[5], 69);
        for (int i = 0; i < HIGHSCORE_PLACES; i++)
            ASSERT_TRUE(names.count(high_names[i])) << "seed " << seed << " place " << i + 1;
    }
}

TEST_F(Assets, ThemesSwapTheFivePicturesAsOneSet)
{
    openArchives();
    struct Case {
        int scheme;
        const char* title;
    };
    for (Case c : {Case{0, "zarn-title"}, {1, "zarn-title2"}, {2, "zarn-title3"}, {-1, "zarn-title"},
                   {-7, "zarn-title"}}) {
        gfx_scheme = c.scheme;
        load_newtheme();
        Surface expected(c.title);
        EXPECT_TRUE(same_pixels(zarnmenu, expected.s)) << "scheme " << c.scheme;
        EXPECT_NE(gameover, nullptr);
        EXPECT_NE(letsgo, nullptr);
        EXPECT_NE(paused, nullptr);
        expect_magenta_key(top, "top");
    }
    EXPECT_STREQ(tmp_string, "gfx/zarn-top") << "names are formed in the shared buffer";

    // A theme the data lacks (a hand-edited file says 7) falls back to the first.
    gfx_scheme = 7;
    load_newtheme();
    EXPECT_EQ(gfx_scheme, 0);
    Surface first("zarn-title");
    EXPECT_TRUE(same_pixels(zarnmenu, first.s));
    expect_magenta_key(top, "top");

    // Hold one extra reference to each surface: a theme change must release
    // each old one exactly once, leaving only our reference.
    gfx_scheme = 1;
    load_newtheme();
    SDL_Surface* old[5] = {gameover, letsgo, zarnmenu, paused, top};
    for (SDL_Surface* s : old)
        s->refcount++;
    gfx_scheme = 2;
    load_newtheme();
    for (SDL_Surface* s : old) {
        EXPECT_EQ(s->refcount, 1);
        SDL_FreeSurface(s);
    }
    for (SDL_Surface* s : {gameover, letsgo, zarnmenu, paused, top})
        for (SDL_Surface* o : old)
            EXPECT_NE(s, o);
    freestuff();
}

TEST_F(Assets, AMissingOptionalPictureLeavesTheOthersLoaded)
{
    gfx_without arch({"zarn-paused2.bmp", "zarn-texturen.bmp"});
    openArchives();
    gfx_scheme = 1;
    load_newtheme();
    EXPECT_EQ(paused, nullptr);
    EXPECT_NE(gameover, nullptr);
    EXPECT_NE(letsgo, nullptr);
    EXPECT_NE(zarnmenu, nullptr);
    EXPECT_NE(top, nullptr);
    gfx_scheme = 0;
    load_newtheme();
    EXPECT_NE(paused, nullptr) << "the first theme still has its pause picture";
    freestuff();
    closeArchives();

    boot_game();
    EXPECT_EQ(tiles_back, nullptr);
    EXPECT_NE(tiles_backcurrent, nullptr);
    EXPECT_NE(font_large, nullptr);
    shutdown_game();
}

TEST_F(Assets, AMissingRequiredPictureStopsWithItsName)
{
    GTEST_FLAG_SET(death_test_style, "fast");  // the child must see this private ./data
    {
        gfx_without arch({"fontbig.bmp", "scrbrd.bmp"});
        EXPECT_EXIT(start_up(), testing::ExitedWithCode(1), "^Missing image gfx/fontbig in data/gfx.qva\n$");
    }
    {
        gfx_without arch({"zarn-tiles-2.bmp"});
        EXPECT_EXIT(start_up(), testing::ExitedWithCode(1), "^Missing image gfx/zarn-tiles-2 in data/gfx.qva\n$");
    }
    {
        gfx_without arch({"zarn-top.bmp"});
        gfx_scheme = 0;
        EXPECT_EXIT(start_up(), testing::ExitedWithCode(1), "^Missing image gfx/zarn-top in data/gfx.qva\n$");
    }
    {
        // Another theme's top bar missing: the first theme stands in.
        gfx_without arch({"zarn-top3.bmp"});
        gfx_scheme = 2;
        EXPECT_EXIT(
            {
                start_up();
                exit(gfx_scheme == 0 && top ? 7 : 8);
            },
            testing::ExitedWithCode(7), "");
    }
}
