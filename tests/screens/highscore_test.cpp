#include "front_steps.h"

#include "core/clock.h"
#include "screens/highscore.h"
#include "screens/menu.h"
#include "support/scratch.h"
#include "video/font.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int32_t TABLE[HIGHSCORE_PLACES] = {600, 500, 400, 300, 200, 100};
const char* const NAMES[HIGHSCORE_PLACES] = {"P1", "P2", "P3", "P4", "P5", "P6"};

void set_table()
{
    memset(high_names, 0, sizeof high_names);
    for (int i = 0; i < HIGHSCORE_PLACES; i++) {
        high_scores[i] = TABLE[i];
        strcpy(high_names[i], NAMES[i]);
    }
}

std::vector<std::string> names()
{
    std::vector<std::string> out;
    for (auto& slot : high_names)
        out.emplace_back(slot, strnlen(slot, HIGHSCORE_NAME_BYTES));
    return out;
}

std::vector<int32_t> scores()
{
    return std::vector<int32_t>(high_scores, high_scores + HIGHSCORE_PLACES);
}

bool file_exists(const char* path)
{
    struct stat st;
    return lstat(path, &st) == 0;
}

class HighScores : public front_screen {
protected:
    void SetUp() override
    {
        front_screen::SetUp();
        cleanup();
        set_table();
    }
    void TearDown() override
    {
        cleanup();
        front_screen::TearDown();
    }
    static void cleanup()
    {
        remove("zarn.hi");
        if (remove("zarn.hi.tmp") != 0)
            rmdir("zarn.hi.tmp");
    }
    // Inserts a score with the name entry ended at once by a closed window.
    int32_t insert_unnamed(int32_t score)
    {
        quit_zarn = 1;
        int32_t place = check_highscore(score);
        quit_zarn = 0;
        return place;
    }
    // Inserts a score and runs the name entry with the steps.
    int32_t insert(int32_t score, front_steps steps)
    {
        int32_t place = 0;
        steps.run([&] { place = check_highscore(score); });
        EXPECT_FALSE(steps.timed_out);
        return place;
    }
};

}  // namespace

TEST_F(HighScores, ANewScoreGoesBelowEqualOnesAndPushesTheLastOut)
{
    EXPECT_EQ(insert_unnamed(100), 0);
    EXPECT_EQ(insert_unnamed(-5), 0);
    EXPECT_EQ(scores(), std::vector<int32_t>(TABLE, TABLE + 6));
    EXPECT_EQ(names(), (std::vector<std::string>{"P1", "P2", "P3", "P4", "P5", "P6"}));

    EXPECT_EQ(insert_unnamed(101), 6);
    EXPECT_EQ(scores(), (std::vector<int32_t>{600, 500, 400, 300, 200, 101}));
    EXPECT_EQ(names(), (std::vector<std::string>{"P1", "P2", "P3", "P4", "P5", "      "}));

    set_table();
    EXPECT_EQ(insert_unnamed(400), 4);
    EXPECT_EQ(scores(), (std::vector<int32_t>{600, 500, 400, 400, 300, 200}));
    EXPECT_EQ(names(), (std::vector<std::string>{"P1", "P2", "P3", "      ", "P4", "P5"}));

    set_table();
    EXPECT_EQ(insert_unnamed(601), 1);
    EXPECT_EQ(scores(), (std::vector<int32_t>{601, 600, 500, 400, 300, 200}));
    EXPECT_EQ(names(), (std::vector<std::string>{"      ", "P1", "P2", "P3", "P4", "P5"}));
}

TEST_F(HighScores, TheFileRoundTripsByteForByte)
{
    high_scores[0] = 0x01020304;
    high_scores[5] = -2;
    memcpy(high_names[1], "AB\0xyzw", 7);  // bytes after the zero are kept too
    write_highscores();
    std::vector<uint8_t> bytes = read_bytes("zarn.hi");
    ASSERT_EQ(bytes.size(), 66u);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 4), (std::vector<uint8_t>{4, 3, 2, 1}));
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 20, bytes.begin() + 24), (std::vector<uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(0, memcmp(&bytes[24], "P1\0\0\0\0\0AB\0xyzw", 14));
    EXPECT_FALSE(file_exists("zarn.hi.tmp"));

    int32_t saved_scores[6];
    char saved_names[6][7];
    memcpy(saved_scores, high_scores, sizeof saved_scores);
    memcpy(saved_names, high_names, sizeof saved_names);
    memset(high_scores, 0, sizeof high_scores);
    memset(high_names, '?', sizeof high_names);
    read_highscores();
    EXPECT_EQ(0, memcmp(saved_scores, high_scores, sizeof saved_scores));
    EXPECT_EQ(0, memcmp(saved_names, high_names, sizeof saved_names));

    // Deleting the file leaves the table in memory alone.
    remove_highscores();
    EXPECT_FALSE(file_exists("zarn.hi"));
    EXPECT_EQ(high_scores[0], 0x01020304);
}

TEST_F(HighScores, OnlyA66ByteFileIsReadAndEveryNameIsCutAtSix)
{
    for (size_t size : {0, 65, 67}) {
        write_bytes("zarn.hi", std::vector<uint8_t>(size, 0));
        read_highscores();
        EXPECT_EQ(scores(), std::vector<int32_t>(TABLE, TABLE + 6)) << size << " bytes";
    }
    remove("zarn.hi");
    read_highscores();
    EXPECT_EQ(scores(), std::vector<int32_t>(TABLE, TABLE + 6));

    // No zero byte anywhere: every slot keeps six characters and ends.
    std::vector<uint8_t> letters(66, 'A');
    memcpy(&letters[24 + 7], "XY\0junk", 7);
    write_bytes("zarn.hi", letters);
    read_highscores();
    EXPECT_EQ(high_scores[0], 0x41414141);
    EXPECT_EQ(names(), (std::vector<std::string>{"AAAAAA", "XY", "AAAAAA", "AAAAAA", "AAAAAA", "AAAAAA"}));
    EXPECT_EQ(0, memcmp(high_names[1], "XY\0junk", 7));
    write_highscores();
    std::vector<uint8_t> back = read_bytes("zarn.hi");
    ASSERT_EQ(back.size(), 66u);
    EXPECT_EQ(back[24 + 6], 0);
    EXPECT_EQ(0, memcmp(&back[24 + 7], "XY\0junk", 7));
}

TEST_F(HighScores, AFailedWriteKeepsTheOldFile)
{
    write_highscores();
    std::vector<uint8_t> good = read_bytes("zarn.hi");
    ASSERT_EQ(good.size(), 66u);
    high_scores[0] = 999999;

    // The disk fills up while writing.
    ASSERT_EQ(symlink("/dev/full", "zarn.hi.tmp"), 0);
    write_highscores();
    EXPECT_EQ(read_bytes("zarn.hi"), good);
    EXPECT_FALSE(file_exists("zarn.hi.tmp"));

    // The temporary file cannot be made at all.
    ASSERT_EQ(mkdir("zarn.hi.tmp", 0700), 0);
    write_highscores();
    EXPECT_EQ(read_bytes("zarn.hi"), good);
    rmdir("zarn.hi.tmp");

    write_highscores();
    EXPECT_NE(read_bytes("zarn.hi"), good);
}

TEST_F(HighScores, NameEntryTakesNameLettersOnlyUpToSix)
{
    EXPECT_EQ(insert(450, front_steps().type("zarn").press(SDLK_RETURN)), 3);
    EXPECT_EQ(names()[2], "ZARN  ");
    set_table();
    insert(450, front_steps().type("ab.c-d!efgh").press(SDLK_RETURN));
    EXPECT_EQ(names()[2], "ABCDEF");
    // The space bar types a blank and does not end the entry.
    set_table();
    insert(450, front_steps().press(SDLK_SPACE).type("7").press(SDLK_RETURN));
    EXPECT_EQ(names()[2], " 7    ");
    // Backspace at the end, in the middle and at the start.
    set_table();
    insert(450, front_steps()
                    .type("ABCDEFX")
                    .press(SDLK_BACKSPACE)
                    .hold(SDLK_LEFT)
                    .hold(SDLK_LEFT)
                    .press(SDLK_BACKSPACE)
                    .hold(SDLK_LEFT)
                    .hold(SDLK_LEFT)
                    .hold(SDLK_LEFT)
                    .hold(SDLK_LEFT)
                    .press(SDLK_DELETE)
                    .press(SDLK_RETURN));
    EXPECT_EQ(names()[2], "BDE   ");
}

TEST_F(HighScores, HeldDirectionsCycleTheNameLettersWhileTypingGoesOn)
{
    // Down on a blank gives '0', up on 'A' gives '9', down on '9' gives 'A'.
    insert(450, front_steps()
                    .hold(SDLK_DOWN)
                    .hold(SDLK_RIGHT)
                    .type("A")
                    .hold(SDLK_LEFT)
                    .hold(SDLK_UP)
                    .hold(SDLK_RIGHT)
                    .type("9")
                    .hold(SDLK_LEFT)
                    .hold(SDLK_DOWN)
                    .press(SDLK_RETURN));
    EXPECT_EQ(names()[2], "09A   ");
    // Typed letters count during the input pause; held steps do not.
    set_table();
    insert(450, front_steps()
                    .add([] { hold_key(SDLK_UP, true); })
                    .add([] { hold_key(SDLK_UP, false); })
                    .type("BC")
                    .add([] { hold_key(SDLK_UP, true); })
                    .add([] { hold_key(SDLK_UP, false); })
                    .press(SDLK_RETURN));
    EXPECT_EQ(names()[2], "BC    ");
    // Right stops past the sixth place.
    set_table();
    insert(450, front_steps().type("ABCDEF").hold(SDLK_RIGHT).hold(SDLK_UP).type("G").press(SDLK_RETURN));
    EXPECT_EQ(names()[2], "ABCDEF");
}

TEST_F(HighScores, EmptyNamesAreDrawnAtRandomUnlessTheEntryIsClickedAway)
{
    insert(450, front_steps().press(SDLK_RETURN));
    std::string drawn = names()[2];
    bool known = false;
    for (const char* name : score_names)
        known = known || drawn == std::string(name).substr(0, 6);
    EXPECT_TRUE(known) << drawn;

    set_table();
    front_steps away;
    away.type("Q").hold(SDLK_LEFT).press(SDLK_DELETE).click(20, 20);
    EXPECT_EQ(insert(450, away), 3);
    EXPECT_EQ(names()[2], "      ");

    // A click on the character under the cursor steps it; one beside it moves there.
    set_table();
    insert(450, front_steps().click(117, 160).idle(5).click(115 + 15 * 2, 192).type("Z").press(SDLK_RETURN));
    EXPECT_EQ(names()[2], "0 Z   ");
}

TEST_F(HighScores, TheTableBlinksTheNewPlaceAndClosesOnAnyControl)
{
    got_highscore = 6;
    std::vector<std::string> lines;
    front_steps steps;
    for (int i = 0; i < 33; i++)
        steps.add([&lines] { lines.emplace_back(tmp_string, 3); });
    steps.click(100, 150).idle(2).press(SDLK_LEFT);
    int32_t scroll_before = scrolltextpos;
    EXPECT_EQ(steps.run(show_highscores), 37);
    EXPECT_EQ(got_highscore, 0);
    EXPECT_EQ(scrolltextpos, scroll_before + 37);  // the scroll text runs on
    ASSERT_EQ(lines.size(), 33u);
    for (int frame = 1; frame <= 32; frame++)
        EXPECT_EQ(lines[frame], (frame - 1) / 8 % 2 ? "   " : "06 ") << "frame " << frame;
}

TEST_F(HighScores, TheTableClosesByItselfAfterThirtySeconds)
{
    got_highscore = 2;
    uint32_t start = sys_ticks();
    front_steps().run(show_highscores, 5000);
    EXPECT_GE(sys_ticks() - start, 30000u);
    EXPECT_LT(sys_ticks() - start, 30100u);
    EXPECT_EQ(got_highscore, 0);
}
