#include "core/hint.h"

#include "core/level.h"
#include "res/assets.h"
#include "video/font.h"
#include "video/fps.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

int32_t hint_used;
int32_t hint_asked;
int32_t hint_dir;
int32_t hint_col, hint_row;
int32_t hint_frames;
int32_t hint_says;
int32_t dead_end;
uint64_t hint_work_done;

namespace {

constexpr int CELL = 16;
// The messages cover the plate at the top bar's left (its name and lamps),
// where they hide nothing of the field, the clock or the score.
constexpr int PLATE_W = 126, PLATE_H = 48;
constexpr int PLATE_CHARS = 15;  // small-font characters a line of the plate holds
constexpr int PLATE_LINES = 3;
constexpr const char* DEAD_END_TEXT = "NO WAY LEFT - PAUSE TO RESTART";
constexpr int32_t DCOL[4] = {0, 0, -1, 1};
constexpr int32_t DROW[4] = {-1, 1, 0, 0};

route_search search;                 // the search of this attempt
uint64_t table[HINT_TABLE_WORDS];    // its table of states

bool searching;       // a search of this attempt has begun
int32_t route_at;     // at ROUTE_FOUND: the route's state the player stands in

// The state the search speaks of: where the found route has got to, else
// where the search began.
const search_state& searched_state()
{
    return search.status == ROUTE_FOUND && search.depth > 0 ? search.stack[route_at].state : search.level.root;
}

void begin(const play_state& p, int32_t budget)
{
    if (!search.memory)
        route_memory(search, table, HINT_TABLE_WORDS);
    route_begin(search, game_field, p.player_col, p.player_row, budget, HINT_GIVE_UP_WORK);
    route_at = 0;
    searching = true;
}

// Keeps the search on the player's state: a step along the found route
// keeps the route, any other change begins a new search.
void follow(const play_state& p, int32_t budget)
{
    if (!searching) {
        begin(p, budget);
        return;
    }
    search_state now = search_state_of(search.level, game_field, p.player_col, p.player_row);
    if (!(now == searched_state())) {
        if (search.status == ROUTE_FOUND && route_at + 1 < search.depth && now == search.stack[route_at + 1].state)
            route_at++;
        else
            return begin(p, budget);
    }
    if (search.status == ROUTE_FOUND && route_steps_from(search, route_at) > budget)
        begin(p, budget);  // too slow for that route: is there a shorter one?
}

// A frame's slice of work on the search, in pieces, the last one begun
// while the frame has time to spare.
void work_on(uint64_t slice)
{
    const uint64_t from = search.level.work, until = from + slice;
    while (search.status == ROUTE_RUNNING && search.level.work < until) {
        if (search.level.work > from && fps_ms_left() < HINT_KEEP_MS)
            break;
        route_run(search, std::min(HINT_PIECE_WORK, until - search.level.work));
    }
    hint_work_done += search.level.work - from;
}

void answer(const play_state& p)
{
    if (search.status == ROUTE_RUNNING) {
        hint_says = HINT_SAYS_THINKING;
        return;
    }
    hint_asked = 0;
    hint_frames = HINT_SHOW_FRAMES;
    if (search.status == ROUTE_FOUND && search.moves > route_at) {
        int32_t d = search.route[route_at];
        hint_dir = MOVE_UP + d;
        hint_col = p.player_col + DCOL[d];
        hint_row = p.player_row + DROW[d];
        hint_used = 1;
        hint_says = HINT_SAYS_COST;
    } else {
        hint_says = dead_end ? HINT_SAYS_NOTHING : HINT_SAYS_NO_HINT;
    }
}

// Text on the plate, darkened behind, broken into centred lines at spaces.
void say(SDL_Surface* dst, const char* text)
{
    char lines[PLATE_LINES][PLATE_CHARS + 2];
    int n = 0;
    for (const char* p = text; *p && n < PLATE_LINES; n++) {
        int take = static_cast<int>(strlen(p));
        if (take > PLATE_CHARS) {
            take = PLATE_CHARS;
            while (take > 0 && p[take] != ' ')
                take--;
            take = take > 0 ? take : PLATE_CHARS;
        }
        snprintf(lines[n], sizeof lines[n], "%.*s~", take, p);
        for (p += take; *p == ' ';)
            p++;
    }
    SDL_Rect plate = {2, 2, PLATE_W - 4, PLATE_H - 4};
    SDL_FillRect(dst, &plate, SDL_MapRGB(dst->format, 0, 0, 0));
    const int top = (PLATE_H - 12 * n + 4) / 2;
    for (int i = 0; i < n; i++)
        put_text1(dst, (PLATE_W - 8 * static_cast<int>(strlen(lines[i]) - 1)) / 2, top + 12 * i, lines[i]);
}

}  // namespace

void hint_reset()
{
    hint_used = 0;
    hint_asked = 0;
    hint_dir = MOVE_NONE;
    hint_col = hint_row = 0;
    hint_frames = 0;
    hint_says = HINT_SAYS_NOTHING;
    dead_end = 0;
    hint_work_done = 0;
    searching = false;
    route_at = 0;
}

void hint_ask()
{
    if (dead_end)
        return;
    hint_asked = 1;
    hint_frames = 0;  // a former answer makes way
    hint_says = HINT_SAYS_NOTHING;
}

int32_t hint_steps_left(int32_t time_left, uint32_t ms)
{
    if (time_left <= 0)
        return 0;
    // The clock ticks at every whole second: the last tick is time_left - 1
    // seconds after the next one.
    int32_t ms_left = (time_left - 1) * 1000 + static_cast<int32_t>(1000 - ms % 1000);
    return static_cast<int32_t>(static_cast<int64_t>(ms_left) * HINT_STEPS_A_SECOND / 1000);
}

void hint_frame(const play_attempt& a, uint32_t ms)
{
    const play_state& p = a.player;
    if (hint_frames > 0 && --hint_frames == 0) {
        hint_dir = MOVE_NONE;
        hint_says = HINT_SAYS_NOTHING;
    }
    if (p.move_state != 0) {  // a step on its way: the arrow has done its work
        hint_dir = MOVE_NONE;
        return;
    }
    if (dead_end)
        return;
    follow(p, hint_steps_left(MapData.time_left, ms));
    work_on(HINT_SLICE_WORK);
    if (search.status == ROUTE_NONE) {
        dead_end = 1;
        hint_dir = MOVE_NONE;
    }
    if (hint_asked)
        answer(p);
}

void hint_draw(SDL_Surface* dst)
{
    if (!dst)
        return;
    if (hint_dir != MOVE_NONE && hint_arrows) {
        SDL_Rect src = {static_cast<Sint16>((hint_dir - MOVE_UP) * CELL), 0, CELL, CELL};
        SDL_Rect at = {static_cast<Sint16>((hint_col - 1) * CELL), static_cast<Sint16>((hint_row + 2) * CELL), 0, 0};
        SDL_BlitSurface(hint_arrows, &src, dst, &at);
    }
    if (dead_end)
        say(dst, DEAD_END_TEXT);
    else if (hint_says == HINT_SAYS_THINKING)
        say(dst, "THINKING");
    else if (hint_says == HINT_SAYS_NO_HINT)
        say(dst, "NO HINT");
    else if (hint_says == HINT_SAYS_COST)
        say(dst, "HINT: HALF THE LEVEL BONUS");
}

int32_t hint_bonus(int32_t bonus)
{
    return hint_used ? bonus / 2 : bonus;
}
