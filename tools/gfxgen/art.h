// The game's pictures, each built from the readable sources in assets/gfx.
#pragma once
#include <map>
#include <string>

#include "image.h"

// A one-bit master glyph or sprite mask.
struct Mask {
    int w = 0, h = 0;
    std::vector<uint8_t> on;
    Mask() = default;
    Mask(int w_, int h_) : w(w_), h(h_), on(size_t(w_) * h_, 0) {}
    bool get(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h && on[size_t(y) * w + x]; }
    void put(int x, int y, bool v)
    {
        if (x >= 0 && y >= 0 && x < w && y < h)
            on[size_t(y) * w + x] = v;
    }
};

// Text sources: the typeface (95 masters, codes 32..126) and palette sprites.
std::vector<Mask> read_font(const std::string& path);
struct SpriteFile {
    std::map<std::string, std::map<char, rgb>> palettes;
    std::map<std::string, std::vector<std::string>> sprites;
};
SpriteFile read_sprites(const std::string& path);
Img render_sprite(const SpriteFile& f, const std::string& sprite, const std::string& palette);

Mask scale2x(const Mask& m);

// Font sheets.
Img font_small_sheet(const std::vector<Mask>& font);
Img font_medium_sheet(const std::vector<Mask>& font);
Img font_large_sheet(const std::vector<Mask>& font);
// Draws text with a sheet of 'size' glyphs in one column (codes from 32).
void draw_text(Img& dst, const Img& sheet, int size, int x, int y, const std::string& text);
// Draws text with the small sheet (its own glyph order).
void draw_small(Img& dst, const Img& sheet, int x, int y, const std::string& text);

// Field art.
Img tile_sheet(int style);  // 0 classic, 1 first normal sheet, 2 second
Img background_sheet();
Img player_sheet(const SpriteFile& sprites);
Img raster_tile();
Img scoreboard_frame();

// Themed and intro pictures.
struct Theme;
struct Fonts {
    Img small, medium, large;
    std::vector<Mask> masters;
    Img player;  // the player sheet, for the pictures that show him
};
Img title_picture(int theme, const Fonts& f);
Img letsgo_picture(int theme, const Fonts& f);
Img gameover_picture(int theme, const Fonts& f);
Img paused_picture(int theme, const Fonts& f);
Img top_bar(int theme, const Fonts& f);
Img mascot_picture(const SpriteFile& sprites);
Img logo_picture(const Fonts& f);
