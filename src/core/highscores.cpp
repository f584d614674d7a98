#include "core/highscores.h"

#include "res/qva.h"
#include "sys/files.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

const char* scoresFolder;
int32_t high_scores[HIGHSCORE_PLACES];
highscore_names high_names;

// 21 names, the first 11 repeated at the end.
const char* const score_names[32] = {
    "ZARN", "MORRIK", "QUOR", "NOVA", "PIXEL", "ORBIT", "COMET", "R.O.B", "VEGA", "ASTRA", "LUNA",
    "TILE", "MINER", "KOSMO", "ZAP", "BLIP", "RADAR", "FLUX", "ION", "JUNO", "ATOM",
    "ZARN", "MORRIK", "QUOR", "NOVA", "PIXEL", "ORBIT", "COMET", "R.O.B", "VEGA", "ASTRA", "LUNA",
};

namespace {

// Whether the table has a file at all (not when there is no folder for it).
bool has_file()
{
    return !scoresFolder || *scoresFolder;
}

// The file name, kept apart from fname_buf, which the next filename() reuses.
void highscore_path(char* out, size_t size)
{
    snprintf(out, size, "%s", filename(scoresFolder, "zarn", "hi"));
}

}  // namespace

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

void read_highscores()
{
    if (!has_file())
        return;
    uint32_t size = 0;
    void* data = loadBINFile(filename(scoresFolder, "zarn", "hi"), &size);
    if (data && size == HIGHSCORE_FILE_BYTES)
        highscores_decode(static_cast<const uint8_t*>(data), high_scores, high_names);
    free(data);
}

bool write_highscores()
{
    if (!has_file())
        return true;
    char path[sizeof fname_buf];
    highscore_path(path, sizeof path);
    uint8_t bytes[HIGHSCORE_FILE_BYTES];
    highscores_encode(high_scores, high_names, bytes);
    return sys_save_file(path, bytes, sizeof bytes);
}

void remove_highscores()
{
    if (has_file())
        remove(filename(scoresFolder, "zarn", "hi"));
}

int32_t insert_highscore(int32_t score)
{
    return highscores_insert(high_scores, high_names, score);
}
