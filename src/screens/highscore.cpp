// Placeholder for the screens: the front end replaces them; the table data
// and the default fill are final.
#include "screens/highscore.h"

#include <cstdlib>
#include <cstring>

int32_t high_scores[HIGHSCORE_PLACES];
char high_names[HIGHSCORE_PLACES][HIGHSCORE_NAME_BYTES];
const char hiscore_letters[38] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789";

// 21 names, the first 11 repeated at the end.
const char* const score_names[32] = {
    "ZARN", "MORRIK", "QUOR", "NOVA", "PIXEL", "ORBIT", "COMET", "R.O.B", "VEGA", "ASTRA", "LUNA",
    "TILE", "MINER", "KOSMO", "ZAP", "BLIP", "RADAR", "FLUX", "ION", "JUNO", "ATOM",
    "ZARN", "MORRIK", "QUOR", "NOVA", "PIXEL", "ORBIT", "COMET", "R.O.B", "VEGA", "ASTRA", "LUNA",
};

void fill_default_highscores()
{
    for (int i = 0; i < HIGHSCORE_PLACES; i++) {
        int score_draw = rand();
        int name_draw = rand();
        high_scores[i] = (600 - 100 * i) - ((score_draw & 63) + 31);
        memset(high_names[i], 0, HIGHSCORE_NAME_BYTES);
        strncpy(high_names[i], score_names[name_draw & 31], HIGHSCORE_NAME_BYTES - 1);
    }
}

void read_highscores() {}
void write_highscores() {}
void remove_highscores() {}
int32_t check_highscore(int32_t) { return 0; }
void enter_highscore(int) {}
void show_highscores() {}
