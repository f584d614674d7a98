#include "support/level_text.h"

#include "core/level.h"
#include "model/rules.h"
#include "model/bytes.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <unistd.h>

namespace {

struct tile {
    char c;
    int32_t start, type, variant, teleport;
};

constexpr tile TILES[] = {
    {'o', 0, 1, 1, 0}, {'*', 0, 2, 1, 0}, {'#', 0, 3, 1, 0}, {'|', 0, 4, 1, 0},
    {'-', 0, 5, 1, 0}, {'^', 0, 1, 2, 0}, {'v', 0, 2, 2, 0}, {'<', 0, 3, 2, 0},
    {'>', 0, 4, 2, 0}, {'T', 0, 5, 2, 1}, {'S', 1, 3, 1, 0},
};

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
    std::vector<uint8_t> body(LEVEL_BYTES, 0);
    std::istringstream in(text);
    std::string line;
    for (int row = 1; row <= LEVEL_ROWS && std::getline(in, line); row++)
        for (int col = 1; col <= LEVEL_COLS && col <= static_cast<int>(line.size()); col++)
            for (const tile& t : TILES)
                if (t.c == line[col - 1])
                    set_cell(body, col, row, t.start, t.type, t.variant, t.teleport);
    return body;
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
