// The shared game state: the globals through which the menu, the password
// screen, the pause menu, the play loop and the high-score screens hand a game
// to one another.
#pragma once
#include <cstdint>

// The running game. The field order is fixed.
struct player_record {
    int32_t score;        // points of the running game
    int32_t lives;        // lives left
    int32_t perfect;      // 1 while no fall since the last won level
    int32_t bonus_lives;  // extra lives for the next game start
    int32_t life_refund;  // given back whenever a life is lost
    int32_t time_bonus;   // seconds added to every level's time limit
};

constexpr int PW_COUNT = 64;          // level passwords
constexpr int32_t SCORE_CAP = 99999;  // points are added only while the score is at most this

extern player_record Player;         // the running game
extern int32_t curr_map;             // current level number, 1-based
extern int32_t maxmap;               // levels in the set being played
extern int32_t classic_mode;         // 1 while the classic set is played
extern int32_t cont;                 // 0 menu, 1 continue, 2 restart the level
extern int32_t fin;                  // 1 once the last level is won
extern int32_t end_game;             // 1 once game over was shown this game
extern int32_t got_highscore;        // place of the new high score, 0 none
extern const char pw[PW_COUNT][5];   // level passwords, entry i opens level i+1

// The level in play, shared by the play loop and the drawing.
extern int32_t px, py;               // player sprite position in screen pixels
extern int32_t dir;                  // 0 down, 1 up, 2 left, 3 right, 5 message
extern int32_t explode_index;        // frame of the fall explosion
extern char tmp_string_c[256];       // the current "YES~"/"NO~" answer

extern int fixed_build;              // 1 in zarn-fixed: screen and controls fixed
extern int debug_levels;             // 1 with "-debug": level select before levels

// Adds points to the score, as long as it has not passed SCORE_CAP.
void add_score(int32_t points);
// Restores every global above to its initial value (fixed_build stays).
void state_reset();
