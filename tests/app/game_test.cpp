// The game flow: games, continues, the ending, restarts and the level select,
// played through the real outer loop on levels packed for the test.
#include <gtest/gtest.h>

#include "core/highscores.h"
#include "screens/scrolltext.h"
#include "config/config.h"
#include "config/input.h"
#include "sys/clock.h"
#include "core/field.h"
#include "app/game.h"
#include "core/state.h"
#include "core/level.h"
#include "screens/controls.h"
#include "screens/credits.h"
#include "screens/highscore.h"
#include "screens/intro.h"
#include "screens/level.h"
#include "screens/levelselect.h"
#include "screens/menu.h"
#include "screens/password.h"
#include "screens/settings.h"
#include "sound/sound.h"
#include "support/boot.h"
#include "support/input_script.h"
#include "support/level_text.h"
#include "support/pause_call.h"
#include "support/play_script.h"
#include "support/screen_probe.h"
#include "video/fps.h"
#include "video/screen.h"

#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <string>

namespace {

class Flow : public testing::Test {
protected:
    std::unique_ptr<scoped_cwd> cwd;

    void start(const std::vector<std::pair<int, std::string>>& levels)
    {
        cwd = std::make_unique<scoped_cwd>(make_level_folder(levels));
        boot_game();
        booted = true;
        ASSERT_TRUE(input_reads_keys()) << "held keys cannot be read: no scripted play can run";
    }
    void TearDown() override
    {
        if (booted)
            shutdown_game();
        screen = nullptr;  // gone with SDL
        cwd.reset();
    }
    bool booted = false;
};

TEST(LevelTrack, EveryPairOfLevelsHasItsTuneAndClassicHasOne)
{
    const int cases[][3] = {{1, 0, 1},  {2, 0, 1},  {3, 0, 2},  {16, 0, 8}, {17, 0, 1},
                            {18, 0, 1}, {48, 0, 8}, {1, 1, 10}, {32, 1, 10}};  // level, classic, tune
    for (const auto& c : cases)
        EXPECT_EQ(level_track(c[0], c[1]), c[2]) << "level " << c[0] << (c[1] ? " classic" : "");
}

TEST(Passwords, AreFourCapitalsAllDifferentAndNoneIsReserved)
{
    std::set<std::string> seen = {"AAAA", "KWYB", "JOPH", "FUZD", "VEGT", "NIBQ"};  // the reserved words
    for (int i = 0; i < PW_COUNT; i++) {
        std::string word = pw[i];
        EXPECT_EQ(word.size(), 4u) << "level " << i + 1;
        EXPECT_EQ(word.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos) << word;
        EXPECT_TRUE(seen.insert(word).second) << word << " twice or reserved";
    }
}

// Three falls on a level without a start cell: the player falls in the first
// frame of play. Start screen, fall screen: three frames an attempt.
constexpr const char* THREE_FALLS = "1 press RETURN\n3 press RETURN\n"
                                    "4 press RETURN\n6 press RETURN\n"
                                    "7 press RETURN\n9 press RETURN\n";

TEST_F(Flow, GameOverYesContinuesTheLevelWithFreshLivesAndNoReturnsToTheMenu)
{
    start({{1, "S#.o"}, {5, "o"}});
    const struct {
        const char* answer;
        int look;  // the frame whose end shows the next level
        const char* seen;
    } cases[] = {
        {"10 press RETURN\n13 quit\n", 12, "game over 1, answer 1, level 5 lives 3 score 0"},
        {"10 press DOWN\n11 press RETURN\n14 quit\n", 13, "game over 1, answer 0, level 1"},
    };
    for (const auto& c : cases) {
        cont = 1;  // skips the menu
        curr_map = 5;
        quit_zarn = 0;
        end_game = 0;
        for (int32_t& place : high_scores)
            place = 100000;  // the old game's 77 points earn no place: no name entry
        std::string seen;
        play_result res = run_script(script(std::string(THREE_FALLS) + c.answer), game_loop, [&](int frame) {
            if (frame == 1)
                Player.score = 77;  // the old game's points
            if (frame == 9)
                seen += "game over " + std::to_string(end_game);
            if (frame == 12)
                seen += ", answer " + std::to_string(cont);
            if (frame == c.look)
                seen += ", level " + std::to_string(curr_map);
            if (frame == c.look && curr_map == 5)
                seen += " lives " + std::to_string(Player.lives) + " score " + std::to_string(Player.score);
        });
        EXPECT_TRUE(res.quit);
        EXPECT_EQ(seen, c.seen) << c.answer;
    }
}

// The level and lives as a frame ends.
std::string level_and_lives()
{
    return "level " + std::to_string(curr_map) + " lives " + std::to_string(Player.lives);
}

TEST_F(Flow, TheDebugLevelSelectComesBeforeEveryAttempt)
{
    start({{1, "S#.o"}, {2, "S#.o"}, {3, "o"}});
    debug_levels = 1;
    cont = 1;
    std::string after_fall, chosen;
    play_result res = run_script(script("1 hold UP\n3 release UP\n3 press RETURN\n"  // level 3
                                        "4 press RETURN\n6 press RETURN\n"          // a fall
                                        "7 hold DOWN\n7 press SPACE\n8 release DOWN\n8 press RETURN\n"
                                        "10 quit\n"),
                                 game_loop, [&](int frame) {
                                     after_fall = frame == 7 ? std::to_string(curr_map) : after_fall;
                                     chosen = frame == 9 ? level_and_lives() : chosen;
                                 });
    EXPECT_TRUE(res.quit);
    EXPECT_EQ(after_fall, "3");
    EXPECT_EQ(chosen, "level 2 lives 2");
}

TEST_F(Flow, ARestartPlaysTheSameLevelAgainWithALifeLess)
{
    start({{1, "S#.o"}, {4, "S##.o"}});
    cont = 1;
    curr_map = 4;
    std::string seen;
    run_script(script("1 press RETURN\n"
                      "2 hold RIGHT\n3 release RIGHT\n"
                      "4 press RETURN\n5 press RIGHT\n6 press RETURN\n"  // pause, restart
                      "10 quit\n"),
               game_loop, [&](int frame) {
                   if (frame == 8)  // the new start screen sets cont again
                       seen = level_and_lives() + " cont " + std::to_string(cont) + " x " + std::to_string(px);
               });
    EXPECT_EQ(seen, "level 4 lives 2 cont 1 x 0");  // back on the start cell
}

TEST_F(Flow, LevelSelectWrapsAndConfirmsWithActionOnly)
{
    start({{1, "S#.o"}});
    curr_map = 1;
    run_script(script("1 hold DOWN\n2 release DOWN\n2 press SPACE\n3 press RETURN\n"), select_level);
    EXPECT_EQ(curr_map, 48);
    run_script(script("1 hold UP\n2 release UP\n2 press RETURN\n"), select_level);
    EXPECT_EQ(curr_map, 1);
    run_script(script("1 hold UP\n1 hold DOWN\n2 press RETURN\n"), select_level);
    EXPECT_EQ(curr_map, 2);  // up and down together count as up
    play_result res = run_script(script("1 press RETURN\n"), select_level);
    EXPECT_EQ(res.frames, 1);
    EXPECT_EQ(curr_map, 2);
}

// Every global back to its start, on the virtual clock, as a new process.
void fresh_process()
{
    state_reset();
    config_reset();
    input_reset();
    screen_reset();
    field_reset();
    scrolltext_reset();
    sys_use_virtual_clock(true);
}

// A screen entered after the window was closed returns at once, without a
// frame or a wait (the credits after an intro that was closed, for one).
TEST_F(Flow, EveryScreenEnteredAfterTheCloseReturnsAtOnce)
{
    start({{1, "S#.o"}});
    init_maps(1, 0);
    const std::pair<const char*, std::function<void()>> screens[] = {
        {"intro", start_screen},       {"credits", show_opensource},      {"menu", menu},
        {"table", show_highscores},    {"password", enter_pw},            {"settings", settings},
        {"controls", controls},        {"level select", select_level},    {"message", [] { aktion(MSG_FALL); }},
        {"play", engine},              {"pause", [] { run_pause_menu(); }}, {"name entry", [] { enter_highscore(0); }},
    };
    for (const auto& [name, fn] : screens) {
        quit_zarn = 1;
        uint32_t start = sys_ticks();
        EXPECT_EQ(run_script(script(""), fn).frames, 0) << name;
        EXPECT_EQ(sys_ticks(), start) << name;
    }
}

// zarn_main from start-up to shut-down; quit as soon as a frame has ended.
void run_main(std::vector<const char*> args)
{
    fresh_process();
    args.push_back(nullptr);
    int frames = 0;
    start_script([&frames](int frame) {
        frames = frame;
        if (frame > 0)
            push_quit();
        if (frame > 100)
            quit_zarn = 1;
    });
    EXPECT_EQ(zarn_main(static_cast<int>(args.size()) - 1, const_cast<char**>(args.data())), 0);
    stop_script();
    destroy_sound();  // the game leaves it to the end of the process
    sys_use_virtual_clock(false);
    EXPECT_EQ(quit_zarn, 1);
    EXPECT_LT(frames, 100);
}

TEST(Main, DebugIsTheFirstArgumentOnly)
{
    run_main({"zarn", "-debug"});
    EXPECT_EQ(debug_levels, 1);
    run_main({"zarn", "-zoom", "-debug"});
    EXPECT_EQ(debug_levels, 0);
    run_main({"zarn", "x", "-debug"});
    EXPECT_EQ(debug_levels, 0);
    run_main({"zarn"});
    EXPECT_EQ(debug_levels, 0);
}

// A walk through the screens: once `screen` runs, each token is one frame's
// input (v E press down and Return, a letter its key; R holds right for a frame;
// . nothing; Q close the window); a last "*" repeats them while it runs.
struct route_step {
    const char* screen;
    const char* tokens;
};

struct walk {
    const char* what;
    std::vector<route_step> route;  // the last token closes the window
    const char* level = "S.o";      // level 1: a hole beside the start
    const char* args = "zarn";
};

std::vector<std::string> words(const std::string& s)
{
    std::istringstream in(s);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

int screen_index(const char* name)
{
    for (int i = 0; i < SCREEN_COUNT; i++)
        if (strcmp(SCREEN_NAMES[i], name) == 0)
            return i;
    return -2;
}

// Closing the window ends the program from every screen within the frame that
// reads the close: no further frame ends, no wait goes on. zarn_main runs from
// start-up on a level folder whose high-score table any score enters.
TEST(Main, ClosingTheWindowInAnyScreenEndsTheProgramWithinAFrame)
{
    const std::vector<route_step> to_menu = {{"start_screen", "E . *"}, {"show_opensource", "E"}};
    auto via_menu = [&](std::vector<route_step> more) {
        std::vector<route_step> r = to_menu;
        r.insert(r.end(), more.begin(), more.end());
        return r;
    };
    const std::vector<route_step> fall = {{"aktion", "E"}, {"engine", "R *"}, {"aktion", "E ."}};
    const walk walks[] = {
        {"the logo intro", {{"start_screen", ". Q"}}},  // and no credits after it
        {"the credits", {{"start_screen", "E . *"}, {"show_opensource", "Q"}}},
        {"the menu", via_menu({{"menu", "Q"}})},
        {"the high-score table after 30 idle seconds", via_menu({{"show_highscores", "Q"}})},
        {"the password screen", via_menu({{"menu", "v v E"}, {"enter_pw", "Q"}})},
        {"the password verdict's second", via_menu({{"menu", "v v E"}, {"enter_pw", "E Q"}})},
        {"the settings", via_menu({{"menu", "v v v E"}, {"settings", "Q"}})},
        {"the controls", via_menu({{"menu", "v v v E"}, {"settings", "v v E"}, {"controls", "Q"}})},
        {"the controls' wait for a key", via_menu({{"menu", "v v v E"}, {"settings", "v v E"}, {"controls", "EQ"}})},
        {"the level select", via_menu({{"menu", "E"}, {"select_level", "Q"}}), "S.o", "zarn -debug"},
        {"the level start", via_menu({{"menu", "E"}, {"aktion", "Q"}})},
        {"play", via_menu({{"menu", "E"}, {"aktion", "E"}, {"engine", ". Q"}})},
        {"the pause menu", via_menu({{"menu", "E"}, {"aktion", "E"}, {"engine", "E"}, {"pause", "Q"}})},
        {"a fall", via_menu({{"menu", "E"}, {"aktion", "E"}, {"engine", "R *"}, {"aktion", "Q"}})},
        {"a won level", via_menu({{"menu", "E"}, {"aktion", "E ."}, {"aktion", "Q"}}), "S#"},
        {"the game over", via_menu({{"menu", "E"}, fall[0], fall[1], fall[2], fall[0], fall[1], fall[2], fall[0],
                                    fall[1], {"aktion", "E . Q"}})},
        {"the name entry", via_menu({{"menu", "E"}, fall[0], fall[1], fall[2], fall[0], fall[1], fall[2], fall[0],
                                     fall[1], {"aktion", "E . v E"}, {"enter_highscore", "Q"}})},
    };
    for (const walk& w : walks) {
        scoped_cwd cwd(make_level_folder({{1, w.level}}));
        for (int32_t& score : high_scores)
            score = -1;
        write_highscores();
        fresh_process();
        size_t step = 0, token = 0;
        bool started = false;
        int quit_frame = -1, quit_screen = -1;
        uint32_t quit_ms = 0;
        start_script([&](int frame) {
            release_all_keys();
            if (frame == 0 || quit_frame >= 0)
                return;
            if (frame > 3000) {  // lost on the way
                quit_zarn = 1;
                push_quit();
                return;
            }
            int now = running_screen();
            std::vector<std::string> tokens;
            bool repeat = false;
            for (;; step++, token = 0, started = false) {
                if (step == w.route.size())
                    return;
                tokens = words(w.route[step].tokens);
                repeat = tokens.back() == "*";
                if (now == screen_index(w.route[step].screen) || (!repeat && started))
                    break;
                if (!started)
                    return;  // waiting for the screen; a repeated step ends with its screen
            }
            started = true;
            for (char c : tokens[token]) {
                if (c == 'R')
                    hold_key(SDLK_RIGHT, true);
                else if (c == 'Q')
                    quit_frame = frame, quit_ms = sys_ticks(), quit_screen = now, push_quit();
                else if (c != '.')
                    push_key(c == 'E' ? SDLK_RETURN : c == 'v' ? SDLK_DOWN : static_cast<SDLKey>(c));
            }
            if (++token == tokens.size() - repeat) {
                token = 0;
                if (!repeat)
                    step++, started = false;
            }
        });
        std::vector<std::string> args = words(w.args);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        EXPECT_EQ(zarn_main(static_cast<int>(args.size()), argv.data()), 0);
        int frames = stop_script();
        uint32_t ms = sys_ticks() - quit_ms;
        destroy_sound();
        sys_use_virtual_clock(false);
        ASSERT_GE(quit_frame, 0) << w.what << ": never reached";
        EXPECT_STREQ(SCREEN_NAMES[quit_screen], w.route.back().screen) << w.what;
        EXPECT_LE(frames - quit_frame, 1) << w.what;
        EXPECT_LE(ms, 34u) << w.what << ": " << frames - quit_frame << " frames more";
    }
}

}  // namespace
