#include "screens/ghost.h"

#include "config/config.h"
#include "core/replays.h"
#include "res/assets.h"
#include "video/screen.h"

int32_t ghost_on;

namespace {

constexpr int CELL = 16;

const config_setting SETTINGS[] = {
    {"ghost", 30, CONFIG_NUMBER, &ghost_on, 0, 1, 0, 0, 0},
};

}  // namespace

void ghost_bind_settings()
{
    config_bind(SETTINGS, static_cast<int>(sizeof SETTINGS / sizeof SETTINGS[0]));
}

void draw_ghost(SDL_Surface* dst, int32_t frame)
{
    if (!ghost_on || !ghost_anim || !best_run() || frame < 0 || frame >= best_trace.count)
        return;
    drawPic(dst, best_trace.x[frame], best_trace.y[frame], CELL, CELL, ghost_anim, best_trace.dir[frame] * CELL, 0,
            CELL, CELL);
}
