#include "core/state.h"

#include <cstring>

player_record Player;
int32_t curr_map = 1;
int32_t maxmap = 48;
int32_t classic_mode;
int32_t cont;
int32_t fin;
int32_t end_game;
int32_t quit_zarn;
int32_t level_warp_activated;
int32_t got_highscore;
char last_pw[5] = "AAAA";

// Four capitals each, all different, easy to say and to note down; none is
// "AAAA" or a cheat word.
const char pw[PW_COUNT][5] = {
    "BOLA", "KIRU", "MENO", "TAVI", "SULO", "RIPA", "DOKE", "LUMI",
    "FAMO", "NERU", "GALI", "POTE", "VIKO", "HUNA", "ZEMO", "BIRA",
    "TOKU", "MAVE", "LIDO", "RUFA", "KENI", "SOLA", "PIMU", "DAVO",
    "NOKI", "FERU", "BULA", "GIRO", "TEPA", "VORU", "HIKA", "MELU",
    "ZORI", "KAFU", "LOVA", "SIME", "RADU", "PELU", "BOGI", "NULA",
    "DIRO", "FIRA", "TUMA", "GOSI", "VELA", "HOBU", "ZALO", "MUNO",
    "KOLE", "RISA", "BEMU", "LATO", "SEKU", "NIVA", "DUPO", "FOLI",
    "GAMU", "TIRO", "PULO", "VEDI", "HALO", "ZUNE", "KIMA", "ROVE",
};

int32_t px, py;
int32_t dir;
int32_t explode_index;
char tmp_string_c[256];

int fixed_build;
int debug_levels;

void state_reset()
{
    Player = player_record{};
    curr_map = 1;
    maxmap = 48;
    classic_mode = 0;
    cont = 0;
    fin = 0;
    end_game = 0;
    quit_zarn = 0;
    level_warp_activated = 0;
    got_highscore = 0;
    memcpy(last_pw, "AAAA", 5);
    px = py = 0;
    dir = 0;
    explode_index = 0;
    tmp_string_c[0] = '\0';
    debug_levels = 0;
}
