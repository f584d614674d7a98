#include "model/pack.h"

#include <algorithm>

namespace {

constexpr size_t NAME_MOST = 128;

bool is_level_file(const std::string& name)
{
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".txt") == 0 && name != PACK_INFO;
}

// pack.txt: title, author and the order; what it gets wrong goes to the notes.
void read_info(level_pack& out, const pack_file& info, std::vector<std::string>& order)
{
    if (info.too_large) {
        out.notes.push_back(std::string(PACK_INFO) + ": too large, not read");
        return;
    }
    int line_no = 0;
    for (const std::string& line : levelsrc::lines_of(info.text)) {
        line_no++;
        std::string t = levelsrc::trim(line);
        if (t.empty() || t[0] == ';')
            continue;
        size_t colon = t.find(':');
        std::string key = colon == std::string::npos ? "" : levelsrc::trim(t.substr(0, colon));
        std::string value = colon == std::string::npos ? "" : levelsrc::trim(t.substr(colon + 1));
        if (key == "title") {
            out.title = value.substr(0, NAME_MOST);
        } else if (key == "author") {
            out.author = value.substr(0, NAME_MOST);
        } else if (key == "order") {
            for (size_t at = value.find_first_not_of(" \t"); at != std::string::npos;) {
                size_t end = value.find_first_of(" \t", at);
                order.push_back(value.substr(at, end == std::string::npos ? std::string::npos : end - at));
                at = end == std::string::npos ? end : value.find_first_not_of(" \t", end);
            }
        } else {
            out.notes.push_back(std::string(PACK_INFO) + ":" + std::to_string(line_no) + ": not title, author or order");
        }
    }
}

void add_level(level_pack& out, const std::string& file, const pack_file* f)
{
    if (int(out.levels.size()) >= PACK_LEVELS) {
        if (int(out.levels.size()) == PACK_LEVELS && out.notes.size() < 100)
            out.notes.push_back("more than " + std::to_string(PACK_LEVELS) + " levels: " + file + " and after left out");
        out.levels.push_back({});  // counted once, dropped below
        return;
    }
    pack_level lv;
    lv.file = file;
    std::string error;
    if (!f) {
        lv.broken = true;
        lv.error = file + ": missing";
    } else if (f->too_large) {
        lv.broken = true;
        lv.error = file + ": too large";
    } else if (!levelsrc::parse(f->text, lv.src, error, false)) {
        lv.broken = true;
        lv.error = file + ":" + error;
        lv.src = levelsrc::level_source{};
    }
    out.levels.push_back(std::move(lv));
}

}  // namespace

bool pack_plain_name(const std::string& name)
{
    if (name.empty() || name.size() > NAME_MOST || name[0] == '.')
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) { return c > ' ' - 1 && c < 127 && c != '/'; });
}

void pack_read(level_pack& out, const std::string& name, const std::vector<pack_file>& files)
{
    out = level_pack{};
    out.name = name;
    std::vector<const pack_file*> levels;
    std::vector<std::string> order;
    for (const pack_file& f : files) {
        if (!pack_plain_name(f.name))
            continue;
        if (f.name == PACK_INFO)
            read_info(out, f, order);
        else if (is_level_file(f.name))
            levels.push_back(&f);
    }
    std::sort(levels.begin(), levels.end(), [](const pack_file* a, const pack_file* b) { return a->name < b->name; });
    std::vector<bool> placed(levels.size(), false);
    for (const std::string& n : order) {
        auto at = std::find_if(levels.begin(), levels.end(), [&](const pack_file* f) { return f->name == n; });
        size_t k = size_t(at - levels.begin());
        if (at != levels.end() && placed[k])
            continue;  // named twice: it plays once, in its first place
        if (at != levels.end())
            placed[k] = true;
        if (!pack_plain_name(n) || n == PACK_INFO)
            out.notes.push_back(std::string(PACK_INFO) + ": '" + n.substr(0, NAME_MOST) + "' is no level file");
        else
            add_level(out, n, at != levels.end() ? *at : nullptr);
    }
    for (size_t k = 0; k < levels.size(); k++)
        if (!placed[k])
            add_level(out, levels[k]->name, levels[k]);
    if (int(out.levels.size()) > PACK_LEVELS)
        out.levels.resize(PACK_LEVELS);
    if (out.title.empty())
        out.title = name;
}

int pack_playable(const level_pack& p)
{
    return int(std::count_if(p.levels.begin(), p.levels.end(), [](const pack_level& l) { return !l.broken; }));
}
