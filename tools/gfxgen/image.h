// A plain RGB picture and the few drawing operations the art needs.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

using rgb = uint32_t;  // 0xRRGGBB
constexpr rgb KEY = 0xff00ff;

constexpr rgb mkrgb(int r, int g, int b)
{
    return rgb(std::clamp(r, 0, 255)) << 16 | rgb(std::clamp(g, 0, 255)) << 8 | rgb(std::clamp(b, 0, 255));
}
constexpr int red(rgb c) { return int(c >> 16 & 255); }
constexpr int green(rgb c) { return int(c >> 8 & 255); }
constexpr int blue(rgb c) { return int(c & 255); }

// Blends a into b: t = 0 gives a, t = 1 gives b.
inline rgb mix(rgb a, rgb b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    auto m = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return mkrgb(m(red(a), red(b)), m(green(a), green(b)), m(blue(a), blue(b)));
}
inline rgb scale(rgb c, double f)
{
    return mkrgb(int(red(c) * f), int(green(c) * f), int(blue(c) * f));
}
inline rgb add(rgb a, rgb b)
{
    return mkrgb(red(a) + red(b), green(a) + green(b), blue(a) + blue(b));
}

struct Img {
    int w = 0, h = 0;
    std::vector<rgb> px;
    Img() = default;
    Img(int w_, int h_, rgb fill = KEY) : w(w_), h(h_), px(size_t(w_) * h_, fill) {}
    bool in(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
    rgb at(int x, int y) const { return in(x, y) ? px[size_t(y) * w + x] : KEY; }
    rgb wrap(int x, int y) const { return px[size_t(((y % h) + h) % h) * w + ((x % w) + w) % w]; }
    void set(int x, int y, rgb c)
    {
        if (in(x, y))
            px[size_t(y) * w + x] = c;
    }
    void rect(int x, int y, int rw, int rh, rgb c)
    {
        for (int j = y; j < y + rh; j++)
            for (int i = x; i < x + rw; i++)
                set(i, j, c);
    }
    // Copies src (keyed: magenta pixels are skipped when keyed is set).
    void blit(const Img& src, int dx, int dy, bool keyed = true)
    {
        for (int y = 0; y < src.h; y++)
            for (int x = 0; x < src.w; x++) {
                rgb c = src.px[size_t(y) * src.w + x];
                if (!keyed || c != KEY)
                    set(dx + x, dy + y, c);
            }
    }
    Img crop(int x, int y, int cw, int ch) const
    {
        Img out(cw, ch);
        for (int j = 0; j < ch; j++)
            for (int i = 0; i < cw; i++)
                out.px[size_t(j) * cw + i] = at(x + i, y + j);
        return out;
    }
};

// Fixed-seed pseudo-random numbers (xorshift), so every build draws the same.
struct Rng {
    uint32_t s;
    explicit Rng(uint32_t seed) : s(seed ? seed : 1) {}
    uint32_t next()
    {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        return s;
    }
    int below(int n) { return int(next() % uint32_t(n)); }
    double unit() { return (next() & 0xffffff) / double(0x1000000); }
};

// Smooth value noise that repeats every `period` pixels in both directions.
double noise(double x, double y, int period, uint32_t seed);
// Sum of noise octaves, roughly 0..1, repeating every `period` pixels.
double fbm(double x, double y, int period, uint32_t seed, int octaves = 4);

// The picture as the 16-bit (5-6-5) game screen shows it; with `dither`, an
// ordered dither hides the banding of soft gradients. Magenta stays exactly
// the key, and no other colour becomes it.
Img to565(const Img& img, bool dither);
uint16_t pack565(rgb c);

// 24-bit uncompressed BMP.
void write_bmp(const std::string& path, const Img& img);
// 16-bit 5-6-5 BMP (bit fields): the format the game blits fastest.
void write_bmp16(const std::string& path, const Img& img);
void write_png(const std::string& path, const Img& img);
