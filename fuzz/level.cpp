// A level entry and some frames of play on it. The input is the 3840-byte
// level body, then the moves: 'U', 'D', 'L' or 'R' holds that direction for
// a step, any other byte holds its low bits as controls for one frame. The
// attempt runs until it ends or 1000 frames have passed.
#include "fuzz.h"

#include "config/input.h"
#include "core/field.h"
#include "core/level.h"
#include "core/play.h"
#include "core/state.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    state_reset();
    field_reset();
    memset(Map, 0, sizeof Map);
    if (!decode_level(data, size))
        return 0;
    derive_map();
    play_attempt a;
    attempt_start(a);
    size_t next = LEVEL_BYTES;
    int32_t held = 0, frames_left = 0;
    for (uint32_t frame = 1; frame <= 1000; frame++) {
        if (frames_left == 0 && next < size) {
            const char* dirs = "UDLR";
            const char* d = data[next] ? strchr(dirs, data[next]) : nullptr;
            held = d ? (CTRL_UP << (d - dirs)) : (data[next] & 0x1f) | (data[next] & 0x20 ? CTRL_WARP : 0);
            frames_left = d ? STEP_FRAMES : 1;
            next++;
        }
        int outcome = play_frame(a, frame * 1000 / 30, frames_left > 0 ? held : 0, 0);
        frames_left -= frames_left > 0;
        apply_events(a.player);
        FUZZ_ASSERT(a.player.player_row >= 0 && a.player.player_row < MAP_ROWS);
        FUZZ_ASSERT(a.player.player_col >= 0 && a.player.player_col < MAP_COLS);
        if (outcome != PLAY_ON)
            break;
    }
    return 0;
}
