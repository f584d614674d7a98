// The search for a way through a level. A state is where a standing player
// is and which fields and mines are left; a move is one press of a direction,
// played by the tile rules frame by frame on a field the search keeps for
// itself until the player stands again (pushes and teleports included). The
// route search looks depth first for a winning route within a number of
// steps and can run in slices of work across frames. The game asks it for
// hints and dead ends, the level solver proves and measures levels with it.
#pragma once
#include "model/level.h"
#include "model/rules.h"

#include <array>
#include <cstddef>
#include <cstdint>

constexpr int SEARCH_CELLS = MAP_ROWS * MAP_COLS;            // cells of a field, border included
constexpr int SEARCH_DESTRUCTIBLE = LEVEL_ROWS * LEVEL_COLS;  // fields and mines a level may hold
constexpr int SEARCH_WORDS = 4;                              // words of a set of destructibles

using search_bits = std::array<uint64_t, SEARCH_WORDS>;

// Where a standing player is and what is left of the field.
struct search_state {
    int32_t pos;        // the player's cell, row * MAP_COLS + col
    search_bits alive;  // fields and mines not yet destroyed, by destructible index
    search_bits mine;   // of those, mines not yet exploded
};

// The same cell and the same fields and mines left.
bool operator==(const search_state& a, const search_state& b);

// A level as the search sees it: the field as it was when the search began
// (every field and mine on it still to be destroyed), and the field of its own
// that the rules step on.
struct search_level {
    int8_t kind[SEARCH_CELLS];                  // kind of every cell at the beginning
    int16_t dindex[SEARCH_CELLS];               // index among the destructibles (mines first), -1 none
    uint8_t safe[SEARCH_CELLS];                 // 1 on a tile that stays: solid, track, pusher, teleporter
    int16_t dcells[SEARCH_DESTRUCTIBLE];        // cell of each destructible
    int32_t dcount, fields, mines;              // destructibles, and of them fields and mines
    int32_t start, tele_a, tele_b;              // cells of the start and the teleporters
    int16_t around[SEARCH_CELLS][5];            // the cells around each cell, and a teleporter's partner
    int8_t around_count[SEARCH_CELLS];          // how many
    int32_t chain_limit;                        // steps of one move beyond which pushers go round for ever
    int32_t root_visit;                         // visit of the cell under the player at the beginning
    search_state root;                          // the state at the beginning
    map_cell map[MAP_ROWS][MAP_COLS];           // the search's own field, showing `loaded`
    map_header data;                            // and its header
    search_state loaded;                        // the state the own field shows; pos -1 unknown
    uint64_t work;                              // frames of the rules stepped and cells flooded, all told
};

// What a move does: SEARCH_REFUSED (the player stays), SEARCH_FALL or SEARCH_MOVED.
enum : int32_t { SEARCH_REFUSED, SEARCH_FALL, SEARCH_MOVED };

// The tiles a move makes use of, as bits.
enum : int32_t { SPECIAL_MINE = 1, SPECIAL_SOLID = 2, SPECIAL_TRACK = 4, SPECIAL_PUSHER = 8, SPECIAL_TELEPORT = 16 };

// One move of a standing player.
struct search_move {
    int32_t result;     // SEARCH_*
    search_state next;  // where it ends (for SEARCH_MOVED)
    int32_t steps;      // steps walked, pushes included (five frames each)
    int32_t specials;   // SPECIAL_* bits of the tiles it used
};

// Takes the field f with the player standing at cell (col, row) as the
// beginning of a search: lv.root is that state.
void search_begin(search_level& lv, const rules_field& f, int32_t col, int32_t row);
// The state of field f (laid out as lv's) for a player standing at (col, row).
search_state search_state_of(const search_level& lv, const rules_field& f, int32_t col, int32_t row);
// The kind of a cell in a state.
int32_t search_kind_at(const search_level& lv, const search_state& s, int32_t cell);
// One move (0 up, 1 down, 2 left, 3 right) from a state, stepped by the rules.
search_move search_apply(search_level& lv, const search_state& s, int32_t dir);
// True when every field and mine is gone.
bool search_won(const search_state& s);
// Steps a state needs at least before it is won: one per field, two per mine.
int32_t search_least_steps(const search_state& s);
// A quick, sound test: true only if the state can no longer be won.
bool search_hopeless(search_level& lv, const search_state& s);

// Where a route search stands.
enum : int32_t {
    ROUTE_RUNNING,  // more work to do
    ROUTE_FOUND,    // a winning route within the steps allowed
    ROUTE_NONE,     // proved: no winning route within the steps allowed
    ROUTE_GAVE_UP,  // out of work or memory before either
};

constexpr int ROUTE_DEPTH = 640;  // moves of a route at most

// One move deep in the route search: a state and the moves on from it.
struct route_node {
    search_state state;           // where the player stands
    int32_t steps;                // steps walked from the beginning
    int8_t count, next;           // moves on from here, and the next to try
    int8_t dirs[4];               // the moves on, the narrowest first
    int32_t child_steps[4];       // steps of each
    search_state child[4];        // where each ends
};

// A route search. Its memory is fixed: the level, the stack of moves and a
// table of the states seen, in slots the caller hands over.
struct route_search {
    search_level level;
    route_node stack[ROUTE_DEPTH];
    int32_t depth;           // nodes on the stack; at ROUTE_FOUND the route's states
    int32_t budget;          // steps the route may take
    int32_t status;          // ROUTE_*
    int32_t cut;             // 1 once the depth limit cut a branch: no longer a proof
    int32_t moves;           // at ROUTE_FOUND: moves of the route
    int32_t steps;           // and its steps
    int8_t route[ROUTE_DEPTH];  // and the moves, 0 up .. 3 right
    uint64_t work_limit;     // level.work at which the search gives up
    uint64_t* memory;        // the table of states seen: `words` + 1 words per slot
    size_t memory_words;     // its size
    size_t capacity;         // slots, a power of two
    size_t used;             // slots in use
    int32_t words;           // 64-bit words of a packed state; 0 before the first search
    uint32_t generation;     // slots of another generation are free
};

// Hands the memory for the table of states over (words of it); the search
// clears what it uses.
void route_memory(route_search& r, uint64_t* memory, size_t words);
// Begins a search from field f with the player standing at (col, row) for a
// route of at most budget steps; it gives up after work_limit units of work.
void route_begin(route_search& r, const rules_field& f, int32_t col, int32_t row, int32_t budget,
                 uint64_t work_limit);
// Works on until the status is settled or about `work` more units are done;
// returns the status.
int32_t route_run(route_search& r, uint64_t work);
// Steps of the found route still to walk from its k-th state (0 the first).
int32_t route_steps_from(const route_search& r, int32_t k);
