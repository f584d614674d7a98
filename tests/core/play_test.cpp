// Whole level attempts played through the real play loop, its message screens
// and the pause menu, fed by scripts on the virtual clock.
#include <gtest/gtest.h>

#include "core/clock.h"
#include "core/field.h"
#include "core/level.h"
#include "core/play.h"
#include "core/state.h"
#include "sound/sound.h"
#include "support/boot.h"
#include "support/level_text.h"
#include "support/pause_call.h"
#include "support/play_script.h"
#include "video/screen.h"

#include <string>

namespace {

class Play : public testing::Test {
protected:
    void SetUp() override
    {
        boot_game();
        if (!input_reads_keys())
            GTEST_SKIP() << "the input module of this tree reads no keys";
        Player.lives = 3;
        Player.perfect = 1;
    }
    void TearDown() override
    {
        shutdown_game();
        screen = nullptr;  // gone with SDL
    }

    // One attempt at a level already in Map.
    play_result attempt(const std::string& text)
    {
        play_result res = run_script(script(text), engine);
        res.outcome = engine_outcome;
        return res;
    }
};

// "n click 0 0" for every frame from first to last: closes a message screen
// whenever it comes and does nothing in play.
std::string clicks(int first, int last)
{
    std::string s;
    for (int f = first; f <= last; f++)
        s += std::to_string(f) + " click 0 0\n";
    return s;
}

TEST_F(Play, ACorridorIsWonWithItsPointsAndTheTimeBonus)
{
    clock_set(10400);  // the first frame of play takes a second at once
    play_result res = play_level("Soooo#", script("1 press RETURN\n"
                                                  "2 hold RIGHT\n"
                                                  "27 press RETURN\n"));
    EXPECT_EQ(res.outcome, PLAY_WON);
    EXPECT_EQ(res.frames, 27);  // 1 start screen, 25 of walking, 1 closing screen
    EXPECT_EQ(MapData.time_left, 18);
    EXPECT_EQ(res.score, 4 + 18 + 100);
    EXPECT_EQ(res.lives, 4);  // no fall since the game began: a life more
    EXPECT_EQ(res.curr_map, 2);
    EXPECT_EQ(Player.perfect, 1);
    EXPECT_EQ(res.count(SFX_WALK), 5);
    EXPECT_EQ(res.count(SFX_LEVEL_OVER_WIN), 1);
    EXPECT_STREQ(last_pw, "AAAA");  // level 1 shows no password

    curr_map = 7;
    res = play_level("So#", script("1 press RETURN\n2 hold RIGHT\n12 press RETURN\n"));
    EXPECT_STREQ(last_pw, pw[6]);
    EXPECT_EQ(res.curr_map, 8);
}

TEST_F(Play, AMineCrossedTwiceScoresThreeAndTheLevelEndsStanding)
{
    play_result res = play_level("S*#", script("1 press RETURN\n"
                                               "2 hold RIGHT\n"
                                               "11 release RIGHT\n"
                                               "12 hold LEFT\n"
                                               "22 press RETURN\n"));
    EXPECT_EQ(res.outcome, PLAY_WON);
    EXPECT_EQ(res.frames, 22);
    EXPECT_EQ(res.count(SFX_EXPLODE), 1);
    EXPECT_EQ(res.score, 3 + MapData.time_left + 100);
}

TEST_F(Play, AFallTakesALifeAndShowsTheExplosion)
{
    Player.score = 40;
    play_result res = play_level("So.", script("1 press RETURN\n"
                                               "2 hold RIGHT\n"
                                               "21 press RETURN\n"));
    EXPECT_EQ(res.outcome, PLAY_FALL);
    EXPECT_EQ(res.frames, 21);
    EXPECT_EQ(res.lives, 2);
    EXPECT_EQ(res.score, 41);  // the field's point stays, no level bonus
    EXPECT_EQ(res.curr_map, 1);
    EXPECT_EQ(Player.perfect, 0);
    EXPECT_EQ(explode_index, 8);  // ten frames of the fall screen; it stops at 8
    EXPECT_EQ(dir, 5);
    ASSERT_EQ(res.count(SFX_EXPLODE2), 1);

    Player.life_refund = 1;  // the cheat: falls cost nothing
    res = play_level(".", script("1 press RETURN\n3 press RETURN\n"));
    EXPECT_EQ(res.outcome, PLAY_FALL);
    EXPECT_EQ(res.lives, 2);
}

TEST_F(Play, StandingOnAFieldUntilItGivesWay)
{
    play_result res = play_level("So#", script("1 press RETURN\n"
                                               "2 hold RIGHT\n"
                                               "3 release RIGHT\n"
                                               "57 press RETURN\n"));
    EXPECT_EQ(res.outcome, PLAY_FALL);
    EXPECT_EQ(res.frames, 57);  // arrived in frame 6, gave way in frame 56
    ASSERT_EQ(res.count(SFX_ALARM), 1);
    for (auto [frame, sfx] : res.effects) {
        if (sfx == SFX_ALARM) {
            EXPECT_EQ(frame, 30);
        }
    }
    EXPECT_EQ(res.score, 0);
}

TEST_F(Play, StandingOnAMineUntilItIsSpent)
{
    play_result res = play_level("S*#", script("1 press RETURN\n"
                                               "2 hold RIGHT\n"
                                               "3 release RIGHT\n"
                                               "70 quit\n"));
    EXPECT_EQ(res.outcome, PLAY_QUIT);
    EXPECT_EQ(Map[1][2].kind, KIND_FIELD);
    EXPECT_EQ(Map[1][2].visit, 0);
    EXPECT_EQ(res.score, 0);
    EXPECT_EQ(res.count(SFX_EXPLODE), 0);
    EXPECT_EQ(res.count(SFX_ALARM), 1);
    EXPECT_EQ(MapData.fields_left, 1);
}

TEST_F(Play, TimeRunsOutMidStepWithSixBeeps)
{
    // Two pushers facing each other keep the player moving for ever.
    play_result res = play_level("S><.o", script("1 press RETURN\n2 hold RIGHT\n3 release RIGHT\n" +
                                                 clicks(3, 700)));
    EXPECT_EQ(res.outcome, PLAY_TIME_UP);
    EXPECT_EQ(MapData.time_left, 0);
    EXPECT_EQ(res.count(SFX_BEEP1), 6);  // at 5, 4, 3, 2, 1 and 0
    EXPECT_EQ(res.count(SFX_LEVEL_OVER_DIE), 1);
    EXPECT_EQ(res.lives, 2);
    EXPECT_EQ(Player.perfect, 1);  // time up keeps the claim to a bonus life
    EXPECT_EQ(res.score, 0);
    int last_beep = 0, over = 0;
    for (auto [frame, sfx] : res.effects) {
        if (sfx == SFX_BEEP1)
            last_beep = frame;
        if (sfx == SFX_LEVEL_OVER_DIE)
            over = frame;
    }
    EXPECT_EQ(last_beep, over);  // the beep at 0 and the end come in one frame
    EXPECT_GT(over, 600);
}

TEST_F(Play, ThePerfectBonusLifeIsLostByAFallAndKeptByATimeOut)
{
    const std::string win = "1 press RETURN\n2 hold RIGHT\n12 press RETURN\n";
    EXPECT_EQ(play_level("So#", script(win)).lives, 4);
    EXPECT_EQ(play_level("S.", script("1 press RETURN\n2 hold RIGHT\n7 press RETURN\n")).lives, 3);
    EXPECT_EQ(play_level("So#", script(win)).lives, 3);  // no bonus after a fall...
    EXPECT_EQ(Player.perfect, 1);                         // ...but the claim is back
    load_level_text("S#.o");
    MapData.time_left = 2;
    clock_set(500);
    EXPECT_EQ(attempt("1 press RETURN\n" + clicks(2, 80)).outcome, PLAY_TIME_UP);
    EXPECT_EQ(Player.lives, 2);
    EXPECT_EQ(play_level("So#", script(win)).lives, 3);
}

TEST_F(Play, TheClockLosesAtMostOneSecondPerFrame)
{
    load_level_text("S#.o");
    // A start screen of 100 frames and a pause of 100 frames cost a second each.
    play_result res = attempt("100 press RETURN\n"
                              "102 press RETURN\n"
                              "201 press RETURN\n"
                              "204 quit\n");
    EXPECT_EQ(res.outcome, PLAY_QUIT);
    EXPECT_EQ(res.count(SFX_PAUSE), 1);
    EXPECT_EQ(MapData.time_left, 18);
}

TEST_F(Play, TheWarpChordClearsTheLevelOnlyWhenActivated)
{
    play_result res = play_level("Soooo", script("1 press RETURN\n3 hold LSHIFT\n3 hold X\n20 quit\n"));
    EXPECT_EQ(res.outcome, PLAY_QUIT);
    EXPECT_EQ(MapData.fields_left, 4);

    quit_zarn = 0;
    level_warp_activated = 1;
    res = play_level("Soooo", script("1 press RETURN\n3 hold LSHIFT\n3 hold X\n4 press RETURN\n"));
    EXPECT_EQ(res.outcome, PLAY_WON);
    EXPECT_EQ(res.frames, 4);
    EXPECT_EQ(res.score, MapData.time_left + 100);

    // Held while a step takes a field, the count goes below zero: still a win.
    res = play_level("Soo#", script("1 press RETURN\n2 hold RIGHT\n2 hold LSHIFT\n2 hold X\n"
                                    "3 release LSHIFT\n3 release X\n" +
                                    clicks(4, 40)));
    EXPECT_EQ(res.outcome, PLAY_WON);
}

TEST_F(Play, AClickSteersOneStep)
{
    // The sprite stands at (0, 48); its centre is (8, 56).
    play_result res = play_level("S###.o", script("1 press RETURN\n"
                                                  "2 click 18 56\n"   // 10 to the right: nothing
                                                  "3 click 19 56\n"   // 11: one step right
                                                  "12 click 8 45\n"   // the top bar: nothing
                                                  "20 quit\n"));
    EXPECT_EQ(px, 16);
    EXPECT_EQ(res.count(SFX_WALK), 1);
}

TEST_F(Play, TheLastLevelShowsTheEndingAndWraps)
{
    curr_map = 48;
    play_result res = play_level("So#", script("1 press RETURN\n2 hold RIGHT\n12 press UP\n14 press RETURN\n"));
    EXPECT_EQ(res.outcome, PLAY_WON);
    EXPECT_EQ(fin, 1);
    EXPECT_EQ(cont, 0);  // set again on every frame of the ending
    EXPECT_EQ(res.curr_map, 1);
    EXPECT_EQ(res.score, 1 + MapData.time_left + 100);

    classic_mode = 1;
    maxmap = 32;
    curr_map = 32;
    fin = 0;
    res = play_level("So#", script("1 press RETURN\n2 hold RIGHT\n12 press RETURN\n"));
    EXPECT_EQ(fin, 1);
    EXPECT_EQ(res.curr_map, 1);
}

// pause() alone: the choice it returns after the keys of the script.
int32_t pause_after(int lives, const std::string& keys)
{
    Player.lives = lives;
    int32_t choice = 0;
    run_script(script(keys), [&choice] { choice = run_pause_menu(); });
    return choice;
}

TEST_F(Play, PauseMenuLeftAndRight)
{
    // With several lives every choice is reached; with one, restart is skipped.
    EXPECT_EQ(pause_after(3, "1 press RIGHT\n2 press RETURN\n"), 2);
    EXPECT_EQ(pause_after(1, "1 press RIGHT\n2 press RETURN\n"), 3);
    EXPECT_EQ(pause_after(3, "1 press LEFT\n2 press RETURN\n"), 3);
    EXPECT_EQ(pause_after(3, "1 press LEFT\n2 press LEFT\n3 press SPACE\n"), 2);
    EXPECT_EQ(pause_after(1, "1 press LEFT\n2 press LEFT\n3 press RETURN\n"), 1);
    EXPECT_EQ(pause_after(3, "1 press RIGHT\n2 press RIGHT\n3 press RIGHT\n4 press RETURN\n"), 1);
    EXPECT_EQ(pause_after(0, "1 press RIGHT\n2 press RIGHT\n3 press RETURN\n"), 1);
    // Left and right together.
    EXPECT_EQ(pause_after(3, "1 press LEFT\n1 press RIGHT\n2 press RETURN\n"), 1);
    EXPECT_EQ(pause_after(3, "1 press LEFT\n2 press LEFT\n2 press RIGHT\n3 press RETURN\n"), 3);
    EXPECT_EQ(pause_after(3, "1 press RIGHT\n2 press LEFT\n2 press RIGHT\n3 press RETURN\n"), 2);
    EXPECT_EQ(pause_after(1, "1 click 20 206\n2 press LEFT\n2 press RIGHT\n3 press RETURN\n"), 3);
    EXPECT_EQ(pause_after(3, "1 press UP\n2 press DOWN\n3 press RETURN\n"), 1);
    // A click moves to its line, a second click on it confirms, even restart.
    EXPECT_EQ(pause_after(1, "1 click 20 206\n3 click 20 206\n"), 2);
    EXPECT_EQ(pause_after(3, "1 click 20 218\n2 click 20 240\n3 click 20 218\n"), 3);
}

TEST_F(Play, PauseRestartAbandonAndResume)
{
    load_level_text("S##.o");
    play_result res = attempt("1 press RETURN\n3 press RETURN\n4 press RIGHT\n5 press RETURN\n");
    EXPECT_EQ(res.outcome, PLAY_RESTART);
    EXPECT_EQ(res.lives, 2);
    EXPECT_EQ(cont, 2);
    EXPECT_EQ(res.frames, 6);  // the rest of the frame still runs

    Player.lives = 1;  // restart refused: play goes on
    load_level_text("S##.o");
    res = attempt("1 press RETURN\n3 press RETURN\n4 click 20 206\n5 click 20 206\n"
                  "8 hold RIGHT\n9 release RIGHT\n30 quit\n");
    EXPECT_EQ(res.outcome, PLAY_QUIT);
    EXPECT_EQ(res.lives, 1);
    EXPECT_EQ(cont, 1);
    EXPECT_EQ(px, 16);

    quit_zarn = 0;
    Player.lives = 3;
    load_level_text("S##.o");
    res = attempt("1 press RETURN\n3 press SPACE\n4 press LEFT\n5 press RETURN\n");
    EXPECT_EQ(res.outcome, PLAY_ABANDON);
    EXPECT_EQ(res.lives, 0);
    EXPECT_EQ(cont, 0);
    EXPECT_EQ(end_game, 0);  // no game-over screen
    EXPECT_EQ(res.count(SFX_LEVEL_OVER_DIE), 0);

    // A restart and a fall found in the same frame: both are settled.
    Player.lives = 3;
    load_level_text(".");
    res = attempt("1 press RETURN\n2 press RETURN\n3 press RIGHT\n4 press RETURN\n6 press RETURN\n");
    EXPECT_EQ(res.outcome, PLAY_FALL);
    EXPECT_EQ(res.lives, 1);
}

TEST_F(Play, QuitEndsEveryScreenWithinItsFrame)
{
    load_level_text("So.#");
    play_result res = attempt("1 quit\n");  // the start screen
    EXPECT_EQ(res.frames, 0);
    EXPECT_EQ(res.outcome, PLAY_QUIT);
    EXPECT_EQ(res.lives, 3);

    quit_zarn = 0;
    load_level_text("So.#");
    res = attempt("1 press RETURN\n5 quit\n");  // play
    EXPECT_EQ(res.frames, 4);
    EXPECT_EQ(res.outcome, PLAY_QUIT);

    quit_zarn = 0;
    load_level_text("So.#");
    res = attempt("1 press RETURN\n2 press RETURN\n4 quit\n");  // the pause menu
    EXPECT_EQ(res.frames, 3);
    EXPECT_EQ(res.outcome, PLAY_QUIT);

    quit_zarn = 0;
    load_level_text("S.");
    res = attempt("1 press RETURN\n2 hold RIGHT\n9 quit\n");  // the fall screen
    EXPECT_EQ(res.frames, 8);
    EXPECT_EQ(res.lives, 2);  // taken before the screen
    EXPECT_EQ(res.outcome, PLAY_QUIT);

    quit_zarn = 0;
    Player.lives = 1;
    load_level_text("S.");
    res = attempt("1 press RETURN\n2 hold RIGHT\n7 press RETURN\n9 quit\n");  // game over
    EXPECT_EQ(res.frames, 8);
    EXPECT_EQ(end_game, 1);
    EXPECT_TRUE(res.quit);

    quit_zarn = 0;
    Player.lives = 3;
    load_level_text("So#");
    res = attempt("1 press RETURN\n2 hold RIGHT\n12 quit\n");  // the closing screen of a win
    EXPECT_EQ(res.frames, 11);
    EXPECT_EQ(res.outcome, PLAY_QUIT);
    EXPECT_EQ(res.curr_map, 1);  // nothing settled after the screen
    EXPECT_EQ(res.score, 1);
}

TEST_F(Play, AnswersOnTheGameOverScreen)
{
    Player.lives = 1;
    load_level_text("S.");
    play_result res = attempt("1 press RETURN\n2 hold RIGHT\n7 press RETURN\n8 press DOWN\n9 press RETURN\n");
    EXPECT_EQ(res.lives, 0);
    EXPECT_EQ(cont, 0);
    EXPECT_STREQ(tmp_string_c, "NO~");
    EXPECT_EQ(res.count(SFX_SELECT), 1);
    EXPECT_EQ(res.frames, 10);  // the fall screen draws once more after it

    Player.lives = 1;
    end_game = 0;
    load_level_text("S.");
    res = attempt("1 press RETURN\n2 hold RIGHT\n7 press RETURN\n8 press RIGHT\n9 press LEFT\n10 click 5 5\n");
    EXPECT_EQ(cont, 1);
    EXPECT_STREQ(tmp_string_c, "YES~");

    end_game = 1;  // shown once a game only
    Player.lives = 1;
    load_level_text("S.");
    res = attempt("1 press RETURN\n2 hold RIGHT\n7 press RETURN\n");
    EXPECT_EQ(res.frames, 7);
}

}  // namespace
