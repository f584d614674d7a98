#include "support/game.h"

#include "core/editor.h"
#include "model/levelsrc.h"

namespace {

int folder_count = 0;

}  // namespace

void set_cell(std::vector<uint8_t>& body, int col, int row, int32_t start, int32_t type, int32_t variant,
              int32_t teleport)
{
    const int32_t words[4] = {start, type, variant, teleport};
    uint8_t* rec = &body[((row - 1) * LEVEL_COLS + (col - 1)) * LEVEL_RECORD_BYTES];
    for (int w = 0; w < 4; w++)
        put_le32(rec + 4 * w, static_cast<uint32_t>(words[w]));
}

std::vector<uint8_t> level_body(const std::string& text)
{
    levelsrc::level_source src;  // the level compiler's legend; what it does not know is a hole
    std::istringstream in(text);
    for (int row = 0; row < LEVEL_ROWS && std::getline(in, src.rows[row]); row++) {
    }
    return levelsrc::encode(src);
}

void load_level_text(const std::string& text)
{
    for (auto& row : Map)
        for (auto& cell : row)
            cell = map_cell{};
    std::vector<uint8_t> body = level_body(text);
    decode_level(body.data(), body.size());
    derive_map();
}

int play_on_field(const std::string& moves)
{
    const std::string names = "UDLR";
    play_state s;
    rules_start(s, game_field);
    int frames = 0;
    for (char m : moves) {
        int f = 0;
        do {
            rules_move(s, f == 0 ? MOVE_UP + static_cast<int32_t>(names.find(m)) : MOVE_NONE, game_field);
            rules_resolve(s, game_field);
            f++;
        } while (s.move_state != 0 && f < 1000);
        frames += f;
        if (f == 1 || Map[s.player_row][s.player_col].kind == KIND_EMPTY)
            return -1;
    }
    return MapData.fields_left == 0 ? frames / STEP_FRAMES : -1;
}

void enter_level_folder(const std::vector<std::pair<int, std::string>>& levels)
{
    std::string dir = scratch_dir() + "/levels" + std::to_string(++folder_count);
    std::string cmd = "mkdir -p '" + dir + "/data' && ln -sf '" + scratch_dir() + "/data/gfx.qva' '" +
                      scratch_dir() + "/data/sfx.qva' '" + dir + "/data/'";
    EXPECT_EQ(system(cmd.c_str()), 0);
    std::vector<qva_item> maps;
    for (const auto& [level, text] : levels)
        maps.emplace_back(std::string(level_entry_name(level, 0)) + ".zlv", level_body(text));
    write_qva(dir + "/data/maps.qva", maps);
    EXPECT_EQ(chdir(dir.c_str()), 0) << dir;
}

void editor_draw(std::initializer_list<const char*> rows)
{
    int r = 0;
    for (const char* row : rows) {
        for (int c = 0; row[c]; c++)
            if (row[c] != '.')
                editor_place(c, r, row[c]);
        r++;
    }
}

int32_t editor_save_searched(const std::string& path)
{
    editor_save(path);
    for (int slices = 0; editor.task != EDIT_IDLE && slices < 100000; slices++)
        editor_step(HINT_SLICE_WORK);
    EXPECT_EQ(editor.task, EDIT_IDLE);
    return editor.verdict;
}
