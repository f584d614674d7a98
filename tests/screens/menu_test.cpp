#include "front_steps.h"

#include "config/config.h"
#include "config/input.h"
#include "core/clock.h"
#include "core/trig.h"
#include "res/assets.h"
#include "screens/menu.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <string>

namespace {

// Menu rows in the frame: entry n is drawn at y = 100 + 24 (n - 1).
int row_y(int entry)
{
    return 100 + 24 * (entry - 1) + 8;
}

// Sum of the pixels of a surface; tells the themed pictures apart.
uint64_t checksum(SDL_Surface* s)
{
    if (!s)
        return 0;
    uint64_t sum = 0;
    SDL_LockSurface(s);
    for (int y = 0; y < s->h; y++) {
        const uint8_t* row = static_cast<const uint8_t*>(s->pixels) + y * s->pitch;
        for (int x = 0; x < s->w * s->format->BytesPerPixel; x++)
            sum = sum * 31 + row[x];
    }
    SDL_UnlockSurface(s);
    return sum;
}

// last_pw names level 5, so "CONTINUE" is told from "RUN ZARN" by curr_map.
constexpr int CONTINUE_LEVEL = 5;

class MainMenu : public front_screen {
protected:
    void SetUp() override
    {
        front_screen::SetUp();
        memcpy(last_pw, pw[CONTINUE_LEVEL - 1], sizeof last_pw);
    }

    // Runs the menu with the steps and a final confirm; tells which entry
    // was confirmed: 1 "RUN ZARN", 2 "CONTINUE", 5 "EXIT", 0 none.
    int confirmed(front_steps steps)
    {
        curr_map = 1;
        quit_zarn = 0;
        steps.press(SDLK_RETURN);
        steps.run(menu);
        if (steps.timed_out)
            return 0;
        if (quit_zarn)
            return 5;
        return curr_map == CONTINUE_LEVEL ? 2 : 1;
    }
};

}  // namespace

TEST(ScrollText, IsOneLineOfTheSmallFontCarryingTheMessage)
{
    std::string text = scrolltext;
    ASSERT_EQ(text.size(), 1169u);
    EXPECT_EQ(text.find_first_not_of(' '), 40u);
    EXPECT_EQ(text.find('~'), text.size() - 1);
    for (char c : text.substr(0, text.size() - 1))
        EXPECT_TRUE((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || strchr(" ,-.", c)) << "'" << c << "'";
    EXPECT_NE(text.find("zarn 1.10"), std::string::npos);
    EXPECT_NE(text.find("48"), std::string::npos);
    EXPECT_NE(text.find("free"), std::string::npos);
    EXPECT_NE(text.find("coins"), std::string::npos);
    EXPECT_GT(text.find("cheat"), text.size() * 3 / 4);
}

TEST_F(MainMenu, ScrollTextWrapsAfterTheWholeMessageAndBouncesEvery64Frames)
{
    const int cycle = 8 * 1169;
    std::set<int32_t> heights;
    int32_t first_period[64];
    for (int i = 1; i < cycle; i++) {
        put_scrolltext();
        ASSERT_EQ(scrolltextpos, i);
        ASSERT_EQ(scrollIndex % 8, 0);
        ASSERT_TRUE(scrollIndex >= 0 && scrollIndex <= 504);
        heights.insert(bouncey);
        if (i <= 64) {
            first_period[i - 1] = bouncey;
        } else if (i <= 128) {
            ASSERT_EQ(bouncey, first_period[i - 65]) << "frame " << i;
        }
    }
    put_scrolltext();
    EXPECT_EQ(scrolltextpos, 0);
    EXPECT_EQ(*heights.begin(), 215);
    EXPECT_EQ(*heights.rbegin(), 231);
    EXPECT_EQ(first_period[0], (tsin[8] >> 7) + 223);
}

TEST(ContinueScan, FindsTheLastMatchAmongTheLevelsOfTheSet)
{
    state_reset();
    memcpy(last_pw, pw[9], sizeof last_pw);
    check_lastpw();
    EXPECT_EQ(curr_map, 10);

    curr_map = 1;
    memcpy(last_pw, "ZZZZ", sizeof last_pw);
    check_lastpw();
    EXPECT_EQ(curr_map, 1);

    memcpy(last_pw, pw[40], sizeof last_pw);  // a level beyond the classic set
    maxmap = 32;
    check_lastpw();
    EXPECT_EQ(curr_map, 1);
    maxmap = 0;
    memcpy(last_pw, pw[0], sizeof last_pw);
    curr_map = 7;
    check_lastpw();
    EXPECT_EQ(curr_map, 7);

    // A set larger than the table, and a word without its zero byte.
    maxmap = 1000;
    memcpy(last_pw, pw[63], sizeof last_pw);
    check_lastpw();
    EXPECT_EQ(curr_map, 64);
    memcpy(last_pw, pw[2], 4);
    last_pw[4] = 'X';
    check_lastpw();
    EXPECT_EQ(curr_map, 64);
    state_reset();
}

TEST_F(MainMenu, UpAndDownWrapAndCancelWhenPressedTogether)
{
    EXPECT_EQ(confirmed(front_steps()), 1);
    EXPECT_EQ(confirmed(front_steps().press(SDLK_UP)), 5);
    EXPECT_EQ(confirmed(front_steps().press(SDLK_UP).press(SDLK_DOWN)), 1);
    EXPECT_EQ(confirmed(front_steps().press(SDLK_DOWN)), 2);
    EXPECT_EQ(confirmed(front_steps().press(SDLK_DOWN).press(SDLK_DOWN).press(SDLK_DOWN).press(SDLK_DOWN)), 5);
    EXPECT_EQ(confirmed(front_steps().press(SDLK_UP).press(SDLK_DOWN).press(SDLK_DOWN)), 2);
    auto both = [] {
        push_key(SDLK_UP);
        push_key(SDLK_DOWN);
    };
    EXPECT_EQ(confirmed(front_steps().add(both)), 1);
    EXPECT_EQ(confirmed(front_steps().press(SDLK_DOWN).add(both)), 2);
    EXPECT_EQ(confirmed(front_steps().press(SDLK_UP).add(both)), 5);
    // The space bar (pause) confirms as well.
    quit_zarn = 0;
    front_steps().press(SDLK_DOWN).press(SDLK_SPACE).run(menu);
    EXPECT_EQ(curr_map, CONTINUE_LEVEL);
}

TEST_F(MainMenu, LeftAndRightOnRunZarnCycleTheThemesAndReloadThem)
{
    uint64_t theme_sum[3];
    for (int t = 0; t < 3; t++) {
        gfx_scheme = t;
        load_newtheme();
        theme_sum[t] = checksum(zarnmenu);
    }
    gfx_scheme = 0;
    load_newtheme();

    EXPECT_EQ(confirmed(front_steps().press(SDLK_LEFT)), 1);
    EXPECT_EQ(gfx_scheme, 2);
    EXPECT_EQ(checksum(zarnmenu), theme_sum[2]);
    EXPECT_EQ(confirmed(front_steps().press(SDLK_RIGHT)), 1);
    EXPECT_EQ(gfx_scheme, 0);
    EXPECT_EQ(checksum(zarnmenu), theme_sum[0]);
    EXPECT_EQ(confirmed(front_steps().press(SDLK_RIGHT).press(SDLK_RIGHT)), 1);
    EXPECT_EQ(gfx_scheme, 2);
    EXPECT_EQ(checksum(zarnmenu), theme_sum[2]);

    // On any other entry left and right change nothing.
    EXPECT_EQ(confirmed(front_steps().press(SDLK_DOWN).press(SDLK_LEFT).press(SDLK_RIGHT).press(SDLK_RIGHT)), 2);
    EXPECT_EQ(gfx_scheme, 2);
    // Up from "CONTINUE" lands on "RUN ZARN", where right then applies.
    EXPECT_EQ(confirmed(front_steps().press(SDLK_DOWN).add([] {
        push_key(SDLK_UP);
        push_key(SDLK_RIGHT);
    })),
              1);
    EXPECT_EQ(gfx_scheme, 0);
    EXPECT_EQ(checksum(zarnmenu), theme_sum[0]);
}

TEST_F(MainMenu, AClickMovesTheHighlightAndASecondOneConfirmsExceptExit)
{
    // A click on "RUN ZARN", already highlighted, starts the game in frame 1.
    front_steps run_now;
    run_now.click(120, row_y(1));
    EXPECT_EQ(run_now.run(menu), 1);
    EXPECT_FALSE(run_now.timed_out);
    EXPECT_EQ(quit_zarn, 0);

    front_steps cont;
    cont.click(120, row_y(2)).click(120, row_y(2));
    EXPECT_EQ(cont.run(menu), 2);
    EXPECT_EQ(curr_map, CONTINUE_LEVEL);

    // Two clicks on "EXIT" only highlight it; the confirm key then exits.
    curr_map = 1;
    front_steps exit_clicks;
    exit_clicks.click(120, row_y(5)).click(120, row_y(5)).idle(3).press(SDLK_RETURN);
    EXPECT_EQ(exit_clicks.run(menu), 5);
    EXPECT_EQ(quit_zarn, 1);

    // Clicks above, below and at the bottom edge of the list change nothing.
    EXPECT_EQ(confirmed(front_steps().click(120, 99).click(120, 220).click(120, 239).press(SDLK_DOWN)), 2);
    // The mouse highlight and the keys combine: click "SETTINGS", then up.
    EXPECT_EQ(confirmed(front_steps().click(10, row_y(4)).press(SDLK_UP).press(SDLK_UP)), 2);
}

TEST_F(MainMenu, ContinueStartsAtTheLevelOfTheLastPassword)
{
    memcpy(last_pw, pw[9], sizeof last_pw);
    curr_map = 1;
    front_steps().press(SDLK_DOWN).press(SDLK_RETURN).run(menu);
    EXPECT_EQ(curr_map, 10);
    memcpy(last_pw, "AAAA", sizeof last_pw);
    curr_map = 1;
    front_steps().press(SDLK_DOWN).press(SDLK_RETURN).run(menu);
    EXPECT_EQ(curr_map, 1);
    EXPECT_EQ(quit_zarn, 0);
}

// While the table is up, a key closes it and is used up; on the menu the
// same key moves the highlight. So "down, confirm" continues the game only
// when no table was showing.
TEST_F(MainMenu, TheTableShowsAfterThirtyIdleSecondsOrANewHighScore)
{
    EXPECT_EQ(confirmed(front_steps().at(29000).press(SDLK_DOWN)), 2);
    EXPECT_EQ(confirmed(front_steps().at(31000).press(SDLK_DOWN)), 1);
    // Keys on the menu itself do not restart the idle timer.
    EXPECT_EQ(confirmed(front_steps().at(10000).press(SDLK_DOWN).at(11000).press(SDLK_UP).at(31000).press(SDLK_DOWN)),
              1);
    got_highscore = 4;
    EXPECT_EQ(confirmed(front_steps().press(SDLK_DOWN)), 1);
    EXPECT_EQ(got_highscore, 0);
}

TEST_F(MainMenu, ReturningFromThePasswordScreenRestartsTheIdleTimer)
{
    Player.bonus_lives = 9;
    front_steps steps;
    // At 20 s open the password screen and confirm "AAAA" (one second of
    // verdict); back on the menu, 18 s later, no table has come up.
    steps.at(20000).press(SDLK_DOWN).press(SDLK_DOWN).press(SDLK_RETURN).idle(5).press(SDLK_RETURN);
    steps.at(39000).press(SDLK_UP);
    EXPECT_EQ(confirmed(steps), 2);
    EXPECT_EQ(Player.bonus_lives, 0);
    EXPECT_GT(sys_ticks(), 39000u);
}

TEST_F(MainMenu, ClosingTheWindowEndsTheMenuAtOnce)
{
    front_steps steps;
    steps.press(SDLK_DOWN).add(push_quit);
    EXPECT_EQ(steps.run(menu), 1);
    EXPECT_EQ(quit_zarn, 1);
    EXPECT_FALSE(steps.timed_out);
}
