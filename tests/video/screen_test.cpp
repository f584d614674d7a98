// Video modes on the dummy driver, presentation, drawPic, display positions.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "video/screen.h"

namespace {

uint16_t& px(SDL_Surface* s, int x, int y)
{
    return reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch)[x];
}

class Screen : public testing::Test {
protected:
    void SetUp() override
    {
        screen_reset();
        ASSERT_EQ(0, SDL_Init(SDL_INIT_VIDEO));
    }
    void TearDown() override
    {
        if (screen && screen != SDL_GetVideoSurface())
            SDL_FreeSurface(screen);
        SDL_Quit();
        screen_reset();
    }
    void set_mode(int z, int full, int twice)
    {
        zoom = z;
        full_screen = full;
        double_scale = static_cast<uint8_t>(twice);
        init_screen();
    }
};

TEST_F(Screen, EveryModeGivesItsDisplayAndABackSurfaceOfItsFormat)
{
    struct Row {
        int zoom, full, twice, w, h;
    };
    const Row rows[] = {
        {0, 0, 0, 320, 240},  {0, 1, 0, 320, 240},  {0, 1, 1, 320, 240},  {1, 0, 0, 640, 480},
        {3, 0, 1, 1280, 960}, {5, 1, 0, 640, 480},  {2, 1, 1, 1280, 960},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "zoom " << r.zoom << " full " << r.full << " twice " << r.twice);
        set_mode(r.zoom, r.full, r.twice);
        SDL_Surface* display = SDL_GetVideoSurface();
        ASSERT_NE(display, nullptr);
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(display->w, r.w);
        EXPECT_EQ(display->h, r.h);
        EXPECT_EQ(display->format->BitsPerPixel, 16);
        EXPECT_EQ((display->flags & SDL_FULLSCREEN) != 0, r.full != 0);
        EXPECT_EQ(screen->w, 320);
        EXPECT_EQ(screen->h, 240);
        if (r.zoom == 0) {
            EXPECT_EQ(fscreen, nullptr);
            EXPECT_EQ(screen, display);
        } else {
            EXPECT_EQ(fscreen, display);
            EXPECT_EQ(full_width, r.w);
            EXPECT_EQ(full_height, r.h);
            EXPECT_NE(screen, display);
            EXPECT_EQ(screen->flags & SDL_HWSURFACE, 0u);
            EXPECT_EQ(screen->format->BitsPerPixel, 16);
            EXPECT_EQ(screen->format->Rmask, display->format->Rmask);
            EXPECT_EQ(screen->format->Gmask, display->format->Gmask);
            EXPECT_EQ(screen->format->Bmask, display->format->Bmask);
        }
        EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), 0);
    }
}

TEST_F(Screen, TheBlurBufferIsDroppedOnlyWhenTheDisplayGrows)
{
    set_mode(5, 0, 0);
    GFX_Flip(screen);
    uint32_t* buffer = aabuf;
    ASSERT_NE(buffer, nullptr);
    set_mode(4, 1, 0);
    EXPECT_EQ(aabuf, buffer);
    set_mode(5, 0, 1);
    EXPECT_EQ(aabuf, nullptr);
    GFX_Flip(screen);
    EXPECT_NE(aabuf, nullptr);
}

TEST_F(Screen, EveryFilterFillsThe1280DisplayFromTheTopLeft)
{
    for (int z = 1; z <= 5; z++) {
        SCOPED_TRACE(z);
        set_mode(z, 0, 1);
        SDL_FillRect(fscreen, nullptr, 0x1234);
        SDL_FillRect(screen, nullptr, 0);
        px(screen, 0, 0) = 0x001F;
        px(screen, 319, 239) = 0xF800;
        GFX_Flip(screen);
        for (int d : {0, 1})
            for (int e : {0, 1}) {
                EXPECT_EQ(px(fscreen, d, e), 0x001F);
                EXPECT_EQ(px(fscreen, 1278 + d, 956 + e), 0xF800);  // the bright row, not a scanline
            }
        EXPECT_EQ(px(fscreen, 640, 480), 0);
        for (int y = 0; y < 960; y++)
            for (int x = 0; x < 1280; x++)
                ASSERT_NE(px(fscreen, x, y), 0x1234) << x << "," << y;
    }
}

TEST_F(Screen, ZoomBeyondTheFiltersShowsTheDisplayUnrefreshed)
{
    set_mode(1, 0, 0);
    SDL_FillRect(fscreen, nullptr, 0x1234);
    SDL_FillRect(screen, nullptr, 0xF800);
    zoom = 6;
    GFX_Flip(screen);
    EXPECT_EQ(px(fscreen, 100, 100), 0x1234);
    zoom = 1;
    GFX_Flip(screen);
    EXPECT_EQ(px(fscreen, 100, 100), 0xF800);
}

TEST_F(Screen, DisplayPositionsMapToTheFrame)
{
    struct Case {
        int zoom, twice, x, y, fx, fy;
    };
    const Case cases[] = {
        {0, 0, 319, 239, 319, 239}, {0, 1, 100, 7, 100, 7},   {1, 0, 639, 479, 319, 239},
        {4, 0, 3, 2, 1, 1},         {2, 1, 1279, 959, 319, 239}, {2, 1, 7, 4, 1, 1},
        {3, 0, -3, -1, -2, -1},
    };
    for (const Case& c : cases) {
        set_mode(c.zoom, 0, c.twice);
        int32_t x = c.x, y = c.y;
        display_to_frame(&x, &y);
        EXPECT_EQ(x, c.fx) << c.x << " at zoom " << c.zoom << " twice " << c.twice;
        EXPECT_EQ(y, c.fy) << c.y << " at zoom " << c.zoom << " twice " << c.twice;
    }
}

TEST_F(Screen, ARefusedModeIsReportedAndLeavesNoSurfaces)
{
    SDL_Quit();
    const char* old = getenv("SDL_VIDEODRIVER");
    std::string keep = old ? old : "dummy";
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    testing::internal::CaptureStdout();
    set_mode(1, 0, 0);
    std::string said = testing::internal::GetCapturedStdout();
    setenv("SDL_VIDEODRIVER", keep.c_str(), 1);
    EXPECT_EQ(said.rfind("SDL Error: ", 0), 0u) << said;
    EXPECT_EQ(said.back(), '\n');
    EXPECT_EQ(screen, nullptr);
    EXPECT_EQ(fscreen, nullptr);
    GFX_Flip(screen);  // nothing to show, and no crash
}

TEST_F(Screen, DrawPicCopiesTheClippedSourceAndHonoursTheColourKey)
{
    set_mode(1, 0, 0);
    SDL_FillRect(screen, nullptr, 0);
    SDL_Surface* pic = SDL_CreateRGBSurface(0, 10, 10, 16, 0xF800, 0x07E0, 0x001F, 0);
    SDL_FillRect(pic, nullptr, 0x07E0);
    px(pic, 6, 6) = 0xF81F;
    SDL_SetColorKey(pic, SDL_SRCCOLORKEY, 0xF81F);
    EXPECT_EQ(0, drawPic(screen, 0, 0, 320, 240, pic, 5, 5, 320, 240));
    EXPECT_EQ(px(screen, 0, 0), 0x07E0);
    EXPECT_EQ(px(screen, 4, 4), 0x07E0);
    EXPECT_EQ(px(screen, 1, 1), 0);  // the keyed pixel
    EXPECT_EQ(px(screen, 5, 0), 0);
    EXPECT_EQ(px(screen, 0, 5), 0);
    // Past the destination's edges too.
    EXPECT_EQ(0, drawPic(screen, 315, -8, 10, 10, pic, 0, 0, 10, 10));
    EXPECT_EQ(px(screen, 319, 1), 0x07E0);
    EXPECT_EQ(px(screen, 314, 1), 0);
    EXPECT_EQ(px(screen, 319, 2), 0);
    SDL_FreeSurface(pic);
}

TEST_F(Screen, ResetRestoresTheStartingSettings)
{
    set_mode(5, 0, 1);
    GFX_Flip(screen);
    cfgbpp = 32;
    SDL_Surface* back = screen;
    screen_reset();
    SDL_FreeSurface(back);
    EXPECT_EQ(screen, nullptr);
    EXPECT_EQ(fscreen, nullptr);
    EXPECT_EQ(zoom, 1);
    EXPECT_EQ(full_screen, 1);
    EXPECT_EQ(double_scale, 0);
    EXPECT_EQ(full_width, 640);
    EXPECT_EQ(full_height, 480);
    EXPECT_EQ(aabuf, nullptr);
    EXPECT_EQ(cfgbpp, 16);
    EXPECT_STREQ(zoom_modes[0], "NOT AVAILABLE");
    EXPECT_STREQ(zoom_modes[3], "BILINEAR AA");
    EXPECT_STREQ(zoom_modes[5], "BLUR");
}

}  // namespace
