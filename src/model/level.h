// The level format and the field: the 3840-byte level body, the in-memory
// grid with its empty border, the derived tile kinds, the level header and
// the time limit. Every function acts on the field handed to it; the game's
// own field (Map and MapData) lives in core/level.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int LEVEL_COLS = 20;  // cells of a level across
constexpr int LEVEL_ROWS = 12;  // and down
constexpr int MAP_COLS = LEVEL_COLS + 2;  // an empty border column each side
constexpr int MAP_ROWS = LEVEL_ROWS + 2;  // an empty border row above and below
constexpr int LEVEL_RECORD_BYTES = 16;
constexpr int LEVEL_BYTES = LEVEL_ROWS * LEVEL_COLS * LEVEL_RECORD_BYTES;  // 3840
constexpr int SOLUTION_MAX = 1023;  // moves a stored solution may hold

// Tile kinds, derived from type and variant; the movement rules see only these.
enum : int32_t {
    KIND_EMPTY = 0,
    KIND_FIELD = 1,
    KIND_MINE = 2,
    KIND_SOLID = 3,
    KIND_VTRACK = 4,
    KIND_HTRACK = 5,
    KIND_PUSH_UP = 6,
    KIND_PUSH_DOWN = 7,
    KIND_PUSH_LEFT = 8,
    KIND_PUSH_RIGHT = 9,
    KIND_TELEPORT = 10,
};

// One cell of the field; the field order is fixed.
struct map_cell {
    int32_t type;         // tile type 0..5; 2 once a field is destroyed
    int32_t variant;      // 1 or 2; 3 once a field is destroyed
    int32_t is_start;     // 1 on a start cell
    int32_t is_teleport;  // 1 on a teleporter cell
    int32_t kind;         // KIND_*
    int32_t visit;        // 0 untouched, 1 occupied, 2 left
};

// The level header; the field order is fixed.
struct map_header {
    int32_t start_col, start_row;
    int32_t tele_a_col, tele_a_row;
    int32_t tele_b_col, tele_b_row;
    int32_t time_left;    // seconds left
    int32_t fields_left;  // fields and mines still to destroy
};

// One 16-byte record of the level format (four little-endian int32).
struct level_cell_record {
    int32_t start_flag;
    int32_t type;
    int32_t variant;
    int32_t teleport_flag;
};

// A field: a grid laid out as MAP_ROWS x MAP_COLS cells, border included,
// and its header. The game's is Map and MapData; a search or a tool keeps
// one of its own.
struct rules_field {
    map_cell (*map)[MAP_COLS];  // MAP_ROWS rows
    map_header* data;
};

// A field that owns its grid and header, for a tool or a test.
struct level_field {
    map_cell map[MAP_ROWS][MAP_COLS];
    map_header data;
    rules_field ref() { return {map, &data}; }
};

// The kind of a (type, variant) pair: type + 5 (variant - 1), else KIND_EMPTY.
int32_t tile_kind(int32_t type, int32_t variant);
// Archive entry name of a level ("zarn-%03d", or "lev%03d" for classic 1..32).
const char* level_entry_name(int level, int classic);
// The level's time limit in seconds for so many fields and mines, before any
// time bonus: the count held between 20 and 99.
int32_t level_time_limit(int32_t destructibles);
// Writes the record of the cell at (col, row) (1-based) into a level body of
// LEVEL_BYTES.
void level_put_record(uint8_t* body, int col, int row, const level_cell_record& rec);
// Empties every cell of the field (border included).
void level_clear(const rules_field& f);
// Fills the cells of f from a level body (f cleared first by the caller);
// false when the body is shorter than LEVEL_BYTES.
bool level_decode(const rules_field& f, const uint8_t* body, size_t len);
// Derives kinds and the header of f from its cells: start, teleporters (the
// first two in reading order), the fields and mines to destroy and the time
// limit plus time_bonus seconds.
void level_derive(const rules_field& f, int32_t time_bonus);
