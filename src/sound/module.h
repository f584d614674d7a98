// The tunes of a module. A module may hold several tunes one after the other
// in its order table: a looping tune ends with a pattern that jumps back
// (effect Bxx) to an order of its own, and the next tune starts after it.
// Shared by the game, which starts the tune a level asks for, and by the tune
// compiler, which writes and renders them. The bytes must be a module that
// module_sane accepts.
#pragma once
#include <cstdint>

// True when the pattern at order `order` jumps back to it or before it.
inline bool module_order_jumps_back(const uint8_t* m, int order)
{
    const uint8_t* cells = m + 1084 + 1024 * m[952 + order];
    for (int c = 0; c < 64 * 4; c++)
        if ((cells[4 * c + 2] & 0x0F) == 0x0B && cells[4 * c + 3] <= order)
            return true;
    return false;
}

// How many tunes the module holds (at least one).
inline int module_tunes(const uint8_t* m)
{
    int tunes = 1;
    for (int o = 0; o + 1 < m[950]; o++)
        tunes += module_order_jumps_back(m, o);
    return tunes;
}

// The order at which tune `tune` (0 on, counted round the module's tunes)
// starts.
inline int module_tune_start(const uint8_t* m, int tune)
{
    int wanted = tune % module_tunes(m), start = 0;
    for (int o = 0; wanted > 0 && o + 1 < m[950]; o++)
        if (module_order_jumps_back(m, o) && --wanted == 0)
            start = o + 1;
    return start;
}
