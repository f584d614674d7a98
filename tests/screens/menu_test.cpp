#include "play_screen.h"

namespace {

constexpr int CONTINUE_LEVEL = 5;  // last_pw names it: "CONTINUE" sets curr_map to 5

struct MainMenu : screen_test {
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
using PasswordScreen = screen_test;

// Plays the password screen; returns the virtual milliseconds it took (a
// verdict holds it for a second).
uint32_t enter(const std::string& script)
{
    played r = play(enter_pw, script);
    EXPECT_FALSE(r.timed_out) << script;
    return r.ms;
}

}  // namespace

TEST_F(MainMenu, ScrollTextRunsOnceThroughTheMessageAndBouncesEvery64Frames)
{
    std::string text = scrolltext;
    EXPECT_EQ(text.find_first_not_of(' '), 40u);  // it enters from the right edge
    EXPECT_EQ(text.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789 ,-."), text.size() - 1);  // the '~'
    std::vector<int32_t> heights;
    for (int i = 1; i <= 8 * static_cast<int>(text.size()); i++) {
        put_scrolltext();
        scrolltext_step();
        ASSERT_EQ(scrolltextpos, i % (8 * static_cast<int>(text.size())));
        heights.push_back(bouncey);
    }
    for (size_t i = 64; i < heights.size(); i++)
        ASSERT_EQ(heights[i], heights[i - 64]) << i;
    EXPECT_EQ(*std::min_element(heights.begin(), heights.end()), 215);
    EXPECT_EQ(*std::max_element(heights.begin(), heights.end()), 231);
}

TEST(ContinueScan, TakesTheLastMatchAmongTheLevelsOfTheSet)
{
    state_reset();
    // The password, the levels in the set and the level continued (1: none);
    // 1000 levels: the password table ends the scan; "BOLAX" has no zero byte.
    for (auto [word, levels, level] :
         {std::tuple{pw[9], 48, 10}, {"AAAA", 48, 1}, {pw[9], 9, 1}, {pw[63], 1000, 64}, {"BOLAX", 1000, 1}}) {
        memcpy(last_pw, word, sizeof last_pw);
        maxmap = levels;
        curr_map = 1;
        check_lastpw();
        EXPECT_EQ(curr_map, level) << word;
    }
    state_reset();
}

// A click highlights an entry and a second one confirms it, but never EXIT.
TEST_F(MainMenu, UpAndDownWrapAroundCancelWhenPressedTogetherAndClicksPickAnEntry)
{
    for (auto [script, entry, frames] : {
             std::tuple{"", 1, 1}, {"[^]", 5, 1}, {"[^][v]", 1, 3}, {"[v]", 2, 2}, {"[v][v][v][v]", 5, 4},
             {"[^][v][v]", 2, 4}, {"[^v]", 1, 2}, {"[v][^v]", 2, 3}, {"[^][^v]", 5, 2},
             {"[v][S][Q]", 2, 2},  // space confirms too
             {"(120,108)", 1, 1}, {"(120,132)(120,132)", 2, 2}, {"(120,204)(120,204)[3]", 5, 5},
             {"(120,99)(120,220)(120,239)[v]", 2, 5}, {"(10,180)[^][^]", 2, 4}}) {
        EXPECT_EQ(confirmed(script), entry) << script;
        EXPECT_EQ(last.frames, frames) << script;
    }
}

TEST_F(MainMenu, LeftAndRightOnRunZarnCycleTheThemesAndReloadThem)
{
    auto picture = [] {
        SDL_Surface* title = theme_picture(PICTURE_TITLE);
        auto* p = static_cast<const uint8_t*>(title->pixels);
        return std::vector<uint8_t>(p, p + title->h * title->pitch);
    };
    std::vector<uint8_t> pictures[3];
    for (gfx_scheme = 2; gfx_scheme >= 0; gfx_scheme--) {
        load_newtheme();
        pictures[gfx_scheme] = picture();
    }
    gfx_scheme = 0;
    for (auto [script, theme] : {std::pair{"[<]", 2}, {"[>]", 0}, {"[>][>]", 2}, {"[v][<][>][>]", 2}, {"[v][^>]", 0}}) {
        confirmed(script);
        EXPECT_EQ(gfx_scheme, theme) << script;
        EXPECT_TRUE(picture() == pictures[theme]) << script;
    }
}

// While the table is up a key closes it and is used up; on the menu "down"
// moves to "CONTINUE". So "down, confirm" continues only without a table.
// Idle turns: the table at 31 s (a key closes it), a demonstration 30 s
// later (a key ends it at once and is used up), then the table again.
TEST_F(MainMenu, IdleTurnsShowTheTableThenADemoThenTheTableAgainAndThePasswordScreenRestartsThem)
{
    EXPECT_EQ(confirmed("[@29000][v]"), 2);
    EXPECT_EQ(confirmed("[@31000][v]"), 1);
    EXPECT_EQ(confirmed("[@10000][v][@11000][^][@31000][v]"), 1);  // keys do not restart the timer
    EXPECT_EQ(confirmed("[@31000][v][@62000][v][@93000][v]"), 1);
    EXPECT_EQ(demo_level, 2) << "one demonstration, of level 1";
    EXPECT_GT(last.ms, 93000u);
    // The password screen at 20 s (one second of verdict) restarts it, and
    // so does the settings screen.
    Player.bonus_lives = 9;
    EXPECT_EQ(confirmed("[@20000][v][v][E][5][E][@39000][^]"), 2);
    EXPECT_EQ(Player.bonus_lives, 0);
    EXPECT_GT(last.ms, 39000u);
    EXPECT_EQ(confirmed("[@20000][v][v][v][E][S][@39000][^][^]"), 2);
}

// The demonstration plays its level by the stored solution through the play
// loop and wins it, level after level in turn, with "DEMO" shown; the running
// game, the password, the high scores and the records stay as they were.
TEST_F(MainMenu, TheDemoWinsItsLevelsInTurnLeavesTheGameAloneAndAnyInputEndsIt)
{
    Player = {77, 2, 0, 1, 1, 0};
    const player_record game = Player;
    curr_map = 9;
    memcpy(last_pw, pw[8], sizeof last_pw);
    int outcome = 0;
    bool demo_shown = false;
    auto look = [&](int frame) {
        if (frame == 1)
            demo_shown = drawn_already([](SDL_Surface* s) { put_text(s, 8, 28, "DEMO"); });
    };
    for (auto [classic, level] : {std::pair{0, 1}, {0, 2}, {0, 48}, {1, 32}}) {
        classic_mode = classic;
        maxmap = classic ? 32 : 48;
        demo_level = level;
        play([&] { outcome = play_demo(); }, "", look, 100000);
        EXPECT_EQ(outcome, PLAY_WON) << level;
        EXPECT_LE(MapData.fields_left, 0) << level;
        EXPECT_EQ(demo_level, level % maxmap + 1);
        EXPECT_TRUE(demo_shown) << level;
    }
    EXPECT_EQ(memcmp(&Player, &game, sizeof game), 0);
    EXPECT_EQ(curr_map, 9);
    EXPECT_STREQ(last_pw, pw[8]);
    EXPECT_EQ(fopen("zarn.hi", "rb"), nullptr);
    EXPECT_EQ(level_record_of(32, 1), nullptr);

    for (const char* input : {"[5]x", "[5](100,100)", "[5][J3]"}) {
        played p = play([&] { outcome = play_demo(); }, input);
        EXPECT_EQ(outcome, -1) << input;
        EXPECT_EQ(p.frames, 5) << input;  // read in frame 6, which is not drawn
    }
    setenv("XDG_PICTURES_DIR", scratch_dir().c_str(), 1);
    EXPECT_EQ(play([&] { outcome = play_demo(); }, "[5][F][A][A][5]x").frames, 13) << "window keys are no keys here";
    unsetenv("XDG_PICTURES_DIR");

    {  // a solution without its level: no demonstration, and the game goes on
        private_data data;
        closeArchives();
        write_qva("data/maps.qva", {{"zarn-001.sol", {'R'}}});
        openArchives();
        demo_level = 1;
        classic_mode = 0;
        EXPECT_EQ(play([&] { outcome = play_demo(); }, "").frames, 0);
        EXPECT_EQ(outcome, -1);
        closeArchives();
    }
    openArchives();
}

// Each word and what it leaves: the player's cheats (cleared at every
// visit), the warp and the classic set (never cleared), the level in play.
TEST_F(PasswordScreen, CheatWordsAndLevelPasswordsTakeEffectOnlyWhole)
{
    curr_map = 7;
    EXPECT_EQ(play(enter_pw, "[S][3][E]").frames, 5) << "space does not confirm";
    EXPECT_GE(enter(std::string(pw[11]) + "[E]"), 1000u);
    EXPECT_STREQ(tmp_string, "LEVEL 12");
    EXPECT_FALSE(drawn_already([](SDL_Surface* s) { put_text(s, 128, 176, "    ."); })) << "the verdict hides the cursor";
    auto after = [] {
        return std::to_string(Player.bonus_lives) + " " + std::to_string(Player.life_refund) + " " +
               std::to_string(Player.time_bonus) + " " + std::to_string(level_warp_activated) + " " +
               std::to_string(classic_mode) + " " + std::to_string(curr_map) + "/" + std::to_string(maxmap);
    };
    for (auto [word, left] : {std::pair<std::string, const char*>{"AAAA[E]", "0 0 0 0 0 12/48"},  // no word
                              {"KWYB(10,10)", "3 0 0 0 0 12/48"},  // a click outside the letters confirms
                              {"JOPH(162,193)", "0 1 0 0 0 12/48"},
                              {"FUZD[E]", "0 0 999 0 0 12/48"},
                              {"NIBQ[E]", "0 0 0 1 0 12/48"},
                              {"KWYB[B][E]", "0 0 0 1 0 12/48"},
                              {"KWY[E]", "0 0 0 1 0 12/48"},
                              {std::string(pw[47]) + "[E]", "0 0 0 1 0 48/48"},
                              {"VEGT[E]", "0 0 0 1 1 1/32"},
                              {std::string(pw[40]) + "[E]", "0 0 0 1 1 1/32"},  // beyond the 32 classic levels
                              {std::string(pw[31]) + "[E]", "0 0 0 1 1 32/32"}}) {
        EXPECT_GE(enter(word), 1000u) << word;  // a second of verdict
        EXPECT_EQ(after(), left) << word;
    }
    EXPECT_EQ(std::vector<int>({music[9] != nullptr, MP_PlayingMusic(), mpLoops}), std::vector<int>({1, 1, -1}))
        << "the classic set's tune, looped without end";

    // Without levels a plain word gives no verdict and the screen stays
    // until the window closes, at once.
    maxmap = 0;
    played r = play(enter_pw, std::string(pw[0]) + "[E][3][Q]");
    EXPECT_EQ(r.frames, 8);
    EXPECT_LT(r.ms, 1000u);
    EXPECT_EQ(quit_zarn, 1);
    EXPECT_EQ(curr_map, 32);
}

TEST_F(PasswordScreen, TypingBackspaceHeldDirectionsAndClicksEditTheWord)
{
    for (const char* script : {
             "KWYBX",                          // a fifth letter is ignored
             "KWYX[B]B",                       // backspace at 4 blanks the fourth
             "KWQ[B]YB",                       // at 3 the third goes
             "KXWY{<}{<}[X]{>}{>}B",           // at 2 the rest closes up
             "XKWY{<}{<}{<}[B]K{>}{>}[B]YB",   // at 1 the cursor goes to 0
             "XKWY{<}{<}{<}{<}[B]{>}{>}{>}B",  // at 0 the first goes, the cursor stays
             "{<}KWYB{>}X",                    // the cursor stays within 0..4
             "KWYB{^}{v}",                     // up and down past the last letter do nothing
             "KWY{^!}[3]qb",                   // q falls in the input pause, b does not
             "KWYZ{<}{v10}",                   // down twice from 'Z': 'A', then 'B'
             "{^}{v61}{>}WYB",                 // up on 'A' gives 'Z'; held, a step every sixth frame
             "XWYB(132,170)K",                 // a click picks a column
             "KWY(177,192)",                   // a click on the cursor's letter steps it
         }) {
        Player.bonus_lives = 0;
        enter(script + std::string("[E]"));
        EXPECT_EQ(Player.bonus_lives, 3) << script;
    }
}

// The whole program: the menu starts a game, every attempt runs out of time
// untouched, the game-over question is answered "NO", the new high score is
// named, the menu shows the table with its place, and EXIT writes the table.
TEST(WholeGame, FromTheMenuThroughGameOverToANamedHighScore)
{
    for (int place = 0; place < 6; place++) {
        high_scores[place] = place < 5 ? 999999 : -1;  // any score takes place 6
        memcpy(high_names[place], "OLD", 4);
    }
    write_highscores();

    // The player confirms whatever screen has stood still for two seconds
    // (play counts the level clock down every second), answers "NO", types a
    // name, watches the table for 40 frames, then leaves.
    enum { PLAYING, ANSWERING, NAMING, LEAVING } phase = PLAYING;
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
            keys = "<^E";  // a key closes the table, then EXIT
            phase = LEAVING;
        }
    };
    played r = play([] { run_zarn({"zarn"}); }, "", player, 30000);
    sys_use_virtual_clock(false);

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
