// The table of six high scores and its file zarn.hi (its format:
// model/scores.h).
#pragma once
#include "model/scores.h"

#include <cstdint>

extern const char* scoresFolder;               // folder of zarn.hi; null: cwd; "": none, never touched
extern int32_t high_scores[HIGHSCORE_PLACES];  // place 1 first
extern highscore_names high_names;             // six characters and a NUL
extern const char* const score_names[32];      // default names

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
// highscores_insert on the game's table.
int32_t insert_highscore(int32_t score);
