// What a test program of the game sees: the test framework, the common
// standard headers, every module header of the game (but screens/pause.h,
// whose pause() the system's hides: see pause_call.h) and the test support.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <vector>

#include "app/game.h"
#include "app/startup.h"
#include "config/config.h"
#include "config/input.h"
#include "core/field.h"
#include "core/highscores.h"
#include "core/hint.h"
#include "core/level.h"
#include "core/play.h"
#include "core/records.h"
#include "model/rules.h"
#include "model/search.h"
#include "core/state.h"
#include "res/assets.h"
#include "res/qva.h"
#include "screens/controls.h"
#include "screens/credits.h"
#include "screens/demo.h"
#include "screens/frame.h"
#include "screens/highscore.h"
#include "screens/intro.h"
#include "screens/level.h"
#include "screens/levelselect.h"
#include "screens/menu.h"
#include "screens/password.h"
#include "screens/scrolltext.h"
#include "screens/settings.h"
#include "sound/sound.h"
#include "model/bytes.h"
#include "sys/clock.h"
#include "sys/files.h"
#include "video/cells.h"
#include "video/filters.h"
#include "video/font.h"
#include "video/fps.h"
#include "video/screen.h"
#include "video/shot.h"

#include "support/boot.h"
#include "support/input_script.h"
#include "support/level_text.h"
#include "support/pause_call.h"
#include "support/play_script.h"
#include "support/scratch.h"

// The 16-bit pixel at (x, y) of a surface.
inline uint16_t& pixel16(SDL_Surface* s, int x, int y)
{
    return reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch)[x];
}

// The pixels of a surface that are not black.
inline int lit_pixels(SDL_Surface* s)
{
    int n = 0;
    for (int y = 0; y < s->h; y++)
        for (int x = 0; x < s->w; x++)
            n += pixel16(s, x, y) != 0;
    return n;
}

// Opens the display in a mode: enlarged (zoom, 0 none), full screen or not,
// at twice the enlarged size or not.
inline void set_mode(int enlarged, int full, int twice)
{
    zoom = enlarged;
    full_screen = full;
    double_scale = static_cast<uint8_t>(twice);
    init_screen();
}

// A test whose game is booted, without a high-score file, before it and
// brought down after it.
struct booted_game : testing::Test {
    void SetUp() override
    {
        remove("zarn.hi");
        boot_game();
    }
    void TearDown() override
    {
        shutdown_game();
        screen = nullptr;  // gone with SDL
    }
};
