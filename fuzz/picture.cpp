// Pictures as they come out of the gfx archive. The first byte picks the
// picture's name (its role sets the size it needs); the rest is the BMP entry.
// A picture the loader hands on is keyed and drawn whole and cell by cell.
#include "fuzz.h"

#include "res/assets.h"
#include "video/screen.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        abort();
    screen = SDL_SetVideoMode(320, 240, 16, 0);
    return screen ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* names[] = {"zarn-tiles-1", "fontbig",  "fontsmall", "zarn-anim", "trans16x16", "scrbrd",
                           "zarn-texturen", "zarn-top", "zarn-title2", "qv-logo", "qv-quor", "unknown"};
    if (size < 1)
        return 0;
    const char* name = names[data[0] % (sizeof names / sizeof names[0])];
    SDL_Surface* pic = picture_from_bytes(data + 1, static_cast<uint32_t>(size - 1), name);
    if (!pic)
        return 0;
    drawPic(screen, 0, 0, 320, 240, pic, 0, 0, 320, 240);
    SDL_SetColorKey(pic, SDL_SRCCOLORKEY | SDL_RLEACCEL, SDL_MapRGB(pic->format, 255, 0, 255));
    for (int y = 0; y < pic->h && y < 256; y += 16)
        drawPic(screen, 16, 16, 16, 16, pic, 0, static_cast<int16_t>(y), 16, 16);
    drawPic(screen, -8, 200, 320, 240, pic, 8, 8, 320, 240);
    SDL_FreeSurface(pic);
    return 0;
}
