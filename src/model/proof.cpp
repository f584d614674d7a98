#include "model/proof.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char MOVE_CHARS[] = "UDLR";
constexpr int CHANGES_PER_CELL = 3;
constexpr int32_t UNTIMED_STEPS = 1 << 20;  // more steps than any route of a level walks
constexpr uint64_t WORK_MOST = uint64_t(1) << 48;  // more than any search does

// The fields and mines that no route reaches: the cells a player could get
// to if nothing ever crumbled (a superset of what any route reaches, since
// crumbling only takes ways away) leave out the rest.
void find_unreachable(level_proof& p, search_level& lv)
{
    bool seen[SEARCH_CELLS] = {};
    int16_t stack[SEARCH_CELLS];
    int top = 0;
    seen[lv.root.pos] = true;
    stack[top++] = static_cast<int16_t>(lv.root.pos);
    while (top > 0) {
        search_state at = lv.root;
        at.pos = stack[--top];
        for (int d = 0; d < 4; d++) {
            search_move m = search_apply(lv, at, d);
            if (m.result == SEARCH_MOVED && !seen[m.next.pos]) {
                seen[m.next.pos] = true;
                stack[top++] = static_cast<int16_t>(m.next.pos);
            }
        }
    }
    p.unreachable_count = 0;
    for (int i = 0; i < lv.dcount; i++) {
        int cell = lv.dcells[i];
        if (!seen[cell]) {
            p.unreachable[cell / MAP_COLS - 1][cell % MAP_COLS - 1] = true;
            p.unreachable_count++;
        }
    }
}

void begin_search(level_proof& p, int32_t budget)
{
    const map_header& h = p.field.data;
    const uint64_t left = p.work_done < p.work_limit ? p.work_limit - p.work_done : 0;
    route_begin(*p.search, p.field.ref(), h.start_col, h.start_row, budget, left);
}

// A route search has ended: keep what it found and go on for a shorter one,
// or settle the proof.
void settle(level_proof& p, int32_t route_status)
{
    route_search& r = *p.search;
    p.work_done += r.level.work;
    if (route_status == ROUTE_FOUND && p.untimed) {
        p.status = PROOF_NO_ROUTE;  // a way, but not in time
        return;
    }
    if (route_status == ROUTE_FOUND) {
        p.route.clear();
        for (int k = 0; k < r.moves; k++)
            p.route += MOVE_CHARS[r.route[k]];
        p.steps = r.steps;
        if (p.shortest && r.steps > 0 && p.work_done < p.work_limit) {
            begin_search(p, r.steps - 1);
            if (r.status == ROUTE_RUNNING)
                return;
            route_status = r.status;
            p.work_done += r.level.work;
        } else {
            p.status = PROOF_WINNABLE;
            return;
        }
    }
    if (p.route.empty() && route_status == ROUTE_NONE && p.shortest && !p.untimed) {
        // None in time: is there one at all? (A tail of fields ending in space has none.)
        p.untimed = true;
        begin_search(p, UNTIMED_STEPS);
        if (r.status == ROUTE_RUNNING)
            return;
        route_status = r.status;
        p.work_done += r.level.work;
    }
    if (p.untimed) {
        p.status = route_status == ROUTE_NONE ? PROOF_NO_WAY : PROOF_NO_ROUTE;
    } else if (p.route.empty()) {
        p.status = route_status == ROUTE_NONE ? PROOF_NO_ROUTE : PROOF_GAVE_UP;
    } else {
        p.status = PROOF_WINNABLE;
        p.proved_shortest = route_status == ROUTE_NONE;
    }
}

}  // namespace

int32_t seconds_needed(int32_t steps)
{
    int32_t frames = steps * STEP_FRAMES;
    return frames <= 0 ? 0 : 1 + (frames - 1) / 30;
}

int32_t steps_allowed(int32_t seconds)
{
    return seconds * (30 / STEP_FRAMES);
}

void proof_load(level_field& f, const levelsrc::level_source& src)
{
    std::vector<uint8_t> body = levelsrc::encode(src);
    level_clear(f.ref());
    level_decode(f.ref(), body.data(), body.size());
    level_derive(f.ref(), 0);
}

void proof_begin(level_proof& p, route_search& r, const levelsrc::level_source& src, uint64_t work_limit,
                 bool shortest)
{
    p.search = &r;
    p.status = PROOF_RUNNING;
    p.shortest = shortest;
    p.work_limit = work_limit;
    p.work_done = 0;
    p.route.clear();
    p.steps = 0;
    p.proved_shortest = false;
    p.untimed = false;
    p.unreachable_count = 0;
    memset(p.unreachable, 0, sizeof p.unreachable);
    proof_load(p.field, src);
    p.time_limit = p.field.data.time_left;
    const int teleporters = levelsrc::count(src, 'T');
    if (levelsrc::count(src, 'S') != 1) {
        p.status = PROOF_NO_START;  // the reader lets no second start through
        return;
    }
    if (teleporters != 0 && teleporters != 2) {
        p.status = PROOF_TELEPORTERS;
        return;
    }
    const map_header& h = p.field.data;
    search_begin(r.level, p.field.ref(), h.start_col, h.start_row);
    find_unreachable(p, r.level);
    p.work_done += r.level.work;
    if (p.unreachable_count > 0) {
        p.status = PROOF_UNREACHABLE;
        return;
    }
    begin_search(p, steps_allowed(p.time_limit));
    if (r.status != ROUTE_RUNNING)
        settle(p, r.status);
}

int32_t proof_run(level_proof& p, uint64_t work)
{
    const uint64_t until = proof_work(p) + std::min(work, WORK_MOST);
    while (p.status == PROOF_RUNNING) {
        const uint64_t now = proof_work(p);
        if (now >= until)
            break;
        int32_t status = route_run(*p.search, until - now);
        if (status != ROUTE_RUNNING)
            settle(p, status);
    }
    return p.status;
}

uint64_t proof_work(const level_proof& p)
{
    return p.work_done + (p.status == PROOF_RUNNING ? p.search->level.work : 0);
}

const char* proof_reason(int32_t status)
{
    switch (status) {
    case PROOF_NO_START: return "NO START CELL";
    case PROOF_TELEPORTERS: return "THE TELEPORTERS MUST BE TWO";
    case PROOF_UNREACHABLE: return "NO ROUTE REACHES THE MARKED FIELDS";
    case PROOF_NO_ROUTE: return "NO ROUTE WITHIN THE TIME LIMIT";
    case PROOF_NO_WAY: return "NO ROUTE DESTROYS EVERY FIELD AND MINE";
    case PROOF_GAVE_UP: return "THE SEARCH GAVE UP";
    default: return "";
    }
}

void suggest_begin(change_search& s, const levelsrc::level_source& src, uint64_t work_each, size_t most)
{
    s.src = src;
    s.next = 0;
    s.running = false;
    s.work_each = work_each;
    s.most = most;
    s.done = false;
    s.found.clear();
}

int32_t suggest_total()
{
    return LEVEL_ROWS * LEVEL_COLS * CHANGES_PER_CELL;
}

int32_t suggest_tried(const change_search& s)
{
    return s.next;
}

bool suggest_run(change_search& s, route_search& r, uint64_t work)
{
    uint64_t left = work;
    while (!s.done && left > 0) {
        if (!s.running) {
            if (s.next >= suggest_total()) {
                s.done = true;
                break;
            }
            const int cell = s.next / CHANGES_PER_CELL, k = s.next % CHANGES_PER_CELL;
            s.next++;
            const int row = cell / LEVEL_COLS, col = cell % LEVEL_COLS;
            const char here = levelsrc::cell(s.src, row, col);
            const char* tries = here == 'o' ? "*#." : here == '*' ? "o#." : here == '.' ? "o" : "";
            if (k >= int(strlen(tries)))
                continue;
            s.trying = {row, col, here, tries[k]};
            levelsrc::level_source edit = s.src;
            edit.rows[size_t(row)][size_t(col)] = tries[k];
            proof_begin(s.proof, r, edit, s.work_each, false);
            s.running = true;
        }
        const uint64_t before = proof_work(s.proof);
        int32_t status = proof_run(s.proof, left);
        const uint64_t spent = proof_work(s.proof) - before;
        left = spent >= left ? 0 : left - spent;
        if (status == PROOF_RUNNING)
            continue;
        s.running = false;
        if (status == PROOF_WINNABLE) {
            s.found.push_back(s.trying);
            s.done = s.most > 0 && s.found.size() >= s.most;
        }
    }
    return s.done;
}
