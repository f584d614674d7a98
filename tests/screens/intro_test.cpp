#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "config/input.h"
#include "core/state.h"
#include "screens/frame_steps.h"
#include "screens/intro.h"
#include "sound/sound.h"
#include "support/boot.h"

namespace {

class Intro : public testing::Test {
protected:
    void SetUp() override { boot_game(); }
    void TearDown() override { shutdown_game(); }
};

// Notes the frame at whose end the logo first rests.
struct logo_watch {
    int rest_frame = -1;
    int32_t rest_x = 0;
    void look(int frame)
    {
        if (qv_logo && rest_frame < 0 && j <= (rest_x = (320 - qv_logo->w) >> 1))
            rest_frame = frame;
    }
};

int lit_pixels()
{
    int n = 0;
    for (int y = 0; y < 240; y++)
        for (int x = 0; x < 320; x++)
            n += reinterpret_cast<Uint16*>(static_cast<Uint8*>(screen->pixels) + y * screen->pitch)[x] != 0;
    return n;
}

}  // namespace

TEST_F(Intro, ConfirmKeysCountOnceTheLogoRestsAndWithoutTheTuneNothingElseEndsIt)
{
    void* tune = music[11];
    music[11] = nullptr;
    for (int wait : {0, 20}) {
        logo_watch logo;
        start_script([&](int frame) {
            logo.look(frame);
            bool confirm = logo.rest_frame < 0 || frame >= logo.rest_frame + wait;  // also while sliding
            push_key(confirm ? (wait ? SDLK_SPACE : SDLK_RETURN) : SDLK_UP);
        });
        start_screen();
        int frames = stop_script();
        ASSERT_GT(logo.rest_frame, 1);
        EXPECT_EQ(frames, logo.rest_frame + wait + 1) << wait;
    }
    music[11] = tune;
    EXPECT_EQ(qv_logo, nullptr);
    EXPECT_EQ(quit_zarn, 0);

    start_script([](int frame) {
        if (frame == 3)
            push_quit();
    });
    start_screen();
    EXPECT_EQ(stop_script(), 3) << "no last frame after the window closed";
    EXPECT_EQ(quit_zarn, 1);
}

TEST_F(Intro, TheEndOfTheTuneEndsTheIntro)
{
    ASSERT_NE(music[11], nullptr);
    logo_watch logo;
    bool playing_at_rest = false;
    start_script([&](int frame) {
        logo.look(frame);
        if (frame == logo.rest_frame)
            playing_at_rest = MP_PlayingMusic();
        if (logo.rest_frame >= 0 && frame == logo.rest_frame + 5)
            stop_music();  // as the music hook does at the end of the module
    });
    start_screen();
    int frames = stop_script();
    bool on_the_spot = (360 - logo.rest_x) % 4 == 0;  // else the logo stops short and the tune never starts
    EXPECT_EQ(playing_at_rest, on_the_spot);
    EXPECT_EQ(frames, logo.rest_frame + (on_the_spot ? 6 : 1));
    EXPECT_EQ(MP_PlayingMusic(), 0) << "silence until the menu";
}

TEST_F(Intro, RenderingLeavesNoTrailsAndTheLogoStopsWhereItsStepsEnd)
{
    for (int logo_w : {40, 42}) {  // resting at x 140, or at 139 which steps of 4 from 360 miss
        SDL_PixelFormat* f = screen->format;
        qv_quor = SDL_CreateRGBSurface(SDL_SWSURFACE, 16, 12, 16, f->Rmask, f->Gmask, f->Bmask, 0);
        qv_logo = SDL_CreateRGBSurface(SDL_SWSURFACE, logo_w, 20, 16, f->Rmask, f->Gmask, f->Bmask, 0);
        SDL_FillRect(qv_quor, nullptr, 0xffff);
        SDL_FillRect(qv_logo, nullptr, 0xffff);
        SDL_FillRect(screen, nullptr, 0);
        j = 360;
        dj = gx = gy = 0;
        bool tune_started = false;
        for (int frame = 0; frame < 80; frame++) {
            quorUpdate(0);
            quorRender(screen);
            tune_started = tune_started || MP_PlayingMusic();
            ASSERT_EQ(lit_pixels(), 16 * 12 + std::clamp(320 - j, 0, logo_w) * 20) << "frame " << frame;
            EXPECT_LE(std::abs(gx - 152) + std::abs(gy - 94), 16);
        }
        EXPECT_EQ(rect.y, 160) << "the logo's bottom edge is on row 180";
        EXPECT_EQ(j, logo_w == 40 ? 140 : 136);
        EXPECT_EQ(tune_started, logo_w == 40);
        quorShutdown();
        EXPECT_EQ(MP_PlayingMusic(), 0);
    }
}
