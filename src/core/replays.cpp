#include "core/replays.h"

#include "core/highscores.h"
#include "core/level.h"
#include "core/records.h"
#include "model/play.h"
#include "res/qva.h"
#include "sys/files.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

replay attempt_replay;
replay best_replays[BEST_KINDS];
bool best_proved[BEST_KINDS];
replay_trace best_trace;

namespace {

constexpr int LAST_WIN = BEST_KINDS;  // the file of the level's last won attempt
constexpr const char* KIND_NAMES[BEST_KINDS + 1] = {"time", "steps", "last"};

level_field scratch;             // the level a replay is played on
char text[REPLAY_TEXT_MAX + 1];  // a replay's file; one more byte shows a file too long

// The folder of the replays: replays/ in the folder of zarn.hi; false when
// the high scores have no folder.
bool replay_folder(char* out, size_t size)
{
    if (scoresFolder && !*scoresFolder)
        return false;
    int n = snprintf(out, size, "%s%sreplays", scoresFolder ? scoresFolder : "", scoresFolder ? "/" : "");
    return n > 0 && static_cast<size_t>(n) < size;
}

bool replay_path(char* out, size_t size, int level, int classic, int kind)
{
    char folder[sizeof fname_buf];
    if (!replay_folder(folder, sizeof folder))
        return false;
    int n = snprintf(out, size, "%s/%s-%s.zrp", folder, level_entry_name(level, classic), KIND_NAMES[kind]);
    return n > 0 && static_cast<size_t>(n) < size;
}

// Saves the attempt as the level's run of a kind; a save that fails says so
// in one line.
void keep(int level, int classic, int kind)
{
    char folder[sizeof fname_buf], path[sizeof fname_buf + 32];
    size_t len = replay_write(attempt_replay, text, sizeof text);
    if (len == 0 || !replay_folder(folder, sizeof folder) || !replay_path(path, sizeof path, level, classic, kind))
        return;
    if (!sys_make_folder(folder) || !sys_save_file(path, text, len))
        fprintf(stderr, "zarn: replay not saved in %s: %s\n", path, strerror(errno));
}

}  // namespace

void record_attempt(int level, int classic)
{
    replay_start(attempt_replay, classic, level, level_checksum(MapBody));
}

void read_best_replays(int level, int classic)
{
    const replay* run = nullptr;
    for (int kind = 0; kind < BEST_KINDS; kind++) {
        char path[sizeof fname_buf + 32], why[80];
        replay& r = best_replays[kind];
        replay_result res;
        best_proved[kind] = replay_path(path, sizeof path, level, classic, kind) &&
                            read_replay_file(path, r, why, sizeof why) && r.level == level &&
                            r.classic == (classic ? 1 : 0) &&
                            replay_check(r, MapBody, scratch, res, run ? nullptr : &best_trace) == REPLAY_MATCHES;
        if (best_proved[kind] && !run)
            run = &r;
    }
}

const replay* best_run()
{
    for (int kind = 0; kind < BEST_KINDS; kind++)
        if (best_proved[kind])
            return &best_replays[kind];
    return nullptr;
}

bool record_proved(int level, int classic, int which)
{
    const level_record* rec = level_record_of(level, classic);
    if (!rec || !best_proved[which])
        return false;
    const replay& r = best_replays[which];
    return r.level == level && r.classic == (classic ? 1 : 0) &&
           (which == BEST_TIME ? r.time_left == rec->time_left : r.steps == rec->steps);
}

bool note_won_attempt(int level, int classic, int32_t time_left, int32_t steps, bool hint, bool sets_records)
{
    replay& r = attempt_replay;
    r.outcome = PLAY_WON;
    r.time_left = time_left;
    r.steps = steps;
    r.hint = hint ? 1 : 0;
    replay_result res;
    if (r.full || r.level != level || r.classic != (classic ? 1 : 0) ||
        replay_check(r, MapBody, scratch, res) != REPLAY_MATCHES)
        return false;  // a run that does not replay as it was played sets nothing
    keep(level, classic, LAST_WIN);
    if (!sets_records)
        return false;
    const level_record* rec = level_record_of(level, classic);
    const level_record before = rec ? *rec : level_record{};
    bool beaten = note_level_won(level, classic, time_left, steps);
    if ((rec = level_record_of(level, classic))) {
        if (rec->time_left == time_left && (before.steps == 0 || time_left > before.time_left))
            keep(level, classic, BEST_TIME);
        if (rec->steps == steps && (before.steps == 0 || steps < before.steps))
            keep(level, classic, BEST_STEPS);
    }
    return beaten;
}

int check_replay(const replay& r, replay_result& out)
{
    uint32_t len = 0;
    auto* body = static_cast<uint8_t*>(loadQVAFile(QVA_MAPS, level_entry_name(r.level, r.classic), "zlv", &len));
    int verdict = REPLAY_NO_LEVEL;
    if (body && len >= static_cast<uint32_t>(LEVEL_BYTES))
        verdict = replay_check(r, body, scratch, out);
    free(body);
    return verdict;
}

bool read_replay_file(const char* path, replay& out, char* why, size_t why_size)
{
    uint64_t len = 0;
    FILE* f = sys_open_regular(path, &len);
    if (!f) {
        snprintf(why, why_size, "no such file");
        return false;
    }
    size_t got = fread(text, 1, sizeof text, f);
    fclose(f);
    return replay_read(text, got, out, why, why_size);
}

void replays_reset()
{
    replay_start(attempt_replay, 0, 0, 0);
    for (bool& proved : best_proved)
        proved = false;
    best_trace.count = 0;
}
