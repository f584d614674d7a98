#include "front_script.h"

#include "core/state.h"
#include "screens/highscore.h"
#include "screens/menu.h"
#include "support/scratch.h"
#include "video/font.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using names = std::vector<std::string>;
using scores = std::vector<int32_t>;
const scores TABLE = {600, 500, 400, 300, 200, 100};

class HighScores : public front_screen {
protected:
    void SetUp() override
    {
        front_screen::SetUp();
        remove("zarn.hi");
        set_table();
    }
    void TearDown() override
    {
        remove("zarn.hi");
        front_screen::TearDown();
    }
    static void set_table()
    {
        memset(high_names, 0, sizeof high_names);
        for (int i = 0; i < HIGHSCORE_PLACES; i++) {
            high_scores[i] = TABLE[i];
            high_names[i][0] = 'P';
            high_names[i][1] = static_cast<char>('1' + i);
        }
    }
    static names table_names()
    {
        names out;
        for (auto& slot : high_names)
            out.emplace_back(slot, strnlen(slot, HIGHSCORE_NAME_BYTES));
        return out;
    }
    static scores table_scores() { return scores(high_scores, high_scores + HIGHSCORE_PLACES); }
    // Enters 450 (place 3) with the name entry played from the script.
    static std::string name_typed(const std::string& script)
    {
        set_table();
        int32_t place = 0;
        EXPECT_FALSE(front_play([&] { place = check_highscore(450); }, script).timed_out) << script;
        EXPECT_EQ(place, 3);
        return table_names()[2];
    }
    static bool exists(const char* path)
    {
        struct stat st;
        return lstat(path, &st) == 0;
    }
    // The bytes of zarn.hi, none when it is not a plain file.
    static std::vector<uint8_t> table_file()
    {
        struct stat st;
        return lstat("zarn.hi", &st) == 0 && S_ISREG(st.st_mode) ? read_bytes("zarn.hi") : std::vector<uint8_t>{};
    }
};

}  // namespace

TEST_F(HighScores, ANewScoreGoesBelowEqualOnesAndPushesTheLastOut)
{
    quit_zarn = 1;  // the name entry ends at once and leaves six blanks
    EXPECT_EQ(check_highscore(100), 0);
    EXPECT_EQ(table_scores(), TABLE);
    EXPECT_EQ(check_highscore(101), 6);
    EXPECT_EQ(table_scores(), (scores{600, 500, 400, 300, 200, 101}));
    EXPECT_EQ(table_names(), (names{"P1", "P2", "P3", "P4", "P5", "      "}));
    set_table();
    EXPECT_EQ(check_highscore(400), 4);
    EXPECT_EQ(table_scores(), (scores{600, 500, 400, 400, 300, 200}));
    EXPECT_EQ(table_names(), (names{"P1", "P2", "P3", "      ", "P4", "P5"}));
    set_table();
    EXPECT_EQ(check_highscore(601), 1);
    EXPECT_EQ(table_names(), (names{"      ", "P1", "P2", "P3", "P4", "P5"}));
}

TEST_F(HighScores, TheFileRoundTripsByteForByteAndOnlyA66ByteFileIsRead)
{
    high_scores[0] = 0x01020304;
    memcpy(high_names[1], "AB\0xyzw", 7);  // what lies past the zero is kept too
    write_highscores();
    std::vector<uint8_t> bytes = read_bytes("zarn.hi");
    ASSERT_EQ(bytes.size(), 66u);
    EXPECT_EQ(0, memcmp(bytes.data(), "\x04\x03\x02\x01\xF4\x01\0\0", 8));
    EXPECT_EQ(0, memcmp(&bytes[24], "P1\0\0\0\0\0AB\0xyzw", 14));
    set_table();
    read_highscores();
    EXPECT_EQ(high_scores[0], 0x01020304);
    EXPECT_EQ(0, memcmp(high_names[1], "AB\0xyzw", 7));

    for (size_t size : {0, 65, 67}) {
        write_bytes("zarn.hi", std::vector<uint8_t>(size, 0));
        read_highscores();
        EXPECT_EQ(high_scores[0], 0x01020304) << size << " bytes";
    }
    remove_highscores();
    EXPECT_FALSE(exists("zarn.hi"));
    EXPECT_EQ(high_scores[0], 0x01020304);
}

TEST_F(HighScores, ANameWithoutItsZeroByteIsCutAtSix)
{
    std::vector<uint8_t> letters(66, 'A');
    memcpy(&letters[24 + 7], "XY\0junk", 7);
    write_bytes("zarn.hi", letters);
    read_highscores();
    EXPECT_EQ(high_scores[5], 0x41414141);
    EXPECT_EQ(table_names(), (names{"AAAAAA", "XY", "AAAAAA", "AAAAAA", "AAAAAA", "AAAAAA"}));
    write_highscores();
    letters[24 + 6] = 0;
    for (int slot = 2; slot < 6; slot++)
        letters[24 + 7 * slot + 6] = 0;
    EXPECT_EQ(read_bytes("zarn.hi"), letters);
}

TEST_F(HighScores, AFailedWriteKeepsTheOldFile)
{
    write_highscores();
    std::vector<uint8_t> good = table_file();
    high_scores[0] = 999999;
    ASSERT_EQ(symlink("/dev/full", "zarn.hi.tmp"), 0);  // the disk is full
    write_highscores();
    EXPECT_EQ(table_file(), good);
    EXPECT_FALSE(exists("zarn.hi.tmp"));
    ASSERT_EQ(mkdir("zarn.hi.tmp", 0700), 0);  // no temporary file can be made
    write_highscores();
    EXPECT_EQ(table_file(), good);
    rmdir("zarn.hi.tmp");
    write_highscores();
    EXPECT_NE(table_file(), good);
    EXPECT_EQ(table_file().size(), 66u);
}

TEST_F(HighScores, TheNameEntryTakesSixNameCharactersTypedOrStepped)
{
    EXPECT_EQ(name_typed("zarn[E]"), "ZARN  ");
    EXPECT_EQ(name_typed("ab.c-d!efgh[E]"), "ABCDEF");
    EXPECT_EQ(name_typed("[S]7[E]"), " 7    ");  // space is a blank, not a confirm
    EXPECT_EQ(name_typed("ABCDEFX[B]{<}{<}[B]{<}{<}{<}{<}[X][E]"), "BDE   ");
    EXPECT_EQ(name_typed("{v}{>}A{<}{^}{>}9{<}{v}[E]"), "09A   ");
    EXPECT_EQ(name_typed("{^!}BC{^!}[E]"), "BC    ");  // typing goes on in the input pause
    EXPECT_EQ(name_typed("ABCDEF{>}{^}G[E]"), "ABCDEF");
    EXPECT_EQ(name_typed("(117,160)[5](145,192)Z[E]"), "0 Z   ");
    EXPECT_EQ(name_typed("Q{<}[X](20,20)"), "      ");  // a click outside keeps blanks
    std::string drawn = name_typed("[E]");
    bool known = false;
    for (const char* name : score_names)
        known = known || drawn == std::string(name).substr(0, 6);
    EXPECT_TRUE(known) << drawn;
}

TEST_F(HighScores, TheTableBlinksTheNewPlaceAndClosesOnAKeyOrAfterThirtySeconds)
{
    got_highscore = 6;
    std::vector<std::string> place6;  // the last line formatted in each frame
    auto record = [&] { place6.emplace_back(tmp_string, 3); };
    front_result r = front_play(show_highscores, "[32](100,150)[2][<]", record);
    EXPECT_EQ(r.frames, 36);
    EXPECT_EQ(scrolltextpos, 36);
    EXPECT_EQ(got_highscore, 0);
    for (int frame = 1; frame <= 32; frame++)
        EXPECT_EQ(place6[frame - 1], (frame - 1) / 8 % 2 ? "   " : "06 ") << "frame " << frame;

    got_highscore = 2;
    r = front_play(show_highscores, "");
    EXPECT_GE(r.ms, 30000u);
    EXPECT_LT(r.ms, 30100u);
    EXPECT_EQ(got_highscore, 0);
}
