// Levels loaded from a maps archive of the test's own.
#include "support/game.h"

namespace {

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

TEST_F(LevelLoading, DerivesKindsStartAndCount)
{
    std::vector<uint8_t> lv(LEVEL_BYTES);
    set_cell(lv, 1, 1, 0, 1, 1);  // field
    set_cell(lv, 2, 1, 0, 2, 1);  // mine
    set_cell(lv, 3, 1, 0, 3, 1);  // solid
    set_cell(lv, 4, 1, 0, 4, 2);  // pusher right
    set_cell(lv, 5, 1, 0, 3, 0);  // odd pairs are holes
    set_cell(lv, 6, 1, 0, 3, 3);
    set_cell(lv, 7, 1, 0, 6, 1);
    set_cell(lv, 8, 1, 1, 2, 1);  // a start flag on a mine makes a solid start cell
    set_cell(lv, 9, 2, 0, 1, 3);  // the second way to mark a start: the later one wins
    ship({{"zarn-001.zlv", lv}});
    init_maps(1, 0);
    const int kinds[] = {KIND_EMPTY, KIND_FIELD, KIND_MINE, KIND_SOLID, KIND_PUSH_RIGHT,
                         KIND_EMPTY, KIND_EMPTY, KIND_EMPTY, KIND_SOLID};
    for (int col = 1; col <= 8; col++)
        EXPECT_EQ(Map[1][col].kind, kinds[col]) << "column " << col;
    EXPECT_EQ(std::make_tuple(Map[1][8].is_start, Map[2][9].kind), std::make_tuple(1, KIND_SOLID));
    EXPECT_EQ(std::make_tuple(MapData.start_col, MapData.start_row, MapData.fields_left, MapData.time_left),
              std::make_tuple(9, 2, 2, 20));
    for (int col = 0; col < MAP_COLS; col++)  // the border stays empty
        EXPECT_EQ(Map[0][col].kind | Map[13][col].kind, 0);
}

TEST_F(LevelLoading, TeleportersPairInReadingOrderAndTheTimeLimitIsTheCountClampedPlusTheBonus)
{
    std::vector<uint8_t> three(LEVEL_BYTES), one(LEVEL_BYTES);
    set_cell(three, 5, 2, 0, 5, 2);     // teleporter by its tile
    set_cell(three, 2, 7, 0, 3, 1, 1);  // teleporter by its flag, on a solid
    set_cell(three, 20, 12, 0, 5, 2);   // a third one is ignored
    set_cell(one, 4, 4, 0, 5, 2);
    ship({{"zarn-001.zlv", three}, {"zarn-002.zlv", one}});
    init_maps(1, 0);
    EXPECT_EQ(std::make_tuple(MapData.tele_a_col, MapData.tele_a_row, MapData.tele_b_col, MapData.tele_b_row),
              std::make_tuple(5, 2, 2, 7));
    EXPECT_EQ(std::make_tuple(Map[7][2].kind, Map[12][20].is_teleport), std::make_tuple(KIND_SOLID, 1));
    init_maps(2, 0);  // no start cell: the border corner
    EXPECT_EQ(std::make_tuple(MapData.tele_a_col, MapData.tele_b_col, MapData.tele_b_row, MapData.start_col,
                              MapData.start_row),
              std::make_tuple(4, 0, 0, 0, 0));

    std::vector<uint8_t> many(LEVEL_BYTES);
    for (int row = 1; row <= 12; row++)
        for (int col = 1; col <= 13; col++)
            set_cell(many, col, row, 0, row % 2 ? 1 : 2, 1);  // 156 fields and mines
    ship({{"zarn-001.zlv", level_body("ooooo")}, {"zarn-002.zlv", many}});
    init_maps(1, 0);
    EXPECT_EQ(std::make_pair(MapData.fields_left, MapData.time_left), std::make_pair(5, 20));
    init_maps(2, 0);
    EXPECT_EQ(std::make_pair(MapData.fields_left, MapData.time_left), std::make_pair(156, 99));
    Player.time_bonus = 999;
    init_maps(1, 0);
    EXPECT_EQ(MapData.time_left, 1019);
}

// Classic levels have names of their own up to 32; a missing or cut level
// stops the game with its name.
TEST_F(LevelLoading, ClassicLevelsHaveTheirOwnNamesAndAMissingOrCutLevelStopsWithItsName)
{
    GTEST_FLAG_SET(death_test_style, "fast");  // the child must see this private ./data
    std::vector<uint8_t> lv = level_body("\n\n..So"), cut(lv.begin(), lv.end() - 1);
    ship({{"zarn-001.zlv", lv}, {"zarn-002.zlv", cut}});
    init_maps(1, 0);
    EXPECT_EQ(Map[3][3].is_start, 1);
    EXPECT_EXIT(init_maps(2, 0), testing::ExitedWithCode(1),
                "^Missing or damaged level zarn-002.zlv in data/maps.qva\n$");
    EXPECT_EXIT(init_maps(3, 1), testing::ExitedWithCode(1),
                "^Missing or damaged level lev003.zlv in data/maps.qva\n$");

    EXPECT_STREQ(level_entry_name(32, 1), "lev032");
    EXPECT_STREQ(level_entry_name(33, 1), "zarn-033");
    ship({{"zarn-005.zlv", level_body("o")}, {"lev005.zlv", level_body("*")}});
    init_maps(5, 1);
    EXPECT_EQ(Map[1][1].kind, KIND_MINE);
    init_maps(5, 0);
    EXPECT_EQ(Map[1][1].kind, KIND_FIELD);
}

}  // namespace

// The attract mode plays a level's stored solution; one it cannot trust is none.
TEST_F(LevelLoading, StoredSolutionsAreReadWholeAndAnythingButMovesRefusesThem)
{
    auto bytes = [](const char* s) { return std::vector<uint8_t>(s, s + strlen(s)); };
    ship({{"zarn-001.sol", bytes("RRDDLU")}, {"zarn-002.sol", bytes("RR DD")}, {"lev003.sol", bytes("UDLRUDLR")},
          {"zarn-004.sol", bytes("R\nR")}, {"zarn-005.sol", std::vector<uint8_t>(2000, 'L')}});
    char moves[SOLUTION_MAX + 1];
    EXPECT_EQ(load_solution(1, 0, moves, sizeof moves), 6u);
    EXPECT_STREQ(moves, "RRDDLU");
    EXPECT_EQ(load_solution(3, 1, moves, sizeof moves), 8u);
    EXPECT_EQ(load_solution(3, 1, moves, 8), 0u) << "no room for the end";
    for (int level : {2, 3, 4, 5, 6})
        EXPECT_EQ(load_solution(level, 0, moves, sizeof moves), 0u) << level;
}
