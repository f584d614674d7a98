// The proof of a level: the route search plays a level source from its start
// and tells whether it can be won within its time limit, and if not, why, in
// a player's words. The editor proves a level before it saves it, `zarn
// --check` proves the files it is given, and the level solver shares the
// search for one-cell changes that would make a level winnable. Each works in
// slices of work on a route search (and its memory) handed to it.
#pragma once
#include "model/levelsrc.h"
#include "model/search.h"

#include <cstdint>
#include <string>
#include <vector>

// Where a proof stands.
enum : int32_t {
    PROOF_RUNNING,      // the search works on
    PROOF_WINNABLE,     // a route wins within the time limit: the proof's route
    PROOF_NO_START,     // the level has no start cell
    PROOF_TELEPORTERS,  // one teleporter, or more than two
    PROOF_UNREACHABLE,  // fields or mines that no route can reach (marked in the proof)
    PROOF_NO_ROUTE,     // no route wins within the time limit (one without it may)
    PROOF_GAVE_UP,      // the search gave up before it knew
    PROOF_NO_WAY,       // no route wins at all, whatever the time
};

// A proof in progress or done.
struct level_proof {
    route_search* search;        // the search, with its memory, handed over
    int32_t status;              // PROOF_*
    bool shortest;               // look on for shorter routes after one is found, and for a level that
                                 // cannot be won in time, whether it can be won at all
    int32_t time_limit;          // the level's seconds (no time bonus)
    uint64_t work_limit;         // units of work of the whole proof at most
    uint64_t work_done;          // of the searches before the running one
    std::string route;           // the shortest winning route found, as U D L R
    int32_t steps;               // and its steps, pushes included
    bool proved_shortest;        // no route of fewer steps exists
    bool untimed;                // the search runs without the time limit: is there a way at all?
    int32_t unreachable_count;   // fields and mines that no route reaches
    bool unreachable[LEVEL_ROWS][LEVEL_COLS];  // which, [row][col] 0-based
    level_field field;           // the level as the game loads it
};

// Seconds on the level clock that a walk of so many steps takes: the first
// frame costs a second, then one per 30 frames of five a step.
int32_t seconds_needed(int32_t steps);
// Steps a level of so many seconds allows: six a second.
int32_t steps_allowed(int32_t seconds);
// Loads a level source into a field as the game loads a level (no time bonus).
void proof_load(level_field& f, const levelsrc::level_source& src);
// Begins the proof of src on search r: what its cells tell at once (no start,
// the teleporters, fields out of reach) settles it here; else the route
// search begins from the start with the steps the time limit allows.
void proof_begin(level_proof& p, route_search& r, const levelsrc::level_source& src, uint64_t work_limit,
                 bool shortest = true);
// Works on for about `work` more units; returns the status.
int32_t proof_run(level_proof& p, uint64_t work);
// The units of work the proof has done.
uint64_t proof_work(const level_proof& p);
// Why a level cannot be saved as playable, in a player's words (capitals, as
// the game's font draws them); "" for a winnable or running proof.
const char* proof_reason(int32_t status);

// A change of one cell: (row, col) 0-based, from one legend character to another.
struct cell_change {
    int32_t row, col;
    char from, to;
};

// The search for one-cell changes that make an unwinnable level winnable: a
// field made a mine or a solid field, a mine made a field or a solid field, a
// hole made a field, a field or mine taken away; each change proved by the
// route search in turn.
struct change_search {
    levelsrc::level_source src;      // the level as it is
    int32_t next;                    // the next change to try, by number
    bool running;                    // a change is being proved
    cell_change trying;              // which
    level_proof proof;               // its proof
    uint64_t work_each;              // units of work a change's proof may take
    size_t most;                     // stop after so many changes found; 0 finds all
    bool done;                       // every change tried, or `most` found
    std::vector<cell_change> found;  // the changes that make the level winnable
};

// Begins the search of the changes of src.
void suggest_begin(change_search& s, const levelsrc::level_source& src, uint64_t work_each, size_t most);
// Works on for about `work` more units on search r; true once done.
bool suggest_run(change_search& s, route_search& r, uint64_t work);
// How many changes the search tries at most, and how many it has tried.
int32_t suggest_total();
int32_t suggest_tried(const change_search& s);
