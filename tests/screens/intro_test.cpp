#include "play_screen.h"

namespace {

struct Intro : screen_test {
    int rest_frame = -1;  // the frame at whose end the logo first rested
    bool resting(int frame)
    {
        if (rest_frame < 0 && j <= (320 - qv_logo->w) >> 1)
            rest_frame = frame;
        return rest_frame >= 0;
    }
};

using Credits = screen_test;

}  // namespace

TEST_F(Intro, ConfirmKeysCountOnceTheLogoRestsTheTuneStartsThenAndItsEndEndsTheIntro)
{
    void* tune = music[11];
    music[11] = nullptr;
    for (int wait : {0, 20}) {
        rest_frame = -1;
        played r = play(start_screen, "", [&](int frame) {
            bool confirm = !resting(frame) || frame >= rest_frame + wait;  // also while sliding
            push_key(confirm ? (wait ? SDLK_SPACE : SDLK_RETURN) : SDLK_UP);
        });
        ASSERT_GT(rest_frame, 1);
        EXPECT_EQ(r.frames, rest_frame + wait + 1) << wait;
    }
    music[11] = tune;
    EXPECT_EQ(qv_logo, nullptr);
    EXPECT_EQ(quit_zarn, 0);

    // The shipped logo lands exactly where it rests, so the tune plays.
    rest_frame = -1;
    bool playing_at_rest = false;
    played r = play(start_screen, "", [&](int frame) {
        if (resting(frame) && frame == rest_frame)
            playing_at_rest = MP_PlayingMusic();
        if (resting(frame) && frame == rest_frame + 5)
            stop_music();  // as the music hook does at the end of the module
    });
    EXPECT_TRUE(playing_at_rest);
    EXPECT_EQ(r.frames, rest_frame + 6);
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
            quorStep();
            quorRender(screen);
            tune_started = tune_started || MP_PlayingMusic();
            ASSERT_EQ(lit_pixels(screen), 16 * 12 + std::clamp(320 - j, 0, logo_w) * 20) << "frame " << frame;
            EXPECT_LE(std::abs(gx - 152) + std::abs(gy - 94), 16);
        }
        EXPECT_EQ(rect.y, 160) << "the logo's bottom edge is on row 180";
        EXPECT_EQ(j, logo_w == 40 ? 140 : 136);
        EXPECT_EQ(tune_started, logo_w == 40);
        quorShutdown();
        EXPECT_EQ(MP_PlayingMusic(), 0);
    }
}

TEST_F(Credits, RollFor345FramesSeenOnlyBelowRow108AndUpActionOrPauseEndThemAfterTheFrame)
{
    SDL_Surface* first = nullptr;  // the first frame: the top line at row 224, nothing above
    bool covered = true, text_seen = false;
    played r = play(show_opensource, "[1][v][<][>]", [&](int frame) {
        if (frame == 1)
            first = SDL_ConvertSurface(screen, screen->format, SDL_SWSURFACE);
        covered = covered && rows_equal(screen, first, 0, 108);
        text_seen = text_seen || !rows_equal(screen, first, 108, 116);
    }, 400);
    EXPECT_EQ(r.frames, 345);
    EXPECT_TRUE(covered) << "a line showed above row 108";
    EXPECT_TRUE(text_seen);
    // At the end every line has passed behind the top of the picture.
    EXPECT_TRUE(rows_equal(screen, first, 108, 116));
    EXPECT_FALSE(rows_equal(screen, first, 224, 16));
    SDL_FreeSurface(first);

    // (A closed window ends them at once: the window-close walk of the app tests.)
    for (std::string end : {"^", "E", "S"})
        EXPECT_EQ(play(show_opensource, "[20][" + end + "]").frames, 21) << end;
}
