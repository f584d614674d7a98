#include "app/verify.h"

#include "config/config.h"
#include "core/replays.h"
#include "model/play.h"
#include "res/qva.h"

#include <cstdio>

namespace {

replay r;  // the file being checked

// "won, 42 s left, 61 steps" and, when claimed, a hint.
void describe(char* out, size_t size, int32_t outcome, int32_t time_left, int32_t steps, int32_t hint)
{
    snprintf(out, size, "%s, %d s left, %d steps%s", replay_outcome_name(outcome), time_left, steps,
             hint ? ", a hint shown" : "");
}

// Checks one file and prints its line; true when it won as it claims.
bool verify(const char* path)
{
    char why[96];
    if (!read_replay_file(path, r, why, sizeof why)) {
        printf("%s: refused: %s\n", path, why);
        return false;
    }
    char level[32], got[96], claim[96];
    snprintf(level, sizeof level, "%s level %d", r.classic ? "classic" : "normal", r.level);
    replay_result res;
    int verdict = check_replay(r, res);
    describe(got, sizeof got, res.outcome, res.time_left, res.steps, r.hint);
    describe(claim, sizeof claim, r.outcome, r.time_left, r.steps, r.hint);
    switch (verdict) {
    case REPLAY_NO_LEVEL: printf("%s: refused: %s is not in the game's data\n", path, level); break;
    case REPLAY_OTHER_LEVEL: printf("%s: refused: %s has changed since the run\n", path, level); break;
    case REPLAY_SLOW_CLOCK: printf("%s: refused: %s: its clock ticks slower than the game's\n", path, level); break;
    case REPLAY_ENDS_EARLY:
        printf("%s: %s: %s at frame %d, its input goes on to frame %d: refused\n", path, level, got, res.frames,
               r.frames);
        break;
    case REPLAY_UNFINISHED: printf("%s: %s: still in play when its input ends: refused\n", path, level); break;
    case REPLAY_DIFFERS: printf("%s: %s: %s: does not match its claim (%s)\n", path, level, got, claim); break;
    default: printf("%s: %s: %s: matches its claim\n", path, level, got); break;
    }
    return verdict == REPLAY_MATCHES && res.outcome == PLAY_WON;
}

}  // namespace

int verify_replays(int count, char** files)
{
    if (count < 1) {
        fprintf(stderr, "usage: zarn --verify FILE...\n");
        return 2;
    }
    getConfigFolder();  // where the data is
    openArchives();
    if (!qva_header[QVA_MAPS]) {
        printf("Missing or damaged %s: the levels cannot be read\n", qva_name(QVA_MAPS));
        closeArchives();
        return 1;
    }
    bool all = true;
    for (int i = 0; i < count; i++)
        all = verify(files[i]) && all;
    fflush(stdout);
    closeArchives();
    return all ? 0 : 1;
}
