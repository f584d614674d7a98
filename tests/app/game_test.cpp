// The game flow: games, continues, the ending, restarts and the level select,
// played through the real outer loop on levels packed for the test.
#include "support/game.h"

#include <iterator>

namespace {

// Every test starts the game on levels of its own.
class Flow : public testing::Test {
protected:
    void start(const std::vector<std::pair<int, std::string>>& levels)
    {
        enter_level_folder(levels);
        boot_game();
    }
    void TearDown() override
    {
        shutdown_game();
        screen = nullptr;  // gone with SDL
        EXPECT_EQ(chdir(scratch_dir().c_str()), 0);
    }
};

// The classic track's module holds three tunes, which the pairs of levels
// take in turn (sound counts round them). Every level's password is four
// capitals, its own, and none of the reserved words.
TEST(Levels, EveryPairOfLevelsHasItsTuneAndEveryLevelItsOwnPassword)
{
    for (auto [level, classic, track, tune] :
         {std::tuple{1, 0, 1, 0}, {2, 0, 1, 0}, {3, 0, 2, 0}, {16, 0, 8, 0}, {17, 0, 1, 0}, {48, 0, 8, 0},
          {1, 1, 10, 0}, {2, 1, 10, 0}, {3, 1, 10, 1}, {6, 1, 10, 2}, {32, 1, 10, 15}})
        EXPECT_EQ(std::make_pair(level_track(level, classic), level_tune(level, classic)), std::make_pair(track, tune))
            << "level " << level << (classic ? " classic" : "");
    std::set<std::string> seen = {"AAAA", "KWYB", "JOPH", "FUZD", "VEGT", "NIBQ", "PACK"};  // the reserved words
    for (const char* word : pw) {
        EXPECT_EQ(std::string(word).find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos) << word;
        EXPECT_EQ(strlen(word), 4u) << word;
        EXPECT_TRUE(seen.insert(word).second) << word << " twice or reserved";
    }
}

// The level and lives as a frame ends.
std::string level_and_lives()
{
    return "level " + std::to_string(curr_map) + " lives " + std::to_string(Player.lives);
}

// Three falls on a level without a start cell (the player falls in the first
// frame of play), start screen and fall screen: three frames an attempt;
// then the game-over question is answered. The old game's 77 points earn no
// place in the table, so no name entry.
TEST_F(Flow, GameOverYesContinuesTheLevelWithFreshLivesAndNoReturnsToTheMenu)
{
    start({{1, "S#.o"}, {5, "o"}});
    for (auto [answer, look, seen_then] :
         {std::tuple{"10 press RETURN\n13 quit\n", 12, "game over 1, answer 1, level 5 lives 3 score 0"},
          {"10 press DOWN\n11 press RETURN\n14 quit\n", 13, "game over 1, answer 0, level 1"}}) {
        cont = 1;  // skips the menu
        curr_map = 5;
        quit_zarn = end_game = 0;
        std::fill(std::begin(high_scores), std::end(high_scores), 100000);
        std::string seen;
        const std::string falls = "1 press RETURN\n3 press RETURN\n4 press RETURN\n6 press RETURN\n7 press RETURN\n";
        auto look_at = [&, look = look](int frame) {
            Player.score = frame == 1 ? 77 : Player.score;
            seen += frame == 9 ? "game over " + std::to_string(end_game) : "";
            seen += frame == 12 ? ", answer " + std::to_string(cont) : "";
            if (frame == look)
                seen += ", " + (curr_map == 5 ? level_and_lives() + " score " + std::to_string(Player.score)
                                              : "level " + std::to_string(curr_map));
        };
        play_result res = run_script(script(falls + "9 press RETURN\n" + answer), game_loop, look_at);
        EXPECT_TRUE(res.quit);
        EXPECT_EQ(seen, seen_then) << answer;
    }
}

// With -debug the level select comes before every attempt; it wraps, up and
// down together count as up, and only action confirms, in the frame that
// reads it.
TEST_F(Flow, TheDebugLevelSelectComesBeforeEveryAttemptWrapsAndConfirmsWithActionOnly)
{
    start({{1, "S#.o"}, {2, "S#.o"}, {3, "o"}});
    debug_levels = cont = 1;
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
    EXPECT_EQ(after_fall + ", " + chosen, "3, level 2 lives 2");

    curr_map = 1;
    quit_zarn = 0;
    for (auto [keys, level, frames] : {std::tuple{"1 hold DOWN\n2 release DOWN\n2 press SPACE\n3 press RETURN\n", 48, 3},
                                       {"1 hold UP\n2 release UP\n2 press RETURN\n", 1, 2},
                                       {"1 hold UP\n1 hold DOWN\n2 press RETURN\n", 2, 2}, {"1 press RETURN\n", 2, 1}}) {
        EXPECT_EQ(run_script(script(keys), select_level).frames, frames) << keys;
        EXPECT_EQ(curr_map, level) << keys;
    }
}

TEST_F(Flow, ARestartPlaysTheSameLevelAgainWithALifeLess)
{
    start({{1, "S#.o"}, {4, "S##.o"}});
    cont = 1;
    curr_map = 4;
    std::string seen;
    run_script(script("1 press RETURN\n2 hold RIGHT\n3 release RIGHT\n"
                      "4 press RETURN\n5 press RIGHT\n6 press RETURN\n"  // pause, restart
                      "10 quit\n"),
               game_loop, [&](int frame) {
                   if (frame == 8)  // the new start screen sets cont again
                       seen = level_and_lives() + " cont " + std::to_string(cont) + " x " + std::to_string(px);
               });
    EXPECT_EQ(seen, "level 4 lives 2 cont 1 x 0");  // back on the start cell
}

// Closing the window ends the program from every screen in the frame that
// reads the close: no frame is drawn after it, no wait goes on. zarn_main
// runs from start-up on a level folder whose high-score table any score
// enters, walking the screens: "screen: tokens | screen: tokens ...". Once
// the screen runs, each token is one frame's input (v E press down and
// Return, R holds right for a frame, . nothing, Q closes the window); a last
// "*" repeats the tokens while the screen runs. "-debug" counts only as the
// first argument: the level select comes, or play at once.
TEST(Main, ClosingTheWindowInAnyScreenEndsTheProgramWithinAFrame)
{
    const std::string menu = "start_screen: E . * | show_opensource: E | menu: ";
    const std::string fall = "aktion: E | engine: R * | aktion: E";
    const std::string game = menu + "E | " + fall + " . | " + fall + " . | " + fall + " . ";
    const struct {
        const char* what;
        std::string route;          // ends with the close
        const char* level = "S.o";  // level 1: a hole beside the start
        std::vector<const char*> args = {"zarn"};
    } walks[] = {
        {"the logo intro", "start_screen: . Q"},  // and no credits after it
        {"the credits", "start_screen: E . * | show_opensource: Q"},
        {"the menu", menu + "Q"},
        {"the high-score table after 30 idle seconds", menu + ". | show_highscores: Q"},
        {"the password screen", menu + "v v E | enter_pw: Q"},
        {"the password verdict's second", menu + "v v E | enter_pw: E Q"},
        {"the settings", menu + "v v v E | settings: Q"},
        {"the controls", menu + "v v v E | settings: v v E | controls: Q"},
        {"the controls' wait for a key", menu + "v v v E | settings: v v E | controls: EQ"},
        {"the level select", menu + "E | select_level: Q", "S.o", {"zarn", "-debug"}},
        {"the level start", menu + "E | aktion: Q", "S.o", {"zarn", "x", "-debug"}},
        {"play", menu + "E | aktion: E | engine: . Q"},
        {"the pause menu", menu + "E | aktion: E | engine: E | pause: Q"},
        {"a fall", menu + "E | aktion: E | engine: R * | aktion: Q"},
        {"a won level", menu + "E | aktion: E . | aktion: Q", "S#"},
        {"the game over", game + "Q"},
        {"the name entry", game + "v E | enter_highscore: Q"},
    };
    for (const auto& w : walks) {
        std::vector<std::pair<std::string, std::vector<std::string>>> route;  // screen, tokens
        std::istringstream in(w.route);
        for (std::string part; std::getline(in, part, '|');) {
            std::istringstream words(part);
            std::string name;
            std::getline(words >> std::ws, name, ':');
            route.emplace_back(name, std::vector<std::string>(std::istream_iterator<std::string>(words), {}));
        }
        enter_level_folder({{1, w.level}});
        std::fill(std::begin(high_scores), std::end(high_scores), -1);
        write_highscores();
        size_t step = 0, done = 0;  // tokens done in the step
        int quit_frame = -1;
        std::string quit_screen;
        uint32_t quit_ms = 0;
        start_script([&](int frame) {
            release_all_keys();
            if (frame == 0 || quit_frame >= 0 || step == route.size())
                return;
            if (frame > 3000) {  // lost on the way
                step = route.size();
                return push_quit();
            }
            const std::string now = running_screen();
            if (route[step].second.back() == "*" && done > 0 && now != route[step].first)
                step++, done = 0;  // a repeated step ends with its screen
            if (step == route.size() || (done == 0 && now != route[step].first))
                return;  // waiting for the screen
            auto& tokens = route[step].second;
            bool repeat = tokens.back() == "*";
            for (char c : tokens[done++ % (tokens.size() - repeat)]) {
                if (c == 'R')
                    hold_key(SDLK_RIGHT, true);
                else if (c == 'Q')
                    quit_frame = frame, quit_ms = sys_ticks(), quit_screen = now, push_quit();
                else if (c != '.')
                    push_key(c == 'E' ? SDLK_RETURN : SDLK_DOWN);
            }
            if (!repeat && done == tokens.size())
                step++, done = 0;
        });
        EXPECT_EQ(run_zarn(w.args), 0) << w.what;
        int frames = stop_script();
        EXPECT_EQ(chdir(scratch_dir().c_str()), 0);
        ASSERT_GE(quit_frame, 0) << w.what << ": never reached";
        EXPECT_EQ(std::make_tuple(quit_screen, frames, sys_ticks() - quit_ms),
                  std::make_tuple(route.back().first, quit_frame, 0u))
            << w.what;
    }
    sys_use_virtual_clock(false);
}

}  // namespace
