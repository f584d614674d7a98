#include "video/shot.h"

#include "video/screen.h"

#include "sys/web.h"

#include <png.h>

#include <string>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int32_t shot_conversions;

namespace {

constexpr int NAME_TRIES = 100;      // zarn-...png, then -2 up to -100
constexpr size_t NOTICE_CHARS = 40;  // small-font characters across the frame
constexpr char LONGEST_NAME[] = "/zarn-YYYYMMDD-HHMMSS-100.png";

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
    shot_conversions++;
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

// Writes the w x h rows of rgb as a PNG into fd (closed here); false, with
// errno set, when a step fails.
bool write_rows(int fd, const uint8_t* rgb, int w, int h)
{
    FILE* f = fdopen(fd, "wb");
    if (!f) {
        int err = errno;
        close(fd);
        errno = err;
        return false;
    }
    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(w);
    image.height = static_cast<png_uint_32>(h);
    image.format = PNG_FORMAT_RGB;
    image.flags = PNG_IMAGE_FLAG_FAST;  // a screenshot must not hold up play
    bool good = png_image_write_to_stdio(&image, f, 0, rgb, 0, nullptr) != 0;
    png_image_free(&image);
    good = fflush(f) == 0 && good;
    good = fclose(f) == 0 && good;
    errno = good ? 0 : EIO;
    return good;
}

// The notice: "SCREENSHOT SAVED:" over the path, shortened from the left to
// whole folder names after "..." when longer than a line (a name too long for
// a line loses its start instead).
void tell(const char* path, bool saved, const char* why = nullptr)
{
    char text[2 * NOTICE_CHARS + 4];
    if (!saved) {
        snprintf(text, sizeof text, "NO SCREENSHOT: %s", why ? why : strerror(errno));
    } else {
        const char* tail = path;
        size_t room = NOTICE_CHARS - 3;  // after "..."
        if (strlen(path) > NOTICE_CHARS) {
            tail = path + strlen(path) - room;
            const char* slash = strchr(tail, '/');
            if (slash)
                tail = slash;
        }
        snprintf(text, sizeof text, "SCREENSHOT SAVED:\n%s%s", tail == path ? "" : "...", tail);
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
    bool good = fd >= 0 && write_rows(fd, rgb, surface->w, surface->h);
    int err = errno;
    if (!good && fd >= 0)
        unlink(path);  // the file was ours: nothing half written stays
    free(rgb);
    errno = err;
    return good;
}

std::string pictures_folder()
{
    const char* xdg = getenv("XDG_PICTURES_DIR");
    if (xdg && *xdg)
        return xdg;
    const char* home = getenv("HOME");
    struct stat st;
    if (home && *home) {
        std::string pictures = std::string(home) + "/Pictures";
        if (stat(pictures.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            return pictures;
    }
    return ".";
}

bool save_screenshot(char* out, size_t size)
{
    SDL_Surface* shown = SDL_GetVideoSurface();
    if (size > 0)
        out[0] = 0;
    const std::string folder = pictures_folder();
    if (folder.size() + sizeof LONGEST_NAME > size) {  // a path is never cut
        tell(out, false, "FOLDER NAME TOO LONG");
        return false;
    }
    char stamp[32];
    time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    strftime(stamp, sizeof stamp, "zarn-%Y%m%d-%H%M%S", &local);
    // The picture is taken once; then the first free name gets it.
    uint8_t* rgb = shown && shown->w > 0 && shown->h > 0 ? rgb_copy(shown) : nullptr;
    errno = !shown ? ENODEV : !rgb ? ENOMEM : EEXIST;
    int fd = -1;
    for (int n = 1; rgb && n <= NAME_TRIES && fd < 0 && errno == EEXIST; n++) {
        if (n == 1)
            snprintf(out, size, "%s/%s.png", folder.c_str(), stamp);
        else
            snprintf(out, size, "%s/%s-%d.png", folder.c_str(), stamp, n);
        fd = create_fresh(out);
    }
    bool saved = fd >= 0 && write_rows(fd, rgb, shown->w, shown->h);
    int err = errno;
    if (!saved && fd >= 0)
        unlink(out);
    free(rgb);
    errno = err;
    tell(out, saved);
#ifdef __EMSCRIPTEN__
    if (saved)
        web_offer_file(out);
#endif
    return saved;
}
