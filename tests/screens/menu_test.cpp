#include "play_screen.h"

#include "config/config.h"
#include "config/input.h"
#include "core/field.h"
#include "core/game.h"
#include "core/level.h"
#include "screens/highscore.h"
#include "screens/menu.h"
#include "sound/sound.h"

#include <algorithm>

namespace {

constexpr int CONTINUE_LEVEL = 5;  // last_pw names it: "CONTINUE" sets curr_map to 5

class MainMenu : public screen_test {
protected:
    // Plays the menu with the script and a final Return; tells which entry
    // acted: 1 "RUN ZARN", 2 "CONTINUE", 5 "EXIT" (or a closed window), 0 none.
    int confirmed(const std::string& script)
    {
        curr_map = 1;
        quit_zarn = 0;
        memcpy(last_pw, pw[CONTINUE_LEVEL - 1], sizeof last_pw);
        last = play(menu, script + "[E]");
        return last.timed_out ? 0 : quit_zarn ? 5 : curr_map == CONTINUE_LEVEL ? 2 : 1;
    }
    played last = {};
};

uint64_t checksum(SDL_Surface* s)
{
    uint64_t sum = 0;
    for (int i = 0; i < s->h * s->pitch; i++)
        sum = sum * 31 + static_cast<const uint8_t*>(s->pixels)[i];
    return sum;
}

}  // namespace

TEST_F(MainMenu, ScrollTextEntersFromTheRightRunsThroughTheMessageOnceAndBouncesEvery64Frames)
{
    std::string text = scrolltext;
    EXPECT_EQ(text.find_first_not_of(' '), 40u);
    EXPECT_EQ(text.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789 ,-."), text.size() - 1);  // the '~'
    std::vector<int32_t> heights;
    for (int i = 1; i < 8 * static_cast<int>(text.size()); i++) {
        put_scrolltext();
        ASSERT_EQ(scrolltextpos, i);
        heights.push_back(bouncey);
    }
    put_scrolltext();
    EXPECT_EQ(scrolltextpos, 0);
    for (size_t i = 64; i < heights.size(); i++)
        ASSERT_EQ(heights[i], heights[i - 64]) << i;
    EXPECT_EQ(*std::min_element(heights.begin(), heights.end()), 215);
    EXPECT_EQ(*std::max_element(heights.begin(), heights.end()), 231);
}

TEST(ContinueScan, TakesTheLastMatchAmongTheLevelsOfTheSet)
{
    state_reset();
    struct {
        const char* word;
        int32_t levels, level;
    } cases[] = {
        {pw[9], 48, 10}, {"AAAA", 48, 1}, {pw[9], 9, 1},  // level 10 is not in a set of nine
        {pw[63], 1000, 64},                                // more levels than passwords: the table ends the scan
        {"BOLAX", 1000, 1},                                // no zero byte
    };
    for (auto& c : cases) {
        memcpy(last_pw, c.word, sizeof last_pw);
        maxmap = c.levels;
        curr_map = 1;
        check_lastpw();
        EXPECT_EQ(curr_map, c.level) << c.word;
    }
    state_reset();
}

TEST_F(MainMenu, UpAndDownWrapAroundCancelWhenPressedTogetherAndSpaceConfirmsToo)
{
    for (auto [script, entry] : {std::pair{"", 1}, {"[^]", 5}, {"[^][v]", 1}, {"[v]", 2}, {"[v][v][v][v]", 5},
                                 {"[^][v][v]", 2}, {"[^v]", 1}, {"[v][^v]", 2}, {"[^][^v]", 5}, {"[v][S][Q]", 2}})
        EXPECT_EQ(confirmed(script), entry) << script;
    EXPECT_EQ(confirmed("[v][Q]"), 5);
    EXPECT_EQ(last.frames, 1) << "a closed window ends the menu in that frame";
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

// The whole program: the menu starts a game, every attempt runs out of time
// untouched, the game-over question is answered "NO", the new high score is
// named, the menu shows the table with its place, and EXIT writes the table.
TEST(WholeGame, FromTheMenuThroughGameOverToANamedHighScore)
{
    state_reset();
    config_reset();
    input_reset();
    screen_reset();
    field_reset();
    menu_reset();
    clock_use_virtual(true);
    for (int place = 0; place < 6; place++) {
        high_scores[place] = place < 5 ? 999999 : -1;  // any score takes place 6
        memcpy(high_names[place], "OLD", 4);
    }
    write_highscores();

    // The player confirms whatever screen has stood still for two seconds
    // (play counts the level clock down every second), answers "NO", types a
    // name, watches the table for 40 frames, then leaves.
    enum { PLAYING, ANSWERING, NAMING, WATCHING, LEAVING } phase = PLAYING;
    int32_t seen_time = -1;
    uint32_t still_since = 0;
    int table_frames = 0;
    std::string keys;  // pressed one a frame
    auto player = [&](int) {
        uint32_t now = sys_ticks();
        if (!keys.empty()) {
            push_key(key_of(keys[0]));
            keys.erase(0, 1);
        } else if (phase == PLAYING && end_game) {
            keys = "vE";
            phase = ANSWERING;
        } else if (phase == PLAYING && MapData.time_left != seen_time) {
            seen_time = MapData.time_left;
            still_since = now;
        } else if (phase == PLAYING && now - still_since > 2000) {
            keys = "E";
            still_since = now;
        } else if (phase == ANSWERING && memcmp(high_names[5], "      ", 7) == 0) {
            keys = "testerE";
            phase = NAMING;
        } else if (phase == NAMING && got_highscore == 6 && ++table_frames == 40) {
            keys = "<";
            phase = WATCHING;
        } else if (phase == WATCHING && got_highscore == 0) {
            keys = "^E";
            phase = LEAVING;
        }
    };
    char arg0[] = "zarn";
    char* argv[] = {arg0, nullptr};
    played r = play([&] { zarn_main(1, argv); }, "", player, 30000);
    destroy_sound();  // the game leaves it to the end of the process
    clock_use_virtual(false);

    EXPECT_FALSE(r.timed_out);
    EXPECT_EQ(phase, LEAVING);
    EXPECT_EQ(quit_zarn, 1);
    EXPECT_EQ(Player.lives, 0);
    memset(high_scores, 0, sizeof high_scores);
    memset(high_names, 0, sizeof high_names);
    read_highscores();
    EXPECT_EQ(std::vector<int32_t>(high_scores, high_scores + 6),
              (std::vector<int32_t>{999999, 999999, 999999, 999999, 999999, Player.score}));
    EXPECT_STREQ(high_names[4], "OLD");
    EXPECT_STREQ(high_names[5], "TESTER");
}
