// The per-level records and their file zarn.rec.
#include "support/game.h"

namespace {

struct LevelRecords : testing::Test {
    void SetUp() override
    {
        remove("zarn.rec");
        records_reset();
    }
    void TearDown() override { remove("zarn.rec"); }
};

// The line read_records printed, if any.
std::string read_and_say()
{
    testing::internal::CaptureStdout();
    read_records();
    return testing::internal::GetCapturedStdout();
}

}  // namespace

TEST_F(LevelRecords, WinsKeepTheMostSecondsAndTheFewestStepsOfEachSetAndSurviveARestart)
{
    EXPECT_EQ(level_record_of(3, 0), nullptr);
    EXPECT_FALSE(note_level_won(3, 0, 40, 61)) << "a first win sets the record but beats none";
    EXPECT_FALSE(note_level_won(3, 0, 39, 62));
    remove("zarn.rec");
    EXPECT_FALSE(note_level_won(3, 0, 40, 61)) << "a tie beats nothing";
    EXPECT_EQ(access("zarn.rec", F_OK), -1) << "and saves nothing";
    EXPECT_TRUE(note_level_won(3, 0, 42, 70)) << "more seconds left";
    EXPECT_TRUE(note_level_won(3, 0, 10, 60)) << "fewer steps";
    note_level_won(3, 1, 5, 200);  // the classic level 3 is another level
    note_level_won(64, 1, 0, 1);
    EXPECT_FALSE(note_level_won(65, 0, 9, 9)) << "beyond the table";
    EXPECT_FALSE(note_level_won(0, 0, 9, 9));

    records_reset();  // a restart: the file is all that is left
    EXPECT_EQ(read_and_say(), "");
    const level_record* r = level_record_of(3, 0);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(std::make_pair(r->time_left, r->steps), std::make_pair(42, 60));
    ASSERT_NE(level_record_of(3, 1), nullptr);
    EXPECT_EQ(level_record_of(3, 1)->steps, 200);
    EXPECT_EQ(level_record_of(64, 1)->steps, 1);
    EXPECT_EQ(level_record_of(4, 0), nullptr);
    EXPECT_EQ(read_bytes("zarn.rec").size(), size_t(RECORDS_FILE_BYTES));
}

TEST_F(LevelRecords, ADamagedFileIsIgnoredWithOneLineAndReplacedByTheNextRecord)
{
    note_level_won(1, 0, 30, 12);
    const std::vector<uint8_t> good = read_bytes("zarn.rec");
    std::vector<std::vector<uint8_t>> damaged = {
        {}, {good.begin(), good.end() - 1}, good, good, good, good, good,
    };
    damaged[2].push_back(0);        // one byte too long
    damaged[3][0] = 'X';            // another mark
    put_le32(&damaged[4][8], 0);  // seconds without steps
    put_le32(&damaged[5][8], uint32_t(-3));  // steps below zero
    put_le32(&damaged[6][4], 10000);         // seconds beyond any level
    for (size_t i = 0; i < damaged.size(); i++) {
        note_level_won(2, 0, 1, 1);  // in memory, and saved
        write_bytes("zarn.rec", damaged[i]);
        std::string said = read_and_say();
        EXPECT_NE(said.find("zarn.rec is damaged"), std::string::npos) << i << ": " << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << i;
        EXPECT_EQ(level_record_of(1, 0), nullptr) << i;
        EXPECT_EQ(level_record_of(2, 0), nullptr) << i;
    }
    note_level_won(5, 1, 7, 8);
    EXPECT_EQ(read_and_say(), "");
    EXPECT_EQ(level_record_of(5, 1)->time_left, 7);
    remove("zarn.rec");
    EXPECT_EQ(read_and_say(), "") << "a missing file is no damage";
}

// The records live where the high scores live, the folder made when missing;
// without a folder for the scores none are written.
TEST_F(LevelRecords, TheFileFollowsTheHighScoresFolderAndAFailedSaveSaysSo)
{
    scoresFolder = "scores/zarn";
    note_level_won(1, 0, 30, 12);
    EXPECT_EQ(read_bytes("scores/zarn/zarn.rec").size(), size_t(RECORDS_FILE_BYTES));
    scoresFolder = "";
    EXPECT_TRUE(write_records());
    read_records();
    EXPECT_EQ(level_record_of(1, 0), nullptr) << "nothing read without a folder";
    scoresFolder = nullptr;
    EXPECT_EQ(fopen("zarn.rec", "rb"), nullptr);

    // A save that fails says so in one line and leaves what is there. (A FIFO
    // or a folder is never read: Readers.OnlyRegularFilesAreReadNeverWaitedOn.)
    scoresFolder = nullptr;

    ASSERT_EQ(mkdir("zarn.rec", 0700), 0);
    testing::internal::CaptureStderr();
    note_level_won(1, 0, 30, 12);
    note_level_won(1, 0, 30, 12);  // no change, no save
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "zarn: level records not saved in zarn.rec: Is a directory\n");
    struct stat st;
    EXPECT_TRUE(stat("zarn.rec", &st) == 0 && S_ISDIR(st.st_mode));
    rmdir("zarn.rec");
}
