#include "model/scores.h"

#include "model/bytes.h"

#include <cstring>

namespace {

constexpr int SCORE_BYTES = 4 * HIGHSCORE_PLACES;
static_assert(SCORE_BYTES + HIGHSCORE_PLACES * HIGHSCORE_NAME_BYTES == HIGHSCORE_FILE_BYTES,
              "the file holds the scores and the name slots, nothing else");

constexpr char MARK[4] = {'Z', 'R', 'C', '1'};
constexpr int32_t TIME_MAX = 9999;
constexpr int32_t STEPS_MAX = 65535;
static_assert(sizeof MARK + 2 * RECORD_LEVELS * 8 == RECORDS_FILE_BYTES, "the mark and two fields a level");

bool valid(const level_record& r)
{
    if (r.steps == 0)
        return r.time_left == 0;
    return r.steps > 0 && r.steps <= STEPS_MAX && r.time_left >= 0 && r.time_left <= TIME_MAX;
}

}  // namespace

void highscores_encode(const int32_t* scores, const highscore_names& names, uint8_t* out)
{
    for (int i = 0; i < HIGHSCORE_PLACES; i++)
        put_le32(out + 4 * i, static_cast<uint32_t>(scores[i]));
    memcpy(out + SCORE_BYTES, names, sizeof names);
}

void highscores_decode(const uint8_t* in, int32_t* scores, highscore_names& names)
{
    for (int i = 0; i < HIGHSCORE_PLACES; i++)
        scores[i] = static_cast<int32_t>(get_le32(in + 4 * i));
    memcpy(names, in + SCORE_BYTES, sizeof names);
    // A slot without its zero byte would run into the next one: cut it at six.
    for (auto& slot : names)
        if (!memchr(slot, 0, HIGHSCORE_NAME_BYTES))
            slot[HIGHSCORE_NAME_BYTES - 1] = 0;
}

int32_t highscores_insert(int32_t* scores, highscore_names& names, int32_t score)
{
    int place = 0;
    for (int i = 0; i < HIGHSCORE_PLACES && place == 0; i++)
        if (scores[i] < score)
            place = i + 1;
    if (place == 0)
        return 0;
    for (int i = HIGHSCORE_PLACES - 1; i >= place; i--) {
        scores[i] = scores[i - 1];
        memcpy(names[i], names[i - 1], HIGHSCORE_NAME_BYTES);
    }
    scores[place - 1] = score;
    return place;
}

void records_encode(const record_table& table, uint8_t* out)
{
    memcpy(out, MARK, sizeof MARK);
    uint8_t* p = out + sizeof MARK;
    for (const auto& set : table)
        for (const level_record& r : set) {
            put_le32(p, static_cast<uint32_t>(r.time_left));
            put_le32(p + 4, static_cast<uint32_t>(r.steps));
            p += 8;
        }
}

bool records_decode(const uint8_t* in, size_t len, record_table& out)
{
    if (len != RECORDS_FILE_BYTES || memcmp(in, MARK, sizeof MARK) != 0)
        return false;
    const uint8_t* p = in + sizeof MARK;
    for (auto& set : out)
        for (level_record& r : set) {
            r.time_left = static_cast<int32_t>(get_le32(p));
            r.steps = static_cast<int32_t>(get_le32(p + 4));
            p += 8;
            if (!valid(r))
                return false;
        }
    return true;
}

int record_note(level_record& r, int32_t time_left, int32_t steps)
{
    if (steps < 1 || steps > STEPS_MAX)
        return 0;
    time_left = time_left < 0 ? 0 : time_left > TIME_MAX ? TIME_MAX : time_left;
    if (r.steps == 0) {
        r = {time_left, steps};
        return 1;
    }
    int beaten = 0;
    if (time_left > r.time_left) {
        r.time_left = time_left;
        beaten = 2;
    }
    if (steps < r.steps) {
        r.steps = steps;
        beaten = 2;
    }
    return beaten;
}
