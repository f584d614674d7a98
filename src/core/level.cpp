#include "core/level.h"

#include "core/state.h"
#include "res/qva.h"
#include "sys/bytes.h"
#include "sys/fatal.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

map_cell Map[MAP_ROWS][MAP_COLS];
map_header MapData;

int32_t tile_kind(int32_t type, int32_t variant)
{
    if (type < 1 || type > 5 || variant < 1 || variant > 2)
        return KIND_EMPTY;
    return type + 5 * (variant - 1);
}

const char* level_entry_name(int level, int classic)
{
    static char name[16];
    if (classic && level <= 32)
        snprintf(name, sizeof name, "lev%03d", level);
    else
        snprintf(name, sizeof name, "zarn-%03d", level);
    return name;
}

namespace {

int32_t read_le32(const uint8_t* p)
{
    return static_cast<int32_t>(sys_get_le32(p));
}

}  // namespace

bool decode_level(const uint8_t* body, size_t len)
{
    if (len < static_cast<size_t>(LEVEL_BYTES))
        return false;  // a cut level is no level
    for (int row = 1; row <= LEVEL_ROWS; row++) {
        for (int col = 1; col <= LEVEL_COLS; col++) {
            const uint8_t* rec = body + ((row - 1) * LEVEL_COLS + (col - 1)) * LEVEL_RECORD_BYTES;
            int32_t a = read_le32(rec), b = read_le32(rec + 4);
            int32_t c = read_le32(rec + 8), d = read_le32(rec + 12);
            map_cell& cell = Map[row][col];
            if (d != 0 || (b == 5 && c == 2))
                cell.is_teleport = 1;
            if (a != 0 || (b == 1 && c == 3)) {
                cell.is_start = 1;
                cell.type = 3;
                cell.variant = 1;
                continue;
            }
            if (b != 0)
                cell.type = b;
            if (c != 0)
                cell.variant = c;
        }
    }
    return true;
}

int LoadLevel(int level, int classic)
{
    uint32_t len = 0;
    auto* body = static_cast<uint8_t*>(loadQVAFile(QVA_MAPS, level_entry_name(level, classic), "zlv", &len));
    if (!body)
        return 0;
    bool ok = decode_level(body, len);
    free(body);
    return ok ? 1 : 0;
}

size_t load_solution(int level, int classic, char* out, size_t size)
{
    uint32_t len = 0;
    auto* moves = static_cast<char*>(loadQVAFile(QVA_MAPS, level_entry_name(level, classic), "sol", &len));
    bool good = moves && len > 0 && len < size;
    for (uint32_t i = 0; good && i < len; i++)
        good = strchr("UDLR", moves[i]) != nullptr && moves[i] != 0;
    if (good) {
        memcpy(out, moves, len);
        out[len] = 0;
    }
    free(moves);
    return good ? len : 0;
}

void derive_map()
{
    MapData = map_header{};
    int teleporters = 0;
    int count = 0;
    for (int row = 1; row <= LEVEL_ROWS; row++) {
        for (int col = 1; col <= LEVEL_COLS; col++) {
            map_cell& cell = Map[row][col];
            cell.visit = 0;
            cell.kind = tile_kind(cell.type, cell.variant);
            if (cell.is_teleport) {
                if (teleporters == 0) {
                    MapData.tele_a_col = col;
                    MapData.tele_a_row = row;
                } else if (teleporters == 1) {
                    MapData.tele_b_col = col;
                    MapData.tele_b_row = row;
                }
                teleporters++;
            }
            if (cell.is_start) {
                MapData.start_col = col;
                MapData.start_row = row;
            }
            if (cell.kind == KIND_FIELD || cell.kind == KIND_MINE)
                count++;
        }
    }
    MapData.fields_left = count;
    MapData.time_left = (count < 20 ? 20 : count > 99 ? 99 : count) + Player.time_bonus;
}

bool load_level(int level, int classic)
{
    for (int row = 1; row < MAP_ROWS; row++)
        for (int col = 1; col < MAP_COLS; col++)
            Map[row][col] = map_cell{};
    if (!LoadLevel(level, classic))
        return false;
    derive_map();
    return true;
}

void init_maps(int level, int classic)
{
    if (!load_level(level, classic)) {
        // Without its level the game cannot go on: say which one and stop.
        char line[4200];
        snprintf(line, sizeof line, "Missing or damaged level %s.zlv in %s", level_entry_name(level, classic),
                 qva_name(QVA_MAPS));
        sys_fatal(line);
    }
}
