#include "model/level.h"

#include "model/bytes.h"

#include <cstdio>

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

int32_t level_time_limit(int32_t destructibles)
{
    return destructibles < 20 ? 20 : destructibles > 99 ? 99 : destructibles;
}

namespace {

// Where the record of the cell at (col, row) starts in a level body.
size_t record_offset(int col, int row)
{
    return static_cast<size_t>(((row - 1) * LEVEL_COLS + (col - 1)) * LEVEL_RECORD_BYTES);
}

}  // namespace

void level_put_record(uint8_t* body, int col, int row, const level_cell_record& rec)
{
    uint8_t* at = body + record_offset(col, row);
    put_le32(at, static_cast<uint32_t>(rec.start_flag));
    put_le32(at + 4, static_cast<uint32_t>(rec.type));
    put_le32(at + 8, static_cast<uint32_t>(rec.variant));
    put_le32(at + 12, static_cast<uint32_t>(rec.teleport_flag));
}

void level_clear(const rules_field& f)
{
    for (int row = 0; row < MAP_ROWS; row++)
        for (int col = 0; col < MAP_COLS; col++)
            f.map[row][col] = map_cell{};
}

bool level_decode(const rules_field& f, const uint8_t* body, size_t len)
{
    if (len < static_cast<size_t>(LEVEL_BYTES))
        return false;  // a cut level is no level
    for (int row = 1; row <= LEVEL_ROWS; row++) {
        for (int col = 1; col <= LEVEL_COLS; col++) {
            const uint8_t* rec = body + record_offset(col, row);
            auto a = static_cast<int32_t>(get_le32(rec)), b = static_cast<int32_t>(get_le32(rec + 4));
            auto c = static_cast<int32_t>(get_le32(rec + 8)), d = static_cast<int32_t>(get_le32(rec + 12));
            map_cell& cell = f.map[row][col];
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

void level_derive(const rules_field& f, int32_t time_bonus)
{
    map_header& data = *f.data;
    data = map_header{};
    int teleporters = 0;
    int count = 0;
    for (int row = 1; row <= LEVEL_ROWS; row++) {
        for (int col = 1; col <= LEVEL_COLS; col++) {
            map_cell& cell = f.map[row][col];
            cell.visit = 0;
            cell.kind = tile_kind(cell.type, cell.variant);
            if (cell.is_teleport) {
                if (teleporters == 0) {
                    data.tele_a_col = col;
                    data.tele_a_row = row;
                } else if (teleporters == 1) {
                    data.tele_b_col = col;
                    data.tele_b_row = row;
                }
                teleporters++;
            }
            if (cell.is_start) {
                data.start_col = col;
                data.start_row = row;
            }
            if (cell.kind == KIND_FIELD || cell.kind == KIND_MINE)
                count++;
        }
    }
    data.fields_left = count;
    data.time_left = level_time_limit(count) + time_bonus;
}
