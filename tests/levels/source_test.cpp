// Level sources: every legend character survives source -> level bytes ->
// the game's loader -> source, malformed sources are refused where they go
// wrong, and a copy of a level, or its walk drawn elsewhere, is told from a
// different level.
#include "support/game.h"

#include "model/levelsrc.h"
#include "similarity.h"

namespace {

std::string source_with(const std::string& row0, const std::string& extra = "")
{
    std::string text = "; a test level\ntitle: Test\nidea: every tile\nsolution: R R\n" + extra + "map:\n" + row0 + "\n";
    for (int r = 1; r < 12; r++)
        text += std::string(20, '.') + "\n";
    return text;
}

}  // namespace

TEST(LevelSource, EveryTileSurvivesTheRoundTripThroughTheGamesLoaderAndMistakesAreRefusedWhereTheyAre)
{
    const std::string row0 = "Soo*#|-^v<>T.T......";
    levelsrc::level_source src;
    std::string error;
    ASSERT_TRUE(levelsrc::parse(source_with(row0), src, error)) << error;
    EXPECT_EQ(src.solution, "RR");
    std::vector<uint8_t> body = levelsrc::encode(src);
    ASSERT_EQ(body.size(), size_t(LEVEL_BYTES));
    for (auto& row : Map)
        for (auto& cell : row)
            cell = map_cell{};
    ASSERT_TRUE(decode_level(body.data(), body.size()));
    derive_map();
    const int32_t kinds[14] = {KIND_SOLID,     KIND_FIELD,     KIND_FIELD,    KIND_MINE,     KIND_SOLID,
                               KIND_VTRACK,    KIND_HTRACK,    KIND_PUSH_UP,  KIND_PUSH_DOWN, KIND_PUSH_LEFT,
                               KIND_PUSH_RIGHT, KIND_TELEPORT, KIND_EMPTY,    KIND_TELEPORT};
    for (int c = 0; c < 14; c++)
        EXPECT_EQ(Map[1][c + 1].kind, kinds[c]) << "column " << c + 1 << " '" << row0[c] << "'";
    EXPECT_EQ(MapData.start_row * 100 + MapData.start_col, 101);
    EXPECT_EQ(MapData.tele_a_col * 100 + MapData.tele_b_col, 1214);

    levelsrc::level_source again;
    ASSERT_TRUE(levelsrc::parse(levelsrc::format(src), again, error)) << error;
    EXPECT_EQ(again.title + "|" + again.idea + "|" + again.solution, "Test|every tile|RR");
    EXPECT_EQ(again.rows, src.rows);

    const std::string good_row = "So#.................";
    const struct {
        std::string text;
        const char* where;  // "LINE:COL:" the message starts with
    } cases[] = {
        {source_with("So#...x............."), "6:7:"},                // unknown tile
        {source_with("So#................"), "6:20:"},                // a row too short
        {source_with("So#..................."), "6:21:"},             // a row too long
        {source_with("So#..S.............."), "6:6:"},               // a second start
        {source_with("oo#................."), "5:0:"},               // no start at all
        {source_with("SoT................."), "5:0:"},               // a lone teleporter
        {source_with("SoTTT..............."), "6:5:"},               // three teleporters
        {source_with(good_row, "solution: RX\n"), "5:1:"},           // a second solution line
        {source_with(good_row, "colour: red\n"), "5:1:"},            // an unknown key
        {"title: T\nsolution: UDLQ\nmap:\n", "2:14:"},                 // a move that is no move
        {"title: T\nsolution: U\nmap:\n" + good_row + "\n", "3:0:"}, // the map ends early
        {"title: T\nmap:\n" + std::string(12 * 21, '.'), "3:21:"},    // rows run together
        {"title: T\nsolution: U\nthis is no key\n", "3:1:"},          // no colon
        {"title:\nsolution: U\n", "1:7:"},                            // empty title
        {"title: T\nsolution: R\n", "3:0:"},                          // no map
    };
    for (const auto& b : cases) {
        levelsrc::level_source src;
        std::string error;
        EXPECT_FALSE(levelsrc::parse(b.text, src, error)) << b.where;
        EXPECT_EQ(error.rfind(b.where, 0), 0u) << "expected " << b.where << " got " << error;
    }
}

TEST(LevelSimilarity, ACopyMovedMirroredOrRetiledScoresOneAndADifferentLevelStaysBelowTheLimit)
{
    levelsrc::level_source ring, copy, line;
    ring.rows.fill(std::string(levelsrc::COLS, '.'));
    copy.rows = line.rows = ring.rows;
    const char* drawn[] = {"Sooo", "o..o", "o..oo", "ooooo"};
    for (int r = 0; r < 4; r++)
        for (int c = 0; drawn[r][c]; c++) {
            ring.rows[size_t(r)][size_t(c)] = drawn[r][c];
            // Moved three down and to the far right, mirrored, its fields made mines.
            copy.rows[size_t(r + 3)][size_t(levelsrc::COLS - 1 - c)] = drawn[r][c] == 'o' ? '*' : drawn[r][c];
        }
    ring.solution = "RRRDDRDLLLLUUU";
    copy.solution = "LLLDDLDRRRRUUU";
    levelsrc::likeness same = levelsrc::compare(ring, copy);
    EXPECT_DOUBLE_EQ(same.score, 1.0);
    EXPECT_EQ(same.symmetry, 4);  // the mirror image
    EXPECT_DOUBLE_EQ(levelsrc::compare(copy, ring).score, 1.0);

    line.rows[5] = "....Soooooooooooo#..";
    line.solution = "RRRRRRRRRRRRR";
    levelsrc::likeness other = levelsrc::compare(ring, line);
    EXPECT_LT(other.score, levelsrc::SIMILARITY_LIMIT);
    EXPECT_NEAR(other.layout, 5.0 / 23, 1e-9);  // the ring's bottom row on the line; 23 cells in either
    // The ring's walk turned a quarter, on the line: alike by idea wherever the tiles lie, though a
    // walk of 14 moves tells its idea only in part.
    line.solution = "DDDLLDLUUUURRR";
    other = levelsrc::compare(ring, line);
    EXPECT_NEAR(other.idea, 14.0 / 24, 1e-9);
    EXPECT_EQ(other.idea_symmetry, 3);
    EXPECT_NEAR(levelsrc::edit_ratio("RRRDDRDLLLLUUU", "RRRDDRDLLLLUUUU"), 14.0 / 15, 1e-9);
}
