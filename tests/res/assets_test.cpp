// The pictures in data/gfx.qva and how the game loads, themes and releases them.
#include "support/game.h"

#include <map>

namespace {

struct Surface {
    SDL_Surface* s;
    explicit Surface(const char* name) : s(ZARN_LoadBMP(name)) {}
    ~Surface() { SDL_FreeSurface(s); }
};

// The key colour, as the picture's own format stores it.
uint16_t key_of(SDL_Surface* s)
{
    return uint16_t(SDL_MapRGB(s->format, 255, 0, 255));
}

// Pixels of the key colour in a rectangle.
int keyed(SDL_Surface* s, int x0, int y0, int w, int h)
{
    int n = 0;
    SDL_LockSurface(s);  // its pixels, even once drawn run-length encoded
    for (int y = y0; y < y0 + h; y++)
        for (int x = x0; x < x0 + w; x++)
            n += pixel16(s, x, y) == key_of(s);
    SDL_UnlockSurface(s);
    return n;
}

// Two pictures loaded alike (so of one format) hold the same pixels.
bool same_pixels(SDL_Surface* a, SDL_Surface* b)
{
    return a && b && a->w == b->w && a->h == b->h && memcmp(a->pixels, b->pixels, size_t(a->h) * a->pitch) == 0;
}

// A 5-6-5 picture whose key is magenta, with pixels of it: those are left
// out wherever it is drawn.
void expect_magenta_key(SDL_Surface* s, const char* what)
{
    ASSERT_NE(s, nullptr) << what;
    ASSERT_EQ(s->format->BitsPerPixel, 16) << what;
    ASSERT_TRUE(s->flags & SDL_SRCCOLORKEY) << what;
    EXPECT_EQ(s->format->colorkey, SDL_MapRGB(s->format, 255, 0, 255)) << what;
    EXPECT_GT(keyed(s, 0, 0, s->w, s->h), 0) << what << ": nothing is transparent";
}

// The build's gfx entries, read once.
const std::vector<qva_item>& build_gfx()
{
    static const std::vector<qva_item> all = [] {
        std::vector<qva_item> entries;
        openArchives();
        for (uint32_t i = 0; i < qva_count[QVA_GFX]; i++) {
            std::string name = qva_header[QVA_GFX][i].name;
            entries.emplace_back(name, archive_entry(QVA_GFX, name.substr(0, name.size() - 4), "bmp"));
        }
        closeArchives();
        return entries;
    }();
    return all;
}

// A private ./data whose gfx archive is the build's without the named
// entries, plus the extra ones.
struct gfx_without {
    const std::vector<qva_item>& all = build_gfx();  // before ./data is swapped
    private_data data;
    explicit gfx_without(const std::set<std::string>& omitted, std::vector<qva_item> extra = {})
    {
        for (auto& item : all)
            if (!omitted.count(item.first))
                extra.push_back(item);
        write_qva("data/gfx.qva", extra);
    }
    ~gfx_without() { closeArchives(); }
};

struct Assets : testing::Test {
    void SetUp() override { gfx_scheme = 0; }
    void TearDown() override
    {
        gfx_scheme = 0;
        closeArchives();
    }
};

}  // namespace

// Start-up loads every picture keyed as the drawing code expects, each
// transparent just where the game draws through it; the game refuses pictures
// smaller than their role needs (the tests of missing pictures below see
// that), and those drawn whole are no larger either. Shutting down releases
// them all.
TEST_F(Assets, StartUpLoadsEveryPictureTransparentWhereItShouldBeAndShutDownReleasesThem)
{
    boot_game();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(tiles, tiles1);
    for (auto [s, what, w, h] :
         {std::tuple{tiles1, "tiles1", 144, 64}, {tiles2, "tiles2", 144, 64}, {classic_tiles, "classic", 144, 64},
          {font_large, "large", 0, 0}, {font_small, "small", 0, 0}, {font_medium, "medium", 0, 0},
          {anim, "anim", 0, 0}, {hint_arrows, "hint", 64, 16}, {raster, "raster", 16, 16},
          {scoreboard, "scoreboard", 104, 24}, {top, "top", 320, 48}}) {
        expect_magenta_key(s, what);
        if (s && w) {
            EXPECT_EQ(std::make_pair(s->w, s->h), std::make_pair(w, h)) << what;
        }
    }
    for (SDL_Surface* s : {tiles_back, theme_picture(PICTURE_PAUSED)}) {
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->flags & SDL_SRCCOLORKEY, 0u);
    }
    // The background tile drawn each frame: 32 x 32 in the screen's own format.
    ASSERT_NE(tiles_backcurrent, nullptr);
    EXPECT_EQ(tiles_backcurrent->w * 100 + tiles_backcurrent->h, 3232);
    EXPECT_EQ(tiles_backcurrent->format->BitsPerPixel, screen->format->BitsPerPixel);
    EXPECT_EQ(tiles_backcurrent->format->Gmask, screen->format->Gmask);
    EXPECT_EQ(tiles_backcurrent->flags & SDL_SRCCOLORKEY, 0u);

    // Keyed pixels in each (x, y, size) cell must lie in [low, high].
    auto expect_keyed = [](SDL_Surface* s, int x, int y, int size, int low, int high, const std::string& what) {
        int k = keyed(s, x, y, size, size);
        EXPECT_TRUE(k >= low && k <= high) << what << ": " << k << " keyed pixels";
    };
    expect_keyed(font_medium, 0, 0, 16, 256, 256, "the space glyph draws nothing");
    for (int c : {'A', 'Z', '0', '9'}) {  // outlined glyphs, not blocks; the large ones stand on a solid banner
        expect_keyed(font_medium, 0, 16 * (c - 32), 16, 16 * 16 / 8 + 1, 255, std::string(1, char(c)));
        expect_keyed(font_large, 0, 32 * (c - 32), 32, 0, 0, std::string("large ") + char(c));
    }
    expect_keyed(font_large, 0, 0, 32, 0, 0, "the large space carries the banner between words");
    // "%05d~" prints the end mark after every score: at most a small mark
    for (auto [s, n] : {std::pair{font_large, 32}, {font_medium, 16}})
        expect_keyed(s, 0, n * ('~' - 32), n, n * n * 9 / 10, n * n, "~");
    for (int g : {0, 10, 35, 36, 42, 48, 49})  // '0', 'A', 'Z', '!', ':', '(', ')'
        expect_keyed(font_small, 8 * g, 0, 8, 8, 63, "small glyph " + std::to_string(g));
    for (SDL_Surface* t : {classic_tiles, tiles1, tiles2}) {
        const std::string sheet = "tile sheet " + std::to_string(t == tiles1 ? 1 : t == tiles2 ? 2 : 0);
        EXPECT_EQ(keyed(t, 0, 0, 144, 32), 0) << sheet << ": field tiles are whole";
        for (int f = 0; f < 9; f++)
            EXPECT_GT(keyed(t, 16 * f, 32, 16, 16), 0) << sheet << ": explosion frame " << f;
        for (int f = 1; f < 4; f++)
            EXPECT_GT(keyed(t, 16 * f, 48, 16, 16), keyed(t, 16 * (f - 1), 48, 16, 16))
                << sheet << ": dissolve frame " << f << " shows more of the hole";
        // each mine and teleporter frame differs from the next: they animate
        SDL_LockSurface(t);
        for (int row : {0, 1})
            for (int f = 5; f < 9; f++) {
                int next = f == 8 ? 5 : f + 1, differ = 0;
                for (int i = 0; i < 256; i++)
                    differ += pixel16(t, 16 * f + i % 16, 16 * row + i / 16) != pixel16(t, 16 * next + i % 16, 16 * row + i / 16);
                EXPECT_GT(differ, 0) << sheet << " row " << row << " frame " << f;
            }
        SDL_UnlockSurface(t);
    }
    for (int f = 0; f < 4; f++)
        expect_keyed(anim, 16 * f, 0, 16, 41, 199, "player frame " + std::to_string(f));
    expect_keyed(raster, 0, 0, 16, 65, 191, "the raster");
    const int way[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
    SDL_LockSurface(hint_arrows);
    for (int f = 0; f < 4; f++) {  // up, down, left, right: straight, and narrowing to the tip
        std::map<int, int> width;  // drawn pixels by their distance along the arrow
        int across = 0;
        for (int i = 0; i < 256; i++)
            if (pixel16(hint_arrows, 16 * f + i % 16, i / 16) != key_of(hint_arrows)) {
                int dx = 2 * (i % 16) - 15, dy = 2 * (i / 16) - 15;
                width[dx * way[f][0] + dy * way[f][1]]++;
                across += dx * way[f][1] + dy * way[f][0];
            }
        expect_keyed(hint_arrows, 16 * f, 0, 16, 0, 191, "arrow " + std::to_string(f));
        EXPECT_EQ(across, 0) << "arrow " << f << " is not straight";
        EXPECT_LT(width.rbegin()->second, width.begin()->second) << "arrow " << f << " points the other way";
    }
    SDL_UnlockSurface(hint_arrows);
    EXPECT_TRUE(high_scores[0] >= 506 && high_scores[0] <= 569) << "the default table is filled";

    shutdown_game();
    for (SDL_Surface* s : {screen, fscreen, tiles, tiles1, tiles2, classic_tiles, tiles_back, tiles_backcurrent,
                           font_large, font_small, font_medium, anim, hint_arrows, raster, scoreboard, top,
                           theme_picture(PICTURE_TITLE)})
        EXPECT_EQ(s, nullptr);
    freestuff();  // a second release finds nothing to free twice

    // The default table, whatever the seed: its names, each place's range.
    std::set<std::string> names(std::begin(score_names), std::end(score_names));
    for (unsigned seed = 0; seed < 300; seed++) {
        srand(seed);
        fill_default_highscores();
        for (int i = 0; i < HIGHSCORE_PLACES; i++) {
            ASSERT_TRUE(high_scores[i] >= 506 - 100 * i && high_scores[i] <= 569 - 100 * i)
                << "seed " << seed << " place " << i + 1 << ": " << high_scores[i];
            ASSERT_TRUE(names.count(high_names[i])) << "seed " << seed << " place " << i + 1;
        }
    }
}

TEST_F(Assets, ThemesSwapTheFivePicturesAsOneSet)
{
    openArchives();
    // A theme the data lacks (a hand-edited file says 7) falls back to the first.
    const struct {
        int scheme;
        const char* suffix;
        int kept;
    } themes[] = {{0, "", 0}, {1, "2", 1}, {2, "3", 2}, {-1, "", 0}, {7, "", 0}, {INT32_MIN, "", 0}, {INT32_MAX, "", 0}};
    const char* const names[THEME_PICTURES] = {"zarn-gameover", "zarn-letsgo", "zarn-title", "zarn-paused"};
    for (const auto& c : themes) {
        gfx_scheme = c.scheme;
        load_newtheme();
        EXPECT_EQ(gfx_scheme, c.kept);
        // Each picture is decoded when a screen asks for it: the title is asked
        // for first and last, so that the one held from the theme before, or
        // from the picture before, cannot stand in for it.
        for (int which : {PICTURE_TITLE, PICTURE_GAMEOVER, PICTURE_LETSGO, PICTURE_PAUSED, PICTURE_TITLE}) {
            Surface expected((std::string(names[which]) + c.suffix).c_str());
            EXPECT_TRUE(same_pixels(theme_picture(which), expected.s)) << "scheme " << c.scheme << " " << names[which];
        }
        expect_magenta_key(top, "top");
        EXPECT_EQ(keyed(top, 128, 32, 192, 16), 192 * 16) << "scheme " << c.scheme << ": the scroll strip shows through";
    }
    // Hold one extra reference to each surface: asking for another picture
    // or changing the theme must release each old one exactly once, leaving
    // only our reference; the picture asked for last is held, not decoded again.
    gfx_scheme = 1;
    load_newtheme();
    SDL_Surface* letsgo = theme_picture(PICTURE_LETSGO);
    letsgo->refcount++;
    SDL_Surface* old[2] = {theme_picture(PICTURE_TITLE), top};
    EXPECT_EQ(letsgo->refcount, 1);
    SDL_FreeSurface(letsgo);
    EXPECT_EQ(theme_picture(PICTURE_TITLE), old[0]);
    for (SDL_Surface* s : old)
        s->refcount++;
    gfx_scheme = 2;
    load_newtheme();
    for (SDL_Surface* s : old) {
        EXPECT_EQ(s->refcount, 1);
        SDL_FreeSurface(s);
    }
    freestuff();
}

TEST_F(Assets, AMissingRequiredPictureStopsWithItsNameAndOneTheGameCannotDrawCountsAsMissing)
{
    GTEST_FLAG_SET(death_test_style, "fast");  // the child must see this private ./data
    const std::pair<std::set<std::string>, const char*> cases[] = {
        {{"fontsmall.bmp", "scrbrd.bmp"}, "^Missing image gfx/fontsmall in data/gfx.qva\n$"},
        {{"fontbig.bmp", "fontbig2.bmp"}, "^Missing image gfx/fontbig in data/gfx.qva\n$"},
        {{"zarn-tiles-2.bmp"}, "^Missing image gfx/zarn-tiles-2 in data/gfx.qva\n$"},
        {{"zarn-top.bmp"}, "^Missing image gfx/zarn-top in data/gfx.qva\n$"}};
    for (const auto& [omitted, said] : cases) {
        gfx_without arch(omitted);
        EXPECT_EXIT((openArchives(), init_zarn()), testing::ExitedWithCode(1), said);  // as main starts up
    }
    {  // another theme's top bar missing: the first theme stands in
        gfx_without arch({"zarn-top3.bmp"});
        gfx_scheme = 2;
        EXPECT_EXIT(
            {
                openArchives();
                init_zarn();
                int code = gfx_scheme == 0 && top ? 7 : 8;
                shutdown_game();  // the sound stops before the program ends, as in the game
                exit(code);
            },
            testing::ExitedWithCode(7), "");
        gfx_scheme = 0;
    }
    // One the game cannot draw counts as missing: one of the wrong size for
    // its role, and a header promising 4000 x 4000 pixels that are not there
    // (the decoder would allocate them first). An optional one, missing or
    // damaged, leaves the others loaded.
    SDL_Surface* small = SDL_CreateRGBSurface(0, 100, 250, 24, 0xff0000, 0xff00, 0xff, 0);
    ASSERT_EQ(SDL_SaveBMP(small, "small.bmp"), 0);
    SDL_FreeSurface(small);
    std::vector<uint8_t> small_bmp = read_bytes("small.bmp"), huge = small_bmp;
    huge[18] = huge[22] = 0xa0;  // 4000 = 0x0fa0
    huge[19] = huge[23] = 0x0f;
    // Two fuzzed bitmaps (a depth of 4097 bits, an OS/2 header cut at 20
    // bytes) that the picture library once took, crashing the first blit.
    const std::vector<qva_item> bad = {{"zarn-title.bmp", reproducer("bad_bpp4097.bmp")},
                                       {"zarn-title2.bmp", reproducer("bad_os2_truncated20.bmp")},
                                       {"zarn-title3.bmp", small_bmp},
                                       {"zarn-letsgo.bmp", huge}};
    gfx_without arch({"zarn-title.bmp", "zarn-title2.bmp", "zarn-title3.bmp", "zarn-letsgo.bmp", "zarn-paused2.bmp",
                      "zarn-texturen.bmp"},
                     bad);
    openArchives();
    for (const auto& [name, bytes] : bad)
        EXPECT_EQ(Surface(("gfx/" + name.substr(0, name.size() - 4)).c_str()).s, nullptr) << name;
    closeArchives();
    testing::internal::CaptureStderr();
    boot_game();  // optional pictures: the game goes on without them, and says so
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Missing images in data/gfx.qva, shown without them: gfx/zarn-texturen\n"
              "Missing images in data/gfx.qva, shown without them: gfx/zarn-letsgo gfx/zarn-title\n");
    EXPECT_EQ(theme_picture(PICTURE_TITLE), nullptr);
    EXPECT_EQ(tiles_back, nullptr);
    EXPECT_TRUE(top && theme_picture(PICTURE_GAMEOVER) && theme_picture(PICTURE_PAUSED) && tiles_backcurrent &&
                font_large)
        << "the others are loaded";
    // The second theme lacks its pause picture; the first one still has its own.
    gfx_scheme = 1;
    load_newtheme();
    EXPECT_EQ(theme_picture(PICTURE_PAUSED), nullptr);
    EXPECT_TRUE(theme_picture(PICTURE_GAMEOVER) && theme_picture(PICTURE_LETSGO) && top);
    gfx_scheme = 0;
    load_newtheme();
    EXPECT_NE(theme_picture(PICTURE_PAUSED), nullptr);
    shutdown_game();
}
