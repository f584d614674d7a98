// The shipped level sources and a replay of move strings through the real
// rules, frame by frame, as the play loop runs them.
#pragma once
#include <string>
#include <vector>

#include "levelsrc.h"

struct shipped_level {
    std::string name;  // "zarn-001", "lev001"
    levelsrc::level_source src;
};

// Every level source of a set ("normal" or "classic"), in order.
const std::vector<shipped_level>& shipped(const std::string& set);

struct replay_result {
    bool won = false, fell = false, timed_out = false;
    int time_left = 0;  // on the clock when play ended
    int score = 0;
    int frames = 0;
};

// Loads the level into Map and MapData and plays the moves through the real
// rules: one move whenever the player stands, the clock losing a second on the
// first frame and then every 30 frames, the end checks of every frame.
replay_result replay(const levelsrc::level_source& src, const std::string& moves);
