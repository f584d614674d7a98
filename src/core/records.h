// Per-level records: the most seconds left and the fewest steps at a win of
// each level of both sets, and their file zarn.rec beside zarn.hi (its format:
// model/scores.h). A damaged file is ignored (one line says so) and replaced
// at the next record.
#pragma once
#include "model/scores.h"

#include <cstdint>

extern record_table records;  // [classic][level - 1]
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
