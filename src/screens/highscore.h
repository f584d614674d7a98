// The table of six high scores, its file zarn.hi, name entry and the table screen.
#pragma once
#include <cstdint>

constexpr int HIGHSCORE_PLACES = 6;
constexpr int HIGHSCORE_NAME_BYTES = 7;
constexpr int HIGHSCORE_FILE_BYTES = 66;

extern int32_t high_scores[HIGHSCORE_PLACES];                    // place 1 first
extern char high_names[HIGHSCORE_PLACES][HIGHSCORE_NAME_BYTES];  // six characters and a NUL
extern const char hiscore_letters[38];                           // the 37 name characters
extern const char* const score_names[32];                        // default names

// Fills the default table: place i gets (600 - 100 i) - ((rand & 63) + 31)
// and a copy of score_names[rand & 31].
void fill_default_highscores();
void read_highscores();
void write_highscores();
void remove_highscores();
int32_t check_highscore(int32_t score);
void enter_highscore(int index);
void show_highscores();
