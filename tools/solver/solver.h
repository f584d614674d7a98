// The level solver: proves a level winnable within its time with the game's
// own route search (core/search: the tile rules stepped on a compact state),
// then counts its solutions over the same moves, finds the shortest one and
// measures how hard the level is.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/search.h"

namespace levelsrc {
struct level_source;
}

namespace solver {

// A level as the solver takes it.
struct level {
    std::shared_ptr<const level_field> start;  // the field at the start, shared by copies
    int fields = 0, mines = 0;                 // at the start
    int time_limit = 0;                        // seconds, without any time cheat
};

constexpr char MOVE_CHARS[5] = "UDLR";

// Decodes a level source as the game loads a level (no time bonus) and builds
// the level from it.
level from_source(const levelsrc::level_source& src);

// What the search found out about a level.
struct report {
    bool solved = false;       // a solution within the time limit exists (proved by finding one)
    bool complete = false;     // the whole search ended within the work given
    std::string solution;      // the shortest solution (the first found when incomplete)
    int steps = 0;             // steps of that solution, pushes included
    int seconds = 0;           // seconds of play it needs
    uint64_t solutions = 0;    // distinct solutions (orders of crossing), capped
    uint64_t states = 0;       // states the search visited
    int losing_first = 0;      // first moves from the start that cannot be won
    int traps = 0;             // wrong turns along the solution that make the level unwinnable
    int specials = 0;          // SPECIAL_ bits of the tiles the solution uses
    int difficulty = 0;        // one figure from the above
    uint64_t proof_work = 0;   // units of work the route search did
    uint64_t count_work = 0;   // states the full count looked at
};

constexpr uint64_t SOLUTION_CAP = 1000000;

// Seconds of play a solution of so many steps needs: the first frame costs a
// second, then one per 30 frames.
int seconds_needed(int steps);
// Steps a level of so many seconds allows: six a second.
int steps_allowed(int seconds);
// The work a level's search may do by default, in the route search's units
// (about 1,000 instructions each); the full count looks at a tenth as many
// states. A bound in work, not seconds, gives the same answer on every
// machine however loaded. The shipped levels need at most about 1.5 M units
// and 0.4 M states (the figures each level's line ends with).
constexpr uint64_t DEFAULT_WORK = 50000000;
// Searches the level with at most work units of search and work / 10 looks
// at states in the full count.
report solve(const level& lv, uint64_t work = DEFAULT_WORK);
// Plays a move string from the start; steps and specials of the moves walked.
// Returns true when it ends in a win, with no refused move and no fall.
bool check(const level& lv, const std::string& moves, int* steps = nullptr, int* specials = nullptr);
// Where a walk through a level asks the player to choose. A move offers a
// real choice when another move from the same place does not step into space
// at once: that move either still leads to a win or looks safe and is not.
struct choices {
    int moves = 0;           // moves of the walk
    int open = 0;            // of them, those that offered a real choice
    int longest_forced = 0;  // most moves in a row that offered none
    int forced_from = 0;     // the first move of that stretch (0 the first of the walk)
};
// Weighs the moves of a walk from the start; stops at a move that is refused
// or falls.
choices weigh_choices(const level& lv, const std::string& moves);

// What the level sets are held to. Each quarter of a set is harder than the
// one before; levels past the first few never walk long without a choice; the
// clock leaves a person room in the first dozen and everywhere, and bites in a
// third of the late normal levels.
constexpr int FREE_LEVELS = 5;    // the first levels of a set may walk without choices
constexpr int MOST_FORCED = 20;   // moves in a row without a real choice, after them
constexpr int EARLY_LEVELS = 12;  // the first dozen of a set ...
constexpr int EARLY_SPARE = 12;   // ... leave this many seconds at the fastest
constexpr int LEAST_SPARE = 10;   // and every level at least this many
constexpr int LATE_FROM = 25;     // from this level of the normal set on ...
constexpr int TIGHT_SPARE = 15;   // ... a third of the levels leave fewer seconds than this

// A level's measures, as the limits take them.
struct measured {
    std::string name;          // its entry name, zarn-NNN or levNNN (another name is not held)
    bool proved = false;       // the search proved it winnable in time
    bool stored_wins = false;  // its stored solution wins
    int stored_steps = 0;      // and takes so many steps
    int steps = 0;             // steps of the search's shortest solution
    int spare = 0;             // seconds to spare at the fastest
    int difficulty = 0;        // as the search measures it
    choices walk;              // of the stored solution
};
// Every limit the levels break, one line each naming the level or the set.
// A set is the levels of one name form; its quarters are taken by its count.
std::vector<std::string> check_limits(const std::vector<measured>& levels);

// "MSRPT"-style letters for the SPECIAL_ bits.
std::string special_letters(int specials);

}  // namespace solver
