#include "solver.h"

#include "model/levelsrc.h"
#include "model/proof.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <queue>
#include <unordered_map>
#include <vector>

namespace solver {

namespace {

constexpr int INF = std::numeric_limits<int>::max() / 4;
constexpr size_t TABLE_WORDS = size_t(1) << 19;  // 4 MB for the states the proof sees

struct state_hash {
    size_t operator()(const search_state& s) const
    {
        uint64_t h = uint64_t(s.pos) * 0x9E3779B97F4A7C15ull;
        for (int i = 0; i < SEARCH_WORDS; i++) {
            h ^= s.alive[i] + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
            h ^= s.mine[i] * 0xC2B2AE3D27D4EB4Full + (h << 6) + (h >> 2);
        }
        return size_t(h ^ (h >> 29));
    }
};

rules_field field_of(const level_field& f)
{
    return {const_cast<map_cell(*)[MAP_COLS]>(f.map), const_cast<map_header*>(&f.data)};
}

// The search's view of the level from its start.
std::unique_ptr<search_level> begin(const level& lv)
{
    auto s = std::make_unique<search_level>();
    search_begin(*s, field_of(*lv.start), lv.start->data.start_col, lv.start->data.start_row);
    return s;
}

}  // namespace

level from_source(const levelsrc::level_source& src)
{
    auto f = std::make_shared<level_field>();
    proof_load(*f, src);
    level lv;
    lv.start = f;
    auto s = begin(lv);
    lv.fields = s->fields;
    lv.mines = s->mines;
    lv.time_limit = f->data.time_left;
    return lv;
}

int seconds_needed(int steps)
{
    return ::seconds_needed(steps);
}

int steps_allowed(int seconds)
{
    return ::steps_allowed(seconds);
}

bool check(const level& lv, const std::string& moves, int* steps, int* specials)
{
    auto search = begin(lv);
    search_state s = search->root;
    int total = 0, used = 0;
    for (char ch : moves) {
        const char* p = std::find(MOVE_CHARS, MOVE_CHARS + 4, ch);
        if (p == MOVE_CHARS + 4)
            return false;
        search_move r = search_apply(*search, s, int(p - MOVE_CHARS));
        if (r.result != SEARCH_MOVED)
            return false;
        s = r.next;
        total += r.steps;
        used |= r.specials;
    }
    if (steps)
        *steps = total;
    if (specials)
        *specials = used;
    return search_won(s);
}

choices weigh_choices(const level& lv, const std::string& moves)
{
    auto search = begin(lv);
    search_state s = search->root;
    choices c;
    int run = 0;
    for (char ch : moves) {
        const char* p = std::find(MOVE_CHARS, MOVE_CHARS + 4, ch);
        if (p == MOVE_CHARS + 4)
            break;
        const int dir = int(p - MOVE_CHARS);
        search_move played = search_apply(*search, s, dir);
        if (played.result != SEARCH_MOVED)
            break;
        bool open = false;
        for (int d = 0; d < 4 && !open; d++) {
            if (d == dir)
                continue;
            search_move other = search_apply(*search, s, d);
            open = other.result == SEARCH_MOVED && !(other.next == played.next);
        }
        c.moves++;
        c.open += open;
        run = open ? 0 : run + 1;
        if (run > c.longest_forced) {
            c.longest_forced = run;
            c.forced_from = c.moves - run;
        }
        s = played.next;
    }
    return c;
}

namespace {

// The level's number in its set, and whether the set is the classic one, from
// its entry name (zarn-NNN, levNNN); 0 for another name.
int level_number(const std::string& name, bool& classic)
{
    classic = name.rfind("lev", 0) == 0;
    if (!classic && name.rfind("zarn-", 0) != 0)
        return 0;
    return atoi(name.c_str() + (classic ? 3 : 5));
}

}  // namespace

std::vector<std::string> check_limits(const std::vector<measured>& levels)
{
    std::vector<std::string> broken;
    char line[160];
    auto say = [&](const char* fmt, auto... args) {
        snprintf(line, sizeof line, fmt, args...);
        broken.push_back(line);
    };
    // Per set (normal, classic): its count, and per quarter the difficulty, the
    // moves and the moves with a choice, added up.
    struct set_sums {
        int count = 0;
        int64_t difficulty[4] = {}, moves[4] = {}, open[4] = {};
    } sets[2];
    for (const measured& m : levels) {
        bool classic = false;
        sets[classic].count += level_number(m.name, classic) > 0;
    }
    int late = 0, late_tight = 0;
    for (const measured& m : levels) {
        bool classic = false;
        const int n = level_number(m.name, classic);
        if (n == 0)
            continue;
        const char* name = m.name.c_str();
        if (!m.proved)
            say("%s: the search did not prove it winnable in time", name);
        if (!m.stored_wins)
            say("%s: its stored solution does not win", name);
        else if (m.proved && m.stored_steps < m.steps)
            say("%s: its stored solution takes %d steps, the search's shortest %d", name, m.stored_steps, m.steps);
        if (n > FREE_LEVELS && m.walk.longest_forced > MOST_FORCED)
            say("%s: %d moves without a real choice from move %d (at most %d)", name, m.walk.longest_forced,
                m.walk.forced_from + 1, MOST_FORCED);
        const int least = n <= EARLY_LEVELS ? EARLY_SPARE : LEAST_SPARE;
        if (m.spare < least)
            say("%s: %d s to spare at the fastest (at least %d)", name, m.spare, least);
        set_sums& set = sets[classic];
        if (set.count >= 4) {
            const int q = std::min(3, (n - 1) / (set.count / 4));
            set.difficulty[q] += m.difficulty;
            set.moves[q] += m.walk.moves;
            set.open[q] += m.walk.open;
        }
        if (!classic && n >= LATE_FROM) {
            late++;
            late_tight += m.spare < TIGHT_SPARE;
        }
    }
    for (int classic = 0; classic < 2; classic++) {
        const set_sums& set = sets[classic];
        for (int q = 1; q < 4 && set.count >= 4; q++)
            if (set.difficulty[q] <= set.difficulty[q - 1])
                say("%s set: quarter %d is not harder than quarter %d on average", classic ? "classic" : "normal",
                    q + 1, q);
    }
    if (3 * late_tight < late)
        say("normal levels %d on: %d of %d leave under %d s at the fastest (at least a third)", LATE_FROM,
            late_tight, late, TIGHT_SPARE);
    // The third quarter of the normal set offers choices at least as often as the second.
    const set_sums& normal = sets[0];
    if (normal.moves[1] > 0 && normal.moves[2] > 0 &&
        normal.open[2] * normal.moves[1] < normal.open[1] * normal.moves[2])
        say("normal set: the third quarter offers a choice at %.1f %% of its moves, the second at %.1f %%",
            100.0 * double(normal.open[2]) / double(normal.moves[2]),
            100.0 * double(normal.open[1]) / double(normal.moves[1]));
    return broken;
}

std::string special_letters(int specials)
{
    std::string s;
    const char* letters = "MSRPT";  // mine, solid, rail (track), pusher, teleporter
    for (int b = 0; b < 5; b++)
        if (specials & (1 << b))
            s += letters[b];
    return s.empty() ? "-" : s;
}

namespace {

// The proof: the game's route search, run to its end or until it has done
// work units. Returns its status; the route it found goes to out.
int32_t prove(const level& lv, uint64_t work, std::string& out, uint64_t& used)
{
    static std::vector<uint64_t> table(TABLE_WORDS);
    auto r = std::make_unique<route_search>();
    route_memory(*r, table.data(), table.size());
    route_begin(*r, field_of(*lv.start), lv.start->data.start_col, lv.start->data.start_row,
                steps_allowed(lv.time_limit), work);
    while (route_run(*r, 100000) == ROUTE_RUNNING) {
    }
    used = r->level.work;
    for (int k = 0; r->status == ROUTE_FOUND && k < r->moves; k++)
        out += MOVE_CHARS[r->route[k]];
    return r->status;
}

// Counts the ways through a level and finds the shortest, over the moves of
// the search.
class count_search {
public:
    count_search(search_level& lv, uint64_t work) : lv_(lv), work_(work) {}

    bool aborted() const { return aborted_; }

    struct node {
        uint64_t count = 0;  // ways to win, capped
        int cost = INF;      // fewest steps to win
    };

    node eval(const search_state& s)
    {
        auto it = memo_.find(s);
        if (it != memo_.end())
            return it->second;
        node n;
        if (!tick() && !search_hopeless(lv_, s)) {
            if (lv_.dindex[s.pos] >= 0 && search_kind_at(lv_, s, s.pos) != KIND_EMPTY)
                n = eval_on_field(s);
            else
                n = eval_on_safe(s);
        }
        if (aborted_)
            return node{};
        memo_.emplace(s, n);
        return n;
    }

    size_t states() const { return memo_.size(); }
    uint64_t ticks() const { return ticks_; }

    // The shortest solution from s by the memo, with the traps met on the way.
    std::string best_path(search_state s, int& traps)
    {
        std::string moves;
        traps = 0;
        while (!search_won(s)) {
            if (lv_.dindex[s.pos] >= 0 && search_kind_at(lv_, s, s.pos) != KIND_EMPTY) {
                int best = -1, best_cost = INF;
                for (int d = 0; d < 4; d++) {
                    search_move r = search_apply(lv_, s, d);
                    if (r.result != SEARCH_MOVED)
                        continue;
                    node c = search_won(r.next) ? node{1, 0} : eval(r.next);
                    if (c.count == 0)
                        traps++;
                    else if (r.steps + c.cost < best_cost) {
                        best_cost = r.steps + c.cost;
                        best = d;
                    }
                }
                if (best < 0)
                    return "";
                moves += MOVE_CHARS[best];
                s = search_apply(lv_, s, best).next;
            } else {
                closure cl = walk_safe(s);
                int best = -1, best_cost = INF;
                for (auto& [cell, dist] : cl.exits) {
                    search_state x = s;
                    x.pos = cell;
                    node c = eval(x);
                    if (c.count == 0)
                        traps++;
                    else if (dist + c.cost < best_cost) {
                        best_cost = dist + c.cost;
                        best = cell;
                    }
                }
                if (best < 0)
                    return "";
                moves += cl.route_to(best);
                s.pos = best;
            }
        }
        return moves;
    }

private:
    // The safe cells a standing player reaches without touching a field, and
    // the fields and mines one move further.
    struct closure {
        std::vector<int> dist = std::vector<int>(SEARCH_CELLS, INF);
        std::vector<int16_t> from = std::vector<int16_t>(SEARCH_CELLS, -1);  // where the best route came from
        std::vector<int8_t> by = std::vector<int8_t>(SEARCH_CELLS, 0);       // the move that came here
        std::vector<std::pair<int, int>> exits;                       // destructible cell, steps to it
        std::vector<int> exit_from = std::vector<int>(SEARCH_CELLS, -1);
        std::vector<int8_t> exit_by = std::vector<int8_t>(SEARCH_CELLS, 0);

        std::string route_to(int target) const
        {
            std::string r(1, MOVE_CHARS[exit_by[target]]);
            for (int c = exit_from[target]; from[c] >= 0; c = from[c])
                r += MOVE_CHARS[by[c]];
            std::reverse(r.begin(), r.end());
            return r;
        }
    };

    closure walk_safe(const search_state& s)
    {
        closure cl;
        std::vector<int> exit_dist(SEARCH_CELLS, INF);
        using item = std::pair<int, int>;
        std::priority_queue<item, std::vector<item>, std::greater<item>> queue;
        cl.dist[s.pos] = 0;
        queue.push({0, s.pos});
        while (!queue.empty()) {
            auto [d0, c] = queue.top();
            queue.pop();
            if (d0 != cl.dist[c])
                continue;
            search_state at = s;
            at.pos = c;
            for (int d = 0; d < 4; d++) {
                search_move r = search_apply(lv_, at, d);
                if (r.result != SEARCH_MOVED)
                    continue;
                int t = r.next.pos, nd = d0 + r.steps;
                if (lv_.dindex[t] >= 0) {
                    if (nd < exit_dist[t]) {
                        exit_dist[t] = nd;
                        cl.exit_from[t] = c;
                        cl.exit_by[t] = static_cast<int8_t>(d);
                    }
                } else if (nd < cl.dist[t]) {
                    cl.dist[t] = nd;
                    cl.from[t] = static_cast<int16_t>(c);
                    cl.by[t] = static_cast<int8_t>(d);
                    queue.push({nd, t});
                }
            }
        }
        for (int c = 0; c < SEARCH_CELLS; c++)
            if (exit_dist[c] < INF)
                cl.exits.push_back({c, exit_dist[c]});
        return cl;
    }

    static void add(node& n, uint64_t count, int cost)
    {
        n.count = std::min(SOLUTION_CAP, n.count + count);
        if (count > 0)
            n.cost = std::min(n.cost, cost);
    }

    node eval_on_field(const search_state& s)
    {
        node n;
        search_state seen[4];
        int nseen = 0;
        for (int d = 0; d < 4; d++) {
            search_move r = search_apply(lv_, s, d);
            if (r.result != SEARCH_MOVED ||
                std::find(seen, seen + nseen, r.next) != seen + nseen)
                continue;
            seen[nseen++] = r.next;
            if (search_won(r.next)) {
                add(n, 1, r.steps);
                continue;
            }
            node c = eval(r.next);
            add(n, c.count, r.steps + c.cost);
        }
        return n;
    }

    node eval_on_safe(const search_state& s)
    {
        node n;
        if (search_won(s))
            return node{1, 0};
        closure cl = walk_safe(s);
        for (auto& [cell, dist] : cl.exits) {
            search_state x = s;
            x.pos = cell;
            node c = eval(x);
            add(n, c.count, dist + c.cost);
        }
        return n;
    }

    bool tick()
    {
        if (aborted_)
            return true;
        if (++ticks_ > work_)
            aborted_ = true;
        return aborted_;
    }

    search_level& lv_;
    uint64_t work_;  // the states it may look at
    bool aborted_ = false;
    uint64_t ticks_ = 0;
    std::unordered_map<search_state, node, state_hash> memo_;
};

}  // namespace

report solve(const level& lv, uint64_t work)
{
    report rep;
    std::string found;
    int32_t proof = prove(lv, work, found, rep.proof_work);
    rep.solved = proof == ROUTE_FOUND;
    if (proof == ROUTE_NONE) {
        rep.complete = true;  // the whole tree was searched: no way to win in time
        return rep;
    }
    auto search = begin(lv);
    count_search full(*search, work / 10);
    search_state s0 = search->root;
    full.eval(s0);
    if (!full.aborted()) {
        rep.complete = true;
        auto root = full.eval(s0);
        rep.solutions = root.count;
        rep.states = full.states();
        rep.count_work = full.ticks();
        rep.solution = full.best_path(s0, rep.traps);
        for (int d = 0; d < 4; d++) {
            search_move r = search_apply(*search, s0, d);
            if (r.result == SEARCH_MOVED && !search_won(r.next) && full.eval(r.next).count == 0)
                rep.losing_first++;
        }
    } else {
        rep.solution = found;
    }
    if (rep.solution.empty())
        rep.solution = found;
    if (!check(lv, rep.solution, &rep.steps, &rep.specials))
        rep.solved = false;
    rep.seconds = seconds_needed(rep.steps);
    double spread = rep.states > 1 ? std::log2(double(rep.states)) : 0.0;
    rep.difficulty = static_cast<int>(std::lround(spread)) + rep.traps + 2 * rep.losing_first;
    return rep;
}

}  // namespace solver
