// Video modes on the dummy driver, presentation at 16 and 32 bits, drawPic,
// display positions.
#include "support/game.h"


namespace {

class Screen : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(0, SDL_Init(SDL_INIT_VIDEO)); }
    void TearDown() override
    {
        if (screen != SDL_GetVideoSurface())
            SDL_FreeSurface(screen);
        SDL_Quit();
        screen_reset();
    }
};

// Each mode, then Alt+Enter: the same size and filter in the other mode,
// presenting a frame (BLUR at 640 x 480, then at 1280 x 960: the sanitizers
// see that its buffer still fits). A display position maps to the
// frame's pixel under it, rounding down beyond its top left corner too.
TEST_F(Screen, EveryModeGivesItsDisplayAndABackSurfaceOfItsFormatMapsPositionsToTheFrameAndARefusedOneEnds)
{
    native_bpp = 16;
    const int rows[][5] = {{0, 0, 0, 320, 240},  {0, 1, 1, 320, 240}, {1, 0, 0, 640, 480}, {4, 0, 0, 640, 480},
                           {3, 0, 1, 1280, 960}, {5, 1, 0, 640, 480}, {5, 0, 1, 1280, 960}, {2, 1, 1, 1280, 960}};
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "zoom " << r[0] << " full " << r[1] << " twice " << r[2]);
        set_mode(r[0], r[1], r[2]);
        for (int full : {r[1], 1 - r[1]}) {
            SDL_Surface* display = SDL_GetVideoSurface();
            ASSERT_TRUE(display && screen);
            EXPECT_EQ(std::make_tuple(display->w, display->h, int(display->format->BitsPerPixel),
                                      (display->flags & SDL_FULLSCREEN) != 0),
                      std::make_tuple(r[3], r[4], 16, full != 0));
            EXPECT_EQ(std::make_tuple(full_screen != 0, zoom, int(double_scale)), std::make_tuple(full != 0, r[0], r[2]));
            EXPECT_EQ(screen->w * 10000 + screen->h, 320 * 10000 + 240);
            EXPECT_EQ(std::make_tuple(fscreen == display, screen == display, screen->format->Gmask,
                                      SDL_ShowCursor(SDL_QUERY)),
                      std::make_tuple(r[0] != 0, r[0] == 0, display->format->Gmask, 0));
            GFX_Flip(screen);
            const int s = r[3] / 320, probes[][4] = {{r[3] - 1, r[4] - 1, 319, 239}, {2 * s - 1, s, 1, 1}, {-s - 1, -1, -2, -1}};
            for (const auto& p : probes) {
                int32_t x = p[0], y = p[1];
                display_to_frame(&x, &y);
                EXPECT_EQ(x * 10000 + y, p[2] * 10000 + p[3]) << p[0] << "," << p[1];
            }
            toggle_full_screen();
        }
    }

    // A refused mode ends the program with one line.
    TearDown();
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    // The line goes to standard output; the child sends that to the checked stream.
    EXPECT_EXIT(
        {
            dup2(2, 1);
            set_mode(1, 0, 0);
        },
        testing::ExitedWithCode(1), "^SDL Error: [^\n]+\n$");
    setenv("SDL_VIDEODRIVER", "dummy", 1);
}

// True when SDL widens every level of every 5-6-5 channel into 8 bits by
// shifting it up, as SDL 1.2 does and the filters do.
bool sdl_widens_by_shifting()
{
    SDL_Surface* levels = SDL_CreateRGBSurface(0, 64, 1, 16, 0xF800, 0x07E0, 0x001F, 0);
    SDL_Surface* wide = SDL_CreateRGBSurface(0, 64, 1, 32, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    for (int i = 0; i < 64; i++)
        pixel16(levels, i, 0) = static_cast<uint16_t>((i & 31) << 11 | i << 5 | (31 - (i & 31)));
    SDL_BlitSurface(levels, nullptr, wide, nullptr);
    bool shifted = true;
    for (int i = 0; i < 64; i++) {
        Uint32 want = (i & 31) << 19 | i << 10 | (31 - (i & 31)) << 3;
        shifted = shifted && (static_cast<Uint32*>(wide->pixels)[i] & 0xFFFFFF) == want;
    }
    SDL_FreeSurface(levels);
    SDL_FreeSurface(wide);
    return shifted;
}

// A display whose own depth is 32 bits is opened at 32 bits when SDL widens
// as the filters do (SDL 1.2), else at 16 bits, SDL converting (an SDL built
// on SDL 2 widens otherwise). Either way it shows what SDL's own conversion
// of the frame shows; the back surface stays 5-6-5 and the configuration
// file keeps depth 16.
TEST_F(Screen, ADisplayOf32BitsShowsTheFrameAsSDLWouldConvertIt)
{
    for (int z : {0, 1}) {
        for (int twice : {0, 1}) {
            SCOPED_TRACE(testing::Message() << "zoom " << z << " twice " << twice);
            native_bpp = 32;
            set_mode(z, 0, twice);
            SDL_Surface* display = SDL_GetVideoSurface();
            ASSERT_TRUE(display && screen);
            int bytes = display->format->BytesPerPixel, scale = z ? display->w / 320 : 1;
            EXPECT_EQ(bytes == 4, sdl_widens_by_shifting());
            EXPECT_EQ(screen == display, z == 0 && bytes == 2);
            EXPECT_EQ(screen->format->BitsPerPixel * 0x10000 + screen->format->Gmask, 16 * 0x10000 + 0x07E0);
            EXPECT_EQ(cfgbpp, 16);
            for (int y = 0; y < 240; y++)
                for (int x = 0; x < 320; x++)
                    pixel16(screen, x, y) = static_cast<uint16_t>(y < 2 ? (x & 31) << (11 * y) | (x & 63) << 5 : x * 97 + y);
            SDL_Surface* want = SDL_ConvertSurface(screen, display->format, 0);
            GFX_Flip(screen);
            Uint32 bits = display->format->Rmask | display->format->Gmask | display->format->Bmask;
            for (int y = 0; y < display->h; y++)
                for (int x = 0; x < display->w; x++) {
                    Uint32 got = 0, sdl = 0;
                    memcpy(&got, static_cast<Uint8*>(display->pixels) + y * display->pitch + x * bytes, bytes);
                    memcpy(&sdl, static_cast<Uint8*>(want->pixels) + (y / scale) * want->pitch + (x / scale) * bytes,
                           bytes);
                    ASSERT_EQ(got & bits, sdl & bits) << x << "," << y << " at " << bytes * 8 << " bits";
                }
            SDL_FreeSurface(want);
        }
    }
    // A display of another own depth is opened at 16 bits, as always.
    native_bpp = 24;
    set_mode(1, 0, 0);
    EXPECT_EQ(SDL_GetVideoSurface()->format->BitsPerPixel, 16);
}

// drawPic(dst, x, y, w, h, src, sx, sy, sw, sh): clipped on both surfaces.
TEST_F(Screen, DrawPicCopiesTheClippedSourceAndANoticeShowsOnThirtyPresentedFramesOnly)
{
    set_mode(1, 0, 0);
    SDL_FillRect(screen, nullptr, 0);
    SDL_Surface* pic = SDL_CreateRGBSurface(0, 10, 10, 16, 0xF800, 0x07E0, 0x001F, 0);
    SDL_FillRect(pic, nullptr, 0x07E0);
    EXPECT_EQ(0, drawPic(screen, 0, 0, 320, 240, pic, 5, 5, 320, 240));
    EXPECT_EQ(0, drawPic(screen, 315, -8, 10, 10, pic, 0, 0, 10, 10));
    // (x, y, expected): the 5 x 5 corner; the top right corner holds the
    // last two rows of the picture.
    const int probes[][3] = {{0, 0, 0x07E0}, {4, 4, 0x07E0}, {5, 0, 0},   {0, 5, 0},
                             {319, 1, 0x07E0}, {314, 1, 0},  {319, 2, 0}};
    for (const auto& p : probes)
        EXPECT_EQ(pixel16(screen, p[0], p[1]), p[2]) << p[0] << "," << p[1];
    SDL_FreeSurface(pic);

// A notice lies over the foot of the presented frames for a second, while
// the back surface keeps what the screen drew.
    for (int z : {0, 1}) {
        set_mode(z, 0, 0);
        screen_notice("SCREENSHOT SAVED:\n/a/long/path/that/is/cut/to/its/last/forty/characters.png");
        SDL_Surface* display = SDL_GetVideoSurface();
        int foot = display->h - 1, scale = display->w / 320;
        for (int frame = 1; frame <= 31; frame++) {
            SDL_FillRect(screen, nullptr, 0xF800);
            GFX_Flip(screen);
            if (z) {
                EXPECT_EQ(pixel16(display, 0, foot), frame <= 30 ? 0 : 0xF800) << frame;
            }
            EXPECT_EQ(pixel16(display, 0, 213 * scale), 0xF800) << frame;
            EXPECT_EQ(pixel16(screen, 0, 239), 0xF800) << "the back surface after frame " << frame;
        }
    }
}

// F12: the display as it is shown, in a fresh PNG of its size in the
// pictures folder; a name taken gets a number, nothing is overwritten, and
// the picture is converted once whatever the names taken.
TEST_F(Screen, AScreenshotIsAPngOfThePresentedDisplayInAFreshFile)
{
    std::string folder = scratch_dir() + "/shots";
    mkdir(folder.c_str(), 0755);
    set_mode(2, 0, 1);  // SCALE2X at 1280 x 960
    for (int y = 0; y < 240; y++)
        for (int x = 0; x < 320; x++)
            pixel16(screen, x, y) = uint16_t(x * 97 + y * 1031);
    GFX_Flip(screen);
    char first[1024], second[1024];
    setenv("XDG_PICTURES_DIR", folder.c_str(), 1);
    ASSERT_TRUE(save_screenshot(first, sizeof first));
    EXPECT_EQ(strlen(first), folder.size() + strlen("/zarn-20261207-063605.png")) << "a free name as it is: " << first;
    // Every name of the next minute taken up to -4 (a save may take seconds
    // on a slow machine): the picture is converted once, gets -5 whatever
    // second it is written in, and the files it found taken stay as they were.
    std::string busy = folder + "/busy";
    mkdir(busy.c_str(), 0755);
    setenv("XDG_PICTURES_DIR", busy.c_str(), 1);
    time_t now = time(nullptr);
    for (int s = 0; s < 60; s++) {
        time_t t = now + s;
        struct tm local;
        localtime_r(&t, &local);
        char stamp[32];
        strftime(stamp, sizeof stamp, "/zarn-%Y%m%d-%H%M%S", &local);
        for (const char* n : {".png", "-2.png", "-3.png", "-4.png"})
            fclose(fopen((busy + stamp + n).c_str(), "w"));
    }
    int32_t converted = shot_conversions;
    ASSERT_TRUE(save_screenshot(second, sizeof second));
    EXPECT_EQ(shot_conversions - converted, 1);
    std::string numbered = second;
    ASSERT_EQ(numbered.rfind(busy + "/zarn-", 0), 0u) << second;
    EXPECT_EQ(numbered.substr(numbered.size() - 6), "-5.png");
    EXPECT_EQ(std::filesystem::file_size(numbered.substr(0, numbered.size() - 6) + "-4.png"), 0u);

    SDL_Surface* display = SDL_GetVideoSurface();
    int w = 0, h = 0;
    std::vector<uint8_t> rgb = read_png_rgb(first, w, h);
    ASSERT_EQ(w * 10000 + h, 1280 * 10000 + 960);
    int wrong = 0;
    for (int y = 0; y < 960; y++)
        for (int x = 0; x < 1280; x++) {
            uint8_t r, g, b;
            SDL_GetRGB(pixel16(display, x, y), display->format, &r, &g, &b);
            const uint8_t* p = &rgb[size_t(y * 1280 + x) * 3];
            wrong += p[0] != r || p[1] != g || p[2] != b;
        }
    EXPECT_EQ(wrong, 0);

    setenv("XDG_PICTURES_DIR", (folder + "/missing").c_str(), 1);
    EXPECT_FALSE(save_screenshot(second, sizeof second));
    EXPECT_FALSE(write_png(display, first)) << "never over a file";
    EXPECT_EQ(read_bytes(first).size() > 100, true);

    // A folder of 1,100 bytes: the whole path or nothing, never a cut one
    // (which once put the picture into a folder above).
    std::string deep = scratch_dir() + "/deep";
    while (deep.size() < 1100)
        deep += "/" + std::string(std::min<size_t>(200, 1100 - deep.size()), 'd');
    std::filesystem::create_directories(deep);
    setenv("XDG_PICTURES_DIR", deep.c_str(), 1);
    EXPECT_FALSE(save_screenshot(second, sizeof second));
    auto files = [] {
        int n = 0;
        for (const auto& e : std::filesystem::recursive_directory_iterator(scratch_dir() + "/deep"))
            n += e.is_regular_file();
        return n;
    };
    EXPECT_EQ(files(), 0);
    char room[4096];
    EXPECT_TRUE(save_screenshot(room, sizeof room));
    EXPECT_EQ(std::string(room).rfind(deep + "/zarn-", 0), 0u);
    EXPECT_EQ(files(), 1);
    unsetenv("XDG_PICTURES_DIR");
}

}  // namespace
