// Scripted play, recorded and replayed: a script is a small text file of
// frame numbers and inputs, one a line,
//   12 press RETURN      a key press seen by the event reading of frame 12
//   30 hold LEFT         held from frame 30 on (the state reading)
//   40 release LEFT
//   50 click 160 120     a left click at (160, 120) of the 320 x 240 frame
//   60 quit              the window is closed
//   level .So*#.         a row of the level (see level_text.h), in order
//   expect score 122     what a replay must end with: outcome (won, fall,
//                        time_up, restart, abandon, quit), score, lives,
//                        curr_map or frames
// '#' starts a comment. Frames count from 1; inputs for frame n are queued at
// the end of frame n - 1. Key names: UP DOWN LEFT RIGHT RETURN SPACE ESCAPE
// LSHIFT RSHIFT, a letter or digit, or an SDL key name ("left shift").
#pragma once
#include <SDL.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

struct script_step {
    enum kind { PRESS, HOLD, RELEASE, CLICK, QUIT } what;
    int frame;
    SDLKey key;
    int x, y;
};

struct play_script {
    std::vector<script_step> steps;  // in frame order
    std::string level;               // the level rows, when the file has them
    std::vector<std::pair<std::string, int>> expect;  // what the run must end with
    int frame_limit = 20000;         // then the window is closed, whatever the script says
};

// What a scripted run did.
struct play_result {
    int outcome;     // engine_outcome after a level run, else -1
    int lives, score, curr_map;
    int frames;      // frames that ended
    bool quit;       // quit_zarn at the end
    bool cut_off;    // the frame limit closed the window
    std::vector<std::pair<int, int>> effects;  // (frame, effect) of every effect of play
    // How many times the effect was started.
    int count(int sfx) const;
};

// Parses script text; false with a message naming the line on a bad line.
bool parse_script(const std::string& text, play_script& out, std::string* error = nullptr);
// Reads and parses a script file.
bool load_script(const std::string& path, play_script& out, std::string* error = nullptr);
// The script as text that parse_script reads back the same.
std::string format_script(const play_script& s);
// Writes format_script to a file (to keep a failing case for replay).
bool save_script(const std::string& path, const play_script& s);
// The key symbol of a name, or SDLK_UNKNOWN.
SDLKey key_by_name(const std::string& name);

// Runs fn (the play loop, a screen, the game loop) on the virtual clock with
// the script fed at the frame boundaries; the game must be booted.
// observe, when given, runs at every frame boundary with the frames ended.
play_result run_script(const play_script& s, const std::function<void()>& fn,
                       const std::function<void(int frame)>& observe = nullptr);
// True when the input module reads held keys (not a placeholder).
bool input_reads_keys();
// Loads the level grid (the script's own when level is empty) and plays one
// attempt of it with the real play loop.
play_result play_level(const std::string& level, const play_script& s);
// The expectations of the script that the result does not meet, one a line;
// empty when all hold.
std::string unmet_expectations(const play_script& s, const play_result& res);
// Plays moves (U, D, L, R; other characters are skipped) on the level in Map
// through the real play loop, as a quick player would: each move is held from
// a frame boundary at which the player stands until its step has begun. Once
// the moves are done, clicks close whatever screen comes; the window is
// closed after grace frames more.
play_result play_moves(const std::string& moves, int grace = 90);
// Builds a script in code: "5 hold RIGHT\n20 release RIGHT" and so on.
play_script script(const std::string& text);
