// Level packs in the game, and the levels played from outside the archives.
// The packs live in the packs folder: $XDG_DATA_HOME/zarn/packs (the folder
// of zarn.hi), or ./packs when the game keeps its files in the working
// folder; each is a folder of level sources (model/pack.h). A pack's levels
// play in order with the normal rules, lives and score, without passwords;
// its broken levels are passed over. Its records go to a file of its own
// beside zarn.rec, zarn-pack-NAME.rec, in zarn.rec's format: the pack's
// levels in the first set's places, by their place in the pack, and in the
// second set's places every win, a hint's or a cheat's too, which opens the
// next level (the records count the player's own wins only). The
// editor's test play runs its level through the same path.
#pragma once
#include "model/pack.h"
#include "model/scores.h"

#include <cstdint>
#include <string>
#include <vector>

// Where the level in play comes from.
enum : int32_t {
    PLAYING_SETS,   // the archives' sets
    PLAYING_PACK,   // the pack chosen on the packs screen
    PLAYING_TRIAL,  // the editor's level, tested
};

extern int32_t playing;            // PLAYING_*
extern level_pack pack;            // the pack opened last
extern record_table pack_records;  // [0][place in the pack]: its records; [1]: its wins

// The packs folder: a path, or "" when the game keeps no files.
std::string packs_folder();
// The packs in the packs folder (their folder names), in name order.
std::vector<std::string> packs_list();
// Reads the pack NAME from the packs folder into `pack`, and its records.
// False when there is no such folder.
bool pack_open(const std::string& name);
// The place in `pack` (0-based) of its playable level number level (1-based,
// broken levels passed over); -1 when there is none.
int pack_place(int level);
// True when playable level `level` of `pack` may be started: the first, or
// one whose playable level before it holds a record.
bool pack_level_open(int level);
// Plays `pack` from its playable level `level`: playing, curr_map and maxmap
// are set (the set's are kept to come back to).
void pack_start(int level);
// Plays the editor's level as the only level: test play.
void trial_start(const levelsrc::level_source& src);
// Back to the archives' sets (maxmap as it was); nothing when they play.
void playing_sets();
// The level body of level `level` of what plays now, from outside the
// archives; false when none plays or there is no such level.
bool played_level_body(int level, uint8_t* body);
// The title of level `level` of what plays now; "" for the sets.
std::string played_title(int level);
// The pack's records file: the path, or "" when there is none.
std::string pack_records_path(const std::string& name);
// Back to the sets, no pack read, no records (the start of a test).
void packs_reset();
// Saves `pack_records`; false (errno set) when they could not be saved.
bool write_pack_records();

// Notes a won level of the pack in play (any win opens the next one);
// false when its file could not be saved (errno set).
bool note_pack_won(int level, int32_t time_left, int32_t steps);
