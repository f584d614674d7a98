// The scaling filters: each turns the 320 x 240 back surface into a picture
// twice its size. A 1280 x 960 display gets that picture doubled once more,
// so every mode fills its display.
//
// Every filter works a source row at a time: a row kernel (filter_rows.inc)
// writes the two filtered rows, either straight into a 16-bit display at
// 640 x 480 or into wide_rows, from which finish_rows writes them out: each
// pixel doubled and each row twice at 1280 x 960, widened to the display's
// 32-bit format when the display has one. Blends are done on whole 16-bit
// words with masks built from the channel shifts. The kernels are plain
// loops that the compiler vectorises, built once for the baseline processor
// and again for the better ones (NEON on 32-bit ARM, x86-64-v2 and AVX2 on
// x86-64); the best build this processor runs is chosen at start-up. Nothing
// is allocated per frame.
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

// WebAssembly with vectors (the web build): the kernels that interleave two
// rows of results are written out by hand, since the vectoriser stores those
// a lane at a time.
#ifdef __wasm_simd128__
#include <wasm_simd128.h>
#endif

// x86-64 gets builds for x86-64-v2 (SSE4.2) and for AVX2 (x86-64-v3).
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define ZARN_X86_ROWS 1
#endif

namespace {

using Pixel = uint16_t;

constexpr int SRC_W = 320;          // the back surface
constexpr int SRC_H = 240;
constexpr int OUT_W = 2 * SRC_W;    // one filtered row
constexpr int LINE_W = SRC_W + 2;   // a source row padded by a pixel on each side
constexpr int AABUF_USED = SRC_W * SRC_H * 2;  // words of aabuf (the least it is made with)

// Where the filters write: the display's pixels, its pitch, whether each
// filtered row is doubled again on its way (1280 x 960), and for a display of
// 4-byte pixels, which way round red and blue lie and its alpha bits.
struct Target {
    uint8_t* pixels;
    int pitch;
    bool quad;
    bool wide;
    bool bgr;
    uint16_t alpha;
};

// The two filtered rows of the source row in hand, at 1280 x 960.
Pixel wide_rows[2][OUT_W];
// Padded copies of a source row and the row below; element 1 is column 0.
Pixel lines[2][LINE_W];
// BLUR's rows as stored in aabuf: the pixels and their masked forms.
Pixel blur_px[2][LINE_W];
Pixel blur_mk[2][LINE_W];

// (a + b) >> 1 of two pixels masked so that no channel spills into the
// next, kept inside 16 bits: the common bits plus half the differing ones.
inline Pixel half_sum(Pixel a, Pixel b)
{
    return static_cast<Pixel>((a & b) + ((a ^ b) >> 1));
}

#ifdef __wasm_simd128__
// Eight pixels of a and eight of b written in turn, a first: 16 pixels.
inline void store_interleaved(Pixel* out, v128_t a, v128_t b)
{
    wasm_v128_store(out, wasm_i16x8_shuffle(a, b, 0, 8, 1, 9, 2, 10, 3, 11));
    wasm_v128_store(out + 8, wasm_i16x8_shuffle(a, b, 4, 12, 5, 13, 6, 14, 7, 15));
}

// half_sum of eight pixel pairs; with EVEN, the rounding average.
template <bool EVEN>
inline v128_t half_sums(v128_t a, v128_t b)
{
    if (EVEN)
        return wasm_u16x8_avgr(a, b);
    return wasm_i16x8_add(wasm_v128_and(a, b), wasm_u16x8_shr(wasm_v128_xor(a, b), 1));
}
#endif

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

bool is_565(const SDL_PixelFormat* f)
{
    return f->BytesPerPixel == 2 && f->Rmask == 0xF800 && f->Gmask == 0x07E0 && f->Bmask == 0x001F;
}

// True when a 16-bit picture in src's format can be written into dst: both
// of 2-byte pixels, or src 5-6-5 and dst a 32-bit format the filters widen.
bool formats_fit(const SDL_PixelFormat* src, const SDL_PixelFormat* dst)
{
    if (src->BytesPerPixel != 2)
        return false;
    return dst->BytesPerPixel == 2 || (is_565(src) && filters_can_write(dst));
}

// True when src holds a 320 x 240 picture and dst has room for a 640 x 480
// one, in formats that fit.
bool frame_fits(SDL_Surface* src, SDL_Surface* dst)
{
    return src && dst && formats_fit(src->format, dst->format) && src->w >= SRC_W && src->h >= SRC_H &&
           dst->w >= OUT_W && dst->h >= 2 * SRC_H;
}

Target target_of(SDL_Surface* dst, int src_w, int src_h)
{
    const SDL_PixelFormat* f = dst->format;
    bool quad = 2 * src_w <= OUT_W && dst->w >= 4 * src_w && dst->h >= 4 * src_h;
    bool wide = f->BytesPerPixel == 4;
    return {static_cast<uint8_t*>(dst->pixels), dst->pitch, quad, wide, wide && f->Rshift == 0,
            static_cast<uint16_t>(wide ? f->Amask >> 16 : 0)};
}

uint8_t* display_row(const Target& t, int row)
{
    return t.pixels + row * t.pitch;
}

// True when the kernels write straight into the display (16-bit, 640 x 480).
bool in_place(const Target& t)
{
    return !t.quad && !t.wide;
}

// Row k (0 or 1) of the two filtered rows of source row y.
Pixel* out_row(const Target& t, int y, int k)
{
    if (!in_place(t))
        return wide_rows[k];
    return reinterpret_cast<Pixel*>(display_row(t, 2 * y + k));
}

// The row kernels, one pointer each (filter_rows.inc); the widening ones
// come in two, indexed by Target::bgr, the BLUR blends in two, indexed by
// whether the mask clears bit 0.
struct RowCode {
    void (*double_pixels)(const Pixel*, Pixel*, int);
    void (*double_two)(const Pixel*, int, Pixel*, Pixel*);
    void (*expand_row[2])(const Pixel*, int, uint16_t, void*);
    void (*expand_double[2])(const Pixel*, int, uint16_t, void*, void*);
    void (*scale2x_row)(const Pixel*, const Pixel*, const Pixel*, Pixel*, Pixel*);
    void (*bilinear_row)(const Pixel*, const Pixel*, Pixel, Pixel*, Pixel*);
    void (*bilinear_last_row)(const Pixel*, Pixel, Pixel*);
    void (*dark_row)(const Pixel*, Pixel, Pixel*);
    void (*blur_store_row)(const Pixel*, Pixel, uint32_t*, Pixel*, Pixel*);
    void (*blur_row[2])(const Pixel*, const Pixel*, const Pixel*, Pixel*, Pixel*);
    void (*blur_last_row[2])(const Pixel*, const Pixel*, Pixel*);
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

#ifdef ZARN_X86_ROWS
#pragma GCC push_options
#pragma GCC target("arch=x86-64-v2")
#define FILTER_ROWS v2_rows
#include "video/filter_rows.inc"
#undef FILTER_ROWS
#pragma GCC pop_options
#pragma GCC push_options
#pragma GCC target("arch=x86-64-v3")
#define FILTER_ROWS avx2_rows
#include "video/filter_rows.inc"
#undef FILTER_ROWS
#pragma GCC pop_options
#endif

const char* const ROWS_NAMES[FILTER_ROWS_BUILDS] = {"baseline", "NEON", "x86-64-v2", "AVX2"};

// Build `which` of the kernels, when this processor can run it.
const RowCode* rows_build(int which)
{
    switch (which) {
    case FILTER_ROWS_BASELINE:
        return &portable_rows::code;
#ifdef ZARN_NEON_ROWS
    case FILTER_ROWS_NEON:
        return (getauxval(AT_HWCAP) & HWCAP_ARM_NEON) ? &neon_rows::code : nullptr;
#endif
#ifdef ZARN_X86_ROWS
    case FILTER_ROWS_X86_64_V2:
        __builtin_cpu_init();
        return __builtin_cpu_supports("x86-64-v2") ? &v2_rows::code : nullptr;
    case FILTER_ROWS_AVX2:
        __builtin_cpu_init();
        return __builtin_cpu_supports("x86-64-v3") ? &avx2_rows::code : nullptr;
#endif
    default:
        return nullptr;
    }
}

// True when build `which` runs here but slower than a narrower one: AMD's
// first Zen cores split every 256-bit operation in two and move data across
// its halves slowly, so there the AVX2 build takes longer than x86-64-v2
// (bench_filters shows it), fewer instructions notwithstanding.
bool slow_here(int which)
{
#ifdef ZARN_X86_ROWS
    __builtin_cpu_init();
    return which == FILTER_ROWS_AVX2 && __builtin_cpu_is("znver1");
#else
    return which < 0;
#endif
}

// The best build for this processor: the widest it runs at full speed.
int best_build()
{
    int best = FILTER_ROWS_BASELINE;
    for (int which = 1; which < FILTER_ROWS_BUILDS; which++)
        if (rows_build(which) && !slow_here(which))
            best = which;
    return best;
}

// The kernels the filters run, chosen once at start-up.
int kernels_build = best_build();
const RowCode* kernels = rows_build(kernels_build);

// Ends source row y, whose filtered rows of n pixels are in wide_rows (with
// rows 1, wide_rows[0] alone stands for both): at 1280 x 960 each becomes
// two display rows of doubled pixels; on a 32-bit display each is widened on
// its way. A 16-bit display at 640 x 480 was written in place.
void finish_rows(const Target& t, int y, int n, int rows = 2)
{
    if (in_place(t))
        return;
    for (int k = 0; k < 2; k++) {
        const Pixel* in = wide_rows[rows == 2 ? k : 0];
        if (!t.quad) {
            kernels->expand_row[t.bgr](in, n, t.alpha, display_row(t, 2 * y + k));
            continue;
        }
        uint8_t* a = display_row(t, 4 * y + 2 * k);
        uint8_t* b = display_row(t, 4 * y + 2 * k + 1);
        if (t.wide)
            kernels->expand_double[t.bgr](in, n, t.alpha, a, b);
        else
            kernels->double_two(in, n, reinterpret_cast<Pixel*>(a), reinterpret_cast<Pixel*>(b));
    }
}

// The last source row's single filtered row, in out_row(t, y, 0), shown on
// both of its rows.
void finish_last_row(const Target& t, int y, int n)
{
    if (in_place(t))
        memcpy(out_row(t, y, 1), out_row(t, y, 0), n * sizeof(Pixel));
    else
        finish_rows(t, y, n, 1);
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

bool filters_can_write(const SDL_PixelFormat* f)
{
    if (!f)
        return false;
    if (f->BytesPerPixel == 2)
        return true;
    bool channels = f->Rloss == 0 && f->Gloss == 0 && f->Bloss == 0 && f->Gmask == 0x0000FF00;
    bool red_blue = (f->Rmask == 0x00FF0000 && f->Bmask == 0x000000FF) ||
                    (f->Rmask == 0x000000FF && f->Bmask == 0x00FF0000);
    return SDL_BYTEORDER == SDL_LIL_ENDIAN && f->BytesPerPixel == 4 && channels && red_blue &&
           (f->Amask == 0 || f->Amask == 0xFF000000);
}

bool filters_use_rows(int which)
{
    if (which < 0 || which >= FILTER_ROWS_BUILDS)
        which = best_build();
    const RowCode* chosen = rows_build(which);
    if (chosen) {
        kernels = chosen;
        kernels_build = which;
    }
    return chosen != nullptr;
}

int filters_rows_in_use()
{
    return kernels_build;
}

const char* filters_rows_name(int which)
{
    return which >= 0 && which < FILTER_ROWS_BUILDS ? ROWS_NAMES[which] : "";
}

void unfiltered_320(SDL_Surface* src, SDL_Surface* dst)
{
    if (!src || !dst || !formats_fit(src->format, dst->format) || dst->w < src->w || dst->h < src->h)
        return;
    SDL_LockSurface(dst);
    SDL_LockSurface(src);
    Target t = target_of(dst, src->w, src->h);
    for (int y = 0; y < src->h; y++) {
        if (t.wide)
            kernels->expand_row[t.bgr](row_of(src, y), src->w, t.alpha, display_row(t, y));
        else
            memcpy(display_row(t, y), row_of(src, y), src->w * sizeof(Pixel));
    }
    SDL_UnlockSurface(src);
    SDL_UnlockSurface(dst);
}

void zoom2_320(SDL_Surface* src, SDL_Surface* dst)
{
    if (!src || !dst || !formats_fit(src->format, dst->format))
        return;
    int w = src->w, h = src->h;
    if (dst->w < 2 * w || dst->h < 2 * h)
        return;
    SDL_LockSurface(dst);
    SDL_LockSurface(src);
    Target t = target_of(dst, w, h);
    for (int y = 0; y < h; y++) {
        const Pixel* in = row_of(src, y);
        if (t.quad) {
            kernels->double_pixels(in, wide_rows[0], w);
            finish_rows(t, y, 2 * w, 1);
        } else if (t.wide) {
            kernels->expand_double[t.bgr](in, w, t.alpha, display_row(t, 2 * y), display_row(t, 2 * y + 1));
        } else {
            kernels->double_two(in, w, reinterpret_cast<Pixel*>(display_row(t, 2 * y)),
                                reinterpret_cast<Pixel*>(display_row(t, 2 * y + 1)));
        }
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
    finish_last_row(t, SRC_H - 1, OUT_W);
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

// BLUR stores each source row with its masked form in aabuf just before the
// row is needed, two rows in turn at the buffer's start, so that a frame
// touches 5 kB of the buffer rather than 600 kB; the picture is the same.
void antiAlias2_320(SDL_Surface* src, SDL_Surface* dst)
{
    if (!frame_fits(src, dst))
        return;
    if (!aabuf) {
        size_t bytes = static_cast<size_t>(dst->w) * static_cast<size_t>(dst->h) * 4;
        if (bytes < AABUF_USED * sizeof(uint32_t))
            bytes = AABUF_USED * sizeof(uint32_t);
        aabuf = static_cast<uint32_t*>(malloc(bytes));
    }
    if (!aabuf) {  // no work buffer: this frame is shown unblurred
        zoom2_320(src, dst);
        return;
    }
    SDL_LockSurface(dst);
    SDL_LockSurface(src);
    Pixel m = blur_mask(src->format);
    bool even = (m & 1) == 0;
    uint32_t* const pairs[2] = {aabuf, aabuf + 2 * SRC_W};
    // Source row y into aabuf, and as the same words into blur_px, blur_mk [y & 1].
    auto take_row = [&](int y) {
        kernels->blur_store_row(row_of(src, y), m, pairs[y & 1], blur_px[y & 1], blur_mk[y & 1]);
    };
    Target t = target_of(dst, SRC_W, SRC_H);
    take_row(0);
    for (int y = 0; y < SRC_H - 1; y++) {
        const Pixel* px = blur_px[y & 1];
        const Pixel* mk = blur_mk[y & 1];
        take_row(y + 1);
        Pixel* o0 = out_row(t, y, 0);
        Pixel* o1 = out_row(t, y, 1);
        kernels->blur_row[even](px, mk, blur_mk[(y + 1) & 1], o0, o1);
        // Column 319: the centre above, the lower neighbour itself below,
        // each repeated into the last column.
        o0[OUT_W - 2] = o0[OUT_W - 1] = px[SRC_W];
        o1[OUT_W - 2] = o1[OUT_W - 1] = blur_px[(y + 1) & 1][SRC_W];
        finish_rows(t, y, OUT_W);
    }
    // The last source row gives one row, shown twice.
    const Pixel* px = blur_px[(SRC_H - 1) & 1];
    Pixel* o0 = out_row(t, SRC_H - 1, 0);
    kernels->blur_last_row[even](px, blur_mk[(SRC_H - 1) & 1], o0);
    o0[OUT_W - 2] = o0[OUT_W - 1] = px[SRC_W];
    finish_last_row(t, SRC_H - 1, OUT_W);
    SDL_UnlockSurface(src);
    SDL_UnlockSurface(dst);
}
