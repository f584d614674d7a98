// icons: the menu icons of the installed game, drawn from the player's sprite
// as he faces the viewer, his figure filling the icon with every pixel
// repeated (16 x 16 to 256 x 256) so the pixel art stays sharp; the sprite's
// empty pixels stay transparent.
//
//   icons ASSETS OUT [N...]   writes OUT/<n>x<n>/apps/zarn.png for n = 16, 32, 48, 64, 128,
//                             256, or for the sizes given (the web page's 192 and 512)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <zlib.h>

#include "art.h"

namespace {

void put32be(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(v >> shift));
}

void chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data)
{
    put32be(out, uint32_t(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    put32be(out, uint32_t(crc32(0, body.data(), uInt(body.size()))));
}

// An RGBA PNG of img, the key colour fully transparent.
std::vector<uint8_t> png_rgba(const Img& img)
{
    std::vector<uint8_t> raw;
    for (int y = 0; y < img.h; y++) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < img.w; x++) {
            rgb c = img.at(x, y);
            bool clear = c == KEY;
            raw.insert(raw.end(), {uint8_t(clear ? 0 : red(c)), uint8_t(clear ? 0 : green(c)),
                                   uint8_t(clear ? 0 : blue(c)), uint8_t(clear ? 0 : 255)});
        }
    }
    uLongf zlen = compressBound(uLong(raw.size()));
    std::vector<uint8_t> z(zlen);
    if (compress2(z.data(), &zlen, raw.data(), uLong(raw.size()), 9) != Z_OK)
        throw std::runtime_error("zlib failed");
    z.resize(zlen);
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<uint8_t> head;
    put32be(head, uint32_t(img.w));
    put32be(head, uint32_t(img.h));
    head.insert(head.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA
    chunk(out, "IHDR", head);
    chunk(out, "IDAT", z);
    chunk(out, "IEND", {});
    return out;
}

// The sprite's figure (its inked pixels' box) enlarged as far as whole
// repeats of each pixel fill `size`, in the middle of a clear size x size.
Img icon(const Img& src, int size)
{
    int x0 = src.w, y0 = src.h, x1 = -1, y1 = -1;
    for (int y = 0; y < src.h; y++)
        for (int x = 0; x < src.w; x++)
            if (src.at(x, y) != KEY)
                x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
    int w = x1 - x0 + 1, h = y1 - y0 + 1, times = std::max(1, size / std::max(w, h));
    int ox = (size - w * times) / 2, oy = (size - h * times) / 2;
    Img d(size, size);
    for (int y = 0; y < h * times; y++)
        for (int x = 0; x < w * times; x++)
            d.set(ox + x, oy + y, src.at(x0 + x / times, y0 + y / times));
    return d;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<int> sizes = {16, 32, 48, 64, 128, 256};
    if (argc > 3)
        sizes.clear();
    for (int i = 3; i < argc; i++)
        sizes.push_back(atoi(argv[i]));
    if (argc < 3) {
        fprintf(stderr, "usage: icons ASSETS OUT [SIZE...]\n");
        return 2;
    }
    try {
        Img player = render_sprite(read_sprites(std::string(argv[1]) + "/sprites.txt"), "player_down", "");
        for (int size : sizes) {
            if (size < 16 || size > 1024)
                throw std::runtime_error("a size must be 16 to 1024 pixels");
            std::string folder = std::string(argv[2]) + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
            std::filesystem::create_directories(folder);
            std::vector<uint8_t> png = png_rgba(icon(player, size));
            std::ofstream(folder + "/zarn.png", std::ios::binary).write(reinterpret_cast<const char*>(png.data()),
                                                                        std::streamsize(png.size()));
        }
    } catch (const std::exception& e) {
        fprintf(stderr, "icons: %s\n", e.what());
        return 1;
    }
    return 0;
}
