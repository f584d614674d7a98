#include "image.h"

#include <zlib.h>

#include <fstream>
#include <stdexcept>

namespace {

double lattice(int x, int y, int period, uint32_t seed)
{
    x = ((x % period) + period) % period;
    y = ((y % period) + period) % period;
    uint32_t h = seed * 0x9e3779b9u ^ uint32_t(x) * 0x85ebca6bu ^ uint32_t(y) * 0xc2b2ae35u;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return (h & 0xffff) / 65535.0;
}

double smooth(double t) { return t * t * (3 - 2 * t); }

void put16(std::vector<uint8_t>& v, uint32_t x)
{
    v.push_back(uint8_t(x));
    v.push_back(uint8_t(x >> 8));
}
void put32(std::vector<uint8_t>& v, uint32_t x)
{
    put16(v, x & 0xffff);
    put16(v, x >> 16);
}
void put32be(std::vector<uint8_t>& v, uint32_t x)
{
    for (int i = 3; i >= 0; i--)
        v.push_back(uint8_t(x >> (8 * i)));
}

void save(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

void png_chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data)
{
    put32be(out, uint32_t(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0, out.data() + start, uInt(out.size() - start));
    put32be(out, uint32_t(crc));
}

}  // namespace

double noise(double x, double y, int period, uint32_t seed)
{
    int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    double fx = smooth(x - x0), fy = smooth(y - y0);
    double a = lattice(x0, y0, period, seed), b = lattice(x0 + 1, y0, period, seed);
    double c = lattice(x0, y0 + 1, period, seed), d = lattice(x0 + 1, y0 + 1, period, seed);
    return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

double fbm(double x, double y, int period, uint32_t seed, int octaves)
{
    double sum = 0, amp = 0.5, norm = 0;
    int cells = 4;  // lattice cells across one period at the first octave
    for (int o = 0; o < octaves; o++) {
        double f = double(cells) / period;
        sum += amp * noise(x * f, y * f, cells, seed + uint32_t(o) * 101);
        norm += amp;
        amp *= 0.5;
        cells *= 2;
    }
    return sum / norm;
}

// 24-bit uncompressed, bottom-up rows padded to four bytes.
void write_bmp(const std::string& path, const Img& img)
{
    uint32_t row = uint32_t(img.w * 3 + 3) & ~3u;
    uint32_t data = row * uint32_t(img.h);
    std::vector<uint8_t> v;
    v.push_back('B');
    v.push_back('M');
    put32(v, 54 + data);
    put32(v, 0);
    put32(v, 54);
    put32(v, 40);
    put32(v, uint32_t(img.w));
    put32(v, uint32_t(img.h));
    put16(v, 1);
    put16(v, 24);
    put32(v, 0);  // BI_RGB
    put32(v, data);
    put32(v, 2835);
    put32(v, 2835);
    put32(v, 0);
    put32(v, 0);
    for (int y = img.h - 1; y >= 0; y--) {
        for (int x = 0; x < img.w; x++) {
            rgb c = img.px[size_t(y) * img.w + x];
            v.push_back(uint8_t(blue(c)));
            v.push_back(uint8_t(green(c)));
            v.push_back(uint8_t(red(c)));
        }
        for (uint32_t p = uint32_t(img.w * 3); p < row; p++)
            v.push_back(0);
    }
    save(path, v);
}

uint16_t pack565(rgb c)
{
    return uint16_t((red(c) >> 3) << 11 | (green(c) >> 2) << 5 | (blue(c) >> 3));
}

static rgb unpack565(uint16_t v)
{
    int r = v >> 11, g = v >> 5 & 63, b = v & 31;
    return mkrgb(r << 3 | r >> 2, g << 2 | g >> 4, b << 3 | b >> 2);
}

Img to565(const Img& img, bool dither)
{
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    constexpr uint16_t KEY565 = 0xf81f;
    Img out(img.w, img.h);
    for (int y = 0; y < img.h; y++)
        for (int x = 0; x < img.w; x++) {
            rgb c = img.px[size_t(y) * img.w + x];
            if (c == KEY) {
                out.px[size_t(y) * img.w + x] = KEY;
                continue;
            }
            if (dither) {  // up to one step of 5 (or 6) bits, by position
                double t = (bayer[y & 3][x & 3] + 0.5) / 16.0;
                c = mkrgb(red(c) + int(t * 8), green(c) + int(t * 4), blue(c) + int(t * 8));
            }
            uint16_t v = pack565(c);
            if (v == KEY565)
                v = 0xf81e;
            out.px[size_t(y) * img.w + x] = unpack565(v);
        }
    return out;
}

void write_bmp16(const std::string& path, const Img& img)
{
    uint32_t row = uint32_t(img.w * 2 + 3) & ~3u;
    uint32_t data = row * uint32_t(img.h);
    std::vector<uint8_t> v;
    v.push_back('B');
    v.push_back('M');
    put32(v, 66 + data);
    put32(v, 0);
    put32(v, 66);
    put32(v, 40);
    put32(v, uint32_t(img.w));
    put32(v, uint32_t(img.h));
    put16(v, 1);
    put16(v, 16);
    put32(v, 3);  // BI_BITFIELDS
    put32(v, data);
    put32(v, 2835);
    put32(v, 2835);
    put32(v, 0);
    put32(v, 0);
    put32(v, 0xf800);
    put32(v, 0x07e0);
    put32(v, 0x001f);
    for (int y = img.h - 1; y >= 0; y--) {
        for (int x = 0; x < img.w; x++)
            put16(v, pack565(img.px[size_t(y) * img.w + x]));
        for (uint32_t p = uint32_t(img.w * 2); p < row; p++)
            v.push_back(0);
    }
    save(path, v);
}

// 8-bit RGB, no filtering, one zlib stream.
void write_png(const std::string& path, const Img& img)
{
    std::vector<uint8_t> raw;
    raw.reserve(size_t(img.h) * (img.w * 3 + 1));
    for (int y = 0; y < img.h; y++) {
        raw.push_back(0);
        for (int x = 0; x < img.w; x++) {
            rgb c = img.px[size_t(y) * img.w + x];
            raw.push_back(uint8_t(red(c)));
            raw.push_back(uint8_t(green(c)));
            raw.push_back(uint8_t(blue(c)));
        }
    }
    uLongf zlen = compressBound(uLong(raw.size()));
    std::vector<uint8_t> z(zlen);
    if (compress2(z.data(), &zlen, raw.data(), uLong(raw.size()), 9) != Z_OK)
        throw std::runtime_error("zlib failed for " + path);
    z.resize(zlen);
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<uint8_t> ihdr;
    put32be(ihdr, uint32_t(img.w));
    put32be(ihdr, uint32_t(img.h));
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
    png_chunk(out, "IHDR", ihdr);
    png_chunk(out, "IDAT", z);
    png_chunk(out, "IEND", {});
    save(path, out);
}
