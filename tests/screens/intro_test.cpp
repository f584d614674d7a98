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

// The frame at whose end the logo has first come to rest (-1 until then),
// kept up by a script step of every frame.
struct logo_watch {
    int rest_frame = -1;
    int32_t rest_x = 0;
    void look(int frame)
    {
        if (!qv_logo || rest_frame >= 0)
            return;
        rest_x = (320 - qv_logo->w) >> 1;
        if (j <= rest_x)
            rest_frame = frame;
    }
};

SDL_Surface* solid(int w, int h)
{
    SDL_PixelFormat* f = screen->format;
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, f->BitsPerPixel, f->Rmask, f->Gmask, f->Bmask, f->Amask);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 255, 255, 255));
    return s;
}

int lit_pixels(SDL_Surface* s)
{
    int n = 0;
    SDL_LockSurface(s);
    for (int y = 0; y < s->h; y++) {
        const Uint16* row = reinterpret_cast<const Uint16*>(static_cast<const Uint8*>(s->pixels) + y * s->pitch);
        for (int x = 0; x < s->w; x++)
            n += row[x] != 0;
    }
    SDL_UnlockSurface(s);
    return n;
}

}  // namespace

TEST_F(Intro, ConfirmKeysCountOnlyOnceTheLogoRests)
{
    ASSERT_EQ(screen->format->BitsPerPixel, 16);
    logo_watch logo;
    start_script([&logo](int frame) {
        logo.look(frame);
        push_key(SDLK_RETURN);  // ACTION, every frame from the first
    });
    start_screen();
    int frames = stop_script();
    ASSERT_GT(logo.rest_frame, 1) << "the logo slides in over several frames";
    EXPECT_EQ(frames, logo.rest_frame + 1) << "one more frame after the logo rests";
    EXPECT_EQ(qv_quor, nullptr);
    EXPECT_EQ(qv_logo, nullptr);
    EXPECT_EQ(MP_PlayingMusic(), 0) << "no music until the menu starts its own";
    EXPECT_EQ(quit_zarn, 0);

    // PAUSE confirms as well; the other controls do not (the tune is taken
    // away so that only a key can end this run).
    logo = logo_watch{};
    start_script([&logo](int frame) {
        logo.look(frame);
        if (logo.rest_frame >= 0 && frame == logo.rest_frame + 2) {
            push_key(SDLK_SPACE);
        } else {
            push_key(SDLK_UP);
            push_key(SDLK_LEFT);
        }
    });
    void* tune = music[11];
    music[11] = nullptr;
    start_screen();
    frames = stop_script();
    music[11] = tune;
    EXPECT_EQ(frames, logo.rest_frame + 3);
}

TEST_F(Intro, TheEndOfTheTuneEndsTheIntro)
{
    ASSERT_NE(music[11], nullptr) << "the intro tune is cached at start-up";
    logo_watch logo;
    bool playing_at_rest = false;
    start_script([&](int frame) {
        logo.look(frame);
        if (frame == logo.rest_frame)
            playing_at_rest = MP_PlayingMusic() != 0;
        if (logo.rest_frame >= 0 && frame == logo.rest_frame + 5)
            stop_music();  // what the music hook does at the end of the module
    });
    start_screen();
    int frames = stop_script();
    if ((360 - logo.rest_x) % 4 == 0) {
        EXPECT_TRUE(playing_at_rest) << "the tune starts when the logo arrives";
        EXPECT_EQ(frames, logo.rest_frame + 6);
    } else {
        // The logo stops short of its place: the tune never starts and the
        // intro ends on the next frame.
        EXPECT_FALSE(playing_at_rest);
        EXPECT_EQ(frames, logo.rest_frame + 1);
    }
    EXPECT_EQ(MP_PlayingMusic(), 0);
}

TEST_F(Intro, WithoutTheTuneItWaitsForAKeyAndAClosedWindowEndsItAtOnce)
{
    void* tune = music[11];
    music[11] = nullptr;
    logo_watch logo;
    bool music_seen = false;
    start_script([&](int frame) {
        logo.look(frame);
        music_seen = music_seen || MP_PlayingMusic();
        if (logo.rest_frame >= 0 && frame == logo.rest_frame + 30)
            push_key(SDLK_RETURN);
    });
    start_screen();
    int frames = stop_script();
    music[11] = tune;
    EXPECT_EQ(frames, logo.rest_frame + 31);
    EXPECT_FALSE(music_seen);

    start_script([](int frame) {
        if (frame == 3)
            push_quit();
    });
    start_screen();
    EXPECT_EQ(stop_script(), 3) << "no last frame after the window closed";
    EXPECT_EQ(quit_zarn, 1);
    EXPECT_EQ(qv_logo, nullptr);
    EXPECT_EQ(MP_PlayingMusic(), 0);
}

TEST_F(Intro, RenderingLeavesNoTrailsAndTheLogoStopsWhereItsStepsEnd)
{
    ASSERT_EQ(screen->format->BitsPerPixel, 16);
    const int mascot_w = 16, mascot_h = 12, logo_h = 20;
    // A 40-pixel logo rests at x 140, reached in steps of 4 from 360; a
    // 42-pixel one would rest at 139 and stops at 136 instead.
    for (int logo_w : {40, 42}) {
        SCOPED_TRACE(logo_w);
        qv_quor = solid(mascot_w, mascot_h);
        qv_logo = solid(logo_w, logo_h);
        SDL_FillRect(screen, nullptr, 0);
        j = 360;
        dj = gx = gy = 0;
        bool tune_started = false;
        for (int frame = 0; frame < 80; frame++) {
            quorUpdate(0);
            quorRender(screen);
            tune_started = tune_started || MP_PlayingMusic();
            int logo_seen = std::max(0, std::min(logo_w, 320 - j));
            ASSERT_EQ(lit_pixels(screen), mascot_w * mascot_h + logo_seen * logo_h) << "frame " << frame;
            EXPECT_LE(std::abs(gx - (160 - mascot_w / 2)), 8);
            EXPECT_LE(std::abs(gy - (100 - mascot_h / 2)), 8);
        }
        EXPECT_EQ(rect.y, 180 - logo_h) << "the logo's bottom edge is on row 180";
        EXPECT_EQ(j, logo_w == 40 ? 140 : 136);
        EXPECT_EQ(quorUpdate(0), music[11] ? 1 - MP_PlayingMusic() : 0);
        EXPECT_EQ(quorUpdate(CTRL_ACTION), 1);
        if (music[11]) {
            EXPECT_EQ(tune_started, logo_w == 40);
        }
        quorShutdown();
        EXPECT_EQ(qv_quor, nullptr);
        EXPECT_EQ(MP_PlayingMusic(), 0);
    }
}
