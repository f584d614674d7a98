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

SDL_Surface* copy_of_screen()
{
    return SDL_ConvertSurface(screen, screen->format, SDL_SWSURFACE);
}

// Plays the roll with key pressed for the frame after frame `at`.
int roll_with(SDLKey key, int at)
{
    std::vector<frame_step> steps(at, idle());
    steps.push_back(press(key));
    return run_steps(show_opensource, steps);
}

}  // namespace

TEST_F(Credits, RollsFor345FramesSeenOnlyBelowRow108)
{
    SDL_Surface* clean = nullptr;  // the title picture as the first frame shows it
    bool covered = true, text_seen = false;
    start_script([&](int frame) {
        if (frame == 1)
            clean = copy_of_screen();  // the top line is still at row 224, below the window's text
        if (frame >= 1) {
            covered = covered && rows_equal(screen, clean, 0, 108);
            text_seen = text_seen || !rows_equal(screen, clean, 108, 132);
        }
        if (frame == 2)
            push_key(SDLK_DOWN);
        if (frame == 3)
            push_key(SDLK_LEFT);
        if (frame == 4)
            push_key(SDLK_RIGHT);
    });
    show_opensource();
    int frames = stop_script();
    EXPECT_EQ(frames, 345) << "down, left and right do not end the roll";
    EXPECT_TRUE(covered) << "a line showed above row 108";
    EXPECT_TRUE(text_seen);
    // In the last frame every line has passed behind the top of the picture,
    // and the heading that the first frame showed at row 224 is gone.
    EXPECT_TRUE(rows_equal(screen, clean, 108, 116));
    EXPECT_FALSE(rows_equal(screen, clean, 224, 16));
    SDL_FreeSurface(clean);
}

TEST_F(Credits, UpActionAndPauseEndItAfterTheCurrentFrame)
{
    for (SDLKey key : {SDLK_UP, SDLK_RETURN, SDLK_SPACE}) {
        EXPECT_EQ(roll_with(key, 20), 21) << SDL_GetKeyName(key);
        EXPECT_EQ(quit_zarn, 0);
    }
    start_script([](int frame) {
        if (frame == 7)
            push_quit();
    });
    show_opensource();
    EXPECT_EQ(stop_script(), 8) << "the frame of the close is still drawn";
    EXPECT_EQ(quit_zarn, 1);
}
