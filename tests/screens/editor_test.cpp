// The editor and the packs in the running game: a level built in the editor,
// tested through the play loop, proven and saved plays from its pack, whose
// damaged file is passed over; the packs screen opens from the password
// screen; the editor's screen answers keys alone.
#include "play_screen.h"

#include "core/editor.h"
#include "core/hint.h"
#include "core/packs.h"
#include "screens/editor.h"

namespace {

struct EditorSession : screen_test {
    void SetUp() override
    {
        screen_test::SetUp();
        std::filesystem::remove_all("packs");
        remove("zarn-pack-session.rec");
        editor_reset();
    }
    void TearDown() override
    {
        std::filesystem::remove_all("packs");
        remove("zarn-pack-session.rec");
        playing_sets();
        screen_test::TearDown();
    }
};

// Builds a level with the editor's actions from rows of legend characters
// (the editor's first start taken away) and saves it, the search run to its end.
std::string build_and_save(std::initializer_list<const char*> rows, const std::string& path)
{
    editor_new();
    editor_place(LEVEL_COLS / 2, LEVEL_ROWS / 2, '.');
    editor_draw(rows);
    EXPECT_EQ(editor_save_searched(path), PROOF_WINNABLE) << editor.message;
    return editor.level.solution;
}

}  // namespace

TEST_F(EditorSession, ALevelBuiltTestedProvenAndSavedPlaysFromItsPackPastADamagedFile)
{
    const std::string first = build_and_save({"So*#"}, "packs/session/a.txt");
    // Test play from the editor: the real play loop wins it, and the editor's
    // level, the game's lives and level come back as they were.
    Player.lives = 2;
    curr_map = 7;
    const levelsrc::level_source before = editor.level;
    play_result tried = play_moves(first, 90, nullptr, editor_test_play);
    EXPECT_EQ(tried.outcome, PLAY_WON);
    EXPECT_EQ(editor.level.rows, before.rows);
    EXPECT_EQ(Player.lives * 100 + curr_map, 207);
    EXPECT_EQ(playing, PLAYING_SETS);
    EXPECT_FALSE(std::filesystem::exists("zarn-pack-session.rec")) << "a test keeps no record";

    write_bytes("packs/session/b.txt", {'t', 'i', 't', 'l', 'e', ':', ' ', 'x', '\n'});
    const std::string third = build_and_save({"#", "S", "o", "o", "#"}, "packs/session/c.txt");

    ASSERT_TRUE(pack_open("session"));
    ASSERT_EQ(pack.levels.size(), 3u);
    EXPECT_EQ(pack.levels[1].error, "b.txt:2:0: no 'map:' in the level");
    pack_start(1);
    Player.lives = 3;
    init_maps(curr_map, 0);
    // Won after a hint: no record, but the next level opens all the same.
    EXPECT_EQ(play_moves(first, 90, [](int frame) { hint_used |= frame > 3; }).outcome, PLAY_WON);
    EXPECT_EQ(curr_map, 2);
    init_maps(curr_map, 0);  // the level of c.txt: the broken one is passed over
    EXPECT_EQ(MapData.start_row * 100 + MapData.start_col, 201);
    EXPECT_EQ(play_moves(third).outcome, PLAY_WON);
    EXPECT_EQ(fin, 1) << "the pack's last level ends the game";
    ASSERT_TRUE(pack_open("session"));  // the records, from the pack's own file
    EXPECT_EQ(pack_records[0][0].steps, 0);
    EXPECT_GT(pack_records[0][2].steps, 0);
    EXPECT_TRUE(pack_level_open(2));
}

TEST_F(EditorSession, KeysAloneBuildSaveTestAndLeaveAndThePasswordPackOpensThePacksScreen)
{
    build_and_save({"So#"}, "packs/session/a.txt");
    build_and_save({"S", "o", "#"}, "packs/session/b.txt");
    // The pack, then its second level: locked, nothing starts; back twice to
    // the password screen, which a closed window ends.
    EXPECT_FALSE(play(enter_pw, "pack[E][E][v][E][<][<][Q]").timed_out);
    EXPECT_EQ(playing, PLAYING_SETS);
    quit_zarn = 0;
    play(enter_pw, "pack[E][E][E]");
    EXPECT_EQ(playing, PLAYING_PACK);
    EXPECT_EQ(curr_map * 100 + maxmap, 102);

    // The field tile, three fields right of the start and a solid; the menu's
    // SAVE (the proposed name taken); its TEST PLAY, won by four presses; its
    // LEAVE.
    int frames_played = 0;
    played run = play([] { level_editor(nullptr); },
                      "2[>][E][>][E][>][E]4[>][E][S][v][E][E][10][S][E][E][>][5][>][5][>][5][>][30][E][10][S][^][^][E]",
                      [&](int) { frames_played += strcmp(running_screen(), "engine") == 0; });
    EXPECT_FALSE(run.timed_out);
    EXPECT_GT(frames_played, 20);
    levelsrc::level_source saved;
    std::string error;
    ASSERT_TRUE(levelsrc::parse(read_text("packs/my-levels/level-01.txt"), saved, error)) << error;
    EXPECT_EQ(saved.rows[LEVEL_ROWS / 2].substr(LEVEL_COLS / 2, 5), "Sooo#");
    EXPECT_EQ(saved.solution, "RRRR");
}
