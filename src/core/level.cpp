#include "core/level.h"

#include "core/packs.h"
#include "core/state.h"
#include "res/qva.h"
#include "sys/fatal.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

map_cell Map[MAP_ROWS][MAP_COLS];
map_header MapData;
const rules_field game_field = {Map, &MapData};
uint8_t MapBody[LEVEL_BYTES];

bool decode_level(const uint8_t* body, size_t len)
{
    if (!level_decode(game_field, body, len))
        return false;
    memcpy(MapBody, body, LEVEL_BYTES);
    return true;
}

int LoadLevel(int level, int classic)
{
    if (playing != PLAYING_SETS) {
        uint8_t played[LEVEL_BYTES];
        return played_level_body(level, played) && decode_level(played, sizeof played) ? 1 : 0;
    }
    uint32_t len = 0;
    auto* body = static_cast<uint8_t*>(loadQVAFile(QVA_MAPS, level_entry_name(level, classic), "zlv", &len));
    if (!body)
        return 0;
    bool ok = decode_level(body, len);
    free(body);
    return ok ? 1 : 0;
}

size_t load_solution(int level, int classic, char* out, size_t size)
{
    uint32_t len = 0;
    auto* moves = static_cast<char*>(loadQVAFile(QVA_MAPS, level_entry_name(level, classic), "sol", &len));
    bool good = moves && len > 0 && len < size;
    for (uint32_t i = 0; good && i < len; i++)
        good = strchr("UDLR", moves[i]) != nullptr && moves[i] != 0;
    if (good) {
        memcpy(out, moves, len);
        out[len] = 0;
    }
    free(moves);
    return good ? len : 0;
}

void derive_map()
{
    level_derive(game_field, Player.time_bonus);
}

bool load_level(int level, int classic)
{
    level_clear(game_field);
    if (!LoadLevel(level, classic))
        return false;
    derive_map();
    return true;
}

void init_maps(int level, int classic)
{
    if (!load_level(level, classic)) {
        // Without its level the game cannot go on: say which one and stop.
        char line[4200];
        if (playing != PLAYING_SETS)
            snprintf(line, sizeof line, "Missing level %d of %s", level,
                     playing == PLAYING_PACK ? pack.name.c_str() : "the editor");
        else
            snprintf(line, sizeof line, "Missing or damaged level %s.zlv in %s", level_entry_name(level, classic),
                     qva_name(QVA_MAPS));
        sys_fatal(line);
    }
}
