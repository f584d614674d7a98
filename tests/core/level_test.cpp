#include <gtest/gtest.h>

#include "core/level.h"
#include "core/state.h"
#include "res/qva.h"
#include "support/scratch.h"

#include <cstring>

namespace {

// A level body in the stored format, edited cell by cell.
struct level_bytes {
    std::vector<uint8_t> body = std::vector<uint8_t>(LEVEL_BYTES, 0);
    void set(int col, int row, int32_t start, int32_t type, int32_t variant, int32_t tele = 0)
    {
        int32_t words[4] = {start, type, variant, tele};
        uint8_t* rec = &body[((row - 1) * LEVEL_COLS + (col - 1)) * LEVEL_RECORD_BYTES];
        for (int w = 0; w < 4; w++)
            for (int b = 0; b < 4; b++)
                rec[4 * w + b] = static_cast<uint8_t>(static_cast<uint32_t>(words[w]) >> (8 * b));
    }
};

class LevelLoading : public testing::Test {
protected:
    private_data data;
    void SetUp() override { state_reset(); }
    void TearDown() override { closeArchives(); }
    void ship(const std::vector<qva_item>& levels)
    {
        closeArchives();
        write_qva("data/maps.qva", levels);
        openArchives();
    }
};

}  // namespace

TEST_F(LevelLoading, DerivesKindsStartAndCount)
{
    level_bytes lv;
    lv.set(1, 1, 0, 1, 1);  // field
    lv.set(2, 1, 0, 2, 1);  // mine
    lv.set(3, 1, 0, 3, 1);  // solid
    lv.set(4, 1, 0, 4, 2);  // pusher right
    lv.set(5, 1, 0, 3, 0);  // odd pairs are holes
    lv.set(6, 1, 0, 3, 3);
    lv.set(7, 1, 0, 6, 1);
    lv.set(8, 1, 1, 2, 1);  // a start flag on a mine makes a solid start cell
    lv.set(9, 2, 0, 1, 3);  // the second way to mark a start: the later one wins
    ship({{"zarn-001.zlv", lv.body}});
    init_maps(1, 0);
    EXPECT_EQ(Map[1][1].kind, KIND_FIELD);
    EXPECT_EQ(Map[1][2].kind, KIND_MINE);
    EXPECT_EQ(Map[1][3].kind, KIND_SOLID);
    EXPECT_EQ(Map[1][4].kind, KIND_PUSH_RIGHT);
    EXPECT_EQ(Map[1][5].kind, KIND_EMPTY);
    EXPECT_EQ(Map[1][6].kind, KIND_EMPTY);
    EXPECT_EQ(Map[1][7].kind, KIND_EMPTY);
    EXPECT_EQ(Map[1][8].kind, KIND_SOLID);
    EXPECT_EQ(Map[1][8].is_start, 1);
    EXPECT_EQ(Map[2][9].kind, KIND_SOLID);
    EXPECT_EQ(MapData.start_col, 9);
    EXPECT_EQ(MapData.start_row, 2);
    EXPECT_EQ(MapData.fields_left, 2);
    EXPECT_EQ(MapData.time_left, 20);
    // The border stays empty.
    for (int col = 0; col < MAP_COLS; col++)
        EXPECT_EQ(Map[0][col].kind | Map[13][col].kind, 0);
}

TEST_F(LevelLoading, TeleportersPairInReadingOrder)
{
    level_bytes three, one;
    three.set(5, 2, 0, 5, 2);        // teleporter by its tile
    three.set(2, 7, 0, 3, 1, 1);     // teleporter by its flag, on a solid
    three.set(20, 12, 0, 5, 2);      // a third one is ignored
    one.set(4, 4, 0, 5, 2);
    ship({{"zarn-001.zlv", three.body}, {"zarn-002.zlv", one.body}});
    init_maps(1, 0);
    EXPECT_EQ(MapData.tele_a_col, 5);
    EXPECT_EQ(MapData.tele_a_row, 2);
    EXPECT_EQ(MapData.tele_b_col, 2);
    EXPECT_EQ(MapData.tele_b_row, 7);
    EXPECT_EQ(Map[7][2].kind, KIND_SOLID);
    EXPECT_EQ(Map[12][20].is_teleport, 1);
    init_maps(2, 0);
    EXPECT_EQ(MapData.tele_a_col, 4);
    EXPECT_EQ(MapData.tele_b_col, 0);
    EXPECT_EQ(MapData.tele_b_row, 0);
    // No start cell: the player starts on the border corner.
    EXPECT_EQ(MapData.start_col, 0);
    EXPECT_EQ(MapData.start_row, 0);
}

TEST_F(LevelLoading, TimeLimitIsTheCountClampedPlusTheBonus)
{
    level_bytes five, many;
    for (int i = 1; i <= 5; i++)
        five.set(i, 1, 0, 1, 1);
    for (int row = 1; row <= 12; row++)
        for (int col = 1; col <= 13; col++)
            many.set(col, row, 0, row % 2 ? 1 : 2, 1);  // 156 fields and mines
    ship({{"zarn-001.zlv", five.body}, {"zarn-002.zlv", many.body}});
    init_maps(1, 0);
    EXPECT_EQ(MapData.fields_left, 5);
    EXPECT_EQ(MapData.time_left, 20);
    init_maps(2, 0);
    EXPECT_EQ(MapData.fields_left, 156);
    EXPECT_EQ(MapData.time_left, 99);
    Player.time_bonus = 999;
    init_maps(1, 0);
    EXPECT_EQ(MapData.time_left, 1019);
}

TEST_F(LevelLoading, MissingOrShortLevelLeavesAnEmptyFieldAndTheOldHeader)
{
    level_bytes lv;
    lv.set(3, 3, 1, 3, 1);
    lv.set(4, 3, 0, 1, 1);
    std::vector<uint8_t> cut(lv.body.begin(), lv.body.end() - 1);
    ship({{"zarn-001.zlv", lv.body}, {"zarn-002.zlv", cut}});
    init_maps(1, 0);
    map_header before = MapData;
    for (int level : {2, 3}) {
        init_maps(level, 0);
        EXPECT_EQ(memcmp(&MapData, &before, sizeof before), 0) << level;
        for (int row = 1; row <= LEVEL_ROWS; row++)
            for (int col = 1; col <= LEVEL_COLS; col++)
                ASSERT_EQ(Map[row][col].type | Map[row][col].kind | Map[row][col].is_start, 0);
    }
}

TEST_F(LevelLoading, ClassicLevelsHaveTheirOwnNamesUpTo32)
{
    EXPECT_STREQ(level_entry_name(7, 0), "zarn-007");
    EXPECT_STREQ(level_entry_name(7, 1), "lev007");
    EXPECT_STREQ(level_entry_name(32, 1), "lev032");
    EXPECT_STREQ(level_entry_name(33, 1), "zarn-033");
    level_bytes normal, classic;
    normal.set(1, 1, 0, 1, 1);
    classic.set(1, 1, 0, 2, 1);
    ship({{"zarn-005.zlv", normal.body}, {"lev005.zlv", classic.body}});
    init_maps(5, 1);
    EXPECT_EQ(Map[1][1].kind, KIND_MINE);
    init_maps(5, 0);
    EXPECT_EQ(Map[1][1].kind, KIND_FIELD);
}
