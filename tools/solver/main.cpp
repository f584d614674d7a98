// solver: proves levels solvable, finds their shortest solutions and measures
// their difficulty.
//
//   solver [--time SECONDS] [--write] [--table FILE.md] [--suggest] [--check STAMP] SOURCE.txt...
//
// Each level's line tells, besides the search's measures, the share of the
// stored solution's moves that offer a real choice, its longest stretch
// without one and the seconds to spare at the fastest.
// --write puts the shortest solution found into each source's "solution:" line.
// --table writes the table of all levels given (markdown).
// --suggest lists, for a level that cannot be won, the one-cell changes (a
// field made a mine or a solid field, a hole made a field) that make it winnable.
// --check holds the sets given (files named after their entries) to the
// limits below and, when they keep them, writes the levels' lines into STAMP
// instead of printing them; the data build packs the levels only after that.
#include "levelsrc.h"
#include "similarity.h"
#include "solver.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct row {
    std::string name, title;
    levelsrc::level_source src;
    solver::level lv;
    solver::report rep;
    solver::choices walk;  // of the stored solution
    bool stored_ok = false;

    int spare() const { return lv.time_limit - rep.seconds; }
    int choice_percent() const { return walk.moves ? (200 * walk.open + walk.moves) / (2 * walk.moves) : 0; }
};

// What the sets are held to. Levels past the first few of a set never walk
// long without a choice; the clock leaves a person room in the first dozen
// and everywhere, and bites in a third of the late normal levels.
constexpr int FREE_LEVELS = 5;    // the first levels of a set may walk without choices
constexpr int MOST_FORCED = 20;   // moves in a row without a real choice, after them
constexpr int EARLY_LEVELS = 12;  // the first dozen of a set ...
constexpr int EARLY_SPARE = 12;   // ... leave this many seconds at the fastest
constexpr int LEAST_SPARE = 10;   // and every level at least this many
constexpr int LATE_FROM = 25;     // from this level of the normal set on ...
constexpr int TIGHT_SPARE = 15;   // ... a third of the levels leave fewer seconds than this

// The level's number in its set, and whether the set is the classic one, from
// its entry name (zarn-NNN, levNNN); 0 for another name.
int level_number(const std::string& name, bool& classic)
{
    classic = name.rfind("lev", 0) == 0;
    if (!classic && name.rfind("zarn-", 0) != 0)
        return 0;
    return atoi(name.c_str() + (classic ? 3 : 5));
}

// Every limit a set breaks, one line each.
std::vector<std::string> check_limits(const std::vector<row>& rows)
{
    std::vector<std::string> broken;
    char line[160];
    auto say = [&](const char* fmt, auto... args) {
        snprintf(line, sizeof line, fmt, args...);
        broken.push_back(line);
    };
    int late = 0, late_tight = 0;
    int quarter_moves[4] = {}, quarter_open[4] = {};
    int normal_count = 0;
    for (const row& r : rows) {
        bool classic = false;
        normal_count += level_number(r.name, classic) > 0 && !classic;
    }
    for (const row& r : rows) {
        bool classic = false;
        const int n = level_number(r.name, classic);
        if (n == 0)
            continue;
        if (!r.rep.solved || !r.rep.complete)
            say("%s: the search did not prove it winnable in time", r.name.c_str());
        if (!r.stored_ok)
            say("%s: its stored solution does not win", r.name.c_str());
        if (n > FREE_LEVELS && r.walk.longest_forced > MOST_FORCED)
            say("%s: %d moves without a real choice from move %d (at most %d)", r.name.c_str(),
                r.walk.longest_forced, r.walk.forced_from + 1, MOST_FORCED);
        const int least = n <= EARLY_LEVELS ? EARLY_SPARE : LEAST_SPARE;
        if (r.spare() < least)
            say("%s: %d s to spare at the fastest (at least %d)", r.name.c_str(), r.spare(), least);
        if (classic)
            continue;
        if (n >= LATE_FROM) {
            late++;
            late_tight += r.spare() < TIGHT_SPARE;
        }
        if (normal_count >= 4) {
            const int q = std::min(3, (n - 1) / (normal_count / 4));
            quarter_moves[q] += r.walk.moves;
            quarter_open[q] += r.walk.open;
        }
    }
    if (3 * late_tight < late)
        say("normal levels %d on: %d of %d leave under %d s at the fastest (at least a third)", LATE_FROM, late_tight,
            late, TIGHT_SPARE);
    // The third quarter of the normal set offers choices at least as often as the second.
    if (quarter_moves[1] > 0 && quarter_moves[2] > 0 &&
        int64_t(quarter_open[2]) * quarter_moves[1] < int64_t(quarter_open[1]) * quarter_moves[2])
        say("normal set: the third quarter offers a choice at %.1f %% of its moves, the second at %.1f %%",
            100.0 * quarter_open[2] / quarter_moves[2], 100.0 * quarter_open[1] / quarter_moves[1]);
    return broken;
}

bool write_solution(const std::string& path, const std::string& text, const std::string& moves)
{
    std::string out;
    size_t at = 0;
    bool done = false;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (!done && line.rfind("solution:", 0) == 0) {
            line = "solution: " + moves;
            done = true;
        }
        out += line + "\n";
        at = end == std::string::npos ? text.size() : end + 1;
    }
    std::ofstream f(path, std::ios::binary);
    f << out;
    return done && bool(f);
}

std::string base_name(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

void write_table(const std::string& path, const std::vector<row>& rows)
{
    std::vector<levelsrc::level_source> sources;
    for (const row& r : rows)
        sources.push_back(r.src);
    std::vector<levelsrc::alike_pair> pairs = levelsrc::compare_all(sources);
    std::vector<const levelsrc::alike_pair*> closest(rows.size(), nullptr);  // pairs come most alike first
    for (const levelsrc::alike_pair& p : pairs)
        for (int i : {p.a, p.b})
            if (!closest[size_t(i)])
                closest[size_t(i)] = &p;
    std::ofstream f(path);
    f << "# The levels by the solver's measure\n\n"
         "Generated by `solver --table`. Tiles: M mine crossed, S solid field rested on, R track,\n"
         "P pusher, T teleporter. Steps include pushes; seconds = what the solution needs (the first\n"
         "frame costs one); spare = limit - seconds, at the fastest. Choices = the share of the stored\n"
         "solution's moves at which another move does not step into space at once (it still wins, or\n"
         "looks safe and is not); forced = its longest run of moves without one. Solutions = distinct\n"
         "orders of crossing (capped at 1000000); states = positions the full search visited; traps =\n"
         "wrong turns along the solution that make the level unwinnable; lose1 = losing first moves.\n"
         "Difficulty = log2(states) + traps + 2 lose1. Closest = the most alike other level and how\n"
         "alike: the higher of two likenesses. One is the mean of the occupied cells in common (over those\n"
         "in either, at the best shift) and the likeness of the solutions (edit ratio of the moves or of\n"
         "their turns), under the mirror or turn of the grid that makes the two most alike; the other, the\n"
         "idea, is the edit ratio of the solutions' moves alone under their own best mirror or turn (a\n"
         "solution of fewer than 24 moves counts in part). The data build refuses a pair at "
      << levelsrc::SIMILARITY_LIMIT
      << " or more on\neither (`levelsim`).\n\n"
         "| level | title | tiles | fields | mines | limit | moves | steps | seconds | spare | choices | forced "
         "| solutions | states | traps | lose1 | difficulty | closest |\n"
         "|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n";
    char alike[64] = "-";
    for (size_t i = 0; i < rows.size(); i++) {
        const row& r = rows[i];
        if (const levelsrc::alike_pair* p = closest[i])
            snprintf(alike, sizeof alike, "%s %.2f", rows[size_t(p->a) == i ? p->b : p->a].name.c_str(),
                     p->how.worst());
        f << "| " << r.name << " | " << r.title << " | " << solver::special_letters(r.rep.specials) << " | "
          << r.lv.fields << " | " << r.lv.mines << " | " << r.lv.time_limit << " | " << r.rep.solution.size()
          << " | " << r.rep.steps << " | " << r.rep.seconds << " | " << r.spare() << " | " << r.choice_percent()
          << " % | " << r.walk.longest_forced << " | "
          << r.rep.solutions << " | " << r.rep.states << " | " << r.rep.traps << " | " << r.rep.losing_first
          << " | " << r.rep.difficulty << " | " << alike << " |\n";
    }
    if (!pairs.empty()) {
        const levelsrc::alike_pair& top = pairs.front();
        snprintf(alike, sizeof alike, "%.2f (layout %.2f, solution %.2f, idea %.2f)", top.how.worst(),
                 top.how.layout, top.how.solution, top.how.idea);
        f << "\nMost alike pair: " << rows[size_t(top.a)].name << " and " << rows[size_t(top.b)].name << ", " << alike
          << ".\n";
    }
}

// Tries every one-cell change of an unwinnable level and prints those that
// make it winnable, hardest first.
void suggest(const levelsrc::level_source& src)
{
    struct change {
        int difficulty, row, col;
        char from, to;
    };
    std::vector<change> found;
    for (int r = 0; r < levelsrc::ROWS; r++) {
        for (int c = 0; c < levelsrc::COLS; c++) {
            char here = src.rows[r][c];
            const char* tries = here == 'o' ? "*#" : here == '*' ? "o#" : here == '.' ? "o" : "";
            for (const char* t = tries; *t; t++) {
                levelsrc::level_source edit = src;
                edit.rows[r][c] = *t;
                solver::level lv = solver::from_source(edit);
                solver::report rep = solver::solve(lv, 0.5);
                if (rep.solved)
                    found.push_back({rep.difficulty, r, c, here, *t});
            }
        }
    }
    std::sort(found.begin(), found.end(), [](const change& a, const change& b) { return a.difficulty > b.difficulty; });
    for (const change& ch : found)
        printf("  row %2d col %2d: '%c' -> '%c'  difficulty %d\n", ch.row + 1, ch.col + 1, ch.from, ch.to, ch.difficulty);
}

}  // namespace

int main(int argc, char** argv)
{
    double seconds = 20;
    bool write = false, want_suggestions = false;
    std::string table, stamp;
    bool check_sets = false;
    std::vector<std::string> files;
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--time") && i + 1 < argc)
            seconds = atof(argv[++i]);
        else if (!strcmp(argv[i], "--suggest"))
            want_suggestions = true;
        else if (!strcmp(argv[i], "--write"))
            write = true;
        else if (!strcmp(argv[i], "--table") && i + 1 < argc)
            table = argv[++i];
        else if (!strcmp(argv[i], "--check") && i + 1 < argc) {
            check_sets = true;
            stamp = argv[++i];
        }
        else
            files.push_back(argv[i]);
    }
    if (files.empty()) {
        fprintf(stderr, "usage: solver [--time SECONDS] [--write] [--table FILE.md] [--suggest] [--check STAMP] "
                        "SOURCE.txt...\n");
        return 2;
    }
    int status = 0;
    std::vector<row> rows;
    std::string report;
    for (const std::string& path : files) {
        std::string text, error;
        levelsrc::level_source src;
        if (!levelsrc::read_file(path, text) || !levelsrc::parse(text, src, error)) {
            fprintf(stderr, "%s:%s\n", path.c_str(), error.empty() ? " cannot read" : error.c_str());
            status = 1;
            continue;
        }
        row r;
        r.name = base_name(path);
        r.title = src.title;
        r.src = src;
        r.lv = solver::from_source(src);
        r.rep = solver::solve(r.lv, seconds);
        if (write && r.rep.solved && src.solution != r.rep.solution) {
            int old_steps = 0;
            bool old_ok = solver::check(r.lv, src.solution, &old_steps);
            if ((!old_ok || old_steps > r.rep.steps) && write_solution(path, text, r.rep.solution))
                r.src.solution = src.solution = r.rep.solution;
        }
        r.stored_ok = solver::check(r.lv, src.solution);
        r.walk = solver::weigh_choices(r.lv, src.solution);
        const solver::report& p = r.rep;
        char line[320];
        snprintf(line, sizeof line,
                 "%-9s %-24s %s%s f%3d m%2d limit %2d  steps %3d (%2ds, spare %2d)  choice %3d%% forced %3d at %3d"
                 "  sol %7llu  states %8llu  traps %3d lose1 %d  diff %3d  [%s]%s\n",
                 r.name.c_str(), src.title.c_str(), p.solved ? "" : "UNSOLVED ", p.complete ? "" : "(incomplete) ",
                 r.lv.fields, r.lv.mines, r.lv.time_limit, p.steps, p.seconds, r.spare(), r.choice_percent(),
                 r.walk.longest_forced, r.walk.forced_from + 1, (unsigned long long)p.solutions,
                 (unsigned long long)p.states, p.traps, p.losing_first, p.difficulty,
                 solver::special_letters(p.specials).c_str(), r.stored_ok ? "" : "  stored solution fails");
        report += line;
        if (!check_sets)
            fputs(line, stdout);
        if (!p.solved || !p.complete)
            status = 1;
        if (!p.solved && want_suggestions)
            suggest(src);
        fflush(stdout);
        rows.push_back(r);
    }
    if (!table.empty())
        write_table(table, rows);
    if (check_sets) {
        std::vector<std::string> broken = check_limits(rows);
        for (const std::string& line : broken)
            fprintf(stderr, "%s\n", line.c_str());
        if (!broken.empty())
            status = 1;
        else if (status == 0)
            std::ofstream(stamp) << report;
    }
    return status;
}
