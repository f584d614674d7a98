#include <gtest/gtest.h>

#include "core/state.h"
#include "screens/credits.h"
#include "screens/frame_steps.h"
#include "support/boot.h"

namespace {

class Credits : public testing::Test {
protected:
    void SetUp() override { boot_game(); }
    void TearDown() override { shutdown_game(); }
};

}  // namespace

TEST_F(Credits, RollsFor345FramesSeenOnlyBelowRow108)
{
    SDL_Surface* first = nullptr;  // the first frame: the top line at row 224, nothing above
    bool covered = true, text_seen = false;
    start_script([&](int frame) {
        if (frame == 1)
            first = SDL_ConvertSurface(screen, screen->format, SDL_SWSURFACE);
        if (frame >= 1) {
            covered = covered && rows_equal(screen, first, 0, 108);
            text_seen = text_seen || !rows_equal(screen, first, 108, 116);
        }
        const SDLKey ignored[] = {SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT};
        if (frame >= 2 && frame <= 4)
            push_key(ignored[frame - 2]);
    });
    show_opensource();
    EXPECT_EQ(stop_script(), 345);
    EXPECT_TRUE(covered) << "a line showed above row 108";
    EXPECT_TRUE(text_seen);
    // At the end every line has passed behind the top of the picture.
    EXPECT_TRUE(rows_equal(screen, first, 108, 116));
    EXPECT_FALSE(rows_equal(screen, first, 224, 16));
    SDL_FreeSurface(first);
}

TEST_F(Credits, UpActionPauseAndAClosedWindowEndItAfterTheCurrentFrame)
{
    for (SDLKey key : {SDLK_UP, SDLK_RETURN, SDLK_SPACE}) {
        EXPECT_EQ(run_steps(show_opensource, std::vector<frame_step>(20, [] {}) + press(key)), 21);
    }
    EXPECT_EQ(quit_zarn, 0);
    EXPECT_EQ(run_steps(show_opensource, std::vector<frame_step>(7, [] {}) + push_quit), 8);
    EXPECT_EQ(quit_zarn, 1);
}
