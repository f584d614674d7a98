// Hints and dead ends in play. After every completed step a route search
// (core/search) looks, a slice of work a frame, for a winning route from
// where the player stands within the time left. The hint key shows the
// route's next step as an arrow on the next cell for two seconds, at the
// cost of half the level bonus (once per attempt); a search that proves no
// route remains says "NO WAY LEFT - PAUSE TO RESTART". The hint's words show
// on the top bar's left plate, never over the field. The
// search has memory of its own (4 MB all told) and gives up after about a
// second of work.
#pragma once
#include <SDL.h>

#include <cstddef>
#include <cstdint>

#include "model/play.h"
#include "model/search.h"

// Work is counted in frames of the rules the search steps (see search.h);
// bench_search measures what a unit costs: 140 ns of CPU time on the machine
// these were set on (710 instructions, by callgrind).
constexpr uint64_t HINT_CHECK_WORK = 20000;      // a frame's slice of the background check: ~2.8 ms
constexpr uint64_t HINT_SLICE_WORK = 50000;      // a frame's slice while a hint is asked: ~7 ms
constexpr uint64_t HINT_GIVE_UP_WORK = 7000000;  // a search gives up after this: ~1 s
constexpr size_t HINT_MEMORY = size_t(4) << 20;  // the search and its table of states, in bytes
constexpr size_t HINT_TABLE_WORDS = (HINT_MEMORY - sizeof(route_search)) / sizeof(uint64_t);
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
