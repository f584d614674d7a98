#include "similarity.h"

#include "model/levelsrc.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdint>

namespace levelsrc {

namespace {

constexpr int SYMMETRIES = 8;
constexpr int TURNS_TELLING = 16;
constexpr int MOVES_TELLING = 24;  // a walk of fewer moves tells its idea in part
constexpr int SIDE = COLS > ROWS ? COLS : ROWS;  // a turned level is at most this wide and high

// x' = m[0] x + m[1] y, y' = m[2] x + m[3] y: the four turns, then the four mirrors.
constexpr int MATRIX[SYMMETRIES][4] = {
    {1, 0, 0, 1}, {0, -1, 1, 0}, {-1, 0, 0, -1}, {0, 1, -1, 0},
    {-1, 0, 0, 1}, {0, 1, 1, 0}, {1, 0, 0, -1}, {0, -1, -1, 0},
};

// A level's occupied cells under one symmetry, moved to the top left corner.
struct shape {
    std::array<uint32_t, SIDE> rows{};  // bit x of rows[y]: cell (x, y) holds a tile
    int width = 0, height = 0, cells = 0;
};

// What is compared of a level under one symmetry.
struct view {
    shape cells;
    std::string moves;  // the solution with every move turned likewise
    std::string turns;  // the same with runs of one move written once
};

char turn_move(char move, const int* m)
{
    int dx = move == 'L' ? -1 : move == 'R' ? 1 : 0;
    int dy = move == 'U' ? -1 : move == 'D' ? 1 : 0;
    int x = m[0] * dx + m[1] * dy, y = m[2] * dx + m[3] * dy;
    return x < 0 ? 'L' : x > 0 ? 'R' : y < 0 ? 'U' : 'D';
}

view view_of(const level_source& src, int symmetry)
{
    const int* m = MATRIX[symmetry];
    view v;
    int min_x = SIDE, min_y = SIDE;
    std::vector<std::pair<int, int>> at;
    for (int y = 0; y < ROWS; y++) {
        for (int x = 0; x < COLS; x++) {
            if (src.rows[y][x] == '.')
                continue;
            int tx = m[0] * x + m[1] * y, ty = m[2] * x + m[3] * y;
            at.push_back({tx, ty});
            min_x = std::min(min_x, tx);
            min_y = std::min(min_y, ty);
        }
    }
    for (auto [x, y] : at) {
        v.cells.rows[y - min_y] |= uint32_t(1) << (x - min_x);
        v.cells.width = std::max(v.cells.width, x - min_x + 1);
        v.cells.height = std::max(v.cells.height, y - min_y + 1);
    }
    v.cells.cells = int(at.size());
    for (char move : src.solution) {
        char t = turn_move(move, m);
        v.moves += t;
        if (v.turns.empty() || v.turns.back() != t)
            v.turns += t;
    }
    return v;
}

// Occupied cells in common over occupied cells in either, at the best shift.
double layout_likeness(const shape& a, const shape& b)
{
    int best = 0;
    for (int dy = 1 - b.height; dy < a.height; dy++) {
        for (int dx = 1 - b.width; dx < a.width; dx++) {
            int common = 0;
            for (int y = std::max(0, dy); y < std::min(a.height, b.height + dy); y++) {
                uint32_t row = dx >= 0 ? b.rows[y - dy] << dx : b.rows[y - dy] >> -dx;
                common += int(std::bitset<32>(a.rows[y] & row).count());
            }
            best = std::max(best, common);
        }
    }
    int either = a.cells + b.cells - best;
    return either > 0 ? double(best) / either : 1.0;
}

likeness compare_views(const view& a, const std::array<view, SYMMETRIES>& b)
{
    likeness best;
    for (int s = 0; s < SYMMETRIES; s++) {
        likeness l;
        l.symmetry = s;
        l.layout = layout_likeness(a.cells, b[s].cells);
        // A walk of few turns says little: its turns count in full from TURNS_TELLING on.
        double told = std::min(1.0, double(std::min(a.turns.size(), b[s].turns.size())) / TURNS_TELLING);
        l.solution = std::max(edit_ratio(a.moves, b[s].moves), told * edit_ratio(a.turns, b[s].turns));
        l.score = (l.layout + l.solution) / 2;
        if (s == 0 || l.score > best.score)
            best = l;
    }
    // The idea: the walks alone, under whichever symmetry brings them closest.
    double told = std::min(1.0, double(std::min(a.moves.size(), b[0].moves.size())) / MOVES_TELLING);
    for (int s = 0; s < SYMMETRIES; s++) {
        double idea = told * edit_ratio(a.moves, b[s].moves);
        if (idea > best.idea) {
            best.idea = idea;
            best.idea_symmetry = s;
        }
    }
    return best;
}

std::array<view, SYMMETRIES> views_of(const level_source& src)
{
    std::array<view, SYMMETRIES> v;
    for (int s = 0; s < SYMMETRIES; s++)
        v[s] = view_of(src, s);
    return v;
}

}  // namespace

double edit_ratio(const std::string& a, const std::string& b)
{
    size_t longer = std::max(a.size(), b.size());
    if (longer == 0)
        return 1.0;
    std::vector<int> prev(b.size() + 1), cur(b.size() + 1);
    for (size_t j = 0; j <= b.size(); j++)
        prev[j] = int(j);
    for (size_t i = 1; i <= a.size(); i++) {
        cur[0] = int(i);
        for (size_t j = 1; j <= b.size(); j++)
            cur[j] = std::min({prev[j] + 1, cur[j - 1] + 1, prev[j - 1] + (a[i - 1] != b[j - 1])});
        std::swap(prev, cur);
    }
    return 1.0 - double(prev[b.size()]) / double(longer);
}

likeness compare(const level_source& a, const level_source& b)
{
    return compare_views(view_of(a, 0), views_of(b));
}

std::vector<alike_pair> compare_all(const std::vector<level_source>& levels)
{
    std::vector<std::array<view, SYMMETRIES>> views;
    for (const level_source& src : levels)
        views.push_back(views_of(src));
    std::vector<alike_pair> pairs;
    for (int a = 0; a < int(levels.size()); a++)
        for (int b = a + 1; b < int(levels.size()); b++)
            pairs.push_back({a, b, compare_views(views[a][0], views[b])});
    std::stable_sort(pairs.begin(), pairs.end(),
                     [](const alike_pair& x, const alike_pair& y) { return x.how.highest() > y.how.highest(); });
    return pairs;
}

}  // namespace levelsrc
