// The scaling filters: each turns the 320 x 240 back surface into a picture
// twice its size. A 1280 x 960 display gets that picture doubled once more,
// so every mode fills its display.
//
// Every filter works a source row at a time: a row kernel (filter_rows.inc)
// writes the two filtered rows, either straight into the display (640 x 480)
// or into wide_rows, from which finish_rows doubles them into four display
// rows. Blends are done on whole 16-bit words with masks built from the
// channel shifts. The kernels are plain loops that the compiler vectorises
// (SSE2 on x86, NEON on ARM); nothing is allocated per frame.
#include "video/filters.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

// 32-bit ARM built without NEON (the usual armhf) gets a second, NEON build
// of the row kernels, used when the processor has NEON.
#if defined(__arm__) && !defined(__ARM_NEON) && defined(__GNUC__) && !defined(__clang__) && defined(__linux__)
#define ZARN_NEON_ROWS 1
#include <sys/auxv.h>
#endif

namespace {

using Pixel = uint16_t;

constexpr int SRC_W = 320;          // the back surface
constexpr int SRC_H = 240;
constexpr int OUT_W = 2 * SRC_W;    // one filtered row
constexpr int LINE_W = SRC_W + 2;   // a source row padded by a pixel on each side
constexpr int AABUF_USED = SRC_W * SRC_H * 2;  // words of aabuf the BLUR uses

// Where the filters write: the display's pixels, its pitch, and whether each
// filtered row is doubled again on its way (1280 x 960).
struct Target {
    uint8_t* pixels;
    int pitch;
    bool quad;
};

// The two filtered rows of the source row in hand, at 1280 x 960.
Pixel wide_rows[2][OUT_W];
// Padded copies of a source row and the row below; element 1 is column 0.
Pixel lines[2][LINE_W];
// BLUR's rows read back from aabuf: the pixels and their masked forms.
Pixel blur_px[2][LINE_W];
Pixel blur_mk[2][LINE_W];

// (a + b) >> 1 of two pixels masked so that no channel spills into the
// next, kept inside 16 bits: the common bits plus half the differing ones.
inline Pixel half_sum(Pixel a, Pixel b)
{
    return static_cast<Pixel>((a & b) + ((a ^ b) >> 1));
}

inline unsigned bit(unsigned shift)
{
    return 1u << (shift & 31);
}

// BILINEAR AA: clears the lowest bit of each channel but the one at bit 0.
Pixel bilinear_mask(const SDL_PixelFormat* f)
{
    return static_cast<Pixel>((~(bit(f->Gshift) | bit(f->Rshift) | bit(f->Bshift)) | 1u) & 0xFFFF);
}

// SCANLINE: the top bit of each channel of RGB565.
Pixel scanline_mask(const SDL_PixelFormat* f)
{
    return static_cast<Pixel>(((0x20u << (f->Gshift & 15)) | (0x10u << (f->Rshift & 15)) |
                               (0x10u << (f->Bshift & 15))) & 0xFFFF);
}

// BLUR: clears the lowest bit of every channel.
Pixel blur_mask(const SDL_PixelFormat* f)
{
    return static_cast<Pixel>((0xFFFFu ^ bit(f->Rshift) ^ bit(f->Gshift) ^ bit(f->Bshift)) & 0xFFFF);
}

Pixel* row_of(SDL_Surface* s, int y)
{
    return reinterpret_cast<Pixel*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch);
}

// True when src holds a 320 x 240 picture and dst a 640 x 480 one, both of
// 2-byte pixels.
bool frame_fits(SDL_Surface* src, SDL_Surface* dst)
{
    return src && dst && src->format->BytesPerPixel == 2 && dst->format->BytesPerPixel == 2 &&
           src->w >= SRC_W && src->h >= SRC_H && dst->w >= OUT_W && dst->h >= 2 * SRC_H;
}

Target target_of(SDL_Surface* dst, int src_w, int src_h)
{
    bool quad = 2 * src_w <= OUT_W && dst->w >= 4 * src_w && dst->h >= 4 * src_h;
    return {static_cast<uint8_t*>(dst->pixels), dst->pitch, quad};
}

// Row k (0 or 1) of the two filtered rows of source row y.
Pixel* out_row(const Target& t, int y, int k)
{
    if (t.quad)
        return wide_rows[k];
    return reinterpret_cast<Pixel*>(t.pixels + (2 * y + k) * t.pitch);
}

// The row kernels, one pointer each (filter_rows.inc).
struct RowCode {
    void (*double_pixels)(const Pixel*, Pixel*, int);
    void (*scale2x_row)(const Pixel*, const Pixel*, const Pixel*, Pixel*, Pixel*);
    void (*bilinear_row)(const Pixel*, const Pixel*, Pixel, Pixel*, Pixel*);
    void (*bilinear_last_row)(const Pixel*, Pixel, Pixel*);
    void (*dark_row)(const Pixel*, Pixel, Pixel*);
    void (*blur_store_row)(const Pixel*, Pixel, uint32_t*);
    void (*blur_load_row)(const uint32_t*, Pixel*, Pixel*);
    void (*blur_row)(const Pixel*, const Pixel*, const Pixel*, Pixel*, Pixel*);
    void (*blur_last_row)(const Pixel*, const Pixel*, Pixel*);
};

#define FILTER_ROWS portable_rows
#include "video/filter_rows.inc"
#undef FILTER_ROWS

#ifdef ZARN_NEON_ROWS
#pragma GCC push_options
#pragma GCC target("fpu=neon")
#define FILTER_ROWS neon_rows
#include "video/filter_rows.inc"
#undef FILTER_ROWS
#pragma GCC pop_options
#endif

// The NEON build of the kernels, when this processor can run it.
const RowCode* neon_code()
{
#ifdef ZARN_NEON_ROWS
    if (getauxval(AT_HWCAP) & HWCAP_ARM_NEON)
        return &neon_rows::code;
#endif
    return nullptr;
}

const RowCode* best_code()
{
    const RowCode* neon = neon_code();
    return neon ? neon : &portable_rows::code;
}

// The kernels the filters run.
const RowCode* kernels = best_code();

// Ends source row y. At 1280 x 960 its two filtered rows of n pixels become
// four display rows: each pixel doubled, each row repeated by a block copy.
// With rows 1, only wide_rows[0] is used and fills all four display rows.
void finish_rows(const Target& t, int y, int n, int rows = 2)
{
    if (!t.quad)
        return;
    uint8_t* first = t.pixels + 4 * y * t.pitch;
    for (int k = 0; k < 4; k++) {
        uint8_t* row = first + k * t.pitch;
        if (k == 0 || (k == 2 && rows == 2))
            kernels->double_pixels(wide_rows[k / 2], reinterpret_cast<Pixel*>(row), n);
        else
            memcpy(row, row - t.pitch, 4 * static_cast<size_t>(n));
    }
}

// Copies source row y into a padded line whose ends repeat the edge pixels.
void load_line(Pixel* line, SDL_Surface* src, int y)
{
    memcpy(line + 1, row_of(src, y), SRC_W * sizeof(Pixel));
    line[0] = line[1];
    line[SRC_W + 1] = line[SRC_W];
}

}  // namespace

uint32_t* aabuf;

void filters_release_buffer()
{
    free(aabuf);
    aabuf = nullptr;
}

bool filters_use_rows(int which)
{
    const RowCode* chosen = which == 0 ? &portable_rows::code : which == 1 ? neon_code() : best_code();
    if (chosen)
        kernels = chosen;
    return chosen != nullptr;
}

void zoom2_320(SDL_Surface* src, SDL_Surface* dst)
{
    if (!src || !dst || src->format->BytesPerPixel != 2 || dst->format->BytesPerPixel != 2)
        return;
    int w = src->w, h = src->h;
    if (dst->w < 2 * w || dst->h < 2 * h)
        return;
    SDL_LockSurface(dst);
    SDL_LockSurface(src);
    Target t = target_of(dst, w, h);
    for (int y = 0; y < h; y++) {
        Pixel* o = out_row(t, y, 0);
        kernels->double_pixels(row_of(src, y), o, w);
        if (!t.quad)
            memcpy(out_row(t, y, 1), o, 4 * static_cast<size_t>(w));
        finish_rows(t, y, 2 * w, 1);
    }
    SDL_UnlockSurface(src);
    SDL_UnlockSurface(dst);
}

void Scale2X_320(SDL_Surface* src, SDL_Surface* dst)
{
    if (!frame_fits(src, dst))
        return;
    SDL_LockSurface(dst);
    SDL_LockSurface(src);
    Target t = target_of(dst, SRC_W, SRC_H);
    for (int y = 0; y < SRC_H; y++) {
        load_line(lines[0], src, y);
        const Pixel* b = row_of(src, y > 0 ? y - 1 : y);
        const Pixel* h = row_of(src, y < SRC_H - 1 ? y + 1 : y);
        kernels->scale2x_row(b, lines[0], h, out_row(t, y, 0), out_row(t, y, 1));
        finish_rows(t, y, OUT_W);
    }
    SDL_UnlockSurface(src);
    SDL_UnlockSurface(dst);
}

void Bilinear2_320(SDL_Surface* src, SDL_Surface* dst)
{
    if (!frame_fits(src, dst))
        return;
    SDL_LockSurface(dst);
    SDL_LockSurface(src);
    Target t = target_of(dst, SRC_W, SRC_H);
    Pixel m = bilinear_mask(src->format);
    load_line(lines[0], src, 0);
    for (int y = 0; y < SRC_H - 1; y++) {
        const Pixel* e = lines[y & 1];
        Pixel* dn = lines[(y + 1) & 1];
        load_line(dn, src, y + 1);
        Pixel* o0 = out_row(t, y, 0);
        Pixel* o1 = out_row(t, y, 1);
        kernels->bilinear_row(e, dn, m, o0, o1);
        Pixel E = e[SRC_W], Dn = dn[SRC_W];
        o0[OUT_W - 2] = o0[OUT_W - 1] = E;
        o1[OUT_W - 2] = o1[OUT_W - 1] = half_sum(E & m, Dn & m);
        finish_rows(t, y, OUT_W);
    }
    const Pixel* e = lines[(SRC_H - 1) & 1];
    Pixel* o0 = out_row(t, SRC_H - 1, 0);
    kernels->bilinear_last_row(e, m, o0);
    o0[OUT_W - 2] = o0[OUT_W - 1] = e[SRC_W];
    if (!t.quad)
        memcpy(out_row(t, SRC_H - 1, 1), o0, OUT_W * sizeof(Pixel));
    finish_rows(t, SRC_H - 1, OUT_W, 1);
    SDL_UnlockSurface(src);
    SDL_UnlockSurface(dst);
}

void Scanline2x_320(SDL_Surface* src, SDL_Surface* dst)
{
    if (!frame_fits(src, dst))
        return;
    SDL_LockSurface(dst);
    SDL_LockSurface(src);
    Target t = target_of(dst, SRC_W, SRC_H);
    Pixel s = scanline_mask(src->format);
    for (int y = 0; y < SRC_H; y++) {
        Pixel* o0 = out_row(t, y, 0);
        kernels->double_pixels(row_of(src, y), o0, SRC_W);
        kernels->dark_row(o0, s, out_row(t, y, 1));
        finish_rows(t, y, OUT_W);
    }
    SDL_UnlockSurface(src);
    SDL_UnlockSurface(dst);
}

void antiAlias2_320(SDL_Surface* src, SDL_Surface* dst)
{
    if (!frame_fits(src, dst))
        return;
    SDL_LockSurface(src);
    if (!aabuf) {
        size_t bytes = static_cast<size_t>(dst->w) * static_cast<size_t>(dst->h) * 4;
        if (bytes < AABUF_USED * sizeof(uint32_t))
            bytes = AABUF_USED * sizeof(uint32_t);
        aabuf = static_cast<uint32_t*>(malloc(bytes));
    }
    if (!aabuf) {  // no work buffer: this frame is shown unblurred
        SDL_UnlockSurface(src);
        zoom2_320(src, dst);
        return;
    }
    Pixel m = blur_mask(src->format);
    for (int y = 0; y < SRC_H; y++)
        kernels->blur_store_row(row_of(src, y), m, aabuf + 2 * SRC_W * y);
    SDL_UnlockSurface(src);

    SDL_LockSurface(dst);
    Target t = target_of(dst, SRC_W, SRC_H);
    kernels->blur_load_row(aabuf, blur_px[0], blur_mk[0]);
    for (int y = 0; y < SRC_H - 1; y++) {
        const Pixel* px = blur_px[y & 1];
        const Pixel* mk = blur_mk[y & 1];
        kernels->blur_load_row(aabuf + 2 * SRC_W * (y + 1), blur_px[(y + 1) & 1], blur_mk[(y + 1) & 1]);
        Pixel* o0 = out_row(t, y, 0);
        Pixel* o1 = out_row(t, y, 1);
        kernels->blur_row(px, mk, blur_mk[(y + 1) & 1], o0, o1);
        // Column 319: the centre above, the lower neighbour itself below,
        // each repeated into the last column.
        o0[OUT_W - 2] = o0[OUT_W - 1] = px[SRC_W];
        o1[OUT_W - 2] = o1[OUT_W - 1] = blur_px[(y + 1) & 1][SRC_W];
        finish_rows(t, y, OUT_W);
    }
    // The last source row gives one row, shown twice.
    const Pixel* px = blur_px[(SRC_H - 1) & 1];
    Pixel* o0 = out_row(t, SRC_H - 1, 0);
    kernels->blur_last_row(px, blur_mk[(SRC_H - 1) & 1], o0);
    o0[OUT_W - 2] = o0[OUT_W - 1] = px[SRC_W];
    if (!t.quad)
        memcpy(out_row(t, SRC_H - 1, 1), o0, OUT_W * sizeof(Pixel));
    finish_rows(t, SRC_H - 1, OUT_W, 1);
    SDL_UnlockSurface(dst);
}
