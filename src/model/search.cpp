#include "model/search.h"

#include <algorithm>
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

// Whether a tile of the kind may be left in direction d (0 up .. 3 right).
bool leaves(int32_t kind, int d)
{
    if (kind == KIND_VTRACK)
        return d < 2;
    if (kind == KIND_HTRACK)
        return d >= 2;
    if (kind >= KIND_PUSH_UP && kind <= KIND_PUSH_RIGHT)
        return kind - KIND_PUSH_UP == d;
    return kind == KIND_FIELD || kind == KIND_MINE || kind == KIND_SOLID || kind == KIND_TELEPORT;
}

// Where a player standing on cell stands again after a move in direction d
// over the tiles of the beginning: pushers pass the player on, a teleporter
// puts it on its partner; -1 for a move that is refused, falls or never ends.
int move_end(const search_level& lv, int cell, int d)
{
    if (!leaves(lv.kind[cell], d))
        return -1;
    int at = cell + DELTA[d];
    if (lv.kind[at] == (d < 2 ? KIND_HTRACK : KIND_VTRACK))
        return -1;
    for (int pushes = 0; lv.kind[at] >= KIND_PUSH_UP && lv.kind[at] <= KIND_PUSH_RIGHT; pushes++) {
        if (pushes > lv.chain_limit)
            return -1;
        at += DELTA[lv.kind[at] - KIND_PUSH_UP];
    }
    if (lv.kind[at] == KIND_TELEPORT && lv.tele_a != lv.tele_b)
        at = at == lv.tele_a ? lv.tele_b : lv.tele_a;
    return lv.kind[at] == KIND_EMPTY ? -1 : at;
}

// A tile a player stands on: not space, not a pusher.
bool stands_on(const search_level& lv, int cell)
{
    return lv.kind[cell] != KIND_EMPTY && (lv.kind[cell] < KIND_PUSH_UP || lv.kind[cell] > KIND_PUSH_RIGHT);
}

// Every field and mine a part of its own, and the tiles that stay joined into
// regions where a move leads each way; end holds each cell's moves.
void find_regions(search_level& lv, const int16_t (*end)[4])
{
    for (int cell = 0; cell < SEARCH_CELLS; cell++)
        lv.part[cell] = lv.dindex[cell];
    lv.parts = lv.dcount;
    int16_t stack[SEARCH_CELLS];
    for (int cell = 0; cell < SEARCH_CELLS; cell++) {
        if (!stands_on(lv, cell) || lv.part[cell] >= 0)
            continue;
        int top = 0;
        stack[top++] = static_cast<int16_t>(cell);
        lv.part[cell] = static_cast<int16_t>(lv.parts);
        while (top > 0) {
            int c = stack[--top];
            for (int d = 0; d < 4; d++) {
                int m = end[c][d];
                if (m < 0 || lv.part[m] >= 0 || lv.dindex[m] >= 0)
                    continue;
                bool back = false;
                for (int e = 0; e < 4; e++)
                    back = back || end[m][e] == c;
                if (back) {
                    lv.part[m] = static_cast<int16_t>(lv.parts);
                    stack[top++] = static_cast<int16_t>(m);
                }
            }
        }
        lv.parts++;
    }
}

// Every move between two parts, by the lower end (a counting sort), then
// made links: one for each pair of ends, with the ways it goes, and each
// part's list of its links.
void make_links(search_level& lv, const int16_t (*end)[4])
{
    int16_t by_low[SEARCH_CELLS + 1] = {};
    struct way {
        int16_t low, high;
        uint8_t ways;
    } moves[4 * SEARCH_DESTRUCTIBLE], sorted[4 * SEARCH_DESTRUCTIBLE];
    int count = 0;
    for (int cell = 0; cell < SEARCH_CELLS; cell++) {
        for (int d = 0; d < 4 && stands_on(lv, cell); d++) {
            int m = end[cell][d], a = lv.part[cell];
            if (m < 0 || (lv.part[m] == a && a >= lv.dcount))
                continue;  // nowhere, or within a region
            int b = lv.part[m];
            moves[count++] = a <= b ? way{static_cast<int16_t>(a), static_cast<int16_t>(b), uint8_t(a == b ? 3 : 1)}
                                    : way{static_cast<int16_t>(b), static_cast<int16_t>(a), 2};
            by_low[moves[count - 1].low + 1]++;
        }
    }
    for (int p = 0; p < lv.parts; p++)
        by_low[p + 1] = static_cast<int16_t>(by_low[p + 1] + by_low[p]);
    for (int k = 0; k < count; k++)
        sorted[by_low[moves[k].low]++] = moves[k];
    int16_t made[SEARCH_CELLS];  // the last link made to each high end
    std::fill(made, made + SEARCH_CELLS, int16_t(-1));
    int16_t links_at[SEARCH_CELLS + 1] = {};
    lv.links = 0;
    for (int k = 0; k < count; k++) {
        const way& w = sorted[k];
        int l = made[w.high];
        if (l < 0 || lv.link_end[l][0] != w.low) {
            l = lv.links++;
            lv.link_end[l][0] = w.low;
            lv.link_end[l][1] = w.high;
            lv.link_way[l] = 0;
            made[w.high] = static_cast<int16_t>(l);
            links_at[w.low]++;
            links_at[w.high] += w.low != w.high;
        }
        lv.link_way[l] |= w.ways;
    }
    lv.part_links[0] = 0;
    for (int p = 0; p < lv.parts; p++)
        lv.part_links[p + 1] = static_cast<int16_t>(lv.part_links[p] + links_at[p]);
    for (int p = 0; p < lv.parts; p++)
        links_at[p] = lv.part_links[p];
    for (int l = 0; l < lv.links; l++) {
        lv.link_of[links_at[lv.link_end[l][0]]++] = static_cast<int16_t>(l);
        if (lv.link_end[l][1] != lv.link_end[l][0])
            lv.link_of[links_at[lv.link_end[l][1]]++] = static_cast<int16_t>(l);
    }
}

// The parts of the field and the links between them: every field and mine a
// part of its own, and the tiles a player stands on that stay (solid, track,
// teleporter) joined into regions where a move leads each way, so that a
// route crosses a region at will. Pushers are no part: a move over them links
// the tiles where it begins and ends, one way. A link is a pair of parts one
// move apart, with the ways it goes; a mine that a pusher sends the player
// straight back onto is linked to itself.
void find_parts(search_level& lv)
{
    int16_t end[SEARCH_CELLS][4];
    for (int cell = 0; cell < SEARCH_CELLS; cell++)
        for (int d = 0; d < 4; d++)
            end[cell][d] = static_cast<int16_t>(lv.kind[cell] == KIND_EMPTY ? -1 : move_end(lv, cell, d));
    find_regions(lv, end);
    make_links(lv, end);
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
    lv.chain_limit = pushers + 2;  // a chain longer than this has met a pusher twice
    find_around(lv);
    find_parts(lv);
    memcpy(lv.map, f.map, sizeof lv.map);
    lv.data = h;
    lv.root = search_state_of(lv, f, col, row);
    lv.root_visit = f.map[row][col].visit;
    lv.loaded = lv.root;
    lv.dist_known = search_bits{};
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
        // Only a frame that begins a step or a push leaves a cell behind
        // (and records so): the others have nothing to resolve.
        if (p.event_count > 0)
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

// What a cell is in a state, for the tests of hope.
enum : uint8_t { HOLE, SAFE, MINE, FIELD };

// The work of a test of hope: a unit, and one more for every so many links
// or cells it looks at (about the instructions of a frame of the rules).
constexpr int LOOKS_A_UNIT = 24;

// The route search's test of hope, sound and thorough. A winning route from
// s is a walk of moves, each from a part of the field to the part where the
// player stands again (lv.part: each field and mine, and the regions of tiles
// that stay, crossed at will; a move over pushers goes one way only), that
// enters and leaves every field left once and every mine twice (the one
// under the player is left now and, a mine, entered and left once more) and
// ends on a tile that stays. First the ways: every part the route crosses
// must be reached from the player's one move after another, and lead on to
// a region to end on; a region the player cannot reach drops out (so does a
// shortcut over it). Then it counts the crossings of every link between two
// parts: at a field two in all, at a mine four, at the player's field or
// mine one or three; one way over a link no more than the exits of its start
// or the entries of its end; over a link between two fields or mines at most
// their visits less one, since the crossings of one link alternate between
// its ends. Bounds on every link are tightened from these sums until they
// hold still; a link that can no longer be crossed drops out. Then a
// depth-first walk from the player over the links left: every field and
// mine must be reached; a link whose loss cuts off a piece with fields or
// mines in it is crossed into it, and back out again when the piece has no
// tile that stays (for the end), which tightens the bounds again; a field
// that cuts off two such pieces leaves one behind for ever, a mine three (or
// two that both need it to come back out); a field that cuts off one is
// crossed into it for good, so the route ends there, and two such pieces
// apart from each other cannot both hold the end.
namespace {

// One test of hope on one state: the parts, the links' bounds and the walk.
struct hope_test {
    search_level& lv;
    const int parts;
    int player = 0;
    int remaining = 0;  // fields and mines left besides the player's
    bool lost = false;
    uint64_t looked = 0;  // links and cells looked at
    uint8_t at[SEARCH_CELLS];    // what each part is in the state
    uint8_t need[SEARCH_CELLS];  // crossings of its links still to come: fields and mines; 0 the regions
    uint8_t queued[SEARCH_CELLS];
    int16_t queue[SEARCH_CELLS];  // parts whose sums are to be looked at, a ring
    int head = 0, tail = 0;
    uint8_t lo[SEARCH_LINKS], hi[SEARCH_LINKS];  // bounds on each link's crossings
    uint8_t ways[SEARCH_LINKS];                   // the ways each link can still be crossed
    // The walk: order of discovery (from 1; 0 not yet), the lowest reached
    // round, the size of the subtree, its fields and mines, its tiles that
    // stay, the link it was entered by, the next link to try, the pieces cut
    // off below it and whether one of those holds a tile that stays.
    int16_t disc[SEARCH_CELLS], low[SEARCH_CELLS], size[SEARCH_CELLS], works[SEARCH_CELLS], stays[SEARCH_CELLS];
    int16_t via[SEARCH_CELLS], next[SEARCH_CELLS], stack[SEARCH_CELLS];
    int8_t cut[SEARCH_CELLS], cut_stays[SEARCH_CELLS];
    int top = 0, count = 0, reached = 0, end_in = -1;
    bool raised = false;  // a lower bound was raised: the sums are to be settled again

    static constexpr int ANY = 100;

    hope_test(search_level& level, const search_state& s);
    void enqueue(int p)
    {
        if (need[p] && !queued[p]) {
            queued[p] = 1;
            queue[tail] = static_cast<int16_t>(p);
            tail = tail + 1 == parts ? 0 : tail + 1;
        }
    }
    // Entries and exits still to come: a field one each, a mine two, the one
    // under the player entered once already; a region as many as a route likes.
    int entries(int p) const { return at[p] == SAFE ? ANY : need[p] / 2; }
    int exits(int p) const { return at[p] == SAFE ? ANY : need[p] - need[p] / 2; }
    void bound_links();
    // spread and enter run for every part a test looks at: kept inline.
    [[gnu::always_inline]] void spread(uint8_t* mark, int16_t* reach, int& depth, int toward);
    void drop_out_of_reach();
    void settle_sums();
    [[gnu::always_inline]] void enter(int p, int l);
    void leave(int v);
    void walk();
};

hope_test::hope_test(search_level& level, const search_state& s) : lv(level), parts(level.parts)
{
    memset(at, HOLE, static_cast<size_t>(lv.dcount));
    memset(at + lv.dcount, SAFE, static_cast<size_t>(parts - lv.dcount));
    memset(need, 0, static_cast<size_t>(parts));
    memset(queued, 0, static_cast<size_t>(parts));
    player = lv.part[s.pos];
    for (int w = 0; w < SEARCH_WORDS; w++) {
        for (uint64_t bits = s.alive[w]; bits; bits &= bits - 1) {
            int i = w * 64 + __builtin_ctzll(bits);
            bool mine = (s.mine[w] >> (i & 63)) & 1;
            at[i] = mine ? MINE : FIELD;
            need[i] = static_cast<uint8_t>((mine ? 4 : 2) - (i == player));
            remaining += i != player;
            enqueue(i);
        }
    }
}

// The first bounds: each way over a link no more than the exits of its start
// or the entries of its end, and between two fields or mines at most their
// visits less one.
void hope_test::bound_links()
{
    for (int l = 0; l < lv.links; l++) {
        const int a = lv.link_end[l][0], b = lv.link_end[l][1];
        int most = 0, way = 0;
        if (at[a] == HOLE || at[b] == HOLE) {
        } else if (a == b) {  // pushed straight back: the mine explodes under the player
            most = at[a] == MINE ? 2 : 0;
            way = most ? 3 : 0;
        } else {
            for (int w = 0; w < 2; w++) {
                const int from = w ? b : a, to = w ? a : b;
                const int n = (lv.link_way[l] >> w & 1) ? std::min(exits(from), entries(to)) : 0;
                most += n;
                way |= n ? 1 << w : 0;
            }
            if (need[a] && need[b])
                most = std::min(most, (at[a] == MINE) + (at[b] == MINE) + 1);
        }
        lo[l] = 0;
        hi[l] = static_cast<uint8_t>(most);
        ways[l] = static_cast<uint8_t>(way);
    }
    looked += 2 * static_cast<uint64_t>(lv.links);  // each way of each link
}

// Marks what the parts on the reach stack lead to (toward 0: crossed from
// them; 1: into them), way by way.
inline void hope_test::spread(uint8_t* mark, int16_t* reach, int& depth, int toward)
{
    while (depth > 0) {
        const int v = reach[--depth];
        for (int k = lv.part_links[v]; k < lv.part_links[v + 1]; k++) {
            const int l = lv.link_of[k], end = lv.link_end[l][0] == v;
            const int w = lv.link_end[l][end];
            if (!mark[w] && (ways[l] >> (end ^ toward ^ 1) & 1)) {
                mark[w] = 1;
                reach[depth++] = static_cast<int16_t>(w);
            }
        }
        looked += static_cast<uint64_t>(lv.part_links[v + 1] - lv.part_links[v]);
    }
}

// Every part the route is to cross must be reached from the player's one
// way by way; a region that is not drops out. And from every field and mine
// a way must lead on to a region to end on.
void hope_test::drop_out_of_reach()
{
    uint8_t from_player[SEARCH_CELLS], to_end[SEARCH_CELLS];
    memset(from_player, 0, static_cast<size_t>(parts));
    memset(to_end, 0, static_cast<size_t>(parts));
    int16_t reach[SEARCH_CELLS];
    int depth = 0;
    from_player[player] = 1;
    reach[depth++] = static_cast<int16_t>(player);
    spread(from_player, reach, depth, 0);
    for (int p = lv.dcount; p < parts; p++) {
        if (!from_player[p]) {
            at[p] = HOLE;
            for (int k = lv.part_links[p]; k < lv.part_links[p + 1]; k++)
                hi[lv.link_of[k]] = ways[lv.link_of[k]] = 0;
        } else {
            to_end[p] = 1;
            reach[depth++] = static_cast<int16_t>(p);
        }
    }
    spread(to_end, reach, depth, 1);
    for (int p = 0; p < lv.dcount; p++)
        lost = lost || (at[p] != HOLE && (!from_player[p] || !to_end[p]));
}

// The sums: the crossings at each field and mine exactly as needed, the
// bounds of its links tightened from the others' until they hold still.
void hope_test::settle_sums()
{
    const int16_t* const link_of = lv.link_of;
    const int16_t* const part_links = lv.part_links;
    uint64_t seen = 0;
    while (head != tail) {
        int v = queue[head];
        head = head + 1 == parts ? 0 : head + 1;
        queued[v] = 0;
        const int16_t* links = link_of + part_links[v];
        const int n = part_links[v + 1] - part_links[v];
        int sum_lo = 0, sum_hi = 0;
        for (int k = 0; k < n; k++) {
            sum_lo += lo[links[k]];
            sum_hi += hi[links[k]];
        }
        seen += static_cast<uint64_t>(n);
        if (sum_lo > need[v] || sum_hi < need[v]) {
            lost = true;
            break;
        }
        for (int k = 0; k < n; k++) {
            int l = links[k];
            int most = need[v] - (sum_lo - lo[l]), least = need[v] - (sum_hi - hi[l]);
            if (most >= hi[l] && least <= lo[l])
                continue;
            hi[l] = static_cast<uint8_t>(std::min<int>(hi[l], most));
            lo[l] = static_cast<uint8_t>(std::max<int>(lo[l], least));
            enqueue(lv.link_end[l][0] == v ? lv.link_end[l][1] : lv.link_end[l][0]);
            enqueue(v);
        }
    }
    looked += seen;
}

inline void hope_test::enter(int p, int l)
{
    disc[p] = low[p] = static_cast<int16_t>(++count);
    next[p] = static_cast<int16_t>(lv.part_links[p]);
    cut[p] = cut_stays[p] = 0;
    works[p] = at[p] >= MINE;
    stays[p] = at[p] == SAFE;
    via[p] = static_cast<int16_t>(l);
    stack[top++] = static_cast<int16_t>(p);
}

// The walk is done with v, entered from the part below it on the stack: a
// link that is the only way into v's piece must be crossed into it (and back
// out when the piece has no tile that stays), and what a field or mine cuts
// off decides where the route can end.
void hope_test::leave(int v)
{
    size[v] = static_cast<int16_t>(count + 1 - disc[v]);
    reached += at[v] >= MINE && v != player;
    if (top == 0)
        return;
    int p = stack[top - 1];
    low[p] = std::min(low[p], low[v]);
    works[p] = static_cast<int16_t>(works[p] + works[v]);
    stays[p] = static_cast<int16_t>(stays[p] + stays[v]);
    if (works[v] == 0 || low[v] < disc[p])
        return;  // nothing to do beyond v, or a way round p
    if (low[v] > disc[p]) {  // the link from p is the only way in
        int l = via[v], least = stays[v] ? 1 : 2;
        if (hi[l] < least) {
            lost = true;
        } else if (lo[l] < least) {
            lo[l] = static_cast<uint8_t>(least);
            enqueue(v);
            enqueue(p);
            raised = true;
        }
    }
    if (at[p] == SAFE)
        return;
    cut[p]++;
    cut_stays[p] = static_cast<int8_t>(cut_stays[p] | (stays[v] > 0));
    if (at[p] == MINE) {
        lost = lost || cut[p] == 3 || (cut[p] == 2 && !cut_stays[p]);
    } else if (cut[p] == 2 || !stays[v]) {
        lost = true;
    } else if (end_in < 0 || (disc[v] >= disc[end_in] && disc[v] < disc[end_in] + size[end_in])) {
        end_in = v;  // inside the piece the end must be in, or the first such piece
    } else if (disc[end_in] < disc[v] || disc[end_in] >= disc[v] + size[v]) {
        lost = true;  // apart from it
    }
}

// A depth-first walk from the player over the links that can still be
// crossed: every field and mine must be reached, the player must be able to
// step off and to end somewhere.
void hope_test::walk()
{
    memset(disc, 0, sizeof(int16_t) * static_cast<size_t>(parts));
    top = count = reached = 0;
    end_in = -1;
    raised = false;
    enter(player, -1);
    while (top > 0 && !lost) {
        int v = stack[top - 1];
        if (next[v] < lv.part_links[v + 1]) {
            int l = lv.link_of[next[v]++];
            looked++;
            if (hi[l] == 0 || l == via[v])
                continue;
            int w = lv.link_end[l][0] == v ? lv.link_end[l][1] : lv.link_end[l][0];
            if (disc[w])
                low[v] = std::min(low[v], disc[w]);
            else
                enter(w, l);
            continue;
        }
        top--;
        leave(v);
        if (top == 0)
            break;
    }
    lost = lost || reached < remaining           // out of reach
           || (at[player] != SAFE && count == 1)  // nowhere to step off to
           || stays[player] == 0;                 // nowhere to end
}

}  // namespace

bool route_hopeless(search_level& lv, const search_state& s)
{
    hope_test t(lv, s);
    t.bound_links();
    t.drop_out_of_reach();
    while (!t.lost) {
        t.settle_sums();
        if (t.lost)
            break;
        t.walk();
        if (t.lost || !t.raised)
            break;
    }
    lv.work += 1 + t.looked / LOOKS_A_UNIT;
    return t.lost;
}

// Steps from destructible i to every cell over the tiles of the beginning
// (cells only get lost, so it is never more than the steps of any later
// state), a teleport taking none.
const int16_t* dist_from(search_level& lv, int i)
{
    int16_t* d = lv.dist[i];
    if (test_bit(lv.dist_known, i))
        return d;
    set_bit(lv.dist_known, i);
    constexpr int16_t FAR = 30000;
    for (int c = 0; c < SEARCH_CELLS; c++)
        d[c] = FAR;
    int16_t ring[SEARCH_CELLS];  // cells by distance: a teleport goes in at the front
    int head = 0, tail = 0, count = 0;
    uint64_t looked = SEARCH_CELLS / 8;
    auto put = [&](int c, int dc, bool front) {
        d[c] = static_cast<int16_t>(dc);
        if (front) {
            head = head == 0 ? SEARCH_CELLS - 1 : head - 1;
            ring[head] = static_cast<int16_t>(c);
        } else {
            ring[tail] = static_cast<int16_t>(c);
            tail = tail + 1 == SEARCH_CELLS ? 0 : tail + 1;
        }
        count++;
    };
    put(lv.dcells[i], 0, false);
    while (count > 0) {
        int c = ring[head];
        head = head + 1 == SEARCH_CELLS ? 0 : head + 1;
        count--;
        for (int k = 0; k < lv.around_count[c]; k++) {
            int m = lv.around[c][k];
            bool jump = k == 4;  // a teleporter's partner, after the four around
            if (lv.kind[m] != KIND_EMPTY && d[c] + !jump < d[m])
                put(m, d[c] + !jump, jump);
        }
        looked += lv.around_count[c];
    }
    lv.work += 1 + looked / LOOKS_A_UNIT;
    return d;
}

// Fields and mines left beyond which the steps to them are not counted.
constexpr int FAR_FEW = 32;
// Fields and mines whose steps to every cell a move of the search works out.
constexpr int NEW_DIST_A_MOVE = 2;

// Steps a route from s needs at least: its fields and mines left, one a
// field and two a mine; and, when they are few, the way to the nearest of
// them, a tree joining them all (a walk through every one of them is such a
// tree) and a step off the last.
int32_t least_steps(search_level& lv, const search_state& s)
{
    int32_t least = search_least_steps(s);
    int16_t left[FAR_FEW];
    int k = 0;
    for (int w = 0; w < SEARCH_WORDS; w++)
        for (uint64_t bits = s.alive[w]; bits; bits &= bits - 1) {
            int i = w * 64 + __builtin_ctzll(bits);
            if (lv.dcells[i] == s.pos)
                continue;  // left with the first step
            if (k == FAR_FEW)
                return least;
            left[k++] = static_cast<int16_t>(i);
        }
    if (k == 0)
        return least;
    // The steps from each of them, a few more at every call, so that no
    // move of the search costs much more than another.
    int unknown = 0;
    for (int j = 0; j < k; j++)
        if (!test_bit(lv.dist_known, left[j]) && unknown++ < NEW_DIST_A_MOVE)
            dist_from(lv, left[j]);
    if (unknown > NEW_DIST_A_MOVE)
        return least;
    // Prim's tree over the fields and mines left, by their steps apart.
    int16_t best[FAR_FEW];  // steps from the tree to each one outside it
    const int16_t* from = dist_from(lv, left[0]);
    int32_t near = from[s.pos], tree = 0;
    for (int j = 1; j < k; j++)
        best[j] = from[lv.dcells[left[j]]];
    for (int n = k - 1; n > 0; n--) {
        int pick = 1;
        for (int j = 2; j <= n; j++)
            pick = best[j] < best[pick] ? j : pick;
        tree += best[pick];
        from = dist_from(lv, left[pick]);
        near = std::min<int32_t>(near, from[s.pos]);
        left[pick] = left[n];  // the last one outside takes its place
        best[pick] = best[n];
        for (int j = 1; j < n; j++)
            best[j] = std::min(best[j], from[lv.dcells[left[j]]]);
    }
    lv.work += static_cast<uint64_t>(k * k / LOOKS_A_UNIT);
    return std::max(least, near + tree + 1);
}

// The table of states seen: open addressing over packed states, each slot
// `words` words of state (never all zero) and one of steps.

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

// The free slot for key in a table of capacity slots at table, or its own.
uint64_t* slot_of(uint64_t* table, size_t capacity, int words, const uint64_t* key)
{
    const size_t stride = static_cast<size_t>(words) + 1;
    size_t at = hash_key(key, words) & (capacity - 1);
    for (;;) {
        uint64_t* slot = table + at * stride;
        if (slot[0] == 0 || memcmp(slot, key, sizeof(uint64_t) * static_cast<size_t>(words)) == 0)
            return slot;
        at = (at + 1) & (capacity - 1);
    }
}

// Moves the table into twice the slots at the other end of the memory;
// false when they do not fit beside it.
bool grow(route_search& r)
{
    const size_t stride = static_cast<size_t>(r.words) + 1;
    const size_t old_words = r.capacity * stride, new_words = 2 * old_words;
    const size_t old_at = static_cast<size_t>(r.table - r.memory);
    if (old_at == 0 ? old_words + new_words > r.memory_words : new_words > old_at)
        return false;
    uint64_t* to = old_at == 0 ? r.memory + (r.memory_words - new_words) : r.memory;
    memset(to, 0, new_words * sizeof(uint64_t));
    for (size_t k = 0; k < r.capacity; k++) {
        const uint64_t* slot = r.table + k * stride;
        if (slot[0] != 0)
            memcpy(slot_of(to, 2 * r.capacity, r.words, slot), slot, stride * sizeof(uint64_t));
    }
    r.level.work += r.capacity / 16;
    r.table = to;
    r.capacity *= 2;
    return true;
}

// The steps s was last tried with, or a free slot to take (*fresh true);
// null when the table is full and cannot grow.
uint64_t* find_slot(route_search& r, const search_state& s, bool* fresh)
{
    uint64_t key[9];
    pack(r, s, key);
    uint64_t* slot = slot_of(r.table, r.capacity, r.words, key);
    *fresh = slot[0] == 0;
    if (*fresh) {
        if (r.used + 1 > r.capacity - r.capacity / 4) {
            if (!grow(r))
                return nullptr;
            slot = slot_of(r.table, r.capacity, r.words, key);
        }
        memcpy(slot, key, sizeof(uint64_t) * static_cast<size_t>(r.words));
        slot[r.words] = 0;
        r.used++;
    }
    return &slot[r.words];
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
        int32_t to = s.pos + DELTA[d];
        if (search_kind_at(r.level, s, to) == KIND_EMPTY && to != r.level.tele_a && to != r.level.tele_b)
            continue;  // a step into space: a fall
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
    r.table = memory;
    r.capacity = r.used = 0;
    r.words = 0;
}

void route_begin(route_search& r, const rules_field& f, int32_t col, int32_t row, int32_t budget,
                 uint64_t work_limit)
{
    search_begin(r.level, f, col, row);
    r.words = (POS_BITS + r.level.dcount + r.level.mines + 63) / 64;
    const size_t stride = static_cast<size_t>(r.words) + 1;
    r.table = r.memory;
    r.capacity = ROUTE_TABLE_FIRST;
    while (r.capacity >= 4 && r.capacity * stride > r.memory_words)
        r.capacity /= 2;
    if (r.capacity >= 4)
        memset(r.table, 0, r.capacity * stride * sizeof(uint64_t));
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
    } else if (r.capacity < 4 || !find_slot(r, root, &fresh)) {
        r.status = ROUTE_GAVE_UP;
    } else if (search_least_steps(root) > budget || route_hopeless(r.level, root) ||
               least_steps(r.level, root) > budget) {
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
        uint64_t* tried = find_slot(r, s, &fresh);
        if (!tried) {
            r.status = ROUTE_GAVE_UP;
            break;
        }
        if (!fresh && *tried <= static_cast<uint64_t>(steps))
            continue;  // tried from there with as many steps left, or more
        if (fresh && route_hopeless(lv, s))
            continue;  // stays at 0 steps: never tried again
        *tried = static_cast<uint64_t>(steps);
        if (steps + least_steps(lv, s) > r.budget)
            continue;  // too far for the steps left
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
