// The scroll text along the bottom of the main menu and the high-score
// table: a long message moving left a pixel a frame and bouncing on a sine.
#include "screens/scrolltext.h"

#include "res/assets.h"
#include "video/font.h"
#include "video/screen.h"
#include "video/trig.h"

namespace {

// One screen width of blanks, so the message enters from the right edge.
constexpr char SCROLL_MESSAGE[] =
    "                                        "
    "welcome to zarn 1.10, the arcade puzzle game of fields floating in space. your task - "
    "guide zarn and his human master across all 48 fields and disarm every mine on them. each "
    "field crumbles behind you, and each mine explodes once you step off it and leaves a "
    "field behind. collect coins by destroying fields or mines, and clear every tile before "
    "the clock runs out. watch your step, do not fall off the field, for space is deep and "
    "lives are few. each level has a password of four letters, so note it down and come back "
    "later with continue or password. zarn is free. play it, copy it and give it to your "
    "friends, no money asked. this release runs on small arm boards as well as on any linux "
    "machine with sdl, with all graphics, sounds, tunes and levels made from readable sources "
    "in the project itself. choose a theme with left and right on run zarn, and set music, "
    "effects, screen and keys in settings. tracks, pushers and teleporters wait for you in "
    "the later levels. and a last hint for the curious - a few secret words typed into the "
    "password screen do more than open levels, so there are cheat codes to be found. good "
    "luck.~";
constexpr int32_t SCROLL_LENGTH = sizeof SCROLL_MESSAGE - 1;  // the '~' included
static_assert(SCROLL_LENGTH == 1169, "the scroll message is 1169 characters long");
static_assert(SCROLL_MESSAGE[SCROLL_LENGTH - 1] == '~', "the scroll message ends with its mark");

constexpr int32_t BOUNCE_REST = 224;  // bouncey before the first frame

}  // namespace

const char* scrolltext = SCROLL_MESSAGE;
int32_t scrolltextpos;
int32_t scrollIndex;
int32_t bouncey = BOUNCE_REST;

void put_scrolltext()
{
    for (int x = 0; x < 320; x += 16)
        drawPic(screen, x, bouncey - 2, 16, 12, tiles_back, 512, 12 * gfx_scheme, 16, 12);
    put_text1(screen, -(scrolltextpos % 8), bouncey, scrolltext + scrolltextpos / 8);
}

void scrolltext_step()
{
    scrollIndex += 8;
    if (scrollIndex >= 512)
        scrollIndex = 0;
    bouncey = (tsin[scrollIndex] >> 7) + 223;
    scrolltextpos++;
    if (scrolltextpos / 8 >= SCROLL_LENGTH)
        scrolltextpos = 0;
}

void scrolltext_reset()
{
    scrolltext = SCROLL_MESSAGE;
    scrolltextpos = 0;
    scrollIndex = 0;
    bouncey = BOUNCE_REST;
}
