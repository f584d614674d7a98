// The player's replays: the recording of the attempt in play, the check a
// won attempt passes before it is kept or sets a record, and the runs of each
// level kept beside zarn.rec, in its folder's replays/: NAME-time.zrp the
// most seconds left, NAME-steps.zrp the fewest steps, NAME-last.zrp the last
// win (NAME the level's archive entry: zarn-003, lev012), each written whole
// through the shared saver.
#pragma once
#include "model/replay.h"

#include <cstddef>
#include <cstdint>

enum : int { BEST_TIME, BEST_STEPS, BEST_KINDS };  // the two figures of a record

// A check of a replay whose level the game's data does not hold.
constexpr int REPLAY_NO_LEVEL = -1;

extern replay attempt_replay;            // the attempt in play, as the play tick records it
extern replay best_replays[BEST_KINDS];  // the level's best runs, by BEST_ kind
extern bool best_proved[BEST_KINDS];     // the run was read and reaches its claim on the level in Map
extern replay_trace best_trace;          // where best_run() stood before each of its frames

// Starts recording an attempt at the level in Map (MapBody), level of the set.
void record_attempt(int level, int classic);
// Reads the level's best runs from their files and plays each on the level
// in Map: proved when it reaches its claim there.
void read_best_replays(int level, int classic);
// The best run to watch or race: the most seconds left, else the fewest
// steps, of those proved; null when none is.
const replay* best_run();
// Whether the figure (BEST_TIME or BEST_STEPS) of the level's record is the
// claim of a proved best run; false without a record.
bool record_proved(int level, int classic, int which);
// A won attempt: its recording claims the win (and whether a hint's arrow
// was shown) and is played on the level in Map. Only when it reaches its
// claim is it kept as the last win and, when it sets_records (no hint, no
// cheat), the records noted (note_level_won) and the run kept for each
// figure it set. True when a record the level had was beaten.
bool note_won_attempt(int level, int classic, int32_t time_left, int32_t steps, bool hint, bool sets_records);
// Plays r on its level as the game's data holds it: REPLAY_*, or
// REPLAY_NO_LEVEL when the data has no such level.
int check_replay(const replay& r, replay_result& out);
// Reads a replay's file (a regular file of at most REPLAY_TEXT_MAX bytes);
// false with why when it is missing or damaged.
bool read_replay_file(const char* path, replay& out, char* why, size_t why_size);
// Forgets the recording and the best runs.
void replays_reset();
