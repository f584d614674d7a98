// Whole level attempts played through the real play loop, its message screens
// and the pause menu, fed by scripts on the virtual clock.
#include "support/game.h"

namespace {

class Play : public booted_game {
protected:
    void SetUp() override
    {
        booted_game::SetUp();
        Player.lives = 3;
        Player.perfect = 1;
    }
    // One attempt at a level, the game not quit yet.
    play_result attempt(const std::string& level, const std::string& text)
    {
        quit_zarn = 0;
        return play_level(level, script(text));
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

// Walks right onto the solid end of "So#" and confirms the closing screen.
const std::string WIN = "1 press RETURN\n2 hold RIGHT\n12 press RETURN\n";

TEST_F(Play, ACorridorIsWonWithItsPointsAndTheTimeBonus)
{
    sys_set_clock(10400);  // the first frame of play takes a second at once
    play_result res = attempt("Soooo#", "1 press RETURN\n2 hold RIGHT\n27 press RETURN\n");
    // 1 start screen, 25 of walking, 1 closing screen; 4 fields, 18 seconds
    // left and 100; no fall since the game began: a life more.
    EXPECT_EQ(summary(res), "won frames 27 score 122 lives 4 level 2");
    EXPECT_EQ(std::make_tuple(MapData.time_left, res.count(SFX_WALK), res.count(SFX_LEVEL_OVER_WIN)),
              std::make_tuple(18, 5, 1));
    EXPECT_STREQ(last_pw, pw[0]);  // level 1 shows its password too

    curr_map = 7;
    res = attempt("So#", WIN);
    EXPECT_STREQ(last_pw, pw[6]);
    EXPECT_EQ(res.curr_map, 8);

    // The bonus, like every point, comes while the score is at most the cap.
    for (int32_t before : {SCORE_CAP, SCORE_CAP + 1}) {
        Player.score = before;
        res = attempt("S#", "1 press RETURN\n3 press RETURN\n");
        EXPECT_EQ(res.outcome, PLAY_WON);
        EXPECT_EQ(res.score, before == SCORE_CAP ? before + MapData.time_left + 100 : before) << before;
    }

    // A window closed on the closing screen: nothing settled after it.
    Player.score = 0;
    int level = curr_map;
    res = attempt("So#", "1 press RETURN\n2 hold RIGHT\n12 quit\n");
    EXPECT_EQ(summary(res), "quit frames 11 score 1 lives " + std::to_string(Player.lives) + " level " +
                                std::to_string(level));
}

TEST_F(Play, EachHalfOfASetHasItsOwnTilesAndTheLastLevelShowsTheEndingAndWraps)
{
    for (auto [level, classic, sheet] : {std::tuple{1, 0, &tiles1}, {24, 0, &tiles1}, {25, 0, &tiles2},
                                         {48, 0, &tiles2}, {16, 1, &classic_tiles}, {17, 1, &classic_tiles}}) {
        curr_map = level;
        classic_mode = classic;
        maxmap = classic ? 32 : 48;
        attempt("S#o", "1 quit\n");
        EXPECT_EQ(tiles, *sheet) << "level " << level << (classic ? " classic" : "");
    }

    classic_mode = 0;
    maxmap = 48;

    curr_map = 48;
    play_result res = attempt("So#", "1 press RETURN\n2 hold RIGHT\n12 press UP\n14 press RETURN\n");
    EXPECT_EQ(summary(res), "won frames 14 score " + std::to_string(1 + MapData.time_left + 100) + " lives 4 level 1");
    EXPECT_EQ(std::make_tuple(fin, cont), std::make_tuple(1, 0));  // cont is set again on every frame of the ending

    classic_mode = 1;
    maxmap = 32;
    curr_map = 32;
    fin = 0;
    res = attempt("So#", WIN);
    EXPECT_EQ(std::make_tuple(fin, res.curr_map), std::make_tuple(1, 1));
}

TEST_F(Play, PressAButtonShowsEightFramesThenHidesEight)
{
    // Frame 1 shows the words; compare every frame's button line with it.
    std::vector<uint16_t> shown, now;
    std::string pattern;
    auto line = [](std::vector<uint16_t>& into) {
        into.clear();
        for (int y = 208; y < 224; y++)
            for (int x = 48; x < 272; x++)
                into.push_back(pixel16(screen, x, y));
    };
    run_script(script("40 press RETURN\n"), [] { aktion(MSG_LEVEL_START); }, [&](int frame) {
        line(frame == 1 ? shown : now);
        pattern += frame == 1 || now == shown ? 'S' : '-';
    });
    EXPECT_EQ(pattern.substr(0, 39), "SSSSSSS--------SSSSSSSS--------SSSSSSSS");
}

// A fall costs a life and the claim to a bonus life until the next win
// (a time-up keeps it: see the test below).
TEST_F(Play, AFallTakesALifeAndTheBonusLifeAndShowsTheExplosion)
{
    Player.score = 40;
    play_result res = attempt("So.", "1 press RETURN\n2 hold RIGHT\n21 press RETURN\n");
    EXPECT_EQ(summary(res), "fall frames 21 score 41 lives 2 level 1");  // the field's point stays
    // Ten frames of the fall screen stop the explosion at 8. One frame down,
    // nine right and one more as the fall screen opens; then the field holds
    // still under it.
    EXPECT_EQ(std::make_tuple(Player.perfect, explode_index, offx * 100 + offy), std::make_tuple(0, 8, 1001));
    EXPECT_EQ(res.count(SFX_EXPLODE2), 1);

    Player.life_refund = 1;  // the cheat: falls cost nothing
    EXPECT_EQ(summary(attempt(".", "1 press RETURN\n3 press RETURN\n")), "fall frames 3 score 41 lives 2 level 1");
    Player.life_refund = 0;

    Player.lives = 3;
    Player.perfect = 1;
    EXPECT_EQ(attempt("So#", WIN).lives, 4);
    EXPECT_EQ(attempt("S.", "1 press RETURN\n2 hold RIGHT\n7 press RETURN\n").lives, 3);
    EXPECT_EQ(attempt("So#", WIN).lives, 3);  // no bonus after a fall...
    EXPECT_EQ(Player.perfect, 1);             // ...but the claim is back
}

TEST_F(Play, TheClockLosesAtMostOneSecondPerFrameAndRunsOutMidStepWithSixBeeps)
{
    // A start screen of 100 frames and a pause of 100 frames cost a second each.
    play_result res = attempt("S#.o", "100 press RETURN\n102 press RETURN\n201 press RETURN\n204 quit\n");
    EXPECT_EQ(summary(res), "quit frames 203 score 0 lives 3 level 1");
    EXPECT_EQ(res.count(SFX_PAUSE), 1);
    EXPECT_EQ(MapData.time_left, 18);

    // Two pushers facing each other keep the player moving for ever.
    res = attempt("S><.o", "1 press RETURN\n2 hold RIGHT\n3 release RIGHT\n" + clicks(3, 700));
    EXPECT_EQ(std::make_tuple(res.outcome, res.lives, res.score, MapData.time_left),
              std::make_tuple(PLAY_TIME_UP, 2, 0, 0));
    // Beeps at 5, 4, 3, 2, 1 and 0; time up keeps the claim to a bonus life.
    EXPECT_EQ(std::make_tuple(res.count(SFX_BEEP1), res.count(SFX_LEVEL_OVER_DIE), Player.perfect),
              std::make_tuple(6, 1, 1));
    int last_beep = 0, over = 0;
    for (auto [frame, sfx] : res.effects) {
        last_beep = sfx == SFX_BEEP1 ? frame : last_beep;
        over = sfx == SFX_LEVEL_OVER_DIE ? frame : over;
    }
    EXPECT_EQ(last_beep, over);  // the beep at 0 and the end come in one frame
    EXPECT_GT(over, 600);
}

TEST_F(Play, TheWarpChordClearsTheLevelOnlyWhenActivated)
{
    const std::string chord = "1 press RETURN\n3 hold LSHIFT\n3 hold X\n";
    EXPECT_EQ(attempt("Soooo", chord + "20 quit\n").outcome, PLAY_QUIT);
    EXPECT_EQ(MapData.fields_left, 4);

    level_warp_activated = 1;
    play_result res = attempt("Soooo", chord + "4 press RETURN\n");
    EXPECT_EQ(summary(res), "won frames 4 score " + std::to_string(MapData.time_left + 100) + " lives 4 level 2");

    // Held while a step takes a field, the count goes below zero: still a win.
    res = attempt("Soo#", "1 press RETURN\n2 hold RIGHT\n2 hold LSHIFT\n2 hold X\n"
                          "3 release LSHIFT\n3 release X\n" + clicks(4, 40));
    EXPECT_EQ(res.outcome, PLAY_WON);
}

TEST_F(Play, EveryPressGivesOneStepTappedBetweenFramesOrDuringAStep)
{
    // A step takes frames n to n + 4; a press while the player stands moves
    // him at once, one during a step in the frame after it ends.
    play_result res = attempt("S###########.o", "1 press RETURN\n"
                                              "3 press RIGHT\n"                 // tapped: 3
                                              "5 press RIGHT\n"                 // during that step: 8
                                              "9 press RIGHT\n10 press RIGHT\n"  // twice in a step: 13
                                              "17 press RIGHT\n"                // in its last frame: 18
                                              "30 press RIGHT\n"                // 30
                                              "40 press RIGHT\n40 hold RIGHT\n42 release RIGHT\n"  // 40
                                              "50 press RIGHT\n50 hold RIGHT\n57 release RIGHT\n"  // 50, 55
                                              "62 press RIGHT\n64 click 154 56\n"  // 62; steered: 67
                                              "75 press UP\n75 press RIGHT\n"   // a diagonal: none
                                              "80 quit\n");
    std::vector<int> steps;
    for (auto [frame, sfx] : res.effects)
        if (sfx == SFX_WALK)
            steps.push_back(frame);
    EXPECT_EQ(steps, (std::vector<int>{3, 8, 13, 18, 30, 40, 50, 55, 62, 67}));
    EXPECT_EQ(px, 160);
}

// The pause menu's choices, then each in play.
TEST_F(Play, PauseMenuChoicesByKeysAndClicksResumeRestartOrAbandon)
{
    // Choices: 1 resume, 2 restart (skipped with one life or none), 3 main menu.
    const struct {
        int lives;
        const char* keys;
        int32_t choice;
    } cases[] = {
        {3, "1 press RIGHT\n2 press RETURN\n", 2},
        {1, "1 press RIGHT\n2 press RETURN\n", 3},
        {3, "1 press LEFT\n2 press RETURN\n", 3},
        {3, "1 press LEFT\n2 press LEFT\n3 press SPACE\n", 2},
        {1, "1 press LEFT\n2 press LEFT\n3 press RETURN\n", 1},
        {3, "1 press RIGHT\n2 press RIGHT\n3 press RIGHT\n4 press RETURN\n", 1},
        {0, "1 press RIGHT\n2 press RIGHT\n3 press RETURN\n", 1},
        // Left and right together.
        {3, "1 press LEFT\n1 press RIGHT\n2 press RETURN\n", 1},
        {3, "1 press LEFT\n2 press LEFT\n2 press RIGHT\n3 press RETURN\n", 3},
        {3, "1 press RIGHT\n2 press LEFT\n2 press RIGHT\n3 press RETURN\n", 2},
        {3, "1 press UP\n2 press DOWN\n3 press RETURN\n", 1},
        // A click on the drawn choice (8 x 8 glyphs from (2, 224)) confirms
        // it; the old rows above it and the space beside it do nothing.
        {1, "1 click 20 206\n2 click 20 218\n3 click 60 227\n4 click 49 224\n", 1},
        {3, "1 press LEFT\n2 click 70 231\n", 3},
        {3, "1 press RIGHT\n2 click 60 223\n3 click 60 232\n4 click 57 224\n", 2},
    };
    for (const auto& c : cases) {
        Player.lives = c.lives;
        int32_t choice = 0;
        run_script(script(c.keys), [&choice] { choice = run_pause_menu(); });
        EXPECT_EQ(choice, c.choice) << c.lives << " lives:\n" << c.keys;
    }

    Player.lives = 1;  // a click on the drawn "RESUME": play goes on
    play_result res = attempt("S##.o", "1 press RETURN\n3 press RETURN\n4 click 20 228\n"
                           "8 hold RIGHT\n9 release RIGHT\n30 quit\n");
    EXPECT_EQ(summary(res), "quit frames 29 score 0 lives 1 level 1");
    EXPECT_EQ(std::make_tuple(cont, px), std::make_tuple(1, 16));

    Player.lives = 3;
    res = attempt("S##.o", "1 press RETURN\n3 press SPACE\n4 press LEFT\n5 press RETURN\n");
    EXPECT_EQ(summary(res), "abandon frames 6 score 0 lives 0 level 1");
    EXPECT_EQ(std::make_tuple(cont, end_game), std::make_tuple(0, 0));  // no game-over screen
    EXPECT_EQ(res.count(SFX_LEVEL_OVER_DIE), 0);

    // A restart and a fall found in the same frame: both are settled.
    Player.lives = 3;
    res = attempt(".", "1 press RETURN\n2 press RETURN\n3 press RIGHT\n4 press RETURN\n6 press RETURN\n");
    EXPECT_EQ(std::make_tuple(res.outcome, res.lives), std::make_tuple(PLAY_FALL, 1));
}

TEST_F(Play, AnswersOnTheGameOverScreen)
{
    const std::string fall = "1 press RETURN\n2 hold RIGHT\n7 press RETURN\n";
    Player.lives = 1;
    play_result res = attempt("S.", fall + "8 press RIGHT\n9 press LEFT\n10 click 5 5\n");
    EXPECT_EQ(std::make_tuple(res.lives, cont), std::make_tuple(0, 1));
    EXPECT_STREQ(tmp_string_c, "YES~");
    EXPECT_EQ(res.count(SFX_SELECT), 2);  // one for each change of answer
    EXPECT_EQ(res.frames, 11);  // the fall screen draws once more after it

    Player.lives = 1;  // shown once a game only
    EXPECT_EQ(attempt("S.", fall).frames, 7);
}

// A win keeps the most seconds left and the fewest steps the player started
// (a pusher's push is none), and the won screen calls a beaten record. (The
// start screen's line of them: Replays.AWinIsKeptVerifiedSetsTheRecord...)
TEST_F(Play, AWinKeepsTheLevelsRecordsWhichTheWonScreenCalls)
{
    remove("zarn.rec");
    bool new_shown = false;
    auto look = [&](int) {
        new_shown = new_shown || drawn_already([](SDL_Surface* s) { put_text(s, 80, 160, "NEW RECORD"); });
    };
    const std::string walk = "1 press RETURN\n2 hold RIGHT\n" + clicks(3, 60);
    for (auto [level, steps, beaten] : {std::tuple{"So>o#", 3, false}, {"S>o#", 2, true}, {"Soooo#", 2, false}}) {
        new_shown = false;
        curr_map = 3;
        load_level_text(level);
        run_script(script(walk), engine, look);
        EXPECT_EQ(engine_outcome, PLAY_WON) << level;
        ASSERT_NE(level_record_of(3, 0), nullptr);
        EXPECT_EQ(level_record_of(3, 0)->steps, steps) << level;
        EXPECT_EQ(new_shown, beaten) << level;
    }
    // Records are the player's own best: none with a cheat that changes the
    // clock, none after a hint, none with the level warp on (a real step
    // first or not).
    const std::string hint = "1 press RETURN\n2 press H\n20 hold RIGHT\n" + clicks(21, 90);
    const std::string warp = "1 press RETURN\n2 hold RIGHT\n3 release RIGHT\n8 hold LSHIFT\n8 hold X\n" + clicks(9, 40);
    for (auto [cheat, script] : {std::pair{&Player.time_bonus, walk}, {&hint_used, hint}, {&level_warp_activated, warp}}) {
        *cheat = cheat == &Player.time_bonus ? 5 : cheat == &level_warp_activated ? 1 : 0;
        curr_map = 4;
        EXPECT_EQ(attempt("Soo#", script).outcome, PLAY_WON) << script;
        EXPECT_EQ(hint_used, cheat == &hint_used) << script;
        EXPECT_EQ(level_record_of(4, 0), nullptr) << script;
        *cheat = 0;
    }
    remove("zarn.rec");
}

// A focus lost in play opens the pause menu; one lost before play does not.
TEST_F(Play, LosingTheWindowFocusInPlayOpensThePauseMenu)
{
    focus_lost = 1;
    play_result res = attempt("Soooo#", "1 press RETURN\n2 hold RIGHT\n27 press RETURN\n");
    EXPECT_EQ(res.outcome, PLAY_WON);
    EXPECT_EQ(res.count(SFX_PAUSE), 0);

    // Lost in play: the pause comes in the frame after. A window manager
    // takes the focus for a moment when Alt+Enter switches the display: no
    // pause for that one, but for a loss two seconds later. (No frame 0: no Alt+Enter.)
    for (auto [alt_enter, losses, paused] : {std::tuple{0, std::set<int>{3}, 4}, {2, {4, 80}, 81}}) {
        Player.lives = 3;
        quit_zarn = 0;
        load_level_text("S##.o");
        std::string keys = "1 press RETURN\n" + std::to_string(paused + 1) + " press LEFT\n";
        res = run_script(script(keys + std::to_string(paused + 2) + " press RETURN\n"), engine, [&](int frame) {
            if (frame == alt_enter)
                push_key(SDLK_RETURN, KMOD_RALT);
            if (losses.count(frame))
                push_focus_lost();
        });
        EXPECT_EQ(engine_outcome, PLAY_ABANDON) << paused;
        ASSERT_EQ(res.count(SFX_PAUSE), 1) << paused;
        EXPECT_EQ(res.effects[0], std::make_pair(paused, int(SFX_PAUSE)));
    }
}

}  // namespace
