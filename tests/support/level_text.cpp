#include "support/level_text.h"

#include "core/level.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
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

void put_le32(uint8_t* p, int32_t v)
{
    uint32_t u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; i++)
        p[i] = static_cast<uint8_t>(u >> (8 * i));
}

int folder_count = 0;

}  // namespace

std::vector<uint8_t> level_body(const std::string& text)
{
    std::vector<uint8_t> body(LEVEL_BYTES, 0);
    std::istringstream in(text);
    std::string line;
    for (int row = 1; row <= LEVEL_ROWS && std::getline(in, line); row++) {
        for (int col = 1; col <= LEVEL_COLS && col <= static_cast<int>(line.size()); col++) {
            for (const tile& t : TILES) {
                if (t.c != line[col - 1])
                    continue;
                uint8_t* rec = &body[((row - 1) * LEVEL_COLS + (col - 1)) * LEVEL_RECORD_BYTES];
                put_le32(rec, t.start);
                put_le32(rec + 4, t.type);
                put_le32(rec + 8, t.variant);
                put_le32(rec + 12, t.teleport);
            }
        }
    }
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

std::string make_level_folder(const std::vector<std::pair<int, std::string>>& levels, bool classic)
{
    std::string dir = scratch_dir() + "/levels" + std::to_string(++folder_count);
    std::string data = dir + "/data";
    std::string cmd = "mkdir -p '" + data + "' && ln -sf '" + scratch_dir() + "/data/gfx.qva' '" + data +
                      "/gfx.qva' && ln -sf '" + scratch_dir() + "/data/sfx.qva' '" + data + "/sfx.qva'";
    EXPECT_EQ(system(cmd.c_str()), 0);
    std::string pack = std::string("'") + QVAPACK_PATH + "' create '" + data + "/maps.qva'";
    for (const auto& [level, text] : levels) {
        std::string name = std::string(level_entry_name(level, classic ? 1 : 0)) + ".zlv";
        std::vector<uint8_t> body = level_body(text);
        std::ofstream(dir + "/" + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(body.data()), static_cast<std::streamsize>(body.size()));
        pack += " '" + dir + "/" + name + "'";
    }
    pack += " > /dev/null";
    EXPECT_EQ(system(pack.c_str()), 0);
    return dir;
}

scoped_cwd::scoped_cwd(const std::string& dir)
{
    char buf[4096];
    if (getcwd(buf, sizeof buf))
        old_ = buf;
    EXPECT_EQ(chdir(dir.c_str()), 0) << dir;
}

scoped_cwd::~scoped_cwd()
{
    if (!old_.empty() && chdir(old_.c_str()) != 0)
        perror("chdir back");
}
