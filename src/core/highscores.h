// The table of six high scores and its file zarn.hi: 66 bytes, six
// little-endian int32 scores and six name slots of seven bytes.
#pragma once
#include <cstdint>

constexpr int HIGHSCORE_PLACES = 6;       // places in the table
constexpr int HIGHSCORE_NAME_BYTES = 7;   // a name slot: six characters and a NUL
constexpr int HIGHSCORE_FILE_BYTES = 66;  // the size of zarn.hi

extern const char* scoresFolder;                                 // folder of zarn.hi; null: cwd; "": none, never touched
extern int32_t high_scores[HIGHSCORE_PLACES];                    // place 1 first
extern char high_names[HIGHSCORE_PLACES][HIGHSCORE_NAME_BYTES];  // six characters and a NUL
extern const char* const score_names[32];                        // default names

// Fills the default table: place i gets (600 - 100 i) - ((rand & 63) + 31)
// and a copy of score_names[rand & 31].
void fill_default_highscores();
// Replaces the table with zarn.hi when that is a file of exactly 66 bytes.
void read_highscores();
// Saves the table to zarn.hi; false (errno set) on failure, the old file
// then stays as it was. True without writing when there is no folder.
bool write_highscores();
// Deletes zarn.hi (the table in memory stays).
void remove_highscores();
// Puts score into the table below equal ones, pushing the last place out, and
// returns its place 1..6 (its name slot keeps the name that was there), or 0
// when it does not beat place 6.
int32_t insert_highscore(int32_t score);
