#include "solver.h"

#include "levelsrc.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <limits>
#include <queue>
#include <unordered_map>
#include <unordered_set>

namespace solver {

namespace {

constexpr int DELTA[4] = {-MAP_COLS, MAP_COLS, -1, 1};
constexpr int TRACK_OF[4] = {KIND_VTRACK, KIND_VTRACK, KIND_HTRACK, KIND_HTRACK};
constexpr int PUSHER_OF[4] = {KIND_PUSH_UP, KIND_PUSH_DOWN, KIND_PUSH_LEFT, KIND_PUSH_RIGHT};
constexpr int REFUSED_BY[4] = {KIND_HTRACK, KIND_HTRACK, KIND_VTRACK, KIND_VTRACK};
constexpr int MAX_CHAIN = 4 * CELLS;  // pushers that push in a circle never let go
constexpr int INF = std::numeric_limits<int>::max() / 4;

bool test_bit(const bits& b, int i)
{
    return (b[i >> 6] >> (i & 63)) & 1;
}

void clear_bit(bits& b, int i)
{
    b[i >> 6] &= ~(uint64_t(1) << (i & 63));
}

bool destructible(int kind)
{
    return kind == KIND_FIELD || kind == KIND_MINE;
}

bool is_pusher(int kind)
{
    return kind >= KIND_PUSH_UP && kind <= KIND_PUSH_RIGHT;
}

bool may_leave(int dir, int kind)
{
    return kind == KIND_FIELD || kind == KIND_MINE || kind == KIND_SOLID || kind == KIND_TELEPORT ||
           kind == TRACK_OF[dir] || kind == PUSHER_OF[dir];
}

struct state_hash {
    size_t operator()(const state& s) const
    {
        uint64_t h = uint64_t(s.pos) * 0x9E3779B97F4A7C15ull;
        for (int i = 0; i < 4; i++) {
            h ^= s.alive[i] + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
            h ^= s.mine[i] * 0xC2B2AE3D27D4EB4Full + (h << 6) + (h >> 2);
        }
        return size_t(h ^ (h >> 29));
    }
};

}  // namespace

level from_map()
{
    level lv;
    lv.dindex.fill(-1);
    for (int row = 0; row < MAP_ROWS; row++) {
        for (int col = 0; col < MAP_COLS; col++) {
            int cell = row * MAP_COLS + col;
            int kind = Map[row][col].kind;
            lv.kind[cell] = static_cast<int8_t>(kind);
            if (destructible(kind)) {
                lv.dindex[cell] = static_cast<int16_t>(lv.dcells.size());
                lv.dcells.push_back(static_cast<int16_t>(cell));
                (kind == KIND_MINE ? lv.mines : lv.fields)++;
            }
        }
    }
    lv.start = MapData.start_row * MAP_COLS + MapData.start_col;
    lv.tele_a = MapData.tele_a_row * MAP_COLS + MapData.tele_a_col;
    lv.tele_b = MapData.tele_b_row * MAP_COLS + MapData.tele_b_col;
    int count = lv.fields + lv.mines;  // the level's own limit, without any time cheat
    lv.time_limit = count < 20 ? 20 : count > 99 ? 99 : count;
    return lv;
}

level from_source(const levelsrc::level_source& src)
{
    for (auto& row : Map)
        for (auto& cell : row)
            cell = map_cell{};
    std::vector<uint8_t> body = levelsrc::encode(src);
    decode_level(body.data(), body.size());
    derive_map();
    return from_map();
}

state start_state(const level& lv)
{
    state s;
    s.pos = lv.start;
    for (size_t i = 0; i < lv.dcells.size(); i++) {
        s.alive[i >> 6] |= uint64_t(1) << (i & 63);
        if (lv.kind[lv.dcells[i]] == KIND_MINE)
            s.mine[i >> 6] |= uint64_t(1) << (i & 63);
    }
    return s;
}

int kind_at(const level& lv, const state& s, int cell)
{
    int i = lv.dindex[cell];
    if (i < 0)
        return lv.kind[cell];
    if (!test_bit(s.alive, i))
        return KIND_EMPTY;
    return test_bit(s.mine, i) ? KIND_MINE : KIND_FIELD;
}

bool won(const state& s)
{
    return (s.alive[0] | s.alive[1] | s.alive[2] | s.alive[3]) == 0;
}

move_result apply(const level& lv, const state& s, int dir)
{
    move_result r;
    int here = kind_at(lv, s, s.pos);
    int cell = s.pos + DELTA[dir];
    if (!may_leave(dir, here) || kind_at(lv, s, cell) == REFUSED_BY[dir])
        return r;
    r.next = s;
    int i = lv.dindex[s.pos];
    if (i >= 0) {  // leaving a field destroys it; leaving a mine explodes it
        if (test_bit(s.mine, i)) {
            clear_bit(r.next.mine, i);
            r.specials |= SPECIAL_MINE;
        } else {
            clear_bit(r.next.alive, i);
        }
    }
    if (here == KIND_VTRACK || here == KIND_HTRACK)
        r.specials |= SPECIAL_TRACK;
    r.steps = 1;
    for (int chain = 0;; chain++) {
        if (chain > MAX_CHAIN) {
            r.result = outcome::fall;  // pushed around for ever: never stands again
            return r;
        }
        if (cell == lv.tele_a || cell == lv.tele_b) {
            cell = cell == lv.tele_a ? lv.tele_b : lv.tele_a;
            r.specials |= SPECIAL_TELEPORT;
        }
        int kind = kind_at(lv, r.next, cell);
        if (!is_pusher(kind))
            break;
        cell += DELTA[kind - KIND_PUSH_UP];
        r.steps++;
        r.specials |= SPECIAL_PUSHER;
    }
    int kind = kind_at(lv, r.next, cell);
    if (kind == KIND_EMPTY) {
        r.result = outcome::fall;
        return r;
    }
    if (kind == KIND_SOLID && cell != lv.start)
        r.specials |= SPECIAL_SOLID;
    if (kind == KIND_VTRACK || kind == KIND_HTRACK)
        r.specials |= SPECIAL_TRACK;
    r.next.pos = cell;
    r.result = outcome::moved;
    return r;
}

// Neighbours in the loose sense: the four cells around, and for a teleporter
// its partner. Every real move stays inside this graph, so what it cannot
// join the player can never reach.
static int neighbours(const level& lv, int cell, int out[5])
{
    int n = 0;
    for (int d = 0; d < 4; d++) {
        int c = cell + DELTA[d];
        if (c >= 0 && c < CELLS)
            out[n++] = c;
    }
    if (cell == lv.tele_a && lv.tele_b != lv.tele_a)
        out[n++] = lv.tele_b;
    else if (cell == lv.tele_b && lv.tele_b != lv.tele_a)
        out[n++] = lv.tele_a;
    return n;
}

bool hopeless(const level& lv, const state& s)
{
    int count = static_cast<int>(lv.dcells.size());
    int first = -1, remaining = 0;
    int nb[5];
    for (int i = 0; i < count; i++) {
        int cell = lv.dcells[i];
        if (!test_bit(s.alive, i) || cell == s.pos)
            continue;
        remaining++;
        if (first < 0)
            first = cell;
        if (test_bit(s.mine, i))
            continue;
        // A field is entered once and left once: with a single way in and out,
        // that way must outlive both crossings.
        int open = 0, only = -1;
        for (int k = 0, n = neighbours(lv, cell, nb); k < n; k++) {
            if (kind_at(lv, s, nb[k]) != KIND_EMPTY) {
                open++;
                only = nb[k];
            }
        }
        if (open == 0 || (open == 1 && kind_at(lv, s, only) == KIND_FIELD))
            return true;
    }
    if (remaining == 0)
        return false;
    // Everything left must hang together, without the field under the player
    // (it goes as the player steps off), and touch the player.
    int i = lv.dindex[s.pos];
    int removed = (i >= 0 && test_bit(s.alive, i) && !test_bit(s.mine, i)) ? s.pos : -1;
    std::array<uint8_t, CELLS> seen{};
    std::array<int16_t, CELLS> stack;
    int top = 0, reached = 0;
    stack[top++] = static_cast<int16_t>(first);
    seen[first] = 1;
    bool touches = false;
    while (top > 0) {
        int c = stack[--top];
        int di = lv.dindex[c];
        if (di >= 0 && c != s.pos && test_bit(s.alive, di))
            reached++;
        for (int k = 0, n = neighbours(lv, c, nb); k < n; k++) {
            int m = nb[k];
            if (m == s.pos)
                touches = true;
            if (seen[m] || m == removed || kind_at(lv, s, m) == KIND_EMPTY)
                continue;
            seen[m] = 1;
            stack[top++] = static_cast<int16_t>(m);
        }
    }
    return reached < remaining || !touches;
}

int seconds_needed(int steps)
{
    int frames = steps * 5;
    return frames <= 0 ? 0 : 1 + (frames - 1) / 30;
}

bool check(const level& lv, const std::string& moves, int* steps, int* specials)
{
    state s = start_state(lv);
    int total = 0, used = 0;
    for (char ch : moves) {
        const char* p = std::find(MOVE_CHARS, MOVE_CHARS + 4, ch);
        if (p == MOVE_CHARS + 4)
            return false;
        move_result r = apply(lv, s, int(p - MOVE_CHARS));
        if (r.result != outcome::moved)
            return false;
        s = r.next;
        total += r.steps;
        used |= r.specials;
    }
    if (steps)
        *steps = total;
    if (specials)
        *specials = used;
    return won(s);
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

using clock_type = std::chrono::steady_clock;

// The search over one level.
class search {
public:
    search(const level& lv, double seconds)
        : lv_(lv), deadline_(clock_type::now() + std::chrono::duration_cast<clock_type::duration>(
                                                     std::chrono::duration<double>(seconds)))
    {
    }

    bool aborted() const { return aborted_; }

    // A first solution, depth first with the most constrained moves first.
    bool find(std::string& out)
    {
        std::unordered_set<state, state_hash> visited;
        std::string path;
        bool ok = find_from(start_state(lv_), visited, path);
        if (ok)
            out = path;
        return ok;
    }

    struct node {
        uint64_t count = 0;  // ways to win, capped
        int cost = INF;      // fewest steps to win
    };

    node eval(const state& s)
    {
        auto it = memo_.find(s);
        if (it != memo_.end())
            return it->second;
        node n;
        if (!tick() && !hopeless(lv_, s)) {
            if (lv_.dindex[s.pos] >= 0 && kind_at(lv_, s, s.pos) != KIND_EMPTY)
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

    // The shortest solution from s by the memo, with the traps met on the way.
    std::string best_path(state s, int& traps)
    {
        std::string moves;
        traps = 0;
        while (!won(s)) {
            if (lv_.dindex[s.pos] >= 0 && kind_at(lv_, s, s.pos) != KIND_EMPTY) {
                int best = -1, best_cost = INF;
                for (int d = 0; d < 4; d++) {
                    move_result r = apply(lv_, s, d);
                    if (r.result != outcome::moved)
                        continue;
                    node c = won(r.next) ? node{1, 0} : eval(r.next);
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
                s = apply(lv_, s, best).next;
            } else {
                closure cl = walk_safe(s);
                int best = -1, best_cost = INF;
                for (auto& [cell, dist] : cl.exits) {
                    state x = s;
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
        std::vector<int> dist = std::vector<int>(CELLS, INF);
        std::vector<int16_t> from = std::vector<int16_t>(CELLS, -1);  // where the best route came from
        std::vector<int8_t> by = std::vector<int8_t>(CELLS, 0);       // the move that came here
        std::vector<std::pair<int, int>> exits;                       // destructible cell, steps to it
        std::vector<int> exit_from = std::vector<int>(CELLS, -1);
        std::vector<int8_t> exit_by = std::vector<int8_t>(CELLS, 0);

        std::string route_to(int target) const
        {
            std::string r(1, MOVE_CHARS[exit_by[target]]);
            for (int c = exit_from[target]; from[c] >= 0; c = from[c])
                r += MOVE_CHARS[by[c]];
            std::reverse(r.begin(), r.end());
            return r;
        }
    };

    closure walk_safe(const state& s)
    {
        closure cl;
        std::vector<int> exit_dist(CELLS, INF);
        using item = std::pair<int, int>;
        std::priority_queue<item, std::vector<item>, std::greater<item>> queue;
        cl.dist[s.pos] = 0;
        queue.push({0, s.pos});
        while (!queue.empty()) {
            auto [d0, c] = queue.top();
            queue.pop();
            if (d0 != cl.dist[c])
                continue;
            state at = s;
            at.pos = c;
            for (int d = 0; d < 4; d++) {
                move_result r = apply(lv_, at, d);
                if (r.result != outcome::moved)
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
        for (int c = 0; c < CELLS; c++)
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

    node eval_on_field(const state& s)
    {
        node n;
        state seen[4];
        int nseen = 0;
        for (int d = 0; d < 4; d++) {
            move_result r = apply(lv_, s, d);
            if (r.result != outcome::moved ||
                std::find(seen, seen + nseen, r.next) != seen + nseen)
                continue;
            seen[nseen++] = r.next;
            if (won(r.next)) {
                add(n, 1, r.steps);
                continue;
            }
            node c = eval(r.next);
            add(n, c.count, r.steps + c.cost);
        }
        return n;
    }

    node eval_on_safe(const state& s)
    {
        node n;
        if (won(s))
            return node{1, 0};
        closure cl = walk_safe(s);
        for (auto& [cell, dist] : cl.exits) {
            state x = s;
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
        if ((++ticks_ & 1023) == 0 && clock_type::now() > deadline_)
            aborted_ = true;
        return aborted_;
    }

    // Fewer ways on from a cell first: the narrow places decide.
    int freedom(const state& s, int cell)
    {
        int free = 0;
        for (int d = 0; d < 4; d++)
            if (kind_at(lv_, s, cell + DELTA[d]) != KIND_EMPTY)
                free++;
        return free;
    }

    bool find_from(const state& s, std::unordered_set<state, state_hash>& visited, std::string& path)
    {
        if (tick() || !visited.insert(s).second || hopeless(lv_, s))
            return false;
        std::pair<int, int> order[4];
        int n = 0;
        for (int d = 0; d < 4; d++) {
            move_result r = apply(lv_, s, d);
            if (r.result != outcome::moved)
                continue;
            if (won(r.next)) {
                path += MOVE_CHARS[d];
                return true;
            }
            int rank = lv_.dindex[r.next.pos] >= 0 ? freedom(r.next, r.next.pos) : 8;
            order[n++] = {rank, d};
        }
        for (int a = 1; a < n; a++)  // at most four: insertion sort
            for (int b = a; b > 0 && order[b] < order[b - 1]; b--)
                std::swap(order[b], order[b - 1]);
        for (int k = 0; k < n; k++) {
            int d = order[k].second;
            path += MOVE_CHARS[d];
            if (find_from(apply(lv_, s, d).next, visited, path))
                return true;
            path.pop_back();
        }
        return false;
    }

    const level& lv_;
    clock_type::time_point deadline_;
    bool aborted_ = false;
    uint64_t ticks_ = 0;
    std::unordered_map<state, node, state_hash> memo_;
};

}  // namespace

report solve(const level& lv, double time_limit)
{
    report rep;
    search first(lv, time_limit / 2);
    std::string found;
    rep.solved = first.find(found);
    if (!rep.solved && !first.aborted()) {
        rep.complete = true;  // the whole tree was searched: no way to win
        return rep;
    }
    search full(lv, time_limit / 2);
    state s0 = start_state(lv);
    full.eval(s0);
    if (!full.aborted()) {
        rep.complete = true;
        auto root = full.eval(s0);
        rep.solutions = root.count;
        rep.states = full.states();
        rep.solution = full.best_path(s0, rep.traps);
        for (int d = 0; d < 4; d++) {
            move_result r = apply(lv, s0, d);
            if (r.result == outcome::moved && !won(r.next) && full.eval(r.next).count == 0)
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
