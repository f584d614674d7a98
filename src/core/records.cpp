#include "core/records.h"

#include "core/highscores.h"
#include "res/qva.h"
#include "sys/bytes.h"
#include "sys/files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

level_record records[2][RECORD_LEVELS];

namespace {

constexpr char MARK[4] = {'Z', 'R', 'C', '1'};
constexpr int32_t TIME_MAX = 9999;
constexpr int32_t STEPS_MAX = 65535;
static_assert(sizeof MARK + 2 * RECORD_LEVELS * 8 == RECORDS_FILE_BYTES, "the mark and two fields a level");

// The file sits in the folder of zarn.hi (none when the high scores have
// none). Kept apart from fname_buf.
bool has_file()
{
    return !scoresFolder || *scoresFolder;
}

void records_path(char* out, size_t size)
{
    snprintf(out, size, "%s", filename(scoresFolder, "zarn", "rec"));
}

bool valid(const level_record& r)
{
    if (r.steps == 0)
        return r.time_left == 0;
    return r.steps > 0 && r.steps <= STEPS_MAX && r.time_left >= 0 && r.time_left <= TIME_MAX;
}

// Decodes a whole file into out; false when it is damaged.
bool decode(const uint8_t* in, size_t len, level_record (&out)[2][RECORD_LEVELS])
{
    if (len != RECORDS_FILE_BYTES || memcmp(in, MARK, sizeof MARK) != 0)
        return false;
    const uint8_t* p = in + sizeof MARK;
    for (auto& set : out)
        for (level_record& r : set) {
            r.time_left = static_cast<int32_t>(sys_get_le32(p));
            r.steps = static_cast<int32_t>(sys_get_le32(p + 4));
            p += 8;
            if (!valid(r))
                return false;
        }
    return true;
}

// Saves the records; a save that fails says so in one line (the old file
// stays as it was).
void save_or_say()
{
    if (write_records())
        return;
    int failure = errno;
    char path[sizeof fname_buf];
    records_path(path, sizeof path);
    fprintf(stderr, "zarn: level records not saved in %s: %s\n", path, strerror(failure));
}

}  // namespace

void records_reset()
{
    memset(records, 0, sizeof records);
}

void read_records()
{
    records_reset();
    if (!has_file())
        return;
    char path[sizeof fname_buf];
    records_path(path, sizeof path);
    uint64_t file_len = 0;
    FILE* f = sys_open_regular(path, &file_len);  // a FIFO or a folder is never waited on
    if (!f)
        return;  // no records yet
    uint8_t bytes[RECORDS_FILE_BYTES + 1];  // one more shows a file too long
    size_t len = fread(bytes, 1, sizeof bytes, f);
    fclose(f);
    level_record loaded[2][RECORD_LEVELS];
    if (decode(bytes, len, loaded)) {
        memcpy(records, loaded, sizeof records);
        return;
    }
    printf("%s is damaged: the level records start afresh\n", path);
    fflush(stdout);
}

bool write_records()
{
    if (!has_file())
        return true;
    if (scoresFolder && !sys_make_folder(scoresFolder))
        return false;
    char path[sizeof fname_buf];
    records_path(path, sizeof path);
    uint8_t bytes[RECORDS_FILE_BYTES];
    memcpy(bytes, MARK, sizeof MARK);
    uint8_t* p = bytes + sizeof MARK;
    for (const auto& set : records)
        for (const level_record& r : set) {
            sys_put_le32(p, static_cast<uint32_t>(r.time_left));
            sys_put_le32(p + 4, static_cast<uint32_t>(r.steps));
            p += 8;
        }
    return sys_save_file(path, bytes, sizeof bytes);
}

const level_record* level_record_of(int level, int classic)
{
    if (level < 1 || level > RECORD_LEVELS)
        return nullptr;
    const level_record& r = records[classic ? 1 : 0][level - 1];
    return r.steps > 0 ? &r : nullptr;
}

bool note_level_won(int level, int classic, int32_t time_left, int32_t steps)
{
    if (level < 1 || level > RECORD_LEVELS || steps < 1 || steps > STEPS_MAX)
        return false;
    time_left = time_left < 0 ? 0 : time_left > TIME_MAX ? TIME_MAX : time_left;
    level_record& r = records[classic ? 1 : 0][level - 1];
    if (r.steps == 0) {
        r = {time_left, steps};
        save_or_say();
        return false;
    }
    bool beaten = false;
    if (time_left > r.time_left) {
        r.time_left = time_left;
        beaten = true;
    }
    if (steps < r.steps) {
        r.steps = steps;
        beaten = true;
    }
    if (beaten)
        save_or_say();
    return beaten;
}
