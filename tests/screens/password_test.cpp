#include "play_screen.h"

#include "screens/password.h"
#include "sound/sound.h"

namespace {

class PasswordScreen : public screen_test {
protected:
    // Plays the screen; returns the virtual milliseconds it took (a verdict
    // holds it for a second).
    uint32_t enter(const std::string& script)
    {
        played r = play(enter_pw, script);
        EXPECT_FALSE(r.timed_out) << script;
        return r.ms;
    }
    static int cheats()
    {
        return Player.bonus_lives + Player.life_refund + Player.time_bonus + classic_mode + level_warp_activated;
    }
    // True when the script, then Return, gets "KWYB" accepted.
    bool gives_kwyb(const std::string& script)
    {
        Player.bonus_lives = 0;
        enter(script + "[E]");
        return Player.bonus_lives == 3;
    }
};

}  // namespace

TEST_F(PasswordScreen, ConfirmingAAAAIsNotValidAndWaitsASecondButSpaceDoesNotConfirm)
{
    curr_map = 3;
    EXPECT_GE(enter("[E]"), 1000u);
    EXPECT_EQ(curr_map, 3);
    EXPECT_EQ(cheats(), 0);
    EXPECT_EQ(play(enter_pw, "[S][3][E]").frames, 5);
}

TEST_F(PasswordScreen, EachCheatWordHasItsEffectAndEveryVisitClearsThePlayerCheats)
{
    curr_map = 7;
    struct {
        const char* word;
        int32_t* field;
        int32_t value;
    } words[] = {{"KWYB", &Player.bonus_lives, 3}, {"JOPH", &Player.life_refund, 1},
                 {"FUZD", &Player.time_bonus, 999}, {"NIBQ", &level_warp_activated, 1}};
    for (auto& w : words) {
        EXPECT_GE(enter(std::string(w.word) + "[E]"), 1000u);
        EXPECT_EQ(*w.field, w.value) << w.word;
        EXPECT_EQ(cheats(), w.value) << w.word;
    }
    EXPECT_EQ(curr_map, 7);
    EXPECT_EQ(music[9], nullptr);
    EXPECT_GE(enter("VEGT[E]"), 1000u);
    EXPECT_NE(music[9], nullptr);  // the classic tune, looped without end
    EXPECT_TRUE(MP_PlayingMusic());
    EXPECT_EQ(mpLoops, -1);
    EXPECT_EQ(std::vector<int>({classic_mode, maxmap, curr_map, cheats()}), std::vector<int>({1, 32, 1, 2}))
        << "classic and warp are never cleared";
    EXPECT_FALSE(gives_kwyb("KWYB[B]"));  // only the whole word counts
    EXPECT_FALSE(gives_kwyb("KWY"));
}

TEST_F(PasswordScreen, LevelPasswordsPickALevelOfTheSetInPlay)
{
    enter(std::string(pw[11]) + "[E]");
    EXPECT_EQ(curr_map, 12);
    EXPECT_STREQ(tmp_string, "LEVEL 12");
    enter(std::string(pw[47]) + "[E]");
    EXPECT_EQ(curr_map, 48);
    enter("VEGT[E]");
    enter(std::string(pw[40]) + "[E]");  // beyond the 32 classic levels
    EXPECT_EQ(curr_map, 1);
    enter(std::string(pw[31]) + "[E]");
    EXPECT_EQ(curr_map, 32);

    // Without levels a plain word gives no verdict and the screen stays.
    maxmap = 0;
    EXPECT_EQ(play(enter_pw, std::string(pw[0]) + "[E][3][Q]").frames, 8);
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
         })
        EXPECT_TRUE(gives_kwyb(script)) << script;
}

TEST_F(PasswordScreen, AClickOutsideTheLettersConfirmsAndClosingTheWindowEndsAtOnce)
{
    EXPECT_GE(enter("KWYB(10,10)"), 1000u);
    EXPECT_EQ(Player.bonus_lives, 3);
    enter("JOPH(162,193)");
    EXPECT_EQ(Player.life_refund, 1);
    played r = play(enter_pw, "KW[Q]");
    EXPECT_EQ(r.frames, 2);
    EXPECT_LT(r.ms, 1000u);
    EXPECT_EQ(quit_zarn, 1);
}
