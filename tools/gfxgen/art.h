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

// Font sheets. The small one in the game's colours unless told otherwise.
Img font_small_sheet(const std::vector<Mask>& font, rgb top = 0xffffff, rgb bottom = 0xfff0b0);
Img font_medium_sheet(const std::vector<Mask>& font);
Img font_large_sheet(const std::vector<Mask>& font, int theme = 0);
// Draws text with a sheet of 'size' glyphs in one column (codes from 32).
void draw_text(Img& dst, const Img& sheet, int size, int x, int y, const std::string& text);
// Draws text with the small sheet (its own glyph order).
void draw_small(Img& dst, const Img& sheet, int x, int y, const std::string& text);

// Field art.
Img tile_sheet(int style);  // 0 classic, 1 first normal sheet, 2 second
// The tiles the pictures of theme t show: the first normal sheet in the blue
// theme, plates in the theme's own colours in the others.
Img picture_tiles(int theme);
Img background_sheet();
// Where the scroll text's backing strip of theme t sits in the background
// sheet: x = SCROLL_STRIP_X, y = SCROLL_STRIP_H * t, 16 wide.
constexpr int SCROLL_STRIP_X = 512, SCROLL_STRIP_H = 12;
Img player_sheet(const SpriteFile& sprites);
// The hint's arrow pointing up, down, left and right, 16 x 16 each.
Img hint_sheet(const SpriteFile& sprites);
Img raster_tile();
Img scoreboard_frame();

// Themed and intro pictures.
struct Theme;
struct Fonts {
    Img small, medium, large;
    std::vector<Mask> masters;
    Img player;  // the player sheet, for the pictures that show him
};
// Without words: the same picture with its big words left out.
Img title_picture(int theme, const Fonts& f, bool words = true);
Img letsgo_picture(int theme, const Fonts& f, bool words = true);
Img gameover_picture(int theme, const Fonts& f, bool words = true);
Img paused_picture(int theme, const Fonts& f, bool words = true);
Img top_bar(int theme, const Fonts& f);
Img mascot_picture(const SpriteFile& sprites);
Img logo_picture(const Fonts& f);

// A rectangle of pixels, edges included.
struct Box {
    int x0, y0, x1, y1;
};
// The panels and slots a picture keeps for the game's text, by the kind of
// picture: "title", "letsgo", "gameover", "paused" or "top". A panel may run
// past the screen's edge; its lit rim lies on the box's edge.
std::vector<Box> text_panels(const std::string& kind);

// A line the game draws: glyph size (8 small, 16 medium, 32 large), place,
// text ('~' ends small text and is blank in the others), and whether it is
// meant to sit inside one of its picture's panels.
struct TextLine {
    int size, x, y;
    std::string text;
    bool framed;
};
// A screen as the game puts it together over a picture (or the top bar),
// with the score board frames it draws (their top left corners).
struct ScreenText {
    std::string name, picture;
    std::vector<TextLine> lines;
    std::vector<std::pair<int, int>> boards;
};
std::vector<ScreenText> game_screens();
// The pixels a line inks, blanks at either end left out; the small font's
// one-pixel drop shadow does not count.
Box text_extent(const TextLine& line);
