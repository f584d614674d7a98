// gfxgen: draws every picture of the game from assets/gfx.
//
//   gfxgen bmp ASSETS OUT      writes each picture as OUT/<entry>.bmp
//   gfxgen review ASSETS OUT   writes each picture as OUT/<entry>.png, a
//                              contact sheet (contact.png) and a mock play
//                              screen (mock-play.png, and twice the size),
//                              the three menus and the credits roll
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "art.h"

namespace {

using Entry = std::pair<std::string, Img>;

std::vector<Entry> build(const std::string& assets, Fonts& fonts)
{
    fonts.masters = read_font(assets + "/font8.txt");
    fonts.small = font_small_sheet(fonts.masters);
    fonts.medium = font_medium_sheet(fonts.masters);
    fonts.large = font_large_sheet(fonts.masters);
    SpriteFile sprites = read_sprites(assets + "/sprites.txt");
    fonts.player = player_sheet(sprites);

    std::vector<Entry> out;
    out.emplace_back("zarn-tiles-0", tile_sheet(0));
    out.emplace_back("zarn-tiles-1", tile_sheet(1));
    out.emplace_back("zarn-tiles-2", tile_sheet(2));
    out.emplace_back("zarn-texturen", background_sheet());
    out.emplace_back("fontbig", fonts.large);
    out.emplace_back("fontsmall", fonts.small);
    out.emplace_back("fontmedium", fonts.medium);
    out.emplace_back("zarn-anim", fonts.player);
    out.emplace_back("trans16x16", raster_tile());
    out.emplace_back("scrbrd", scoreboard_frame());
    const char* suffix[3] = {"", "2", "3"};
    for (int t = 0; t < 3; t++) {
        std::string s = suffix[t];
        out.emplace_back("zarn-gameover" + s, gameover_picture(t, fonts));
        out.emplace_back("zarn-letsgo" + s, letsgo_picture(t, fonts));
        out.emplace_back("zarn-title" + s, title_picture(t, fonts));
        out.emplace_back("zarn-paused" + s, paused_picture(t, fonts));
        out.emplace_back("zarn-top" + s, top_bar(t, fonts));
    }
    out.emplace_back("qv-quor", mascot_picture(sprites));
    out.emplace_back("qv-logo", logo_picture(fonts));
    return out;
}

// Lays a one-column glyph sheet out as a grid of 16 glyphs a row.
Img as_grid(const Img& sheet, int size)
{
    int n = sheet.h / size, rows = (n + 15) / 16;
    Img d(16 * size, rows * size);
    for (int g = 0; g < n; g++)
        d.blit(sheet.crop(0, g * size, size, size), (g % 16) * size, (g / 16) * size, false);
    return d;
}

// Shows the key colour as a dark checkerboard, as it would sit on a dark screen.
Img on_checker(const Img& src)
{
    Img d(src.w, src.h);
    for (int y = 0; y < src.h; y++)
        for (int x = 0; x < src.w; x++) {
            rgb c = src.at(x, y);
            d.set(x, y, c == KEY ? (((x >> 2) + (y >> 2)) & 1 ? 0x202428 : 0x30343a) : c);
        }
    return d;
}

Img zoom2(const Img& src)
{
    Img d(src.w * 2, src.h * 2);
    for (int y = 0; y < d.h; y++)
        for (int x = 0; x < d.w; x++)
            d.set(x, y, src.at(x / 2, y / 2));
    return d;
}

Img contact_sheet(const std::vector<Entry>& entries, const Fonts& f)
{
    constexpr int W = 1320;
    std::vector<std::pair<std::string, Img>> shown;
    for (const auto& [name, img] : entries) {
        Img v = img;
        if (name == "fontbig")
            v = as_grid(img, 32);
        else if (name == "fontmedium")
            v = as_grid(img, 16);
        else if (img.w <= 160 && img.h <= 64)
            v = zoom2(img);
        shown.emplace_back(name, on_checker(v));
    }
    // shelf packing, label above each picture
    int x = 8, y = 8, shelf = 0;
    std::vector<std::pair<int, int>> at;
    for (const auto& [name, img] : shown) {
        if (x + img.w > W - 8) {
            x = 8;
            y += shelf + 22;
            shelf = 0;
        }
        at.emplace_back(x, y);
        x += std::max(img.w, int(name.size()) * 8) + 12;
        shelf = std::max(shelf, img.h);
    }
    Img d(W, y + shelf + 30, 0x101014);
    for (size_t i = 0; i < shown.size(); i++) {
        auto [px, py] = at[i];
        draw_small(d, f.small, px, py, shown[i].first);
        d.blit(shown[i].second, px, py + 10, false);
    }
    return d;
}

const Img& find(const std::vector<Entry>& e, const std::string& n)
{
    for (const auto& [name, img] : e)
        if (name == n)
            return img;
    throw std::runtime_error("no picture " + n);
}

// A play screen put together as the game draws it.
Img mock_play(const std::vector<Entry>& e, const Fonts& f, int sheet, int back_row, const std::string& suffix,
              bool message)
{
    auto get = [&](const std::string& n) -> const Img& { return find(e, n); };
    const Img& tiles = get("zarn-tiles-" + std::to_string(sheet));
    const Img& back = get("zarn-texturen");
    Img d(320, 240, 0x000000);
    Img hole = back.crop(16 * (3 + 10 * sheet), 16 * back_row, 16, 16);
    for (int x = 128; x < 320; x += 16)
        d.blit(hole, x, 32, false);
    // every kind of tile, framed by holes
    static const char* rows[12] = {
        "....................", ".FFFFFFFF..SSSSSSSS.", ".FMFFMFF....S....S..", ".FFFFFFFFVFFSSTS.S..",
        "....FF...V...S....S.", ".HHHHHHHHVFFFFUDLRF.", "....FF...V....F.....", ".T..FFFFFFFFMMMFF...",
        ".F..FF..XXXX...F....", ".FFFFF...FFFFFFF....", "....................", "...................."};
    for (int r = 0; r < 12; r++)
        for (int c = 0; c < 20; c++) {
            int sx = -1, sy = 0;
            switch (rows[r][c]) {
            case 'F': sx = 0; break;
            case 'M': sx = 5 + ((c + r) & 3); break;
            case 'S': sx = 2; break;
            case 'V': sx = 3; break;
            case 'H': sx = 4; break;
            case 'U': sx = 0, sy = 1; break;
            case 'D': sx = 1, sy = 1; break;
            case 'L': sx = 2, sy = 1; break;
            case 'R': sx = 3, sy = 1; break;
            case 'T': sx = 5 + (c & 3), sy = 1; break;
            case 'X': sx = c - 8, sy = 3; break;
            default: break;
            }
            if (sx < 0 || sy == 3)
                d.blit(hole, c * 16, 48 + r * 16, false);
            if (sx >= 0)
                d.blit(tiles.crop(sx * 16, sy * 16, 16, 16), c * 16, 48 + r * 16);
        }
    d.blit(tiles.crop(16 * 3, 32, 16, 16), 16 * 13, 48 + 16 * 7);  // a mine going off
    const Img& anim = get("zarn-anim");
    if (message) {  // the darkened field of the closing screens
        for (int y = 32; y <= 224; y += 16)
            for (int x = 0; x <= 304; x += 16)
                d.blit(get("trans16x16"), x, y);
        draw_text(d, f.large, 32, 96, 120, "OUCH!");
        draw_text(d, f.medium, 16, 48, 208, "PRESS A BUTTON");
    }
    d.blit(get("zarn-top" + suffix), 0, 0);
    d.blit(anim.crop(48, 0, 16, 16), 16 * 6, 48 + 16 * 3);
    d.blit(anim.crop(0, 0, 16, 16), 16 * 1, 48 + 16 * 9);
    d.blit(anim.crop(16, 0, 16, 16), 16 * 14, 48 + 16 * 8);
    d.blit(anim.crop(32, 0, 16, 16), 16 * 3, 48 + 16 * 5);
    draw_small(d, f.small, 144, 6, "LEVEL   07");
    draw_small(d, f.small, 240, 6, "TIME  87");
    draw_text(d, f.medium, 16, 224, 32, "01230~");
    for (int i = 0; i < 3; i++)
        d.blit(anim.crop(48, 0, 16, 16), 288 - 16 * i, 16);
    return d;
}

// The main menu as the game draws it over a title picture, with the scroll
// text on its backing strip.
Img mock_menu(const std::vector<Entry>& e, const Fonts& f, const std::string& suffix)
{
    Img d = find(e, "zarn-title" + suffix);
    const char* items[5] = {"RUN ZARN", "CONTINUE", "PASSWORD", "SETTINGS", "  EXIT"};
    for (int i = 0; i < 5; i++)
        draw_text(d, f.medium, 16, 96, 100 + 24 * i, items[i]);
    draw_text(d, f.medium, 16, 64, 100 + 24 * 1, ".          .");
    Img cell = find(e, "zarn-texturen").crop(512, 0, 16, 12);
    for (int x = 0; x < 320; x += 16)
        d.blit(cell, x, 221, false);
    draw_small(d, f.small, 3, 223, "elcome to zarn 1.10. guide the little one");
    return d;
}

// The credits roll half way: lines over the lower part of the title picture.
Img mock_credits(const std::vector<Entry>& e, const Fonts& f)
{
    Img title = find(e, "zarn-title");
    Img d = title;
    const char* lines[] = {"GRAPHICS:", "ann -pix- roe", "bo -ink- lund", "FONTS:", "unknown", "MUSIC:"};
    for (int i = 0; i < 6; i++) {
        int y = 110 + 24 * i;
        if (lines[i][0] >= 'A' && lines[i][0] <= 'Z')
            draw_text(d, f.medium, 16, 8, y, lines[i]);
        else
            draw_small(d, f.small, 8, y, lines[i]);
    }
    d.blit(title.crop(0, 0, 320, 108), 0, 0, false);
    // and the password screen, whose word sits in the score board frame
    Img pw = title;
    draw_text(pw, f.medium, 16, 96, 128, "PASSWORD~");
    pw.blit(find(e, "scrbrd"), 108, 148);
    draw_text(pw, f.medium, 16, 128, 152, "KWTX");
    draw_text(pw, f.medium, 16, 128, 176, "  .  ");
    Img both(640, 240);
    both.blit(d, 0, 0, false);
    both.blit(pw, 320, 0, false);
    return both;
}

// The three message pictures with the words the game puts on them.
Img mock_messages(const std::vector<Entry>& e, const Fonts& f, const std::string& suffix)
{
    Img d(960, 240);
    Img go = find(e, "zarn-letsgo" + suffix);
    draw_small(go, f.small, 4, 8, "PASSWORD");
    draw_small(go, f.small, 4, 20, "KWTX");
    draw_text(go, f.medium, 16, 48, 208, "PRESS A BUTTON");
    Img over = find(e, "zarn-gameover" + suffix);
    draw_text(over, f.medium, 16, 2, 192, "CONTINUE~");
    draw_small(over, f.small, 2, 216, "YES");
    Img pause = find(e, "zarn-paused" + suffix);
    draw_small(pause, f.small, 5, 8, "PASSWORD:");
    draw_small(pause, f.small, 5, 20, "KWTX");
    draw_text(pause, f.medium, 16, 2, 204, "MENU~");
    draw_small(pause, f.small, 2, 224, "MAIN MENU");
    d.blit(go, 0, 0, false);
    d.blit(over, 320, 0, false);
    d.blit(pause, 640, 0, false);
    return d;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: gfxgen bmp|review ASSETS OUT\n");
        return 2;
    }
    try {
        std::string mode = argv[1], out = argv[3];
        Fonts fonts;
        auto entries = build(argv[2], fonts);
        // Everything is stored as the 16-bit screen shows it; the large
        // pictures with their soft skies are dithered, the pixel art is not.
        for (auto& [name, img] : entries)
            img = to565(img, img.w == 320);
        if (mode == "bmp") {
            for (const auto& [name, img] : entries)
                write_bmp16(out + "/" + name + ".bmp", img);
        } else if (mode == "review") {
            for (const auto& [name, img] : entries)
                write_png(out + "/" + name + ".png", img);
            write_png(out + "/contact.png", contact_sheet(entries, fonts));
            Img mock = mock_play(entries, fonts, 1, 1, "", false);
            write_png(out + "/mock-play.png", mock);
            write_png(out + "/mock-play-x2.png", zoom2(mock));
            Img more(960, 240);
            more.blit(mock_play(entries, fonts, 2, 2, "2", false), 0, 0, false);
            more.blit(mock_play(entries, fonts, 0, 0, "3", false), 320, 0, false);
            more.blit(mock_play(entries, fonts, 1, 3, "", true), 640, 0, false);
            write_png(out + "/mock-play-more.png", more);
            Img menus(960, 240);
            for (int t = 0; t < 3; t++)
                menus.blit(mock_menu(entries, fonts, t ? std::to_string(t + 1) : ""), 320 * t, 0, false);
            write_png(out + "/mock-menu.png", menus);
            write_png(out + "/mock-credits.png", mock_credits(entries, fonts));
            for (int t = 0; t < 3; t++)
                write_png(out + "/mock-messages" + std::to_string(t + 1) + ".png",
                          mock_messages(entries, fonts, t ? std::to_string(t + 1) : ""));
        } else {
            fprintf(stderr, "gfxgen: unknown mode %s\n", argv[1]);
            return 2;
        }
    } catch (const std::exception& e) {
        fprintf(stderr, "gfxgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
