// Hints and dead ends in play. After every completed step a route search
// (model/search) looks, a slice of work a frame, for a winning route from
// where the player stands within the time left. The hint key shows the
// route's next step as an arrow on the next cell for two seconds, at the
// cost of half the level bonus (once per attempt); a search that proves no
// route remains says "NO WAY LEFT - PAUSE TO RESTART". The hint's words show
// on the top bar's left plate, never over the field. The search has memory of
// its own (at most HINT_MEMORY bytes, touched as the level needs) and gives up
// after a second of frames.
#pragma once
#include <SDL.h>

#include <cstddef>
#include <cstdint>

#include "model/play.h"
#include "model/search.h"

// Work is counted in frames of the rules the search steps and in the links
// its tests of hope look at (see search.cpp), so that a unit costs about the
// same everywhere: bench/search_callgrind.sh counts under 1,000 instructions
// a unit on x86-64 over the search from the start of any shipped level (up
// to 1,200 in the first slices of a search, which work out the steps between
// fields). The board's budget is 2.5 M instructions a frame on the main
// thread: a play frame costs up to 0.93 M on the dummy driver (1280 x 960)
// and 1.51 M presented on X, a slice of search up to 0.9 M more
// (bench/frame_callgrind.sh counts every such frame, on X too), a hint asked
// or the background check. A slice also stops early, between its pieces,
// when the frame has less than HINT_KEEP_MS of its budget left for
// presenting (never on the virtual clock, where work takes no time, so the
// tests see the same answers at the same frames).
constexpr uint64_t HINT_SLICE_WORK = 750;  // a frame's slice of search
constexpr uint64_t HINT_PIECE_WORK = 250;  // the clock is read between pieces of a slice
constexpr int32_t HINT_KEEP_MS = 10;       // what a frame keeps of its budget for presenting
constexpr uint64_t HINT_GIVE_UP_WORK = 30 * HINT_SLICE_WORK;  // a second of frames
// The table of states: a state is kept for every move tried, which steps the
// rules for five frames at least, so a search keeps at most a fifth of its
// work in states; at three quarters full the table doubles into the other
// end of its words, the last two sizes side by side, each slot as wide as the
// widest state (a cell and two bits for each of 240 fields and mines, in 64-bit
// words, and the steps).
constexpr size_t HINT_SLOT_WORDS = 1 + (9 + 2 * SEARCH_DESTRUCTIBLE + 63) / 64;
constexpr size_t HINT_TABLE_SLOTS = size_t(1) << 13;  // the last size
static_assert(HINT_GIVE_UP_WORK / 5 + 1 <= HINT_TABLE_SLOTS * 3 / 4, "the table holds every state a search keeps");
constexpr size_t HINT_TABLE_WORDS = (HINT_TABLE_SLOTS + HINT_TABLE_SLOTS / 2) * HINT_SLOT_WORDS;
constexpr size_t HINT_MEMORY = sizeof(route_search) + HINT_TABLE_WORDS * sizeof(uint64_t);  // bytes
constexpr int HINT_SHOW_FRAMES = 60;              // an answer stays two seconds
constexpr int32_t HINT_STEPS_A_SECOND = 6;        // 30 frames a second, five a step

// What the hint line on the field says.
enum : int32_t { HINT_SAYS_NOTHING, HINT_SAYS_THINKING, HINT_SAYS_NO_HINT, HINT_SAYS_COST };

extern int32_t hint_used;         // 1 once the arrow was shown in this attempt: half the level bonus
extern int32_t hint_asked;        // 1 while the hint key waits for its answer
extern int32_t hint_dir;          // the step the arrow shows, MOVE_UP..MOVE_RIGHT; MOVE_NONE no arrow
extern int32_t hint_col, hint_row;  // the cell the arrow is on
extern int32_t hint_frames;       // frames the arrow or the answer stays
extern int32_t hint_says;         // HINT_SAYS_*
extern int32_t dead_end;          // 1 once no winning route remains in this attempt
extern uint64_t hint_work_done;   // units of work the searches of this attempt have done (for benchmarks)

// Forgets the last attempt's search, hint and dead end: a new attempt.
void hint_reset();
// The hint key: the next frames answer with an arrow, "THINKING" or "NO HINT".
void hint_ask();
// After a frame of play at clock ms: begins a new search when the player
// stands somewhere new, works a slice on it and answers a hint asked.
void hint_frame(const play_attempt& a, uint32_t ms);
// Draws the arrow on the field and the hint's words on the top bar.
void hint_draw(SDL_Surface* dst);
// The level bonus left after the hints of this attempt.
int32_t hint_bonus(int32_t bonus);
// Steps a quick player can still walk with time_left seconds on the level
// clock at clock ms.
int32_t hint_steps_left(int32_t time_left, uint32_t ms);
