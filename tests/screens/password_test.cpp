#include "front_steps.h"

#include "core/clock.h"
#include "screens/password.h"
#include "video/font.h"

#include <cstring>
#include <string>

namespace {

// Column c of the letter area, in the frame.
int column_x(int c)
{
    return 130 + 15 * c + 2;
}
constexpr int AREA_Y = 170;

class PasswordScreen : public front_screen {
protected:
    // Runs the screen with the steps and a final confirm; returns the
    // virtual milliseconds it took (a verdict holds the screen a second).
    uint32_t enter(front_steps steps)
    {
        steps.press(SDLK_RETURN);
        return run(steps);
    }
    uint32_t run(front_steps& steps)
    {
        uint32_t start = sys_ticks();
        steps.run(enter_pw);
        EXPECT_FALSE(steps.timed_out);
        return sys_ticks() - start;
    }
    void clear_cheats()
    {
        Player.bonus_lives = Player.life_refund = Player.time_bonus = 0;
        classic_mode = 0;
        maxmap = 48;
        level_warp_activated = 0;
    }
    int cheats_in_force() const
    {
        return Player.bonus_lives + Player.life_refund + Player.time_bonus + classic_mode + level_warp_activated;
    }
};

}  // namespace

TEST_F(PasswordScreen, ConfirmingAtOnceFindsAAAANotValidAndWaitsASecond)
{
    curr_map = 3;
    EXPECT_GE(enter(front_steps()), 1000u);
    EXPECT_EQ(curr_map, 3);
    EXPECT_EQ(cheats_in_force(), 0);

    // The space bar does not confirm here: the screen stays until Return.
    front_steps space;
    space.press(SDLK_SPACE).idle(3).press(SDLK_RETURN);
    EXPECT_EQ(space.run(enter_pw), 5);
}

TEST_F(PasswordScreen, EachCheatWordHasItsEffectAndEveryVisitClearsThePlayerCheats)
{
    curr_map = 7;
    enter(front_steps().type("KWYB"));
    EXPECT_EQ(Player.bonus_lives, 3);
    EXPECT_EQ(cheats_in_force(), 3);
    enter(front_steps().type("JOPH"));
    EXPECT_EQ(Player.bonus_lives, 0);
    EXPECT_EQ(Player.life_refund, 1);
    EXPECT_EQ(cheats_in_force(), 1);
    enter(front_steps().type("FUZD"));
    EXPECT_EQ(Player.time_bonus, 999);
    EXPECT_EQ(cheats_in_force(), 999);
    EXPECT_EQ(curr_map, 7);

    enter(front_steps().type("NIBQ"));
    EXPECT_EQ(level_warp_activated, 1);
    EXPECT_EQ(Player.time_bonus, 0);
    uint32_t took = enter(front_steps().type("VEGT"));
    EXPECT_GE(took, 1000u);
    EXPECT_EQ(classic_mode, 1);
    EXPECT_EQ(maxmap, 32);
    EXPECT_EQ(curr_map, 1);
    EXPECT_EQ(level_warp_activated, 1);  // never cleared

    // A cheat word only counts whole: a blank instead of its last letter.
    clear_cheats();
    enter(front_steps().type("KWYB").press(SDLK_BACKSPACE));
    EXPECT_EQ(cheats_in_force(), 0);
}

TEST_F(PasswordScreen, LevelPasswordsPickTheLevelWithinTheSetInPlay)
{
    enter(front_steps().type(pw[11]));
    EXPECT_EQ(curr_map, 12);
    EXPECT_STREQ(tmp_string, "LEVEL 12");
    enter(front_steps().type(pw[47]));
    EXPECT_EQ(curr_map, 48);

    enter(front_steps().type("VEGT"));
    EXPECT_EQ(curr_map, 1);
    enter(front_steps().type(pw[40]));  // beyond the 32 classic levels
    EXPECT_EQ(curr_map, 1);
    enter(front_steps().type(pw[31]));
    EXPECT_EQ(curr_map, 32);

    // With no levels at all a plain word gives no verdict: the screen stays.
    maxmap = 0;
    front_steps steps;
    steps.type(pw[0]).press(SDLK_RETURN).idle(3).add(push_quit);
    EXPECT_EQ(steps.run(enter_pw), 8);
    EXPECT_EQ(curr_map, 32);
    EXPECT_FALSE(steps.timed_out);
}

TEST_F(PasswordScreen, TypingFillsFourPlacesAndBackspaceClosesUpAtEveryCursor)
{
    auto kwyb = [this](front_steps steps) {
        clear_cheats();
        enter(steps);
        return Player.bonus_lives == 3;
    };
    EXPECT_TRUE(kwyb(front_steps().type("KWYBX")));  // the fifth letter is ignored
    EXPECT_TRUE(kwyb(front_steps().type("kwyb")));
    // Cursor 4: the fourth letter becomes a blank.
    EXPECT_TRUE(kwyb(front_steps().type("KWYX").press(SDLK_BACKSPACE).type("B")));
    // Cursor 3: the third goes, the fourth (an 'A') closes up.
    EXPECT_TRUE(kwyb(front_steps().type("KWQ").press(SDLK_BACKSPACE).type("YB")));
    // Cursor 2 with letters behind it, by Delete.
    EXPECT_TRUE(kwyb(front_steps()
                         .type("KXWY")
                         .hold(SDLK_LEFT)
                         .hold(SDLK_LEFT)
                         .press(SDLK_DELETE)
                         .hold(SDLK_RIGHT)
                         .hold(SDLK_RIGHT)
                         .type("B")));
    // Cursor 1: the first letter goes, the cursor moves to 0.
    EXPECT_TRUE(kwyb(front_steps()
                         .type("XKWY")
                         .hold(SDLK_LEFT)
                         .hold(SDLK_LEFT)
                         .hold(SDLK_LEFT)
                         .press(SDLK_BACKSPACE)
                         .type("K")
                         .hold(SDLK_RIGHT)
                         .hold(SDLK_RIGHT)
                         .press(SDLK_BACKSPACE)
                         .type("YB")));
    // Cursor 0: the letter under the cursor goes and the cursor stays.
    EXPECT_TRUE(kwyb(front_steps()
                         .type("XKWY")
                         .hold(SDLK_LEFT)
                         .hold(SDLK_LEFT)
                         .hold(SDLK_LEFT)
                         .hold(SDLK_LEFT)
                         .press(SDLK_BACKSPACE)
                         .hold(SDLK_RIGHT)
                         .hold(SDLK_RIGHT)
                         .hold(SDLK_RIGHT)
                         .type("B")));
    // Left stops at 0 and right at 4.
    EXPECT_TRUE(kwyb(front_steps().hold(SDLK_LEFT).type("KWYB").hold(SDLK_RIGHT).type("X")));
}

TEST_F(PasswordScreen, HeldDirectionsStepTheLettersWithAFiveFramePause)
{
    // Up on 'A' gives 'Z'.
    enter(front_steps().type("FU").hold(SDLK_UP).hold(SDLK_RIGHT).type("D"));
    EXPECT_EQ(Player.time_bonus, 999);

    // Down on 'Z' gives 'A', on a level password holding an 'A'.
    int level = -1, at = 0;
    for (int i = 0; i < 48 && level < 0; i++) {
        const char* a = strchr(pw[i], 'A');
        if (a && a != pw[i]) {
            level = i;
            at = static_cast<int>(a - pw[i]);
        }
    }
    ASSERT_GE(level, 0);
    std::string word = pw[level];
    curr_map = 1;
    enter(front_steps()
              .type(word.substr(0, at).c_str())
              .type("Z")
              .hold(SDLK_LEFT)
              .hold(SDLK_DOWN)
              .hold(SDLK_RIGHT)
              .type(word.substr(at + 1).c_str()));
    EXPECT_EQ(curr_map, level + 1);

    // Held for 25 frames, down steps 'A' five times, once every sixth frame.
    front_steps held;
    held.add([] { hold_key(SDLK_DOWN, true); }).idle(24).add([] { hold_key(SDLK_DOWN, false); }).idle(4);
    held.hold(SDLK_RIGHT).type("UZD");
    Player.time_bonus = 0;
    enter(held);
    EXPECT_EQ(Player.time_bonus, 999);

    // A key typed in the fifth frame after a step is lost; in the sixth it counts.
    front_steps paused;
    paused.type("KWY").add([] { hold_key(SDLK_UP, true); }).add([] { hold_key(SDLK_UP, false); }).idle(3);
    paused.press(SDLK_q).press(SDLK_b);
    enter(paused);
    EXPECT_EQ(Player.bonus_lives, 3);

    // Up and down past the last letter change nothing.
    enter(front_steps().type("NIBQ").hold(SDLK_UP).hold(SDLK_DOWN));
    EXPECT_EQ(level_warp_activated, 1);
}

TEST_F(PasswordScreen, ClicksPickAColumnStepItsLetterOrConfirmOutside)
{
    enter(front_steps().type("XWYB").click(column_x(0), AREA_Y).type("K"));
    EXPECT_EQ(Player.bonus_lives, 3);

    // A click on the letter under the cursor steps it on ('A' to 'B').
    front_steps steps;
    steps.type("FUZ").click(column_x(3), 192).idle(5).click(column_x(3), 160).idle(5).click(column_x(3), AREA_Y);
    enter(steps);
    EXPECT_EQ(Player.time_bonus, 999);

    front_steps outside;
    outside.type("KWYB").click(10, 10);
    uint32_t took = run(outside);
    EXPECT_EQ(Player.bonus_lives, 3);
    EXPECT_GE(took, 1000u);
    front_steps below;
    below.type("JOPH").click(column_x(2), 193);
    run(below);
    EXPECT_EQ(Player.life_refund, 1);
}

TEST_F(PasswordScreen, ClosingTheWindowEndsItWithoutAVerdict)
{
    front_steps steps;
    steps.type("KW").add(push_quit);
    uint32_t start = sys_ticks();
    EXPECT_EQ(steps.run(enter_pw), 2);
    EXPECT_LT(sys_ticks() - start, 1000u);
    EXPECT_EQ(quit_zarn, 1);
}
