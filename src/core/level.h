// The game's field: the level in play (Map and MapData), loaded from the maps
// archive in the level format of model/level.
#pragma once
#include "model/level.h"

#include <cstddef>
#include <cstdint>

extern map_cell Map[MAP_ROWS][MAP_COLS];  // the field, [row][col], border included
extern map_header MapData;                // the header of the level in play
extern const rules_field game_field;      // Map and MapData, as the rules take a field
extern uint8_t MapBody[LEVEL_BYTES];      // the level body Map was decoded from

// Fills Map from a level body and keeps the body in MapBody; false when it is
// shorter than LEVEL_BYTES.
bool decode_level(const uint8_t* body, size_t len);
// Reads the level's entry from the maps archive into Map (while a pack or a
// test play runs, its level from core/packs): 1 done, 0 missing.
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
// Derives kinds and the header from a loaded field, the running game's time
// bonus added to the limit (step 3 on of init_maps).
void derive_map();
