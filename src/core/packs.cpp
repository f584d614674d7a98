#include "core/packs.h"

#include "core/highscores.h"
#include "core/state.h"
#include "sys/files.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

int32_t playing;
level_pack pack;
record_table pack_records;

namespace {

constexpr size_t FILES_READ = 4 * PACK_LEVELS;  // files of a pack's folder read at most
int32_t sets_maxmap = 48;              // the set's maxmap while a pack or a trial plays
levelsrc::level_source trial_level;    // the editor's level in test play

}  // namespace

std::string packs_folder()
{
    if (!scoresFolder)
        return "packs";
    if (!*scoresFolder)
        return "";
    return std::string(scoresFolder) + "/packs";
}

std::vector<std::string> packs_list()
{
    std::string folder = packs_folder();
    std::vector<std::string> names;
    if (folder.empty())
        return names;
    for (const std::string& n : sys_list_folder(folder.c_str(), true))
        if (pack_plain_name(n))
            names.push_back(n);
    return names;
}

std::string pack_records_path(const std::string& name)
{
    if (scoresFolder && !*scoresFolder)
        return "";
    std::string file = "zarn-pack-" + name + ".rec";
    return scoresFolder ? std::string(scoresFolder) + "/" + file : file;
}

bool pack_open(const std::string& name)
{
    std::string folder = packs_folder();
    if (folder.empty() || !pack_plain_name(name))
        return false;
    folder += "/" + name;
    const std::vector<std::string> packs = packs_list();
    if (std::find(packs.begin(), packs.end(), name) == packs.end())
        return false;
    std::vector<std::string> names = sys_list_folder(folder.c_str(), false);
    std::vector<pack_file> files;
    for (const std::string& n : names) {
        if (n != PACK_INFO && (n.size() < 4 || n.compare(n.size() - 4, 4, ".txt") != 0))
            continue;
        if (files.size() >= FILES_READ)
            break;
        pack_file f;
        f.name = n;
        f.too_large = sys_read_small((folder + "/" + n).c_str(), PACK_FILE_MOST, f.text) == 2;
        files.push_back(std::move(f));
    }
    pack_read(pack, name, files);
    memset(pack_records, 0, sizeof pack_records);
    std::string path = pack_records_path(name);
    std::string bytes;
    if (!path.empty() && sys_read_small(path.c_str(), RECORDS_FILE_BYTES, bytes) == 0) {
        record_table loaded;
        if (records_decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), loaded))
            memcpy(pack_records, loaded, sizeof pack_records);
        else
            printf("%s is damaged: the pack's records start afresh\n", path.c_str());
    }
    return true;
}

int pack_place(int level)
{
    int n = 0;
    for (size_t k = 0; k < pack.levels.size(); k++)
        if (!pack.levels[k].broken && ++n == level)
            return int(k);
    return -1;
}

bool pack_level_open(int level)
{
    if (level == 1)
        return pack_place(1) >= 0;
    int before = pack_place(level - 1);
    return pack_place(level) >= 0 && before >= 0 && (pack_records[1][before].steps > 0 || pack_records[0][before].steps > 0);
}

void pack_start(int level)
{
    if (playing == PLAYING_SETS)
        sets_maxmap = maxmap;
    playing = PLAYING_PACK;
    maxmap = pack_playable(pack);
    curr_map = level;
}

void trial_start(const levelsrc::level_source& src)
{
    if (playing == PLAYING_SETS)
        sets_maxmap = maxmap;
    trial_level = src;
    playing = PLAYING_TRIAL;
    curr_map = 1;
    maxmap = 2;  // never reached: a won test shows no ending
}

void playing_sets()
{
    if (playing != PLAYING_SETS)
        maxmap = sets_maxmap;
    playing = PLAYING_SETS;
}

bool played_level_body(int level, uint8_t* body)
{
    const levelsrc::level_source* src = nullptr;
    if (playing == PLAYING_TRIAL && level == 1)
        src = &trial_level;
    else if (playing == PLAYING_PACK && pack_place(level) >= 0)
        src = &pack.levels[size_t(pack_place(level))].src;
    if (!src)
        return false;
    std::vector<uint8_t> bytes = levelsrc::encode(*src);
    memcpy(body, bytes.data(), bytes.size());
    return true;
}

std::string played_title(int level)
{
    if (playing == PLAYING_TRIAL)
        return trial_level.title;
    if (playing == PLAYING_PACK && pack_place(level) >= 0)
        return pack.levels[size_t(pack_place(level))].src.title;
    return "";
}

bool write_pack_records()
{
    std::string path = pack_records_path(pack.name);
    if (path.empty())
        return true;
    if (scoresFolder && !sys_make_folder(scoresFolder))
        return false;
    uint8_t bytes[RECORDS_FILE_BYTES];
    records_encode(pack_records, bytes);
    return sys_save_file(path.c_str(), bytes, sizeof bytes);
}

bool note_pack_won(int level, int32_t time_left, int32_t steps)
{
    if (playing != PLAYING_PACK || pack_place(level) < 0)
        return true;
    return record_note(pack_records[1][pack_place(level)], time_left, steps < 1 ? 1 : steps) == 0 || write_pack_records();
}

void packs_reset()
{
    playing = PLAYING_SETS;
    sets_maxmap = 48;
    pack = level_pack{};
    memset(pack_records, 0, sizeof pack_records);
}
