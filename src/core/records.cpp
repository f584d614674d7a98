#include "core/records.h"

#include "core/highscores.h"
#include "core/packs.h"
#include "res/qva.h"
#include "sys/files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

record_table records;

namespace {

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
    record_table loaded;
    if (records_decode(bytes, len, loaded)) {
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
    records_encode(records, bytes);
    return sys_save_file(path, bytes, sizeof bytes);
}

const level_record* level_record_of(int level, int classic)
{
    const level_record* r = nullptr;
    if (playing == PLAYING_PACK && pack_place(level) >= 0)
        r = &pack_records[0][pack_place(level)];
    else if (playing == PLAYING_SETS && level >= 1 && level <= RECORD_LEVELS)
        r = &records[classic ? 1 : 0][level - 1];
    return r && r->steps > 0 ? r : nullptr;
}

bool note_level_won(int level, int classic, int32_t time_left, int32_t steps)
{
    int noted = 0;
    if (playing == PLAYING_PACK && pack_place(level) >= 0) {
        noted = record_note(pack_records[0][pack_place(level)], time_left, steps);
        if (noted != 0 && !write_pack_records())
            fprintf(stderr, "zarn: level records not saved in %s: %s\n", pack_records_path(pack.name).c_str(),
                    strerror(errno));
        return noted == 2;
    }
    if (playing != PLAYING_SETS || level < 1 || level > RECORD_LEVELS)
        return false;  // a test play keeps none
    noted = record_note(records[classic ? 1 : 0][level - 1], time_left, steps);
    if (noted != 0)
        save_or_say();
    return noted == 2;
}
