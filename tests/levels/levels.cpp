#include "levels.h"

#include <gtest/gtest.h>

#include "config/input.h"
#include "core/level.h"
#include "core/rules.h"
#include "core/state.h"
#include "solver.h"

#include <dirent.h>

#include <algorithm>
#include <map>

const std::vector<shipped_level>& shipped(const std::string& set)
{
    static std::map<std::string, std::vector<shipped_level>> cache;
    auto it = cache.find(set);
    if (it != cache.end())
        return it->second;
    std::vector<shipped_level>& levels = cache[set];
    std::string dir = std::string(ZARN_LEVEL_SOURCES) + "/" + set;
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n.size() > 4 && n.compare(n.size() - 4, 4, ".txt") == 0)
                names.push_back(n);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    for (const std::string& n : names) {
        shipped_level l;
        l.name = n.substr(0, n.size() - 4);
        std::string text, error;
        if (levelsrc::read_file(dir + "/" + n, text) && levelsrc::parse(text, l.src, error))
            levels.push_back(l);
        else
            ADD_FAILURE_AT(n.c_str(), 0) << error;
    }
    return levels;
}

replay_result replay(const levelsrc::level_source& src, const std::string& moves)
{
    Player = player_record{};
    solver::from_source(src);
    play_state s;
    rules_start(s);
    replay_result r;
    size_t next = 0;
    int idle = 0;
    for (int frame = 1; idle < 60; frame++) {
        if (frame == 1 || (frame - 1) % 30 == 0)
            MapData.time_left--;
        int32_t wanted = 0;
        if (s.move_state == 0 && next < moves.size()) {
            constexpr int32_t bit[4] = {CTRL_UP, CTRL_DOWN, CTRL_LEFT, CTRL_RIGHT};
            wanted = bit[std::string("UDLR").find(moves[next++])];
        }
        if (next >= moves.size() && s.move_state == 0 && wanted == 0)
            idle++;
        rules_move(s, wanted);
        rules_resolve();
        r.frames = frame;
        r.time_left = MapData.time_left;
        r.score = Player.score;
        if (s.move_state == 0 && Map[s.player_row][s.player_col].kind == KIND_EMPTY) {
            r.fell = true;
            break;
        }
        if (s.move_state == 0 && MapData.fields_left == 0) {
            r.won = true;
            break;
        }
        if (MapData.time_left == 0) {
            r.timed_out = true;
            break;
        }
    }
    return r;
}
