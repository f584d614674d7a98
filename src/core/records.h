// Per-level records: the most seconds left and the fewest steps at a win of
// each level of both sets, and their file zarn.rec beside zarn.hi.
//
// zarn.rec is 1028 bytes: the four letters "ZRC1", then for levels 1..64 of
// the normal set and then levels 1..64 of the classic set two little-endian
// int32 each: the most seconds left at a win (0..9999) and the fewest steps
// (1..65535; 0 with 0 seconds: the level has no record yet). A step is a move
// the player started; the pushes of a pusher and a teleporter's jump are not
// steps. A file of another size, another mark or a value out of range is
// damaged: it is ignored (one line says so) and replaced at the next record.
#pragma once
#include <cstdint>

constexpr int RECORD_LEVELS = 64;         // levels of a set that can hold a record
constexpr int RECORDS_FILE_BYTES = 1028;  // the size of zarn.rec

// The record of one level; steps 0: none yet.
struct level_record {
    int32_t time_left;  // most seconds left at a win
    int32_t steps;      // fewest steps of a win
};

extern level_record records[2][RECORD_LEVELS];  // [classic][level - 1]

// Forgets every record (the file stays).
void records_reset();
// Replaces the records with zarn.rec; a missing file (or a folder, a FIFO,
// anything but a regular file) leaves none, a damaged one leaves none and
// prints one line.
void read_records();
// Saves the records to zarn.rec (through a temporary file and a rename), the
// folder of zarn.hi made first when missing; false when it could not be
// saved, the old file then stays. True without writing when zarn.hi has no
// folder.
bool write_records();
// The record of a level, or null when it has none or has no place.
const level_record* level_record_of(int level, int classic);
// Notes a won level: keeps the more seconds and the fewer steps and saves the
// file when either changed (a save that fails says so in one line). True when
// a record the level already had was beaten (the first win only sets the
// record; a tie beats nothing).
bool note_level_won(int level, int classic, int32_t time_left, int32_t steps);
