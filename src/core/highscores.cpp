#include "core/highscores.h"

#include "res/qva.h"
#include "sys/bytes.h"
#include "sys/files.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

const char* scoresFolder;
int32_t high_scores[HIGHSCORE_PLACES];
char high_names[HIGHSCORE_PLACES][HIGHSCORE_NAME_BYTES];

// 21 names, the first 11 repeated at the end.
const char* const score_names[32] = {
    "ZARN", "MORRIK", "QUOR", "NOVA", "PIXEL", "ORBIT", "COMET", "R.O.B", "VEGA", "ASTRA", "LUNA",
    "TILE", "MINER", "KOSMO", "ZAP", "BLIP", "RADAR", "FLUX", "ION", "JUNO", "ATOM",
    "ZARN", "MORRIK", "QUOR", "NOVA", "PIXEL", "ORBIT", "COMET", "R.O.B", "VEGA", "ASTRA", "LUNA",
};

namespace {

constexpr int SCORE_BYTES = 4 * HIGHSCORE_PLACES;
static_assert(SCORE_BYTES + HIGHSCORE_PLACES * HIGHSCORE_NAME_BYTES == HIGHSCORE_FILE_BYTES,
              "the file holds the scores and the name slots, nothing else");

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

void encode_table(uint8_t* out)
{
    for (int i = 0; i < HIGHSCORE_PLACES; i++)
        sys_put_le32(out + 4 * i, static_cast<uint32_t>(high_scores[i]));
    memcpy(out + SCORE_BYTES, high_names, sizeof high_names);
}

void decode_table(const uint8_t* in)
{
    for (int i = 0; i < HIGHSCORE_PLACES; i++)
        high_scores[i] = static_cast<int32_t>(sys_get_le32(in + 4 * i));
    memcpy(high_names, in + SCORE_BYTES, sizeof high_names);
    // A slot without its zero byte would run into the next one: cut it at six.
    for (auto& slot : high_names)
        if (!memchr(slot, 0, HIGHSCORE_NAME_BYTES))
            slot[HIGHSCORE_NAME_BYTES - 1] = 0;
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
        decode_table(static_cast<const uint8_t*>(data));
    free(data);
}

bool write_highscores()
{
    if (!has_file())
        return true;
    char path[sizeof fname_buf];
    highscore_path(path, sizeof path);
    uint8_t bytes[HIGHSCORE_FILE_BYTES];
    encode_table(bytes);
    return sys_save_file(path, bytes, sizeof bytes);
}

void remove_highscores()
{
    if (has_file())
        remove(filename(scoresFolder, "zarn", "hi"));
}

int32_t insert_highscore(int32_t score)
{
    int place = 0;
    for (int i = 0; i < HIGHSCORE_PLACES && place == 0; i++)
        if (high_scores[i] < score)
            place = i + 1;
    if (place == 0)
        return 0;
    for (int i = HIGHSCORE_PLACES - 1; i >= place; i--) {
        high_scores[i] = high_scores[i - 1];
        memcpy(high_names[i], high_names[i - 1], HIGHSCORE_NAME_BYTES);
    }
    high_scores[place - 1] = score;
    return place;
}
