#include "core/state.h"

namespace {

constexpr int32_t FIRST_LEVEL = 1;
constexpr int32_t NORMAL_LEVELS = 48;

}  // namespace

player_record Player;
int32_t curr_map = FIRST_LEVEL;
int32_t maxmap = NORMAL_LEVELS;
int32_t classic_mode;
int32_t cont;
int32_t fin;
int32_t end_game;
int32_t got_highscore;

// Four capitals each, all different, easy to say and to note down; none is
// "AAAA", a cheat word or "PACK" (the packs screen).
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

void add_score(int32_t points)
{
    if (Player.score <= SCORE_CAP)
        Player.score += points;
}

void state_reset()
{
    Player = player_record{};
    curr_map = FIRST_LEVEL;
    maxmap = NORMAL_LEVELS;
    classic_mode = 0;
    cont = 0;
    fin = 0;
    end_game = 0;
    got_highscore = 0;
    px = py = 0;
    dir = 0;
    explode_index = 0;
    tmp_string_c[0] = '\0';
    debug_levels = 0;
}
