// The themed pictures (title, level start, game over, pause, top bar) and
// the two intro pictures. Skies are procedural from fixed seeds; words are
// grown from the typeface masters.
#include <cmath>

#include "art.h"

namespace {

struct Palette {
    rgb sky_top, sky_bottom;   // the gradient behind everything
    rgb neb_a, neb_b;          // the two nebula colours
    rgb star;                  // tint of the brighter stars
    std::vector<rgb> word;     // colour stops of the big words, top to bottom
    rgb depth, outline;        // extrusion and outline of the big words
    rgb panel, panel_hi;       // interface metal
};

const Palette& theme(int t)
{
    static const Palette themes[3] = {
        // deep blue space, ice chrome
        {0x010208, 0x0a1440, 0x2a4ad0, 0x9030b0, 0xb0d0ff,
         {0xffffff, 0xc0f0ff, 0x50a0ff, 0x2040c0, 0xffd860, 0xff9020}, 0x101850, 0x02040c, 0x1c2440, 0x7890d0},
        // ember: red dust and a burning sun, gold and fire
        {0x080102, 0x2c0806, 0xe04818, 0xffb040, 0xffe0b0,
         {0xffffe0, 0xfff080, 0xffc030, 0xff7010, 0xd02808, 0x801008}, 0x3a0804, 0x0c0202, 0x3a1a14, 0xd08860},
        // aurora: green-teal veils, violet words that stand off them, emerald glass
        {0x000604, 0x03241c, 0x10c088, 0x70ff70, 0xd0ffe0,
         {0xffffff, 0xf0e0ff, 0xc8a0ff, 0x9060f0, 0x5a30c0, 0xb090ff}, 0x1c0c40, 0x040210, 0x12302a, 0x70c0a0},
    };
    return themes[t];
}

// What makes each theme's sky its own: a milky band across the blue one, a
// sun beyond the corner and dark dust lanes in the ember one, aurora
// curtains in the green one.
rgb theme_light(int t, rgb c, int x, int y, uint32_t seed)
{
    if (t == 0) {
        double dist = (x * 0.45 - y + 40) / 55.0;
        double band = std::exp(-dist * dist) * fbm(x * 1.6, y * 1.6, 512, seed + 5, 5);
        return add(c, scale(0x8898d0, band * 0.4));
    }
    if (t == 1) {
        double dx = x - 335, dy = y + 35, r = std::sqrt(dx * dx + dy * dy);
        c = add(c, scale(0xff8a40, 0.6 * std::exp(-r / 75.0)));
        double lane = noise((x + y * 0.8) / 40.0, (y - x * 0.3) / 9.0, 4096, seed + 8);
        return mix(c, scale(c, 0.5), std::clamp((lane - 0.6) * 3.0, 0.0, 1.0));
    }
    double sway = x + 14 * std::sin(y / 31.0 + x / 80.0);
    double v = 0.65 * noise(sway / 7.0, y / 70.0, 4096, seed + 3) + 0.35 * noise(sway / 3.0, y / 40.0, 4096, seed + 4);
    double fall = std::exp(-std::pow((y - 60) / 50.0, 2));
    double a = std::pow(std::clamp((v - 0.42) / 0.35, 0.0, 1.0), 1.5) * fall;
    rgb veil = mix(0x50ff98, 0x7060ff, std::clamp((60 - y) / 60.0, 0.0, 1.0));
    return add(c, scale(veil, a * 0.55));
}

// Deep space: gradient sky, two-colour nebula, a field of stars.
Img sky(int t, uint32_t seed, int w = 320, int h = 240)
{
    const Palette& p = theme(t);
    Img d(w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            double n1 = fbm(x * 0.9, y * 0.9, 512, seed, 5);
            double n2 = fbm(x * 1.3 + 50, y * 1.3, 512, seed + 17, 5);
            rgb c = mix(p.sky_top, p.sky_bottom, double(y) / h);
            double a = std::pow(std::clamp((n1 - 0.42) / 0.4, 0.0, 1.0), 1.8);
            double b = std::pow(std::clamp((n2 - 0.5) / 0.35, 0.0, 1.0), 2.2);
            c = mix(c, p.neb_a, a * 0.55);
            c = add(c, scale(p.neb_b, b * 0.45));
            d.set(x, y, theme_light(t, c, x, y, seed));
        }
    Rng r(seed * 7 + 1);
    for (int k = 0; k < w * h / 260; k++) {
        int x = r.below(w), y = r.below(h);
        double b = std::pow(r.unit(), 2.5);
        rgb tint = r.below(4) == 0 ? p.star : 0xffffff;
        d.set(x, y, mix(d.at(x, y), tint, 0.25 + 0.75 * b));
        if (b > 0.75) {
            for (auto [ix, iy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                d.set(x + ix, y + iy, mix(d.at(x + ix, y + iy), tint, 0.5));
            if (b > 0.93)
                for (int k2 = 2; k2 <= 3; k2++)
                    for (auto [ix, iy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                        d.set(x + ix * k2, y + iy * k2, mix(d.at(x + ix * k2, y + iy * k2), tint, 0.45 / k2));
        }
    }
    return d;
}

// A lit sphere: a planet or a sun at (cx, cy).
void planet(Img& d, double cx, double cy, double rad, rgb body, rgb lit, uint32_t seed, bool ring)
{
    for (int y = int(cy - rad - 2); y <= int(cy + rad + 2); y++)
        for (int x = int(cx - rad * 2); x <= int(cx + rad * 2); x++) {
            double dx = (x - cx) / rad, dy = (y - cy) / rad, r2 = dx * dx + dy * dy;
            if (ring) {
                double ex = dx * 0.5, ey = (dy - dx * 0.25) * 2.4, er = std::sqrt(ex * ex + ey * ey);
                bool front = dy - dx * 0.25 > 0 || r2 > 1.0;
                if (er > 0.62 && er < 0.9 && front)
                    d.set(x, y, mix(d.at(x, y), mix(lit, body, er), 0.7));
            }
            if (r2 > 1.0)
                continue;
            double dz = std::sqrt(1 - r2);
            double light = std::clamp(-0.55 * dx - 0.45 * dy + 0.7 * dz, 0.0, 1.0);
            double bands = fbm(x * 0.5, y * 2.5, 512, seed, 3);
            rgb c = mix(scale(body, 0.15), mix(body, lit, bands * 0.6), light);
            if (r2 > 0.9)
                c = mix(c, lit, (r2 - 0.9) * 4 * light);
            if (ring) {
                double ex = dx * 0.5, ey = (dy - dx * 0.25) * 2.4, er = std::sqrt(ex * ex + ey * ey);
                if (er > 0.62 && er < 0.9 && dy - dx * 0.25 > 0)
                    c = mix(c, mix(lit, body, er), 0.7);
            }
            d.set(x, y, c);
        }
}

// A word grown from the masters by `steps` doublings, with an extruded
// depth, an outline and the theme's colour stops; returns its width.
int big_word(Img& d, const Fonts& f, const Palette& p, const std::string& text, int steps, int x, int y,
             int gap, int depth)
{
    int size = 8 << steps;
    int ink_w = 7 << steps;
    std::vector<Mask> glyphs;
    for (char c : text) {
        Mask m = f.masters[size_t((unsigned char)c - 32)];
        for (int s = 0; s < steps; s++)
            m = scale2x(m);
        glyphs.push_back(m);
    }
    int advance = ink_w + gap;
    auto inked = [&](int px, int py) {
        int g = px / advance;
        if (px < 0 || g >= int(glyphs.size()))
            return false;
        int gx = px - g * advance;
        return gx < ink_w && glyphs[size_t(g)].get(gx, py);
    };
    int w = advance * int(text.size()) - gap;
    int h = size;
    int ih = 7 << steps;
    for (int yy = -3; yy < h + depth + 3; yy++)
        for (int xx = -3; xx < w + depth + 3; xx++) {
            if (inked(xx, yy)) {
                double t = double(yy) / (ih - 1);
                double seg = t * double(p.word.size() - 1);
                size_t i = std::min(size_t(std::max(seg, 0.0)), p.word.size() - 2);
                rgb c = mix(p.word[i], p.word[i + 1], seg - double(i));
                if (!inked(xx, yy - 1))
                    c = mix(c, 0xffffff, 0.6);
                else if (!inked(xx - 1, yy))
                    c = mix(c, 0xffffff, 0.25);
                if (!inked(xx + 1, yy) || !inked(xx, yy + 1))
                    c = scale(c, 0.8);
                d.set(x + xx, y + yy, c);
                continue;
            }
            int under = 0;
            for (int k = 1; k <= depth; k++)
                if (inked(xx - k, yy - k)) {
                    under = k;
                    break;
                }
            bool rim = false;
            for (int j = -2; j <= 2 && !rim; j++)
                for (int i = -2; i <= 2 && !rim; i++)
                    if (i * i + j * j <= 5 && inked(xx + i, yy + j))
                        rim = true;
            if (under) {  // the letters' sides: their own lower colour, in shade
                rgb side = mix(scale(p.word[p.word.size() - 2], 0.55), p.depth, 0.35);
                d.set(x + xx, y + yy, mix(side, p.outline, double(under - 1) / depth));
            }
            else if (rim)
                d.set(x + xx, y + yy, p.outline);
            else
                for (int k = 1; k <= depth + 2; k++)
                    if (inked(xx - k + 1, yy - k + 1) && k > 1) {
                        d.set(x + xx, y + yy, p.outline);
                        break;
                    }
        }
    return w;
}

int word_width(const std::string& text, int steps, int gap)
{
    return ((7 << steps) + gap) * int(text.size()) - gap;
}

// The panels, in the order the pictures draw them.
const Box TITLE_PANEL = {3, 93, 316, 243};  // runs off the bottom: the lowest lines sit at y = 232
const Box LETSGO_PANEL = {0, 0, 90, 32};
const Box GAMEOVER_PANEL = {-4, 184, 176, 243};
const Box PAUSED_PANELS[2] = {{-4, 2, 100, 32}, {-4, 198, 170, 243}};
// The time's slot runs off the right edge (four digits reach x 318). The life
// icons' tray ends above the ledge over the score, whose lit edge (y 30) and
// shadow (y 31) keep the digits (from y 32) clear of it; the score's open
// strip runs on into the field.
const Box TOP_SLOTS[4] = {{140, 3, 230, 15}, {234, 3, 321, 15}, {140, 16, 306, 29}, {127, 30, 321, 49}};

// Darkens a rounded panel so the text drawn over it reads.
void shade(Img& d, const Box& b, double amount, rgb edge)
{
    int x0 = b.x0, y0 = b.y0, x1 = b.x1, y1 = b.y1;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++) {
            int e = std::min(std::min(x - x0, y - y0), std::min(x1 - x, y1 - y));
            int cx = std::min(x - x0, x1 - x), cy = std::min(y - y0, y1 - y);
            if (cx + cy < 3)
                continue;
            rgb c = mix(d.at(x, y), 0x000000, amount);
            if (e == 0 || (cx + cy == 3))
                c = mix(c, edge, 0.6);
            d.set(x, y, c);
        }
}

void vignette(Img& d, double strength)
{
    for (int y = 0; y < d.h; y++)
        for (int x = 0; x < d.w; x++) {
            double dx = (x - d.w / 2.0) / (d.w / 2.0), dy = (y - d.h / 2.0) / (d.h / 2.0);
            d.set(x, y, mix(d.at(x, y), 0x000000, strength * std::min(1.0, (dx * dx + dy * dy) * 0.5)));
        }
}

// A 16 x 16 cell of a sheet drawn twice the size, mixed `dim` toward what
// lies under it.
void cell2x(Img& d, const Img& sheet, int sx, int sy, int x, int y, double dim = 0.0)
{
    for (int j = 0; j < 32; j++)
        for (int i = 0; i < 32; i++) {
            rgb c = sheet.at(sx + i / 2, sy + j / 2);
            if (c != KEY)
                d.set(x + i, y + j, mix(c, d.at(x + i, y + j), dim));
        }
}

// A key cap with an arrow on it, 13 pixels square; dir 0 up, 1 down, 2 left,
// 3 right.
void key_cap(Img& d, int x, int y, int dir, const Palette& p)
{
    constexpr int N = 13;
    for (int j = 0; j < N; j++)
        for (int i = 0; i < N; i++) {
            int e = std::min(std::min(i, j), std::min(N - 1 - i, N - 1 - j));
            if ((i == 0 || i == N - 1) && (j == 0 || j == N - 1))
                continue;
            rgb c = mix(p.panel, p.panel_hi, 0.45);
            if (e == 0)
                c = scale(p.panel, 0.3);
            else if (e == 1 && (j == 1 || i == 1))
                c = mix(p.panel_hi, 0xffffff, 0.45);
            else if (e == 1)
                c = scale(p.panel_hi, 0.5);
            d.set(x + i, y + j, c);
        }
    for (int a = 0; a < 7; a++)  // the arrow: a head four rows deep on a shaft
        for (int b = -3; b <= 3; b++) {
            if (a < 4 ? std::abs(b) > a : std::abs(b) > 1)
                continue;
            int along = 3 + a, across = 6 + b;
            int ax = dir < 2 ? across : dir == 2 ? along : N - 1 - along;
            int ay = dir >= 2 ? across : dir == 0 ? along : N - 1 - along;
            d.set(x + ax, y + ay, 0xffffff);
        }
}

// How to answer the continue question, around the game's words: "CONTINUE"
// (medium, at 2, 192) gets its question mark, the answer the game shows at
// (6, 216) a slot of its own clear of the screen's edge, and beside it the
// keys that choose each answer and, below, the button that takes it.
void continue_legend(Img& d, const Fonts& f, const Palette& p)
{
    draw_text(d, f.medium, 16, 130, 192, "?");
    for (int y = 212; y <= 227; y++)  // the answer's slot
        for (int x = 2; x <= 34; x++) {
            rgb c = mix(0x000000, p.panel, 0.3);
            if (y == 212 || x == 2)
                c = scale(p.panel, 0.3);
            else if (y == 227 || x == 34)
                c = mix(p.panel_hi, 0xffffff, 0.25);
            d.set(x, y, c);
        }
    Img ink = font_small_sheet(f.masters, mix(p.panel_hi, 0xffffff, 0.55), p.panel_hi);
    key_cap(d, 42, 213, 0, p);
    key_cap(d, 57, 213, 2, p);
    draw_small(d, ink, 73, 216, "YES");
    key_cap(d, 110, 213, 1, p);
    key_cap(d, 125, 213, 3, p);
    draw_small(d, ink, 141, 216, "NO");
    draw_small(d, ink, 2, 231, "THEN PRESS A BUTTON");
}

}  // namespace

Img title_picture(int t, const Fonts& f, bool words)
{
    const Palette& p = theme(t);
    Img d = sky(t, 1000 + uint32_t(t) * 17);
    if (t == 0)
        planet(d, 60, 250, 100, 0x3050a0, 0xa0d0ff, 5, false);
    else if (t == 1)
        planet(d, 270, 236, 90, 0xc03010, 0xffd080, 9, false);
    else
        planet(d, 200, 210, 44, 0x108060, 0xa0ffd0, 13, true);
    vignette(d, 0.5);
    int w = word_width("ZARN", 3, 8);
    if (words)
        big_word(d, f, p, "ZARN", 3, (320 - w) / 2 - 3, 14, 8, 6);
    shade(d, TITLE_PANEL, 0.5, p.panel_hi);
    return d;
}

Img letsgo_picture(int t, const Fonts& f, bool words)
{
    const Palette& p = theme(t);
    Img d = sky(t, 2000 + uint32_t(t) * 29);
    planet(d, 160, 300, 150, p.neb_a, p.star, 21, false);
    vignette(d, 0.4);
    if (words) {
        big_word(d, f, p, "GET", 2, (320 - word_width("GET", 2, 6)) / 2, 62, 6, 4);
        big_word(d, f, p, "READY!", 2, (320 - word_width("READY!", 2, 6)) / 2, 104, 6, 4);
    }
    // the little one on his start tile, facing the player
    Img sheet = picture_tiles(t);
    cell2x(d, sheet, 32, 0, 144, 172);
    cell2x(d, f.player, 0, 0, 144, 150);  // his feet on the plate
    shade(d, LETSGO_PANEL, 0.5, p.panel_hi);
    return d;
}

Img gameover_picture(int t, const Fonts& f, bool words)
{
    const Palette& p = theme(t);
    Img d = sky(t, 3000 + uint32_t(t) * 31);
    for (auto& c : d.px)  // a colder, dimmer sky: the game is over
        c = mix(c, mix(0x000000, 0x404050, 0.2), 0.45);
    // what is left of a field: a few tiles, one crumbling, a mine going off
    Img sheet = picture_tiles(t);
    const int island[][4] = {{16, 48, 190, 164}, {0, 0, 222, 164}, {16, 0, 254, 164}, {48, 32, 254, 164},
                             {0, 0, 190, 196},   {0, 0, 222, 196}, {0, 0, 254, 196},  {32, 48, 286, 196}};
    for (const auto& c : island)
        cell2x(d, sheet, c[0], c[1], c[2], c[3], 0.3);
    vignette(d, 0.6);
    int w = word_width("GAME", 3, 6);
    if (words) {
        big_word(d, f, p, "GAME", 3, (320 - w) / 2, 20, 6, 5);
        big_word(d, f, p, "OVER", 3, (320 - w) / 2, 92, 6, 5);
    }
    shade(d, GAMEOVER_PANEL, 0.6, p.panel_hi);
    continue_legend(d, f, p);
    return d;
}

Img paused_picture(int t, const Fonts& f, bool words)
{
    const Palette& p = theme(t);
    Img d = sky(t, 4000 + uint32_t(t) * 37);
    vignette(d, 0.5);
    // the pause sign: two rounded bars
    for (int bar = 0; bar < 2; bar++)
        for (int y = 44; y < 124; y++)
            for (int x = 0; x < 26; x++) {
                int px = 118 + bar * 46 + x;
                double tt = (y - 44) / 80.0;
                rgb c = mix(p.word[1], p.word[3], tt);
                if (x < 3)
                    c = mix(c, 0xffffff, 0.4);
                if (x > 22)
                    c = scale(c, 0.7);
                d.set(px + 4, y + 4, p.depth);
                d.set(px, y, c);
            }
    int w = word_width("PAUSED", 2, 6);
    if (words)
        big_word(d, f, p, "PAUSED", 2, (320 - w) / 2, 140, 6, 4);
    shade(d, PAUSED_PANELS[0], 0.5, p.panel_hi);
    shade(d, PAUSED_PANELS[1], 0.55, p.panel_hi);
    return d;
}

// The bar above the field: a metal panel with the name, slots for the level
// and time, a tray for the lives; the right half of its lower strip is open
// so the moving background and the score show there.
Img top_bar(int t, const Fonts& f)
{
    const Palette& p = theme(t);
    Img d(320, 48);
    for (int y = 0; y < 48; y++)
        for (int x = 0; x < 320; x++) {
            if (y >= 32 && x >= 128)
                continue;
            double n = fbm(x, y * 4, 512, 600 + uint32_t(t), 3);
            rgb c = mix(mix(p.panel_hi, p.panel, 0.55), scale(p.panel, 0.55), y / 47.0);
            c = mix(c, p.panel, (n - 0.5) * 0.4);
            if (y == 0 || (x == 0))
                c = mix(c, 0xffffff, 0.3);
            if ((y == 30 && x >= 127) || (x == 127 && y >= 30))
                c = mix(p.panel_hi, 0xffffff, 0.2);
            if (y == 31 && x >= 128)
                c = scale(p.panel, 0.15);
            if (y == 47 || (x == 126 && y >= 31))
                c = scale(p.panel, 0.3);
            d.set(x, y, c);
        }
    auto slot = [&](int x0, int y0, int x1, int y1) {
        for (int y = y0; y <= y1; y++)
            for (int x = x0; x <= x1; x++) {
                rgb c = mix(0x000000, p.panel, 0.25);
                if (y == y0 || x == x0)
                    c = scale(p.panel, 0.35);
                if (y == y1 || x == x1)
                    c = mix(p.panel_hi, 0xffffff, 0.15);
                d.set(x, y, c);
            }
    };
    for (int k = 0; k < 3; k++)  // level, time (four digits reach x = 318), lives
        slot(TOP_SLOTS[k].x0, TOP_SLOTS[k].y0, TOP_SLOTS[k].x1, TOP_SLOTS[k].y1);
    big_word(d, f, p, "ZARN", 1, 10, 6, 4, 2);
    // three indicator lamps on the lower plate
    for (int k = 0; k < 3; k++) {
        rgb lamp = k == 0 ? 0x40ff60 : k == 1 ? 0xffd040 : 0xff4030;
        for (int y = 0; y < 5; y++)
            for (int x = 0; x < 5; x++)
                if ((x - 2) * (x - 2) + (y - 2) * (y - 2) <= 5)
                    d.set(14 + k * 12 + x, 37 + y, x + y < 3 ? mix(lamp, 0xffffff, 0.6) : lamp);
    }
    for (int x = 56; x < 112; x += 4)  // a vent grille
        for (int y = 36; y < 44; y++) {
            d.set(x, y, scale(p.panel, 0.35));
            d.set(x + 1, y, mix(p.panel_hi, p.panel, 0.5));
        }
    for (auto [sx, sy] : {std::pair{2, 2}, {131, 2}, {2, 42}, {118, 42}}) {  // screws
        d.rect(sx, sy, 4, 4, scale(p.panel, 0.4));
        d.rect(sx, sy, 3, 3, mix(p.panel_hi, 0xffffff, 0.3));
        d.rect(sx + 1, sy + 1, 2, 2, p.panel);
        d.set(sx + 1, sy + 2, scale(p.panel, 0.4));
        d.set(sx + 2, sy + 1, scale(p.panel, 0.4));
    }
    return d;
}

// The maker's mascot: a round, one-eyed, friendly creature.
Img mascot_picture(const SpriteFile& sprites)
{
    const auto& pal = sprites.palettes.at("quor");
    Img d(64, 64);
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 64; x++) {
            double dx = (x - 31.5) / 26.0, dy = (y - 36.0) / 24.0, r2 = dx * dx + dy * dy;
            if (r2 <= 1.0) {
                double light = std::clamp(0.6 - 0.6 * dx - 0.6 * dy, 0.0, 1.0);
                rgb c = mix(pal.at('G'), pal.at('g'), light);
                if (r2 > 0.86)
                    c = pal.at('k');
                else if (light > 0.9 && r2 > 0.5)
                    c = pal.at('h');
                d.set(x, y, c);
            }
            // antennae
            for (int side : {-1, 1}) {
                double ax = 31.5 + side * 12, ay = 12;
                double t = (y - ay) / 10.0;
                if (t >= 0 && t <= 1 && std::fabs(x - (ax - side * 4 * t)) < 1.2)
                    d.set(x, y, pal.at('G'));
                if ((x - ax) * (x - ax) + (y - ay) * (y - ay) <= 9)
                    d.set(x, y, (x - ax) + (y - ay) < -1 ? pal.at('w') : pal.at('p'));
            }
            // the eye
            double ex = x - 31.5, ey = y - 32.0, er = std::sqrt(ex * ex + ey * ey);
            if (er <= 11)
                d.set(x, y, er > 9.6 ? pal.at('k') : pal.at('w'));
            double px = x - 33.5, py = y - 33.0;
            if (px * px + py * py <= 25)
                d.set(x, y, pal.at('e'));
            if ((x - 31) * (x - 31) + (y - 30) * (y - 30) <= 2)
                d.set(x, y, pal.at('w'));
            // a smile
            double sx = x - 31.5, sy = y - 42.0;
            double sr = std::sqrt(sx * sx + sy * sy);
            if (sy > 2 && sr > 9 && sr < 11 && std::fabs(sx) < 8)
                d.set(x, y, pal.at('k'));
            // cheeks
            for (int side : {-1, 1})
                if ((x - 31.5 - side * 15) * (x - 31.5 - side * 15) + (y - 44) * (y - 44) <= 6)
                    d.set(x, y, mix(d.at(x, y), pal.at('p'), 0.6));
        }
    return d;
}

// The maker's name; 224 wide, so it rests on a multiple of four pixels.
Img logo_picture(const Fonts& f)
{
    Img d(224, 40);
    const Palette p = {0, 0, 0, 0, 0, {0xffffff, 0xd0ffd8, 0x60e080, 0x208050}, 0x0c3018, 0x000000, 0, 0};
    int w = word_width("QUORVALE", 1, 4);
    big_word(d, f, p, "QUORVALE", 1, (224 - w) / 2, 2, 4, 2);
    std::string tag = "SOFTWARE";
    int tw = int(tag.size()) * 8;
    draw_small(d, f.small, (224 - tw) / 2, 26, tag);
    for (int x = 20; x < 204; x++)
        if (x < (224 - tw) / 2 - 6 || x > (224 + tw) / 2 + 4)
            d.set(x, 29, mix(0x208050, 0x60e080, 1.0 - std::fabs(x - 112) / 92.0));
    return d;
}

std::vector<Box> text_panels(const std::string& kind)
{
    if (kind == "title")
        return {TITLE_PANEL};
    if (kind == "letsgo")
        return {LETSGO_PANEL};
    if (kind == "gameover")
        return {GAMEOVER_PANEL};
    if (kind == "paused")
        return {PAUSED_PANELS[0], PAUSED_PANELS[1]};
    if (kind == "top")
        return {TOP_SLOTS[0], TOP_SLOTS[1], TOP_SLOTS[2], TOP_SLOTS[3]};
    return {};
}
