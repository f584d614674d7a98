#include "video/shot.h"

#include "video/screen.h"

#include "sys/web.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int NAME_TRIES = 100;    // zarn-...png, then -2 up to -99
constexpr size_t NOTICE_CHARS = 40;  // small-font characters across the frame

// The surface as rows of 8-bit red, green and blue; null when out of memory.
uint8_t* rgb_copy(SDL_Surface* s)
{
    size_t w = static_cast<size_t>(s->w), h = static_cast<size_t>(s->h);
    auto* rgb = static_cast<uint8_t*>(malloc(w * h * 3));
    if (!rgb)
        return nullptr;
    if (SDL_MUSTLOCK(s) && SDL_LockSurface(s) < 0) {
        free(rgb);
        return nullptr;
    }
    const int bpp = s->format->BytesPerPixel;
    uint8_t* out = rgb;
    for (size_t y = 0; y < h; y++) {
        const uint8_t* row = static_cast<const uint8_t*>(s->pixels) + y * s->pitch;
        for (size_t x = 0; x < w; x++, out += 3) {
            const uint8_t* p = row + x * bpp;
            Uint32 v = 0;
            switch (bpp) {
            case 1: v = *p; break;
            case 2: v = *reinterpret_cast<const Uint16*>(p); break;
            case 3: v = p[0] | p[1] << 8 | p[2] << 16; break;
            default: v = *reinterpret_cast<const Uint32*>(p); break;
            }
            SDL_GetRGB(v, s->format, &out[0], &out[1], &out[2]);
        }
    }
    if (SDL_MUSTLOCK(s))
        SDL_UnlockSurface(s);
    return rgb;
}

// Opens a fresh file at path for writing; -1 with errno set when it exists.
int create_fresh(const char* path)
{
    return open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
}

// The notice: "SCREENSHOT SAVED:" over the path's last 40 characters.
void tell(const char* path, bool saved)
{
    char text[2 * NOTICE_CHARS + 4];
    if (!saved) {
        snprintf(text, sizeof text, "NO SCREENSHOT: %s", strerror(errno));
    } else {
        size_t len = strlen(path);
        const char* tail = len > NOTICE_CHARS ? path + len - NOTICE_CHARS : path;
        snprintf(text, sizeof text, "SCREENSHOT SAVED:\n%s", tail);
    }
    screen_notice(text);
}

}  // namespace

bool write_png(SDL_Surface* surface, const char* path)
{
    if (!surface || surface->w <= 0 || surface->h <= 0) {
        errno = EINVAL;
        return false;
    }
    uint8_t* rgb = rgb_copy(surface);
    if (!rgb) {
        errno = ENOMEM;
        return false;
    }
    int fd = create_fresh(path);
    int err = errno;
    FILE* f = fd >= 0 ? fdopen(fd, "wb") : nullptr;
    bool good = f != nullptr;
    if (good) {
        png_image image;
        memset(&image, 0, sizeof image);
        image.version = PNG_IMAGE_VERSION;
        image.width = static_cast<png_uint_32>(surface->w);
        image.height = static_cast<png_uint_32>(surface->h);
        image.format = PNG_FORMAT_RGB;
        image.flags = PNG_IMAGE_FLAG_FAST;  // a screenshot must not hold up play
        good = png_image_write_to_stdio(&image, f, 0, rgb, 0, nullptr) != 0;
        png_image_free(&image);
        good = fflush(f) == 0 && good;
        err = good ? 0 : EIO;
        good = fclose(f) == 0 && good;
    } else if (fd >= 0) {
        err = errno;
        close(fd);
    }
    if (!good && fd >= 0)
        unlink(path);  // the file was ours: nothing half written stays
    free(rgb);
    errno = good ? 0 : err ? err : EIO;
    return good;
}

void pictures_folder(char* out, size_t size)
{
    const char* xdg = getenv("XDG_PICTURES_DIR");
    if (xdg && *xdg) {
        snprintf(out, size, "%s", xdg);
        return;
    }
    const char* home = getenv("HOME");
    struct stat st;
    if (home && *home) {
        snprintf(out, size, "%s/Pictures", home);
        if (stat(out, &st) == 0 && S_ISDIR(st.st_mode))
            return;
    }
    snprintf(out, size, ".");
}

bool save_screenshot(char* out, size_t size)
{
    SDL_Surface* shown = SDL_GetVideoSurface();
    if (size > 0)
        out[0] = 0;
    char folder[1024];
    pictures_folder(folder, sizeof folder);
    char stamp[32];
    time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    strftime(stamp, sizeof stamp, "zarn-%Y%m%d-%H%M%S", &local);
    bool saved = false;
    errno = shown ? EEXIST : ENODEV;
    for (int n = 1; shown && n <= NAME_TRIES && !saved && errno == EEXIST; n++) {
        if (n == 1)
            snprintf(out, size, "%s/%s.png", folder, stamp);
        else
            snprintf(out, size, "%s/%s-%d.png", folder, stamp, n);
        saved = write_png(shown, out);
    }
    tell(out, saved);
#ifdef __EMSCRIPTEN__
    if (saved)
        web_offer_file(out);
#endif
    return saved;
}
