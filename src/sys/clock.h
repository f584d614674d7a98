// The clock seam: every read of the millisecond clock and every sleep in the
// game goes through here, so tests can run the game on a virtual clock.
#pragma once
#include <cstdint>

// Milliseconds since SDL started (SDL_GetTicks), or the virtual time.
uint32_t sys_ticks();
// Sleeps ms milliseconds (SDL_Delay); on the virtual clock, advances it.
void sys_delay(uint32_t ms);
// Sleeps us microseconds (usleep); on the virtual clock, advances it.
void sys_usleep(uint32_t us);

// Switches the virtual clock on or off; switching it on sets it to 0.
void sys_use_virtual_clock(bool on);
// True while the virtual clock is in use.
bool sys_clock_is_virtual();
// Moves the virtual clock on by ms milliseconds (no effect on the real one).
void sys_advance_clock(uint32_t ms);
// Sets the virtual clock to ms (tests use it to make the clock go back).
void sys_set_clock(uint32_t ms);
