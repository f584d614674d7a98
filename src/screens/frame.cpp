#include "screens/frame.h"

#include "config/input.h"
#include "video/fps.h"
#include "video/screen.h"

namespace {

const char* names[SCREEN_DEPTH];  // the running screens, outermost first
int depth;                        // how many run; those beyond SCREEN_DEPTH are not named

}  // namespace

screen_frame::screen_frame(const char* name)
{
    if (depth < SCREEN_DEPTH)
        names[depth] = name;
    depth++;
    initFPS();
}

screen_frame::~screen_frame()
{
    depth--;
}

frame_input screen_frame::read(int32_t list_top, int32_t list_height, int32_t line_height)
{
    return read_frame_input(list_top, list_height, line_height);
}

void screen_frame::show()
{
    GFX_Flip(screen);
    controlFPS();
}

void screen_frame::pace_anew()
{
    initFPS();
}

const char* running_screen()
{
    return depth > 0 && depth <= SCREEN_DEPTH ? names[depth - 1] : "";
}
