// gfxgen: draws every picture of the game from assets/gfx.
//
//   gfxgen bmp ASSETS OUT      writes each picture as OUT/<entry>.bmp
//   gfxgen review ASSETS OUT   writes each picture as OUT/<entry>.png, a
//                              contact sheet (contact.png), a mock play
//                              screen (mock-play.png, and twice the size),
//                              every tile sheet over its skies (mock-skies)
//                              and every screen of each theme with its text
//                              (mock-screens1..3.png)
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
    out.emplace_back("zarn-hint", hint_sheet(sprites));
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
        if (t > 0)
            out.emplace_back("fontbig" + s, font_large_sheet(fonts.masters, t));
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
        if (name.rfind("fontbig", 0) == 0)
            v = as_grid(img, 32);
        else if (name == "fontmedium")
            v = as_grid(img, 16);
        else if ((img.w <= 160 && img.h <= 64) || name == "zarn-texturen")  // small ones, and the skies with the strips
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

// A line drawn as the game draws it: small text ends at '~'.
void draw_line(Img& d, const Fonts& f, const TextLine& l)
{
    if (l.size == 8)
        draw_small(d, f.small, l.x, l.y, l.text.substr(0, l.text.find('~')));
    else
        draw_text(d, l.size == 16 ? f.medium : f.large, l.size, l.x, l.y, l.text);
}

// A play screen put together as the game draws it: the field of every kind of
// tile on background column `back_col`, row `back_row`; with a message, the
// field darkened under it as on the closing screens.
Img mock_play(const std::vector<Entry>& e, const Fonts& f, int sheet, int back_row, int back_col,
              const std::string& suffix, const TextLine* message = nullptr, const std::string& time = "87")
{
    auto get = [&](const std::string& n) -> const Img& { return find(e, n); };
    const Img& tiles = get("zarn-tiles-" + std::to_string(sheet));
    const Img& back = get("zarn-texturen");
    Img d(320, 240, 0x000000);
    Img hole = back.crop(16 * back_col, 16 * back_row, 16, 16);
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
    if (message) {
        for (int y = 32; y <= 224; y += 16)
            for (int x = 0; x <= 304; x += 16)
                d.blit(get("trans16x16"), x, y);
        draw_line(d, f, *message);
        draw_text(d, f.medium, 16, 48, 208, "PRESS A BUTTON");
    }
    d.blit(get("zarn-top" + suffix), 0, 0);
    if (!message) {
        d.blit(anim.crop(48, 0, 16, 16), 16 * 6, 48 + 16 * 3);
        d.blit(anim.crop(0, 0, 16, 16), 16 * 1, 48 + 16 * 9);
        d.blit(anim.crop(16, 0, 16, 16), 16 * 14, 48 + 16 * 8);
        d.blit(anim.crop(32, 0, 16, 16), 16 * 3, 48 + 16 * 5);
    }
    draw_small(d, f.small, 144, 6, "LEVEL   07");
    draw_small(d, f.small, 240, 6, "TIME  " + time);
    draw_text(d, f.medium, 16, 224, 32, "01230~");
    for (int i = 0; i < 3; i++)
        d.blit(anim.crop(48, 0, 16, 16), 288 - 16 * i, 16);
    return d;
}

// A screen of the game over its themed picture, with every line the game
// draws on it; theme 0, 1 or 2.
Img mock_screen(const std::vector<Entry>& e, const Fonts& f, const ScreenText& s, int theme)
{
    std::string suffix = theme ? std::to_string(theme + 1) : "";
    if (s.picture == "top")
        return mock_play(e, f, 1, 1, 4, suffix, nullptr, "1234");
    Img pic = find(e, "zarn-" + s.picture + suffix);
    Img d = pic;
    for (auto [x, y] : s.boards)
        d.blit(find(e, "scrbrd"), x, y);
    for (const TextLine& l : s.lines)
        if (l.framed)
            draw_line(d, f, l);
    if (s.name == "credits")  // the top of the picture covers the lines leaving the window
        d.blit(pic.crop(0, 0, 320, 108), 0, 0, false);
    for (const TextLine& l : s.lines)
        if (!l.framed) {
            if (l.size == 8) {  // the scroll text on its strip
                Img cell = find(e, "zarn-texturen").crop(SCROLL_STRIP_X, SCROLL_STRIP_H * theme, 16, SCROLL_STRIP_H);
                for (int x = 0; x < 320; x += 16)
                    d.blit(cell, x, l.y - 2, false);
            }
            draw_line(d, f, l);
        }
    return d;
}

// All screens of one theme, four to a row, and the closing messages over the
// darkened field at the end.
Img mock_screens(const std::vector<Entry>& e, const Fonts& theme_fonts, int theme)
{
    std::string suffix = theme ? std::to_string(theme + 1) : "";
    Fonts f = theme_fonts;
    f.large = find(e, "fontbig" + suffix);  // the big words on the theme's banner
    std::vector<Img> shots;
    for (const ScreenText& s : game_screens())
        shots.push_back(mock_screen(e, f, s, theme));
    const TextLine messages[3] = {
        {32, 48, 120, "TIME UP", false}, {32, 20, 120, "WELL DONE", false}, {32, 96, 120, "OUCH", false}};
    for (int m = 0; m < 3; m++)
        shots.push_back(mock_play(e, f, m == 2 ? 0 : 1 + m, m, m == 1 ? 24 : 8 + 2 * m, suffix, &messages[m]));
    int rows = (int(shots.size()) + 3) / 4;
    Img d(4 * 324 - 4, rows * 244 - 4, 0x101014);
    for (size_t i = 0; i < shots.size(); i++)
        d.blit(shots[i], int(i % 4) * 324, int(i / 4) * 244, false);
    return d;
}

// Each tile sheet over the skies of the levels it is used in: every kind of
// tile (field, mine, solid, both tracks, the four pushers, the teleporter),
// each with sky round it, on every background row, for the first, middle and
// last background column of its levels.
Img mock_skies(const std::vector<Entry>& e)
{
    const Img& back = find(e, "zarn-texturen");
    struct Use {
        int sheet, first_col, last_col;
    };
    const Use uses[3] = {{1, 0, 15}, {2, 16, 31}, {0, 0, 20}};
    static const char* pattern[3] = {"F.M.S.V", ".H.U.D.", "L.R.T.F"};
    const std::string kinds = "FMSVHUDLRT";  // their cells in the sheet, below
    const int cell_x[10] = {0, 1, 2, 3, 4, 0, 1, 2, 3, 4}, cell_y[10] = {0, 0, 0, 0, 0, 1, 1, 1, 1, 1};
    constexpr int W = 7 * 16 + 8, H = 3 * 16 + 4;
    Img d(3 * 3 * W + 24, 4 * H + 8, 0x101014);
    for (int u = 0; u < 3; u++)
        for (int k = 0; k < 3; k++) {
            int col = uses[u].first_col + (uses[u].last_col - uses[u].first_col) * k / 2;
            const Img& tiles = find(e, "zarn-tiles-" + std::to_string(uses[u].sheet));
            for (int row = 0; row < 4; row++) {
                int ox = 8 + (u * 3 + k) * W + u * 8, oy = 8 + row * H;
                Img hole = back.crop(16 * col, 16 * row, 16, 16);
                for (int r = 0; r < 3; r++)
                    for (int c = 0; c < 7; c++) {
                        d.blit(hole, ox + 16 * c, oy + 16 * r, false);
                        size_t kind = kinds.find(pattern[r][c]);
                        if (kind == std::string::npos)
                            continue;
                        int sx = kind == 9 ? 5 : cell_x[kind];  // the teleporter's first frame
                        d.blit(tiles.crop(16 * sx, 16 * cell_y[kind], 16, 16), ox + 16 * c, oy + 16 * r);
                    }
            }
        }
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
            Img mock = mock_play(entries, fonts, 1, 1, 4, "");
            write_png(out + "/mock-play.png", mock);
            write_png(out + "/mock-play-x2.png", zoom2(mock));
            Img more(960, 240);
            more.blit(mock_play(entries, fonts, 2, 2, 20, "2", nullptr, "1234"), 0, 0, false);
            more.blit(mock_play(entries, fonts, 0, 0, 10, "3"), 320, 0, false);
            TextLine ouch = {32, 96, 120, "OUCH!", false};
            more.blit(mock_play(entries, fonts, 1, 3, 4, "", &ouch), 640, 0, false);
            write_png(out + "/mock-play-more.png", more);
            write_png(out + "/mock-skies.png", zoom2(mock_skies(entries)));
            for (int t = 0; t < 3; t++)
                write_png(out + "/mock-screens" + std::to_string(t + 1) + ".png", mock_screens(entries, fonts, t));
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
