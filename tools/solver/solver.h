// The level solver: a cell-level model of the tile rules (one move is one
// step of the player with the pushes and teleports it sets off) and a search
// over it that proves a level solvable or not, finds the shortest solution
// and measures how hard the level is.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/level.h"

namespace levelsrc {
struct level_source;
}

namespace solver {

constexpr int CELLS = MAP_ROWS * MAP_COLS;

// A level as the model sees it, taken from the loaded field (Map, MapData).
struct level {
    std::array<int8_t, CELLS> kind{};      // the kind of every cell at the start
    std::array<int16_t, CELLS> dindex{};   // index among destructible cells, -1 if none
    std::vector<int16_t> dcells;           // cell of each destructible (field or mine)
    int start = 0, tele_a = 0, tele_b = 0; // cells (row * MAP_COLS + col)
    int fields = 0, mines = 0;             // at the start
    int time_limit = 0;                    // seconds
};

using bits = std::array<uint64_t, 4>;

// Where the player stands and what is left of the field.
struct state {
    int pos = 0;
    bits alive{};  // destructible cells not yet destroyed
    bits mine{};   // of those, mines not yet exploded
    bool operator==(const state& o) const { return pos == o.pos && alive == o.alive && mine == o.mine; }
};

enum class outcome { refused, fall, moved };

struct move_result {
    outcome result = outcome::refused;
    state next;
    int steps = 0;        // steps walked, pushes included (five frames each)
    int specials = 0;     // SPECIAL_ bits of the tiles this move used
};

enum : int { SPECIAL_MINE = 1, SPECIAL_SOLID = 2, SPECIAL_TRACK = 4, SPECIAL_PUSHER = 8, SPECIAL_TELEPORT = 16 };

constexpr char MOVE_CHARS[5] = "UDLR";

// Builds the model from the level now in Map and MapData.
level from_map();
// Loads a level source into Map and MapData as the game would, and builds the
// model from it.
level from_source(const levelsrc::level_source& src);
// The state at the start of play.
state start_state(const level& lv);
// The kind of a cell in a state.
int kind_at(const level& lv, const state& s, int cell);
// One move (0 up, 1 down, 2 left, 3 right) of a standing player.
move_result apply(const level& lv, const state& s, int dir);
// True when every field and mine is gone.
bool won(const state& s);
// A quick, sound test: true only if the state can no longer be won.
bool hopeless(const level& lv, const state& s);

// What the search found out about a level.
struct report {
    bool solved = false;       // a solution exists (proved by finding one)
    bool complete = false;     // the whole search ended within the time limit
    std::string solution;      // the shortest solution (the first found when incomplete)
    int steps = 0;             // steps of that solution, pushes included
    int seconds = 0;           // seconds of play it needs
    uint64_t solutions = 0;    // distinct solutions (orders of crossing), capped
    uint64_t states = 0;       // states the search visited
    int losing_first = 0;      // first moves from the start that cannot be won
    int traps = 0;             // wrong turns along the solution that make the level unwinnable
    int specials = 0;          // SPECIAL_ bits of the tiles the solution uses
    int difficulty = 0;        // one figure from the above
};

constexpr uint64_t SOLUTION_CAP = 1000000;

// Seconds of play a solution of so many steps needs: the first frame costs a
// second, then one per 30 frames.
int seconds_needed(int steps);
// Searches the level for at most time_limit seconds.
report solve(const level& lv, double time_limit);
// Plays a move string in the model; steps and specials of the moves walked.
// Returns true when it ends in a win, with no refused move and no fall.
bool check(const level& lv, const std::string& moves, int* steps = nullptr, int* specials = nullptr);
// "MSRPT"-style letters for the SPECIAL_ bits.
std::string special_letters(int specials);

}  // namespace solver
