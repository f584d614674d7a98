#include "model/levelsrc.h"

#include "model/level.h"

#include <cstdio>

namespace levelsrc {

const std::vector<tile_char>& legend()
{
    static const std::vector<tile_char> table = {
        {'.', 0, 0, false, false, "hole"},
        {'o', 1, 1, false, false, "field"},
        {'*', 2, 1, false, false, "mine"},
        {'#', 3, 1, false, false, "solid field"},
        {'|', 4, 1, false, false, "vertical track"},
        {'-', 5, 1, false, false, "horizontal track"},
        {'^', 1, 2, false, false, "pusher up"},
        {'v', 2, 2, false, false, "pusher down"},
        {'<', 3, 2, false, false, "pusher left"},
        {'>', 4, 2, false, false, "pusher right"},
        {'T', 5, 2, false, true, "teleporter"},
        {'S', 3, 1, true, false, "start (a solid field)"},
    };
    return table;
}

static const tile_char* find_tile(char ch)
{
    for (const tile_char& t : legend())
        if (t.ch == ch)
            return &t;
    return nullptr;
}

namespace {

struct parser {
    std::vector<std::string> lines;
    std::string error;

    bool fail(size_t line, size_t col, const std::string& what)
    {
        error = std::to_string(line + 1) + ":" + std::to_string(col) + ": " + what;
        return false;
    }
};

bool blank_or_comment(const std::string& line)
{
    std::string t = trim(line);
    return t.empty() || t[0] == ';';
}

}  // namespace

static bool parse_map(parser& p, size_t& i, level_source& out)
{
    int starts = 0, teleports = 0;
    size_t map_line = i;
    for (int r = 0; r < ROWS; r++) {
        i++;
        if (i >= p.lines.size())
            return p.fail(map_line, 0, "the map has " + std::to_string(r) + " rows, 12 wanted");
        std::string row = p.lines[i];
        if (!row.empty() && row.back() == '\r')
            row.pop_back();
        for (size_t c = 0; c < row.size() && c < size_t(COLS); c++) {
            const tile_char* t = find_tile(row[c]);
            if (!t)
                return p.fail(i, c + 1, std::string("unknown tile '") + row[c] + "'");
            if (t->start && ++starts > 1)
                return p.fail(i, c + 1, "a second start cell");
            if (t->teleport && ++teleports > 2)
                return p.fail(i, c + 1, "a third teleporter (one pair per level)");
        }
        if (row.size() != size_t(COLS))
            return p.fail(i, row.size() < size_t(COLS) ? row.size() + 1 : COLS + 1,
                          "the row has " + std::to_string(row.size()) + " cells, 20 wanted");
        out.rows[r] = row;
    }
    if (starts == 0)
        return p.fail(map_line, 0, "the map has no start cell 'S'");
    if (teleports == 1)
        return p.fail(map_line, 0, "a single teleporter: teleporters come in pairs");
    return true;
}

static bool parse_solution(parser& p, size_t line, size_t col, const std::string& value,
                           std::string& out)
{
    for (size_t k = 0; k < value.size(); k++) {
        char ch = value[k];
        if (ch == 'U' || ch == 'D' || ch == 'L' || ch == 'R')
            out += ch;
        else if (ch != ' ')
            return p.fail(line, col + k, std::string("a move is one of U D L R, not '") + ch + "'");
    }
    if (out.empty())
        return p.fail(line, col, "the solution is empty");
    return true;
}

bool parse(const std::string& text, level_source& out, std::string& error, bool need_solution)
{
    parser p;
    p.lines = lines_of(text);
    out = level_source{};
    bool seen_title = false, seen_idea = false, seen_solution = false, seen_map = false;
    for (size_t i = 0; i < p.lines.size(); i++) {
        const std::string& line = p.lines[i];
        if (blank_or_comment(line))
            continue;
        size_t colon = line.find(':');
        if (colon == std::string::npos) {
            error = std::to_string(i + 1) + ":1: expected 'key: value' (title, idea, solution, map)";
            return false;
        }
        std::string key = trim(line.substr(0, colon));
        size_t vstart = line.find_first_not_of(' ', colon + 1);
        std::string value = trim(line.substr(colon + 1));
        size_t vcol = (vstart == std::string::npos ? line.size() : vstart) + 1;
        bool* seen = key == "title" ? &seen_title : key == "idea" ? &seen_idea
                   : key == "solution" ? &seen_solution : key == "map" ? &seen_map : nullptr;
        if (!seen) {
            error = std::to_string(i + 1) + ":1: unknown key '" + key + "'";
            return false;
        }
        if (*seen) {
            error = std::to_string(i + 1) + ":1: '" + key + "' given twice";
            return false;
        }
        *seen = true;
        bool ok = true;
        if (key == "title") {
            out.title = value;
            if (value.empty())
                ok = p.fail(i, vcol, "the title is empty");
        } else if (key == "idea") {
            out.idea = value;
        } else if (key == "solution") {
            ok = parse_solution(p, i, vcol, line.substr(vcol - 1), out.solution);
        } else {
            if (!value.empty())
                ok = p.fail(i, vcol, "the map starts on the line after 'map:'");
            else
                ok = parse_map(p, i, out);
        }
        if (!ok) {
            error = p.error;
            return false;
        }
    }
    const char* missing = !seen_title ? "title" : !seen_map ? "map"
                        : !seen_solution && need_solution ? "solution" : nullptr;
    if (missing) {
        error = std::to_string(p.lines.size() + 1) + ":0: no '" + missing + ":' in the level";
        return false;
    }
    return true;
}

std::vector<uint8_t> encode(const level_source& src)
{
    std::vector<uint8_t> body(LEVEL_BYTES, 0);
    for (int r = 0; r < ROWS; r++) {
        for (int c = 0; c < COLS; c++) {
            const std::string& row = src.rows[r];
            const tile_char* t = c < int(row.size()) ? find_tile(row[c]) : nullptr;
            if (!t)
                t = &legend()[0];  // what parse never lets through is a hole
            level_put_record(body.data(), c + 1, r + 1, {t->start ? 1 : 0, t->type, t->variant, t->teleport ? 1 : 0});
        }
    }
    return body;
}

std::string format(const level_source& src)
{
    std::string s = "title: " + src.title + "\n";
    if (!src.idea.empty())
        s += "idea: " + src.idea + "\n";
    if (!src.solution.empty())
        s += "solution: " + src.solution + "\n";
    s += "map:\n";
    for (const std::string& row : src.rows)
        s += row + "\n";
    return s;
}

char cell(const level_source& src, int row, int col)
{
    if (row < 0 || row >= ROWS || col < 0 || col >= int(src.rows[size_t(row)].size()))
        return '.';
    return src.rows[size_t(row)][size_t(col)];
}

int count(const level_source& src, char ch)
{
    int n = 0;
    for (const std::string& row : src.rows)
        for (char c : row)
            n += c == ch;
    return n;
}

bool read_file(const std::string& path, std::string& out)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    out.clear();
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;)
        out.append(buf, n);
    bool good = !ferror(f);
    fclose(f);
    return good;
}

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

std::string trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return "";
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

}  // namespace levelsrc
