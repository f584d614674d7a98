// Level sources: the readable text form of a level (title, a 20 x 12 picture
// of its tiles, its solution) and its translation into the 3840-byte level
// format that the game reads. The level compiler, the solver, the game's
// level packs, its editor and its --check read and write levels with it.
#pragma once
#include "model/level.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace levelsrc {

constexpr int ROWS = LEVEL_ROWS;
constexpr int COLS = LEVEL_COLS;

// One source character and the record it stands for.
struct tile_char {
    char ch;
    int32_t type, variant;
    bool start, teleport;
    const char* name;
};

// The legend: every character a level picture may hold.
const std::vector<tile_char>& legend();

struct level_source {
    std::string title;
    std::string idea;       // the designer's note, free text (may be empty)
    std::array<std::string, ROWS> rows;  // ROWS strings of COLS legend characters
    std::string solution;   // moves, each one of U D L R
};

// Parses a source text. On failure returns false and sets error to
// "LINE:COL: what is wrong" (1-based; column 0 when the whole line is meant).
// A level without a solution line passes only when need_solution is false
// (a level the editor saved unproven; the game plays it all the same).
bool parse(const std::string& text, level_source& out, std::string& error, bool need_solution = true);
// The level body: 12 rows of 20 records of four little-endian int32.
std::vector<uint8_t> encode(const level_source& src);
// The source text of a level, in the form parse reads.
std::string format(const level_source& src);
// Reads a whole file; false when it cannot be read.
bool read_file(const std::string& path, std::string& out);
// The lines of a text: '\n' ends a line, a last line without one counts too.
std::vector<std::string> lines_of(const std::string& text);
// s without the spaces, tabs and carriage returns at either end.
std::string trim(const std::string& s);
// The legend character of a cell (0-based row and column), '.' outside.
char cell(const level_source& src, int row, int col);
// How many cells hold ch.
int count(const level_source& src, char ch);

}  // namespace levelsrc
