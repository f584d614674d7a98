// Scripted play: a script is a small text of frame numbers and inputs, one a
// line,
//   12 press RETURN      a key press seen by the event reading of frame 12
//   30 hold LEFT         held from frame 30 on (the state reading)
//   40 release LEFT
//   50 click 160 120     a left click at (160, 120) of the 320 x 240 frame
//   60 quit              the window is closed
// '#' starts a comment. Frames count from 1; inputs for frame n are queued at
// the end of frame n - 1, in the order written. Key names: UP DOWN LEFT RIGHT
// RETURN SPACE LSHIFT, a letter or a digit.
#pragma once
#include <SDL.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct play_script {
    std::multimap<int, std::function<void()>> inputs;  // by frame, each queuing its input
    int frame_limit = 20000;  // then the window is closed, whatever the script says
};

// What a scripted run did.
struct play_result {
    int outcome;     // engine_outcome after a level run, else -1
    int lives, score, curr_map;
    int frames;      // frames that ended
    bool quit;       // quit_zarn at the end
    std::vector<std::pair<int, int>> effects;  // (frame, effect) of every effect of play
    // How many times the effect was started.
    int count(int sfx) const;
};

// Plays a solution ("RRDDLU...") on the level init_maps has loaded through
// the real play loop (or through run, which runs it), as a quick player
// would: each move is held from a frame boundary at which the player stands
// until its step has begun. Once the moves are done, clicks close whatever
// screen comes; the window is closed after grace frames more. observe, when
// given, runs first at every frame boundary.
play_result play_moves(const std::string& moves, int grace = 90,
                       const std::function<void(int frame)>& observe = nullptr,
                       const std::function<void()>& run = nullptr);
// Reads script text; a line it cannot read fails the test, naming the line.
play_script script(const std::string& text);
// Runs fn (the play loop, a screen, the game loop) on the virtual clock with
// the script fed at the frame boundaries; the game must be booted.
// observe, when given, runs at every frame boundary with the frames ended.
play_result run_script(const play_script& s, const std::function<void()>& fn,
                       const std::function<void(int frame)>& observe = nullptr);
// Loads the level grid and plays one attempt of it with the real play loop.
play_result play_level(const std::string& level, const play_script& s);
// How the run ended, in one line: "won frames 27 score 122 lives 4 level 2"
// (outcome on, fall, won, time_up, restart, abandon or quit; "-" when no
// level was played).
std::string summary(const play_result& res);
