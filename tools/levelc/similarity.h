// How alike two levels are: their pictures under every mirror, turn and shift
// of the grid, and their solutions read through the same mirror or turn; and,
// apart, how alike their ideas are: the solutions alone under the mirror or
// turn that makes them most alike, wherever the tiles lie. The data build
// refuses a pair that scores SIMILARITY_LIMIT or more on either, so neither a
// copy of a level (moved, mirrored, turned or with its tiles swapped) nor the
// same walk drawn again comes into the sets.
#pragma once
#include <string>
#include <vector>

namespace levelsrc {

struct level_source;

// A score at or above this marks two levels as copies of each other.
constexpr double SIMILARITY_LIMIT = 0.75;

// The likeness of two levels under the one symmetry of the grid that makes
// them most alike.
struct likeness {
    double score = 0;     // (layout + solution) / 2
    double layout = 0;    // occupied cells in common / occupied in either, best shift
    double solution = 0;  // the better of the move strings' and their turn sequences' edit ratios
    int symmetry = 0;     // 0 as drawn, 1-3 turned a quarter at a time, 4-7 the same mirrored
    double idea = 0;      // the edit ratio of the move strings under their own best symmetry
    int idea_symmetry = 0;

    double highest() const { return score > idea ? score : idea; }
};

// Compares two levels under all 8 symmetries and every shift.
likeness compare(const level_source& a, const level_source& b);
// 1 - edit distance / length of the longer string (1 for two empty strings).
double edit_ratio(const std::string& a, const std::string& b);

// Two levels of a list and how alike they are.
struct alike_pair {
    int a = 0, b = 0;  // indices into the list, a < b
    likeness how;
};

// Every pair of the list, most alike first (by the higher of score and idea).
std::vector<alike_pair> compare_all(const std::vector<level_source>& levels);

}  // namespace levelsrc
