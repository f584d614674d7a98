#include "sys/clock.h"

#include "sys/web.h"

#include <SDL.h>
#include <unistd.h>

namespace {

bool virtual_on = false;
uint64_t virtual_us = 0;  // microseconds, so short sleeps add up

}  // namespace

uint32_t sys_ticks()
{
    if (virtual_on)
        return static_cast<uint32_t>(virtual_us / 1000);
    return SDL_GetTicks();
}

void sys_delay(uint32_t ms)
{
    if (virtual_on)
        virtual_us += static_cast<uint64_t>(ms) * 1000;
    else
#ifdef __EMSCRIPTEN__
        web_sleep(ms);
#else
        SDL_Delay(ms);
#endif
}

void sys_usleep(uint32_t us)
{
    if (virtual_on)
        virtual_us += us;
    else
#ifdef __EMSCRIPTEN__
        web_sleep((us + 999) / 1000);
#else
        usleep(us);
#endif
}

void sys_use_virtual_clock(bool on)
{
    virtual_on = on;
    virtual_us = 0;
}

bool sys_clock_is_virtual()
{
    return virtual_on;
}

void sys_advance_clock(uint32_t ms)
{
    virtual_us += static_cast<uint64_t>(ms) * 1000;
}

void sys_set_clock(uint32_t ms)
{
    virtual_us = static_cast<uint64_t>(ms) * 1000;
}
