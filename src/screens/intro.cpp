// The maker's logo intro: the mascot wobbles around the upper middle of a
// black screen while the name logo slides in from the right; once the logo
// rests the intro tune plays once, and the intro ends with the tune or with a
// confirm key.
#include "screens/intro.h"

#include "config/input.h"
#include "core/state.h"
#include "screens/frame.h"
#include "video/trig.h"
#include "res/assets.h"
#include "sound/sound.h"
#include "video/screen.h"

namespace {

constexpr int32_t LOGO_START_X = 360;  // just off the right edge

}  // namespace

SDL_Surface* qv_quor;
SDL_Surface* qv_logo;
int32_t j = LOGO_START_X;
int32_t dj;
int32_t gx, gy;
SDL_Rect rect;

namespace {
constexpr int32_t LOGO_BOTTOM = 180;   // the row the logo rests on
constexpr int32_t MASCOT_CX = 160;     // centre the mascot swings around
constexpr int32_t MASCOT_CY = 100;
constexpr int32_t SLIDE_STEP = 4;      // pixels a frame
constexpr int INTRO_TRACK = 11;

int32_t was_gx, was_gy, was_j;  // where the pictures stood in the frame before

bool tune_available()
{
    return music[INTRO_TRACK] != nullptr;
}

int32_t logo_rest_x()
{
    return (320 - qv_logo->w) >> 1;
}

int32_t logo_y()
{
    return LOGO_BOTTOM - qv_logo->h;
}

SDL_Surface* load_keyed(const char* name)
{
    SDL_Surface* pic = ZARN_LoadBMP(name);
    if (pic)
        SDL_SetColorKey(pic, SDL_SRCCOLORKEY | SDL_RLEACCEL | SDL_SRCALPHA, SDL_MapRGB(pic->format, 255, 0, 255));
    return pic;
}

void free_pictures()
{
    if (qv_quor)
        SDL_FreeSurface(qv_quor);
    if (qv_logo)
        SDL_FreeSurface(qv_logo);
    qv_quor = nullptr;
    qv_logo = nullptr;
}

void present(screen_frame& frame)
{
    quorStep();
    quorRender(screen);
    frame.show();
}

}  // namespace

// Loads both pictures and blacks out the screen. Returns 0, or -1 (nothing
// loaded, nothing drawn) when either picture is missing.
int quorInit()
{
    qv_quor = load_keyed("gfx/qv-quor");
    qv_logo = load_keyed("gfx/qv-logo");
    if (!qv_quor || !qv_logo) {
        free_pictures();
        return -1;
    }
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
    j = LOGO_START_X;
    dj = 0;
    gx = 0;
    gy = 0;
    return 0;
}

// Returns 1 once the logo rests and a confirm key came or the tune is over.
int quorUpdate(int32_t controls)
{
    dj += 2;
    if (j > logo_rest_x())
        return 0;
    if (controls & CTRL_CONFIRM)
        return 1;
    return tune_available() && !MP_PlayingMusic() ? 1 : 0;
}

void quorStep()
{
    was_gx = gx;
    was_gy = gy;
    was_j = j;
    gx = MASCOT_CX - (qv_quor->w >> 1) + (tcos[dj & 511] >> 7);
    gy = MASCOT_CY - (qv_quor->h >> 1) + (tsin[(3 * dj) & 511] >> 7);
    const int32_t rest = logo_rest_x();
    if (rest < j) {
        j -= SLIDE_STEP;
        if (j == rest && tune_available())
            play_music(INTRO_TRACK, 1);
    }
}

int quorRender(SDL_Surface* surface)
{
    uint32_t black = SDL_MapRGB(surface->format, 0, 0, 0);
    const int32_t mw = qv_quor->w, mh = qv_quor->h;
    const int32_t lw = qv_logo->w, lh = qv_logo->h;
    quorFillRect(surface, was_gx, was_gy, mw, mh, black);
    quorFillRect(surface, was_j, logo_y(), lw, lh, black);
    drawPic(surface, gx, gy, mw, mh, qv_quor, 0, 0, mw, mh);
    drawPic(surface, j, logo_y(), lw, lh, qv_logo, 0, 0, lw, lh);
    return 0;
}

void quorFillRect(SDL_Surface* surface, int x, int y, int w, int h, uint32_t colour)
{
    rect.x = static_cast<Sint16>(x);
    rect.y = static_cast<Sint16>(y);
    rect.w = static_cast<Uint16>(w);
    rect.h = static_cast<Uint16>(h);
    SDL_FillRect(surface, &rect, colour);
}

int quorShutdown()
{
    free_pictures();
    stop_music();
    return 0;
}

// Without both pictures there is nothing to show: the intro is skipped.
void start_screen()
{
    if (quit_zarn == 1 || quorInit() != 0)
        return;
    screen_frame frame("start_screen");
    for (;;) {
        int32_t c = frame.read().pressed;
        if (quorUpdate(c)) {
            if (quit_zarn != 1)
                present(frame);
            break;
        }
        if (quit_zarn == 1)
            break;
        present(frame);
    }
    quorShutdown();
}
