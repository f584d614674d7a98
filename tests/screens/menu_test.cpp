#include "front_script.h"

#include "config/config.h"
#include "core/clock.h"
#include "core/state.h"
#include "core/trig.h"
#include "res/assets.h"
#include "screens/menu.h"

#include <cstring>
#include <set>
#include <string>

namespace {

constexpr int CONTINUE_LEVEL = 5;  // last_pw names it: "CONTINUE" sets curr_map to 5

class MainMenu : public front_screen {
protected:
    // Plays the menu with the script and a final Return; tells which entry
    // acted: 1 "RUN ZARN", 2 "CONTINUE", 5 "EXIT", 0 none.
    int confirmed(const std::string& script)
    {
        curr_map = 1;
        quit_zarn = 0;
        memcpy(last_pw, pw[CONTINUE_LEVEL - 1], sizeof last_pw);
        last = front_play(menu, script + "[E]");
        return last.timed_out ? 0 : quit_zarn ? 5 : curr_map == CONTINUE_LEVEL ? 2 : 1;
    }
    front_result last = {};
};

uint64_t checksum(SDL_Surface* s)
{
    uint64_t sum = 0;
    for (int y = 0; s && y < s->h; y++)
        for (int x = 0; x < s->pitch; x++)
            sum = sum * 31 + static_cast<const uint8_t*>(s->pixels)[y * s->pitch + x];
    return sum;
}

}  // namespace

TEST(ScrollText, IsOneLineOfTheSmallFontCarryingTheMessage)
{
    std::string text = scrolltext;
    ASSERT_EQ(text.size(), 1169u);
    EXPECT_EQ(text.find_first_not_of(' '), 40u);
    EXPECT_EQ(text.find('~'), text.size() - 1);
    EXPECT_EQ(text.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789 ,-."), text.size() - 1);
    for (const char* part : {"zarn 1.10", "48 fields", "free", "coins", "mine"})
        EXPECT_NE(text.find(part), std::string::npos) << part;
    EXPECT_GT(text.find("cheat"), text.size() * 3 / 4);
}

TEST_F(MainMenu, ScrollTextRestartsAfterTheWholeMessageAndBouncesEvery64Frames)
{
    std::set<int32_t> heights;
    int32_t period[64];
    for (int i = 1; i < 8 * 1169; i++) {
        put_scrolltext();
        ASSERT_EQ(scrolltextpos, i);
        heights.insert(bouncey);
        if (i <= 64)
            period[i - 1] = bouncey;
        else
            ASSERT_EQ(bouncey, period[(i - 1) % 64]) << i;
    }
    put_scrolltext();
    EXPECT_EQ(scrolltextpos, 0);
    EXPECT_EQ(period[0], (tsin[8] >> 7) + 223);
    EXPECT_EQ(*heights.begin(), 215);
    EXPECT_EQ(*heights.rbegin(), 231);
}

TEST(ContinueScan, TakesTheLastMatchAmongTheLevelsOfTheSet)
{
    state_reset();
    memcpy(last_pw, pw[9], sizeof last_pw);
    check_lastpw();
    EXPECT_EQ(curr_map, 10);
    memcpy(last_pw, "AAAA", sizeof last_pw);  // no level's password
    curr_map = 1;
    check_lastpw();
    EXPECT_EQ(curr_map, 1);
    memcpy(last_pw, pw[9], sizeof last_pw);
    maxmap = 9;  // level 10 is not in a set of nine
    curr_map = 1;
    check_lastpw();
    EXPECT_EQ(curr_map, 1);
    maxmap = 1000;  // more levels than passwords: the table ends the scan
    memcpy(last_pw, pw[63], sizeof last_pw);
    check_lastpw();
    EXPECT_EQ(curr_map, 64);
    memcpy(last_pw, "BOLAX", sizeof last_pw);  // no zero byte
    check_lastpw();
    EXPECT_EQ(curr_map, 64);
    state_reset();
}

TEST_F(MainMenu, UpAndDownWrapAroundAndCancelWhenPressedTogether)
{
    EXPECT_EQ(confirmed(""), 1);
    EXPECT_EQ(confirmed("[^]"), 5);
    EXPECT_EQ(confirmed("[^][v]"), 1);
    EXPECT_EQ(confirmed("[v]"), 2);
    EXPECT_EQ(confirmed("[v][v][v][v]"), 5);
    EXPECT_EQ(confirmed("[^][v][v]"), 2);
    EXPECT_EQ(confirmed("[^v]"), 1);
    EXPECT_EQ(confirmed("[v][^v]"), 2);
    EXPECT_EQ(confirmed("[^][^v]"), 5);
    quit_zarn = 0;
    front_play(menu, "[v][S]");  // the space bar confirms too
    EXPECT_EQ(curr_map, CONTINUE_LEVEL);
}

TEST_F(MainMenu, LeftAndRightOnRunZarnCycleTheThemesAndReloadThem)
{
    uint64_t sums[3];
    for (gfx_scheme = 2; gfx_scheme >= 0; gfx_scheme--) {
        load_newtheme();
        sums[gfx_scheme] = checksum(zarnmenu);
    }
    gfx_scheme = 0;
    for (auto [script, theme] : {std::pair{"[<]", 2}, {"[>]", 0}, {"[>][>]", 2}, {"[v][<][>][>]", 2}, {"[v][^>]", 0}}) {
        confirmed(script);
        EXPECT_EQ(gfx_scheme, theme) << script;
        EXPECT_EQ(checksum(zarnmenu), sums[theme]) << script;
    }
}

TEST_F(MainMenu, AClickHighlightsAnEntryAndASecondConfirmsItButNeverExits)
{
    EXPECT_EQ(confirmed("(120,108)"), 1);
    EXPECT_EQ(last.frames, 1);  // the first click started the game
    EXPECT_EQ(confirmed("(120,132)(120,132)"), 2);
    EXPECT_EQ(last.frames, 2);
    EXPECT_EQ(confirmed("(120,204)(120,204)[3]"), 5);
    EXPECT_EQ(last.frames, 5);  // only Return ended it
    EXPECT_EQ(confirmed("(120,99)(120,220)(120,239)[v]"), 2);
    EXPECT_EQ(confirmed("(10,180)[^][^]"), 2);
}

// While the table is up a key closes it and is used up; on the menu "down"
// moves to "CONTINUE". So "down, confirm" continues only without a table.
TEST_F(MainMenu, TheTableComesAfterThirtyIdleSecondsOrANewHighScore)
{
    EXPECT_EQ(confirmed("[@29000][v]"), 2);
    EXPECT_EQ(confirmed("[@31000][v]"), 1);
    EXPECT_EQ(confirmed("[@10000][v][@11000][^][@31000][v]"), 1);  // keys do not restart the timer
    got_highscore = 4;
    EXPECT_EQ(confirmed("[v]"), 1);
    EXPECT_EQ(got_highscore, 0);
    // The password screen at 20 s (one second of verdict) restarts it.
    Player.bonus_lives = 9;
    EXPECT_EQ(confirmed("[@20000][v][v][E][5][E][@39000][^]"), 2);
    EXPECT_EQ(Player.bonus_lives, 0);
    EXPECT_GT(last.ms, 39000u);
}

TEST_F(MainMenu, ClosingTheWindowEndsTheMenuInThatFrame)
{
    front_result r = front_play(menu, "[v][Q]");
    EXPECT_EQ(r.frames, 1);
    EXPECT_EQ(quit_zarn, 1);
    EXPECT_FALSE(r.timed_out);
}
