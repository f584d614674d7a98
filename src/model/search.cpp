#include "model/search.h"

#include <cstring>

namespace {

constexpr int32_t DELTA[4] = {-MAP_COLS, MAP_COLS, -1, 1};
constexpr int POS_BITS = 9;  // a cell number plus one fits in nine bits
static_assert(SEARCH_CELLS < (1 << POS_BITS), "a cell fits the packed state");
static_assert(SEARCH_DESTRUCTIBLE <= 64 * SEARCH_WORDS, "the sets hold every cell of a level");

bool test_bit(const search_bits& b, int i)
{
    return (b[i >> 6] >> (i & 63)) & 1;
}

void set_bit(search_bits& b, int i)
{
    b[i >> 6] |= uint64_t(1) << (i & 63);
}

void clear_bit(search_bits& b, int i)
{
    b[i >> 6] &= ~(uint64_t(1) << (i & 63));
}

int popcount(const search_bits& b)
{
    int n = 0;
    for (uint64_t w : b)
        n += __builtin_popcountll(w);
    return n;
}

bool destructible(int32_t kind)
{
    return kind == KIND_FIELD || kind == KIND_MINE;
}

map_cell& cell_of(search_level& lv, int32_t cell)
{
    return lv.map[cell / MAP_COLS][cell % MAP_COLS];
}

// Puts destructible i of the own field into its state in s, untouched.
void show_destructible(search_level& lv, const search_state& s, int i)
{
    map_cell& c = cell_of(lv, lv.dcells[i]);
    c.visit = 0;
    if (!test_bit(s.alive, i)) {
        c.type = 2;
        c.variant = 3;
    } else {
        c.type = test_bit(s.mine, i) ? 2 : 1;
        c.variant = 1;
    }
    c.kind = tile_kind(c.type, c.variant);
}

// Makes the own field show s: only the destructibles that differ from what
// it shows are written, and the cell under the player is occupied.
void load(search_level& lv, const search_state& s)
{
    if (lv.loaded.pos == s.pos && lv.loaded.alive == s.alive && lv.loaded.mine == s.mine)
        return;
    if (lv.loaded.pos < 0) {
        for (int i = 0; i < lv.dcount; i++)
            show_destructible(lv, s, i);
    } else {
        if (lv.dindex[lv.loaded.pos] >= 0)
            cell_of(lv, lv.loaded.pos).visit = 0;
        for (int w = 0; w < SEARCH_WORDS; w++) {
            uint64_t diff = (lv.loaded.alive[w] ^ s.alive[w]) | (lv.loaded.mine[w] ^ s.mine[w]);
            while (diff) {
                show_destructible(lv, s, w * 64 + __builtin_ctzll(diff));
                diff &= diff - 1;
            }
        }
    }
    int i = lv.dindex[s.pos];
    if (i >= 0 && test_bit(s.alive, i))
        cell_of(lv, s.pos).visit = s == lv.root ? lv.root_visit : 1;
    lv.loaded = s;
}

// Neighbours in the loose sense: the four cells around, and for a teleporter
// its partner. Every real move stays inside this graph, so what it cannot
// join the player can never reach.
void find_around(search_level& lv)
{
    for (int cell = 0; cell < SEARCH_CELLS; cell++) {
        int n = 0;
        for (int d = 0; d < 4; d++) {
            int c = cell + DELTA[d];
            if (c >= 0 && c < SEARCH_CELLS)
                lv.around[cell][n++] = static_cast<int16_t>(c);
        }
        if (cell == lv.tele_a && lv.tele_b != lv.tele_a)
            lv.around[cell][n++] = static_cast<int16_t>(lv.tele_b);
        else if (cell == lv.tele_b && lv.tele_b != lv.tele_a)
            lv.around[cell][n++] = static_cast<int16_t>(lv.tele_a);
        lv.around_count[cell] = static_cast<int8_t>(n);
    }
}

}  // namespace

bool operator==(const search_state& a, const search_state& b)
{
    return a.pos == b.pos && a.alive == b.alive && a.mine == b.mine;
}

void search_begin(search_level& lv, const rules_field& f, int32_t col, int32_t row)
{
    lv.dcount = lv.fields = lv.mines = 0;
    int pushers = 0;
    for (int pass = 0; pass < 2; pass++) {  // mines first, then fields
        for (int cell = 0; cell < SEARCH_CELLS; cell++) {
            const map_cell& c = f.map[cell / MAP_COLS][cell % MAP_COLS];
            int32_t kind = c.kind;
            if (pass == 0) {
                lv.kind[cell] = static_cast<int8_t>(kind);
                lv.dindex[cell] = -1;
                pushers += kind >= KIND_PUSH_UP && kind <= KIND_PUSH_RIGHT;
            }
            bool inside = cell / MAP_COLS >= 1 && cell / MAP_COLS <= LEVEL_ROWS && cell % MAP_COLS >= 1 &&
                          cell % MAP_COLS <= LEVEL_COLS;
            if (inside && kind == (pass == 0 ? KIND_MINE : KIND_FIELD)) {
                lv.dindex[cell] = static_cast<int16_t>(lv.dcount);
                lv.dcells[lv.dcount++] = static_cast<int16_t>(cell);
                (pass == 0 ? lv.mines : lv.fields)++;
            }
        }
    }
    const map_header& h = *f.data;
    lv.start = h.start_row * MAP_COLS + h.start_col;
    lv.tele_a = h.tele_a_row * MAP_COLS + h.tele_a_col;
    lv.tele_b = h.tele_b_row * MAP_COLS + h.tele_b_col;
    for (int cell = 0; cell < SEARCH_CELLS; cell++)
        lv.safe[cell] = lv.kind[cell] != KIND_EMPTY && lv.dindex[cell] < 0;
    find_around(lv);
    lv.chain_limit = pushers + 2;  // a chain longer than this has met a pusher twice
    memcpy(lv.map, f.map, sizeof lv.map);
    lv.data = h;
    lv.root = search_state_of(lv, f, col, row);
    lv.root_visit = f.map[row][col].visit;
    lv.loaded = lv.root;
    lv.work = 0;
}

search_state search_state_of(const search_level& lv, const rules_field& f, int32_t col, int32_t row)
{
    search_state s{};
    s.pos = row * MAP_COLS + col;
    for (int i = 0; i < lv.dcount; i++) {
        int32_t kind = f.map[lv.dcells[i] / MAP_COLS][lv.dcells[i] % MAP_COLS].kind;
        if (destructible(kind))
            set_bit(s.alive, i);
        if (kind == KIND_MINE)
            set_bit(s.mine, i);
    }
    return s;
}

int32_t search_kind_at(const search_level& lv, const search_state& s, int32_t cell)
{
    int i = lv.dindex[cell];
    if (i < 0)
        return lv.kind[cell];
    if (!test_bit(s.alive, i))
        return KIND_EMPTY;
    return test_bit(s.mine, i) ? KIND_MINE : KIND_FIELD;
}

search_move search_apply(search_level& lv, const search_state& s, int32_t dir)
{
    search_move m{};
    m.result = SEARCH_REFUSED;
    m.next = s;
    load(lv, s);
    const rules_field f = {lv.map, &lv.data};
    play_state p{};
    p.player_row = s.pos / MAP_COLS;
    p.player_col = s.pos % MAP_COLS;
    int32_t here = lv.map[p.player_row][p.player_col].kind;
    int frames = 0;
    do {
        rules_move(p, frames == 0 ? MOVE_UP + dir : MOVE_NONE, f);
        rules_resolve(p, f);
        frames++;
        for (int e = 0; e < p.event_count; e++) {
            const play_event& ev = p.events[e];
            int i = ev.kind == EVENT_DISSOLVE || ev.kind == EVENT_EXPLODE ? lv.dindex[ev.row * MAP_COLS + ev.col] : -1;
            if (ev.kind == EVENT_DISSOLVE && i >= 0)
                clear_bit(m.next.alive, i);
            else if (ev.kind == EVENT_EXPLODE && i >= 0) {
                clear_bit(m.next.mine, i);
                m.specials |= SPECIAL_MINE;
            } else if (ev.kind == EVENT_PUSH) {
                m.specials |= SPECIAL_PUSHER;
            } else if (ev.kind == EVENT_TELEPORT) {
                m.specials |= SPECIAL_TELEPORT;
            }
        }
        if (frames > lv.chain_limit * STEP_FRAMES) {  // pushed round for ever: never stands again
            m.result = SEARCH_FALL;
            lv.loaded.pos = -1;  // the own field is left mid-move
            lv.work += static_cast<uint64_t>(frames);
            return m;
        }
    } while (p.move_state != 0);
    lv.work += static_cast<uint64_t>(frames);
    if (frames == 1)
        return m;  // the player stood: refused
    m.next.pos = p.player_row * MAP_COLS + p.player_col;
    m.steps = frames / STEP_FRAMES;
    lv.loaded = m.next;
    int32_t kind = lv.map[p.player_row][p.player_col].kind;
    if (kind == KIND_EMPTY) {
        m.result = SEARCH_FALL;
        return m;
    }
    m.result = SEARCH_MOVED;
    if (here == KIND_VTRACK || here == KIND_HTRACK || kind == KIND_VTRACK || kind == KIND_HTRACK)
        m.specials |= SPECIAL_TRACK;
    if (kind == KIND_SOLID && m.next.pos != lv.start)
        m.specials |= SPECIAL_SOLID;
    return m;
}

bool search_won(const search_state& s)
{
    return (s.alive[0] | s.alive[1] | s.alive[2] | s.alive[3]) == 0;
}

int32_t search_least_steps(const search_state& s)
{
    return popcount(s.alive) + popcount(s.mine);
}

bool search_hopeless(search_level& lv, const search_state& s)
{
    enum : uint8_t { HOLE, SAFE, MINE, FIELD };
    static_assert(SAFE == 1, "lv.safe holds SAFE or HOLE");
    uint8_t at[SEARCH_CELLS];  // what each cell is in s
    memcpy(at, lv.safe, sizeof at);
    int first = -1, remaining = 0;
    for (int i = 0; i < lv.dcount; i++) {
        if (!test_bit(s.alive, i))
            continue;
        int cell = lv.dcells[i];
        at[cell] = test_bit(s.mine, i) ? MINE : FIELD;
        if (cell != s.pos) {
            remaining++;
            first = first < 0 ? cell : first;
        }
    }
    lv.work++;
    // A field is entered once and left once: with a single way in and out,
    // that way must outlive both crossings.
    for (int i = 0; i < lv.dcount; i++) {  // exploded mines are fields too
        int cell = lv.dcells[i];
        if (at[cell] != FIELD || cell == s.pos)
            continue;
        int open = 0, only = -1;
        for (int k = 0; k < lv.around_count[cell]; k++)
            if (at[lv.around[cell][k]] != HOLE) {
                open++;
                only = lv.around[cell][k];
            }
        if (open == 0 || (open == 1 && at[only] == FIELD))
            return true;
    }
    if (remaining == 0)
        return false;
    // Everything left must hang together, without the field under the player
    // (it goes as the player steps off), and touch the player.
    if (at[s.pos] == FIELD)
        at[s.pos] = HOLE;
    int16_t stack[SEARCH_CELLS];
    int top = 0, reached = 1, flooded = 0;
    stack[top++] = static_cast<int16_t>(first);
    at[first] = HOLE;  // a cell on the stack is taken out: it is never stacked twice
    bool touches = false;
    while (top > 0) {
        int c = stack[--top];
        flooded++;
        for (int k = 0; k < lv.around_count[c]; k++) {
            int m = lv.around[c][k];
            touches = touches || m == s.pos;
            if (at[m] == HOLE)
                continue;
            reached += at[m] != SAFE && m != s.pos;
            at[m] = HOLE;
            stack[top++] = static_cast<int16_t>(m);
        }
    }
    lv.work += static_cast<uint64_t>(flooded / 16);
    return reached < remaining || !touches;
}

namespace {

// The table of states seen: open addressing over packed states, each slot
// `words` words of state and one of value (generation high, steps low).

void pack(const route_search& r, const search_state& s, uint64_t* key)
{
    const search_level& lv = r.level;
    for (int w = 0; w < r.words; w++)
        key[w] = 0;
    int at = 0;
    auto put = [&](uint64_t v, int n) {  // n bits of v (the rest zero)
        key[at >> 6] |= v << (at & 63);
        if ((at & 63) + n > 64)
            key[(at >> 6) + 1] |= v >> (64 - (at & 63));
        at += n;
    };
    put(static_cast<uint64_t>(s.pos + 1), POS_BITS);  // never zero
    for (int w = 0; w * 64 < lv.dcount; w++)
        put(s.alive[w] & (lv.dcount - w * 64 >= 64 ? ~uint64_t(0) : (uint64_t(1) << (lv.dcount - w * 64)) - 1),
            lv.dcount - w * 64 >= 64 ? 64 : lv.dcount - w * 64);
    for (int w = 0; w * 64 < lv.mines; w++)
        put(s.mine[w] & (lv.mines - w * 64 >= 64 ? ~uint64_t(0) : (uint64_t(1) << (lv.mines - w * 64)) - 1),
            lv.mines - w * 64 >= 64 ? 64 : lv.mines - w * 64);
}

uint64_t hash_key(const uint64_t* key, int words)
{
    uint64_t h = 0x9E3779B97F4A7C15ull;
    for (int w = 0; w < words; w++) {
        h ^= key[w];
        h *= 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
    }
    return h;
}

// The slot of s: its value word, or a free slot to take (*fresh true); null
// when the table is too full to take another.
uint64_t* find_slot(route_search& r, const search_state& s, bool* fresh)
{
    uint64_t key[9];
    pack(r, s, key);
    const size_t stride = static_cast<size_t>(r.words) + 1;
    size_t at = hash_key(key, r.words) & (r.capacity - 1);
    for (;;) {
        uint64_t* slot = r.memory + at * stride;
        uint64_t& value = slot[r.words];
        if ((value >> 32) != r.generation) {
            if (r.used + 1 > r.capacity - r.capacity / 4)
                return nullptr;
            memcpy(slot, key, sizeof(uint64_t) * static_cast<size_t>(r.words));
            value = uint64_t(r.generation) << 32;
            r.used++;
            *fresh = true;
            return &value;
        }
        if (memcmp(slot, key, sizeof(uint64_t) * static_cast<size_t>(r.words)) == 0) {
            *fresh = false;
            return &value;
        }
        at = (at + 1) & (r.capacity - 1);
    }
}

// Fewer ways on from a cell first: the narrow places decide.
int freedom(const search_level& lv, const search_state& s, int cell)
{
    int free = 0;
    for (int d = 0; d < 4; d++)
        if (search_kind_at(lv, s, cell + DELTA[d]) != KIND_EMPTY)
            free++;
    return free;
}

// The route: the move taken from every state on the stack to the next, then
// the winning move dir.
void found(route_search& r, int32_t dir, int32_t steps)
{
    r.moves = 0;
    for (int k = 0; k + 1 < r.depth; k++)
        r.route[r.moves++] = r.stack[k].dirs[r.stack[k].next - 1];
    r.route[r.moves++] = static_cast<int8_t>(dir);
    r.steps = steps;
    r.status = ROUTE_FOUND;
}

// Puts a state on the stack with its moves on, the narrowest first; a move
// that wins in time ends the search.
void push(route_search& r, const search_state& s, int32_t steps)
{
    route_node& n = r.stack[r.depth++];
    n.state = s;
    n.steps = steps;
    n.count = n.next = 0;
    int rank[4];
    for (int d = 0; d < 4; d++) {
        search_move m = search_apply(r.level, s, d);
        if (m.result != SEARCH_MOVED)
            continue;
        if (search_won(m.next)) {
            if (steps + m.steps <= r.budget) {
                found(r, d, steps + m.steps);
                return;
            }
            continue;
        }
        int k = n.count++;
        n.dirs[k] = static_cast<int8_t>(d);
        n.child[k] = m.next;
        n.child_steps[k] = m.steps;
        rank[k] = r.level.dindex[m.next.pos] >= 0 ? freedom(r.level, m.next, m.next.pos) : 8;
    }
    for (int a = 1; a < n.count; a++)  // at most four: insertion sort, stable
        for (int b = a; b > 0 && rank[b] < rank[b - 1]; b--) {
            std::swap(rank[b], rank[b - 1]);
            std::swap(n.dirs[b], n.dirs[b - 1]);
            std::swap(n.child[b], n.child[b - 1]);
            std::swap(n.child_steps[b], n.child_steps[b - 1]);
        }
}

}  // namespace

void route_memory(route_search& r, uint64_t* memory, size_t words)
{
    r.memory = memory;
    r.memory_words = words;
    r.capacity = r.used = 0;
    r.words = 0;
    r.generation = 0;
}

void route_begin(route_search& r, const rules_field& f, int32_t col, int32_t row, int32_t budget,
                 uint64_t work_limit)
{
    search_begin(r.level, f, col, row);
    int32_t words = (POS_BITS + r.level.dcount + r.level.mines + 63) / 64;
    const size_t stride = static_cast<size_t>(words) + 1;
    size_t capacity = stride <= r.memory_words ? 1 : 0;  // the most slots that fit, a power of two
    while (capacity && capacity * 2 * stride <= r.memory_words)
        capacity *= 2;
    if (words != r.words || capacity != r.capacity || ++r.generation == 0) {
        if (capacity)
            memset(r.memory, 0, capacity * stride * sizeof(uint64_t));
        r.generation = 1;
    }
    r.words = words;
    r.capacity = capacity;
    r.used = 0;
    r.budget = budget;
    r.work_limit = work_limit;
    r.depth = 0;
    r.cut = 0;
    r.moves = r.steps = 0;
    r.status = ROUTE_RUNNING;
    const search_state& root = r.level.root;
    bool fresh = false;
    if (search_won(root)) {
        r.status = ROUTE_FOUND;
    } else if (capacity < 4 || !find_slot(r, root, &fresh)) {
        r.status = ROUTE_GAVE_UP;
    } else if (search_least_steps(root) > budget || search_hopeless(r.level, root)) {
        r.status = ROUTE_NONE;
    } else {
        push(r, root, 0);
    }
}

int32_t route_run(route_search& r, uint64_t work)
{
    search_level& lv = r.level;
    const uint64_t until = lv.work + work;
    while (r.status == ROUTE_RUNNING) {
        if (lv.work >= r.work_limit) {
            r.status = ROUTE_GAVE_UP;
            break;
        }
        if (lv.work >= until)
            break;
        if (r.depth == 0) {
            r.status = r.cut ? ROUTE_GAVE_UP : ROUTE_NONE;
            break;
        }
        route_node& n = r.stack[r.depth - 1];
        if (n.next == n.count) {
            r.depth--;
            continue;
        }
        int k = n.next++;
        const search_state& s = n.child[k];
        int32_t steps = n.steps + n.child_steps[k];
        if (steps + search_least_steps(s) > r.budget)
            continue;
        bool fresh = false;
        uint64_t* value = find_slot(r, s, &fresh);
        if (!value) {
            r.status = ROUTE_GAVE_UP;
            break;
        }
        uint32_t seen_at = static_cast<uint32_t>(*value);
        if (!fresh && seen_at <= static_cast<uint32_t>(steps))
            continue;  // tried from there with as many steps left, or more
        if (fresh && search_hopeless(lv, s)) {
            continue;  // stays at 0 steps: never tried again
        }
        *value = (uint64_t(r.generation) << 32) | static_cast<uint32_t>(steps);
        if (r.depth == ROUTE_DEPTH) {
            r.cut = 1;
            continue;
        }
        push(r, s, steps);
    }
    return r.status;
}

int32_t route_steps_from(const route_search& r, int32_t k)
{
    return r.steps - r.stack[k].steps;
}
