// Placeholder game flow: opens the archives, loads level 1 and ends. The play
// module replaces this file with the whole flow.
#include "core/game.h"

#include "core/level.h"
#include "core/state.h"
#include "res/qva.h"

#include <cstdio>

int level_track(int level, int classic)
{
    return classic ? 10 : (((level - 1) >> 1) & 7) + 1;
}

int zarn_main(int, char**)
{
    openArchives();
    init_maps(curr_map, classic_mode);
    printf("level %d: %d fields, %d seconds\n", curr_map, MapData.fields_left, MapData.time_left);
    closeArchives();
    return 0;
}
