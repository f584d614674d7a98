// The level editor's actions without a window: placing, undo and redo, and a
// save that proves the level first; and the level packs' reader.
#include "support/game.h"

#include "core/editor.h"
#include "core/packs.h"
#include "model/pack.h"

namespace {

struct Editor : testing::Test {
    void SetUp() override
    {
        editor_reset();
        std::filesystem::remove_all("packs");
    }
    void TearDown() override { std::filesystem::remove_all("packs"); }
};

}  // namespace

TEST_F(Editor, UndoAndRedoWalkBackAndForthOverAHundredStepsAndTheStartMoves)
{
    const levelsrc::level_source blank = editor.level;
    for (int i = 0; i < 110; i++)
        editor_place(i % LEVEL_COLS, i / LEVEL_COLS % 5, "o*#"[i % 3]);
    const levelsrc::level_source drawn = editor.level;
    for (int i = 0; i < 110; i++)
        ASSERT_TRUE(editor_undo()) << i;
    EXPECT_EQ(editor.level.rows, blank.rows);
    EXPECT_FALSE(editor_undo());
    for (int i = 0; i < 110; i++)
        ASSERT_TRUE(editor_redo()) << i;
    EXPECT_EQ(editor.level.rows, drawn.rows);
    EXPECT_FALSE(editor_redo());

    editor_undo();
    editor_place(0, 11, 'S');  // a new step forgets the steps undone; the start moves
    EXPECT_FALSE(editor_redo());
    EXPECT_EQ(std::make_tuple(levelsrc::count(editor.level, 'S'), levelsrc::cell(editor.level, 11, 0),
                              levelsrc::cell(editor.level, LEVEL_ROWS / 2, LEVEL_COLS / 2)),
              std::make_tuple(1, 'S', '.'));
}

TEST_F(Editor, ALevelThatCannotBeWonIsNotSavedAndTheReasonAndAChangeThatHelpsAreGiven)
{
    // Each level drawn on a blank one whose start is moved to the top left.
    const struct {
        std::initializer_list<const char*> rows;
        int32_t verdict;
        bool helped;  // a one-cell change is found that makes it winnable
    } cases[] = {
        {{".o#"}, PROOF_NO_START, false},
        {{"SoT#"}, PROOF_TELEPORTERS, false},
        {{"SoT#T.T"}, PROOF_TELEPORTERS, false},
        {{"So#", "....", "..o"}, PROOF_UNREACHABLE, true},
        {{"Sooo"}, PROOF_NO_WAY, true},  // the last field can only be left into space
        // A walk of 123 steps to the only field: the limit allows 120.
        {{"S###################", "...................#", "####################", "#...................",
          "####################", "...................#", "####################", "#...................",
          "####################", "...................#", "#o##################"},
         PROOF_NO_ROUTE, true},
    };
    for (const auto& c : cases) {
        editor_reset();
        if (c.verdict == PROOF_NO_START)
            editor_place(LEVEL_COLS / 2, LEVEL_ROWS / 2, '.');
        editor_draw(c.rows);
        EXPECT_EQ(editor_save_searched("packs/p/level.txt"), c.verdict) << *c.rows.begin();
        EXPECT_FALSE(std::filesystem::exists("packs/p/level.txt"));
        EXPECT_EQ(editor.message, "NOT SAVED: IT CANNOT BE WON");
        EXPECT_EQ(!editor.suggestions.empty(), c.helped) << *c.rows.begin();
        if (c.verdict == PROOF_UNREACHABLE) {
            EXPECT_TRUE(editor.marked[2][2] && !editor.marked[0][1]);
        }
        if (c.helped) {
            ASSERT_TRUE(editor_take_suggestion());
            EXPECT_EQ(editor_save_searched("packs/p/level.txt"), PROOF_WINNABLE) << *c.rows.begin();
            std::filesystem::remove("packs/p/level.txt");
        }
    }
}

TEST_F(Editor, AProvenLevelIsSavedWithTheShortestRouteAnUnprovenOneWithAMarkNoneInTheGamesData)
{
    editor_draw({"S*o", ".o#"});
    editor_set_title("Mine Corner");
    const std::string path = editor_proposed_path();
    EXPECT_EQ(path, "packs/my-levels/level-01.txt");
    ASSERT_EQ(editor_save_searched(path), PROOF_WINNABLE);
    levelsrc::level_source back;
    std::string error;
    ASSERT_TRUE(levelsrc::parse(read_text(path), back, error)) << error;  // as the compiler reads it
    EXPECT_EQ(back.title, "Mine Corner");
    EXPECT_EQ(back.rows, editor.level.rows);
    load_level_text("S*o\n.o#");
    EXPECT_EQ(back.solution, "RDURD");  // the mine twice, each field once, off onto the solid
    EXPECT_FALSE(editor.changed);
    EXPECT_EQ(editor_proposed_path(), "packs/my-levels/level-02.txt");

    editor_work_limit = 1;  // the search gives up at once
    editor_place(2, 1, 'o');
    editor_place(3, 1, '#');
    EXPECT_EQ(editor_save_searched(path), PROOF_GAVE_UP);
    EXPECT_EQ(read_text(path).rfind(std::string(EDITOR_UNPROVEN_MARK) + "\ntitle: Mine Corner\nmap:\n", 0), 0u);
    ASSERT_TRUE(levelsrc::parse(read_text(path), back, error, false)) << error;
    EXPECT_EQ(back.rows, editor.level.rows);

    // The game's own data folder is refused, and so is a file that does not read.

    EXPECT_FALSE(editor_save("data/mine.txt"));
    EXPECT_FALSE(editor_save("./data/../data/sub/mine.txt"));
    EXPECT_EQ(editor.message, "NOT SAVED: NOT IN THE GAME'S DATA FOLDER");
    EXPECT_FALSE(std::filesystem::exists("data/mine.txt"));
    EXPECT_TRUE(in_data_folder(std::string(qva_folder) + "/x.txt"));
    EXPECT_FALSE(in_data_folder("packs/data/x.txt"));

    std::filesystem::create_directories("packs/p");
    write_bytes("packs/p/bad.txt", {'t', 'i', 't', 'l', 'e', ':', ' ', 'X', '\n', 'm', 'a', 'p', ':', '\n', 'S', '?'});
    const levelsrc::level_source before = editor.level;
    EXPECT_FALSE(editor_open("packs/p/bad.txt"));
    EXPECT_EQ(editor.message, "packs/p/bad.txt:3:2: unknown tile '?'");
    EXPECT_EQ(editor.level.rows, before.rows);
}

TEST(LevelPack, PlaysInTheOrderOfPackTxtAndNamesWhatDoesNotRead)
{
    std::string damaged = "title: A\nmap:\nS#\n";
    std::string level = "title: T\nsolution: R\nmap:\n";
    for (int r = 0; r < LEVEL_ROWS; r++)
        level += (r == 0 ? "So#" : "...") + std::string(LEVEL_COLS - 3, '.') + "\n";
    std::vector<pack_file> files = {
        {"b.txt", level}, {"a.txt", level}, {"c.txt", level}, {"d.txt", damaged},
        {"pack.txt", "; mine\ntitle: Bridges\nauthor: Someone\norder: c.txt gone.txt c.txt\ncolour: red\n"},
        {"e.txt", level, true}, {"notes.md", "not a level"},
    };
    level_pack p;
    pack_read(p, "bridges", files);
    EXPECT_EQ(p.title + "/" + p.author, "Bridges/Someone");
    std::string order;
    for (const pack_level& l : p.levels)
        order += l.file + (l.broken ? "(" + l.error + ") " : " ");
    EXPECT_EQ(order, "c.txt gone.txt(gone.txt: missing) a.txt b.txt d.txt(d.txt:3:3: the row has 2 cells, 20 wanted) "
                     "e.txt(e.txt: too large) ");
    EXPECT_EQ(pack_playable(p), 3);
    EXPECT_EQ(p.notes, std::vector<std::string>{"pack.txt:5: not title, author or order"});

    files.clear();
    for (int i = 0; i < PACK_LEVELS + 3; i++)
        files.push_back({"l" + std::to_string(100 + i) + ".txt", level});
    pack_read(p, "many", files);
    EXPECT_EQ(p.title, "many");
    EXPECT_EQ(int(p.levels.size()), PACK_LEVELS);
    EXPECT_EQ(p.notes.size(), 1u);
}
