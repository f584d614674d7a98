// levelsim: compares every pair of levels and refuses copies.
//
//   levelsim [--top N] [--stamp FILE] SOURCE.txt...
//
// Prints the N most alike pairs (default 5) with their scores: as drawn and
// walked, and by idea (the walks alone under their best turn or mirror).
// Fails, naming them, when any pair scores the limit or more on either;
// otherwise touches the stamp file (the data build packs the levels only
// after that).
#include "model/levelsrc.h"
#include "similarity.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string base_name(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace

int main(int argc, char** argv)
{
    int top = 5;
    std::string stamp;
    std::vector<std::string> files;
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--top") && i + 1 < argc)
            top = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--stamp") && i + 1 < argc)
            stamp = argv[++i];
        else
            files.push_back(argv[i]);
    }
    if (files.empty()) {
        fprintf(stderr, "usage: levelsim [--top N] [--stamp FILE] SOURCE.txt...\n");
        return 2;
    }
    std::vector<levelsrc::level_source> levels;
    for (const std::string& path : files) {
        std::string text, error;
        levelsrc::level_source src;
        if (!levelsrc::read_file(path, text) || !levelsrc::parse(text, src, error)) {
            fprintf(stderr, "%s:%s\n", path.c_str(), error.empty() ? " cannot read" : error.c_str());
            return 1;
        }
        levels.push_back(src);
    }
    std::vector<levelsrc::alike_pair> pairs = levelsrc::compare_all(levels);
    int copies = 0;
    for (int i = 0; i < int(pairs.size()); i++) {
        const levelsrc::alike_pair& p = pairs[i];
        bool copy = p.how.highest() >= levelsrc::SIMILARITY_LIMIT;
        if (!copy && i >= top)
            break;
        copies += copy;
        fprintf(copy ? stderr : stdout,
                "%s%-9s %-9s score %.2f  layout %.2f  solution %.2f  symmetry %d  idea %.2f  symmetry %d\n",
                copy ? "too alike: " : "", base_name(files[p.a]).c_str(), base_name(files[p.b]).c_str(),
                p.how.score, p.how.layout, p.how.solution, p.how.symmetry, p.how.idea, p.how.idea_symmetry);
    }
    if (copies > 0) {
        fprintf(stderr, "%d pair%s of levels score %.2f or more\n", copies, copies == 1 ? "" : "s",
                levelsrc::SIMILARITY_LIMIT);
        return 1;
    }
    if (!stamp.empty())
        std::ofstream(stamp) << "no two levels are alike\n";
    return 0;
}
