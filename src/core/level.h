// The field: the level format, the in-memory grid with its empty border, the
// derived tile kinds and the level header.
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

extern map_cell Map[MAP_ROWS][MAP_COLS];  // the field, [row][col], border included
extern map_header MapData;                // the header of the level in play

// The kind of a (type, variant) pair: type + 5 (variant - 1), else KIND_EMPTY.
int32_t tile_kind(int32_t type, int32_t variant);
// Archive entry name of a level ("zarn-%03d", or "lev%03d" for classic 1..32).
const char* level_entry_name(int level, int classic);
// Fills Map from a level body; false when it is shorter than LEVEL_BYTES.
bool decode_level(const uint8_t* body, size_t len);
// Reads the level's entry from the maps archive into Map: 1 done, 0 missing.
int LoadLevel(int level, int classic);
// Reads the level's stored solution (the entry "name.sol" of the maps
// archive: its moves as U D L R) into out, NUL-terminated, and returns its
// length; 0 when it is missing, empty, longer than size - 1 or holds any
// other character.
size_t load_solution(int level, int classic, char* out, size_t size);
// Clears the field, loads the level and derives kinds and the header; false
// when the level entry is missing or damaged.
bool load_level(int level, int classic);
// load_level, but a missing or damaged level entry ends the program with one
// line naming it.
void init_maps(int level, int classic);
// Derives kinds and the header from a loaded field (step 3 on of init_maps).
void derive_map();
