// The tile sheets, the background tiles, the player sheet and the small
// pieces of the interface. Every shape is drawn by code from fixed seeds.
#include <cmath>
#include <cstdlib>

#include "art.h"

namespace {

constexpr double PI = 3.14159265358979323846;

struct Style {
    rgb field, field_hi, field_lo;
    rgb solid, solid_hi, solid_lo;
    rgb track, rail, sleeper;
    rgb push, arrow, arrow_lo;
    rgb tele_a, tele_b;
    rgb mine, light;
    bool flat;      // the classic look: flat colours, single-pixel bevels
    bool hexes;     // the second sheet's fields carry a hex dimple pattern
    uint32_t seed;
};

constexpr Style STYLES[5] = {
    // classic
    {0x9c9c9c, 0xd8d8d8, 0x585858, 0x5c5c8c, 0x9898c8, 0x2c2c50, 0x6c5434, 0xe0e0e0, 0x3c2c18,
     0x7c2c2c, 0xf8f800, 0x806000, 0x00c8f8, 0x0040a0, 0x202020, 0xf80000, true, false, 11},
    // first normal sheet: ice-blue glass plates, steel, gold arrows
    {0x3d7fc0, 0x9ed8ff, 0x163a6a, 0x5e6472, 0xb4bac8, 0x23262e, 0x2e3440, 0xd8e0ea, 0x7a5030,
     0x244a6a, 0xffd23c, 0x9a5a08, 0x50e8ff, 0x7040ff, 0x262830, 0xff3020, false, false, 21},
    // second normal sheet: amethyst plates, bronze, green arrows
    {0x8a4cc0, 0xe0a8ff, 0x3c1460, 0x7a5a3a, 0xd8b080, 0x34220e, 0x3a2a30, 0xf0d8b0, 0x5a3a50,
     0x4a2660, 0x66f07a, 0x18703a, 0xffb040, 0xff2a6a, 0x302420, 0x40ff60, false, true, 37},
    // the ember theme's pictures: copper plates, soot-dark steel, gold arrows
    {0xc4622a, 0xffc488, 0x5a2208, 0x5a504c, 0xb8aca4, 0x241c18, 0x3a2a24, 0xe8d8c8, 0x6a4020,
     0x6a2a14, 0xffe070, 0x9a5a08, 0xffd060, 0xff5020, 0x2a2020, 0xff4020, false, false, 53},
    // the aurora theme's pictures: jade glass plates, cool steel, violet arrows
    {0x24a47c, 0xa8ffdc, 0x0a4634, 0x4e6660, 0xb0c8c0, 0x1a2624, 0x24343a, 0xd8f0e8, 0x3a5050,
     0x1a4a50, 0xd0a0ff, 0x5a30a0, 0x80fff0, 0x4060ff, 0x1c2624, 0x60ff90, false, false, 67},
};

// The classic look's one shading tool: a 4 x 4 ordered dither.
double bayer(int x, int y)
{
    static const int m[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return (m[y & 3][x & 3] + 0.5) / 16.0;
}

// A floating plate: rim, bevel and a gently lit face. The classic face is
// lit by dithering between three tones of its colour.
void plate(Img& d, int ox, int oy, rgb base, rgb hi, rgb lo, const Style& s, int bevel = 1)
{
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            int e = std::min(std::min(x, y), std::min(15 - x, 15 - y));
            rgb c;
            if (e == 0)  // a lit edge all round: the plate stands off the darkest sky
                c = mix(mix(base, hi, 0.45), lo, (x + y) / 60.0);
            else if (e <= bevel && (x <= bevel || y <= bevel) && x < 15 - e + 1 && y < 15 - e + 1 &&
                     (x == e || y == e))
                c = s.flat ? hi : mix(hi, base, 0.15 * (x + y) / 16.0);
            else if (e <= bevel)
                c = lo;
            else if (s.flat) {
                double light = 1.0 - (x + y) / 30.0;  // 1 at the top left
                double amount = std::fabs(light - 0.5) * 1.3;
                c = amount > bayer(x, y) ? (light > 0.5 ? mix(base, hi, 0.35) : mix(base, lo, 0.3)) : base;
            } else {
                double light = 1.0 - (x + y) / 30.0;
                double grain = fbm(x, y, 16, s.seed + uint32_t(base), 3) - 0.5;
                c = mix(base, hi, 0.28 * light + 0.15 * grain);
                if (s.hexes && ((x + (y / 4 % 2) * 2) % 4 == 2) && y % 4 == 2)
                    c = mix(c, lo, 0.45);
            }
            d.set(ox + x, oy + y, c);
        }
}

// A deliberate crack across the face: the plate will not hold for long.
void crack_line(Img& d, int ox, int oy, const std::vector<std::pair<int, int>>& pts, rgb lo, rgb hi)
{
    for (size_t i = 0; i + 1 < pts.size(); i++) {
        auto [x0, y0] = pts[i];
        auto [x1, y1] = pts[i + 1];
        int n = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
        for (int k = 0; k <= n; k++) {
            int x = x0 + (x1 - x0) * k / std::max(n, 1), y = y0 + (y1 - y0) * k / std::max(n, 1);
            d.set(ox + x, oy + y, lo);
            if (d.at(ox + x + 1, oy + y) != lo)
                d.set(ox + x + 1, oy + y, mix(d.at(ox + x + 1, oy + y), hi, 0.5));
        }
    }
}

void field(Img& d, int ox, int oy, const Style& s)
{
    plate(d, ox, oy, s.field, s.field_hi, s.field_lo, s);
    if (s.flat) {  // a diamond cut into the face, a stud in it, a hairline crack
        Mask cut(16, 16);
        for (int k = 0; k <= 5; k++)
            for (auto [x, y] : {std::pair{7 - k, 2 + k}, {8 + k, 2 + k}, {7 - k, 13 - k}, {8 + k, 13 - k}})
                cut.put(x, y, true);
        for (int y = 0; y < 16; y++)
            for (int x = 0; x < 16; x++)
                if (cut.get(x, y))
                    d.set(ox + x, oy + y, s.field_lo);
                else if (cut.get(x, y - 1))  // the lower lip of the cut catches the light
                    d.set(ox + x, oy + y, s.field_hi);
        d.rect(ox + 7, oy + 7, 2, 2, s.field_lo);
        d.set(ox + 7, oy + 7, s.field_hi);
        crack_line(d, ox, oy, {{14, 1}, {12, 3}, {13, 5}}, scale(s.field_lo, 0.8), s.field_hi);
        return;
    }
    rgb lo = scale(s.field_lo, 0.75);
    if (s.hexes) {
        crack_line(d, ox, oy, {{2, 12}, {5, 9}, {5, 6}, {8, 3}, {10, 2}}, lo, s.field_hi);
        crack_line(d, ox, oy, {{5, 9}, {9, 10}, {12, 13}}, lo, s.field_hi);
    } else {
        crack_line(d, ox, oy, {{3, 2}, {6, 6}, {5, 9}, {7, 13}}, lo, s.field_hi);
        crack_line(d, ox, oy, {{6, 6}, {10, 6}, {13, 9}}, lo, s.field_hi);
    }
}

void solid(Img& d, int ox, int oy, const Style& s)
{
    plate(d, ox, oy, s.solid, s.solid_hi, s.solid_lo, s, 2);
    for (int i = 4; i <= 11; i++) {  // a raised inner square
        d.set(ox + i, oy + 4, s.solid_lo);
        d.set(ox + 4, oy + i, s.solid_lo);
        d.set(ox + i, oy + 11, s.solid_hi);
        d.set(ox + 11, oy + i, s.solid_hi);
    }
    for (int cx : {3, 12})
        for (int cy : {3, 12}) {  // rivets
            d.set(ox + cx, oy + cy, s.solid_hi);
            d.set(ox + cx + 1, oy + cy + 1, s.solid_lo);
            d.set(ox + cx + 1, oy + cy, mix(s.solid_hi, s.solid, 0.5));
        }
}

void track(Img& d, int ox, int oy, const Style& s, bool vertical)
{
    plate(d, ox, oy, s.track, mix(s.track, 0xffffff, 0.25), scale(s.track, 0.5), s);
    auto put = [&](int a, int b, rgb c) {  // a along the track, b across it
        if (vertical)
            d.set(ox + b, oy + a, c);
        else
            d.set(ox + a, oy + b, c);
    };
    for (int a = 1; a < 15; a++) {
        if ((a + 1) % 4 < 2)  // sleepers
            for (int b = 2; b <= 13; b++)
                put(a, b, (a + 1) % 4 == 0 ? mix(s.sleeper, 0xffffff, 0.2) : s.sleeper);
        for (int rail : {4, 10}) {
            put(a, rail, s.rail);
            put(a, rail + 1, mix(s.rail, 0x000000, s.flat ? 0.4 : 0.45));
            if (!s.flat)
                put(a, rail - 1, mix(d.at(vertical ? ox + rail - 1 : ox + a, vertical ? oy + a : oy + rail - 1),
                                     0x000000, 0.3));
        }
    }
    // rails run on past the plate edge so that neighbouring tracks join
    for (int rail : {4, 10}) {
        put(0, rail, s.rail);
        put(15, rail, s.rail);
    }
}

// dir 0 up, 1 down, 2 left, 3 right.
void pusher(Img& d, int ox, int oy, const Style& s, int dir)
{
    plate(d, ox, oy, s.push, mix(s.push, 0xffffff, 0.35), scale(s.push, 0.45), s);
    Mask m(16, 16);
    for (int y = 2; y <= 13; y++)
        for (int x = 2; x <= 13; x++) {
            double cx = x - 7.5;
            bool head = y >= 3 && y <= 8 && std::fabs(cx) <= (y - 3) + 0.5;
            bool shaft = y >= 8 && y <= 12 && std::fabs(cx) <= (s.flat ? 1.0 : 2.0);
            if (head || shaft)
                m.put(x, y, true);
        }
    auto map = [dir](int x, int y, int& tx, int& ty) {
        switch (dir) {
        case 0: tx = x, ty = y; break;
        case 1: tx = x, ty = 15 - y; break;
        case 2: tx = y, ty = x; break;
        default: tx = 15 - y, ty = x; break;
        }
    };
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            int tx, ty;
            map(x, y, tx, ty);
            if (m.get(x, y)) {
                double t = y / 15.0;
                rgb c = s.flat ? (t < 0.5 ? s.arrow : mix(s.arrow, s.arrow_lo, 0.35))
                               : mix(mix(s.arrow, 0xffffff, 0.4), s.arrow, t * 1.6);
                d.set(ox + tx, oy + ty, c);
            } else if (m.get(x - 1, y) || m.get(x + 1, y) || m.get(x, y - 1) || m.get(x, y + 1)) {
                d.set(ox + tx, oy + ty, s.arrow_lo);
            }
        }
}

// A swirling gate; phase 0..3 turns it a quarter of its symmetry.
void teleporter(Img& d, int ox, int oy, const Style& s, int phase)
{
    plate(d, ox, oy, scale(s.solid, s.flat ? 1.0 : 0.8), s.solid_hi, s.solid_lo, s);
    for (int y = 1; y < 15; y++)
        for (int x = 1; x < 15; x++) {
            double dx = x - 7.5, dy = y - 7.5, r = std::sqrt(dx * dx + dy * dy);
            if (r > 7.0)
                continue;
            double th = std::atan2(dy, dx);
            double v = 0.5 + 0.5 * std::sin(3 * th + 1.1 * r - phase * (2 * PI / 4));
            if (s.flat)
                v = v > 0.5 ? 1 : 0;
            rgb c = mix(s.tele_b, s.tele_a, v);
            c = mix(c, 0xffffff, std::max(0.0, 1.0 - r / 2.5));
            if (r > 6.0)
                c = mix(c, s.tele_b, 0.5);
            c = scale(c, 0.55 + 0.45 * (1 - r / 7.5));
            d.set(ox + x, oy + y, c);
        }
}

// A mine on a plate; glow 0..1 lights its lamp.
void mine(Img& d, int ox, int oy, const Style& s, double glow)
{
    plate(d, ox, oy, s.field, s.field_hi, s.field_lo, s);
    // a hazard-striped rim
        for (int y = 1; y < 15; y++)
            for (int x = 1; x < 15; x++)
                if (x == 1 || y == 1 || x == 14 || y == 14)
                    d.set(ox + x, oy + y, ((x + y) / 2) % 2 ? 0xf0c020 : 0x242020);
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            double dx = x - 7.5, dy = y - 8.0, r = std::sqrt(dx * dx + dy * dy);
            bool spike = (std::fabs(dx) < 1 && std::fabs(dy) < 6.2) || (std::fabs(dy) < 1 && std::fabs(dx) < 6.2) ||
                         (std::fabs(std::fabs(dx) - std::fabs(dy)) < 0.8 && r < 6.2);
            if (r < 4.6) {
                double lit = s.flat ? (dx + dy < -3.0 ? 0.4 : 0.0) : std::max(0.0, -(dx + dy) / 7.0);
                d.set(ox + x, oy + y, mix(s.mine, 0xb0b0c0, lit));
            } else if (spike) {
                d.set(ox + x, oy + y, s.flat ? s.mine : mix(s.mine, 0xa0a8b8, 0.45));
            }
        }
    // lamp and its glow
    for (int y = 5; y <= 10; y++)
        for (int x = 5; x <= 10; x++) {
            double dx = x - 7.5, dy = y - 7.5, r = std::sqrt(dx * dx + dy * dy);
            if (r < 1.6)
                d.set(ox + x, oy + y, mix(scale(s.light, 0.3), mix(s.light, 0xffffff, 0.5 * glow), glow));
            else if (r < 3.2 && !s.flat && glow > 0.3)
                d.set(ox + x, oy + y, mix(d.at(ox + x, oy + y), s.light, 0.45 * glow));
        }
    if (glow > 0.6) {
        d.set(ox + 7, oy + 7, 0xffffff);
    }
}

// A burst: a fireball that swells for four frames, then burns out into
// thinning smoke while sparks fly off.
void explosion(Img& d, int ox, int oy, const Style& s, int f)
{
    static const rgb fire[] = {0xffffff, 0xfff4a0, 0xffc840, 0xff8020, 0xd83a10, 0x8a2010};
    static const rgb fire_flat[] = {0xffffff, 0xffff00, 0xffff00, 0xff8000, 0xff0000, 0xff0000};
    const double radius[9] = {2.5, 4.5, 6.5, 7.5, 7.5, 7.5, 7.5, 7.5, 7.5};
    double hot = f < 3 ? radius[f] : 7.5 * (1.0 - (f - 2) / 5.0);  // the glowing part
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            double dx = x - 7.5, dy = y - 7.5, r = std::sqrt(dx * dx + dy * dy);
            double n = fbm(x + f * 2, y + f * 3, 16, s.seed + 90, 3);
            double wobble = 0.8 + 0.45 * n;
            if (r <= hot * wobble) {
                double t = std::clamp(r / (hot * wobble + 0.01) + (f >= 3 ? 0.25 * (f - 2) : 0.0) - 0.1, 0.0, 1.0);
                size_t i = std::min<size_t>(size_t(t * 5.99), 5);
                d.set(ox + x, oy + y, s.flat ? fire_flat[i] : fire[i]);
            } else if (f >= 2 && r <= radius[f] * wobble + (f - 2) * 0.6) {
                double thin = 0.22 + (f - 2) * 0.07;  // smoke thins out frame by frame
                if (n < thin)
                    continue;
                double shade = std::clamp((n - thin) * 2.5, 0.0, 1.0);
                rgb c = mix(0x2c2428, 0x7a6a66, shade * (1.0 - f / 12.0));
                if (s.flat)
                    c = shade > 0.4 ? 0x808080 : 0x404040;
                d.set(ox + x, oy + y, c);
            }
        }
    if (f >= 1 && f <= 6)  // sparks
        for (int k = 0; k < 8; k++) {
            double a = k * (PI / 4) + 0.4 + 0.15 * (k % 3);
            double rr = 3.0 + f * 1.15 + (k % 2);
            int x = int(std::lround(7.5 + std::cos(a) * rr)), y = int(std::lround(7.5 + std::sin(a) * rr));
            if (x >= 0 && y >= 0 && x < 16 && y < 16)
                d.set(ox + x, oy + y, f < 4 ? 0xffffc0 : 0xffa040);
        }
}

// A plate breaking into shards that shrink and fall away.
void dissolve(Img& d, int ox, int oy, const Style& s, int f)
{
    Img src(16, 16);
    field(src, 0, 0, s);
    constexpr int N = 5;  // four corner shards and a middle one
    double cx[N] = {4, 11, 4, 11, 7.5}, cy[N] = {4, 4, 11, 11, 7.5};
    Rng r(s.seed * 13 + 5);
    for (int i = 0; i < N; i++) {
        cx[i] += r.below(3) - 1;
        cy[i] += r.below(3) - 1;
    }
    auto owner = [&](double x, double y) {
        int best = 0;
        double bd = 1e9;
        for (int i = 0; i < N; i++) {
            double dd = (x - cx[i]) * (x - cx[i]) + (y - cy[i]) * (y - cy[i]);
            if (dd < bd)
                bd = dd, best = i;
        }
        return best;
    };
    const double shrink[] = {1.0, 0.95, 0.72, 0.48};
    const double spread[] = {0.0, 1.0, 2.0, 3.0};
    const int alive[] = {N, N, N, 4};
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++)
            for (int p = 0; p < alive[f]; p++) {
                double k = shrink[f];
                double drift = spread[f];
                double sx = cx[p] + (x - cx[p] - (cx[p] - 7.5) * drift / 8.0) / k;
                double sy = cy[p] + (y - cy[p] - (cy[p] - 7.5) * drift / 8.0 - f * f * 0.3) / k;
                int ix = int(std::floor(sx)), iy = int(std::floor(sy));
                if (ix < 0 || iy < 0 || ix > 15 || iy > 15 || owner(ix, iy) != p)
                    continue;
                bool border = owner(ix + 1, iy) != p || owner(ix, iy + 1) != p;
                rgb c = src.at(ix, iy);
                if (border && f == 0)
                    c = scale(s.field_lo, 0.6);
                else if (border)
                    continue;  // the cracks have opened
                else if (f > 0)
                    c = mix(c, 0x000000, 0.18 * f);
                if (s.flat && f > 0 && ((x + y + f) & 1))
                    continue;
                d.set(ox + x, oy + y, c);
            }
}

}  // namespace

Img tile_sheet(int style)
{
    const Style& s = STYLES[style];
    Img d(144, 64);
    field(d, 0, 0, s);
    mine(d, 16, 0, s, 1.0);
    solid(d, 32, 0, s);
    track(d, 48, 0, s, true);
    track(d, 64, 0, s, false);
    const double glow[4] = {1.0, 0.55, 0.1, 0.55};
    for (int f = 0; f < 4; f++)
        mine(d, 80 + 16 * f, 0, s, glow[f]);
    for (int dir = 0; dir < 4; dir++)
        pusher(d, 16 * dir, 16, s, dir);
    teleporter(d, 64, 16, s, 0);
    for (int f = 0; f < 4; f++)
        teleporter(d, 80 + 16 * f, 16, s, f);
    for (int f = 0; f < 9; f++)
        explosion(d, 16 * f, 32, s, f);
    for (int f = 0; f < 4; f++)
        dissolve(d, 16 * f, 48, s, f);
    return d;
}

Img picture_tiles(int theme)
{
    return tile_sheet(theme == 0 ? 1 : 2 + theme);
}

// Four rows of 33 seamless deep-space tiles, one family of colours a row,
// drifting from level to level. Column c backs levels 1.5 c + 1 on, so the
// first half carries the ice-blue plates and the second the amethyst ones:
// there every family turns away from violet (blue to teal, violet to green,
// teal to amber, red to rust) so that the plates stand out. Column 32 holds
// the backing strips of the scroll text, one 12 rows high per theme.
Img background_sheet()
{
    struct Family {
        rgb deep, glow;
    };
    static const Family first[4] = {{0x0a1030, 0x3050c0}, {0x1a0828, 0x9030a0}, {0x041818, 0x20a090}, {0x160408, 0xa83040}};
    static const Family second[4] = {{0x04141c, 0x1c8ca0}, {0x041a0c, 0x30a050}, {0x141004, 0xa07820}, {0x180904, 0xb05418}};
    Img d(528, 64, 0x000000);
    for (int row = 0; row < 4; row++)
        for (int col = 0; col < 33; col++) {
            bool late = col >= 16;
            const Family* f = late ? second : first;
            double t = (col - (late ? 16 : 0)) / 16.0;  // the drift within a half
            rgb deep = f[row].deep;
            rgb glow = mix(f[row].glow, f[(row + 1) % 4].glow, t * 0.5);
            uint32_t seed = uint32_t(row * 100 + col + 7);
            for (int y = 0; y < 16; y++)
                for (int x = 0; x < 16; x++) {
                    double n = fbm(x, y, 16, seed, 2);
                    double neb = std::pow(std::clamp((n - 0.35) / 0.5, 0.0, 1.0), 1.6);
                    d.set(col * 16 + x, row * 16 + y, mix(deep, glow, neb * (0.3 + 0.2 * col / 32.0)));
                }
            // Star dust rather than a few bright stars: every hole shows the
            // same tile, so a bright star would repeat every 16 pixels as a
            // grid; a dozen faint specks of different strength read as a
            // field of distant stars instead.
            Rng r(seed * 31);
            int specks = 10 + r.below(5);
            std::vector<bool> lit(256, false);
            for (int k = 0; k < specks; k++) {
                int x = r.below(16), y = r.below(16);
                double b = 0.07 + 0.13 * r.unit();
                rgb tint = r.below(3) == 0 ? 0xa0c0ff : (r.below(2) ? 0xfff0d0 : 0xffffff);
                if (!lit[size_t(y * 16 + x)])  // one speck a pixel
                    d.set(col * 16 + x, row * 16 + y, mix(d.at(col * 16 + x, row * 16 + y), tint, b));
                lit[size_t(y * 16 + x)] = true;
            }
        }
    // scroll-text backings: dark glass bands with lit edges in each theme's
    // colours (blue ice, ember, aurora)
    static const rgb strips[3][4] = {{0x101840, 0x04061a, 0x6080d0, 0x203070},
                                     {0x3a1208, 0x120402, 0xe09048, 0x6a2410},
                                     {0x0c3428, 0x03100c, 0x60e0a8, 0x145c44}};
    for (int t = 0; t < 3; t++)
        for (int y = 0; y < SCROLL_STRIP_H; y++)
            for (int x = 0; x < 16; x++) {
                rgb c = mix(strips[t][0], strips[t][1], y / 11.0);
                if (y == 0)
                    c = strips[t][2];
                if (y == 11)
                    c = strips[t][3];
                d.set(SCROLL_STRIP_X + x, SCROLL_STRIP_H * t + y, c);
            }
    return d;
}

Img player_sheet(const SpriteFile& sprites)
{
    Img d(64, 16);
    Img down = render_sprite(sprites, "player_down", "");
    Img up = render_sprite(sprites, "player_up", "");
    Img left = render_sprite(sprites, "player_left", "");
    Img right(16, 16);
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++)
            right.set(15 - x, y, left.at(x, y));
    d.blit(down, 0, 0, false);
    d.blit(up, 16, 0, false);
    d.blit(left, 32, 0, false);
    d.blit(right, 48, 0, false);
    return d;
}

Img hint_sheet(const SpriteFile& sprites)
{
    Img right = render_sprite(sprites, "hint_right", "");
    Img d(64, 16);
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            d.set(x, y, right.at(15 - y, x));       // up: the tip at the top
            d.set(16 + x, y, right.at(y, 15 - x));  // down
            d.set(32 + x, y, right.at(15 - x, y));  // left: the mirror
            d.set(48 + x, y, right.at(x, y));
        }
    return d;
}

// Every other pixel black, the rest the key: halves the light of what is under.
Img raster_tile()
{
    Img d(16, 16);
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++)
            if ((x + y) % 2 == 0)
                d.set(x, y, 0x000000);
    return d;
}

// The frame behind typed words: a dark slot in a lit bezel, corners cut.
Img scoreboard_frame()
{
    Img d(104, 24);
    for (int y = 0; y < 24; y++)
        for (int x = 0; x < 104; x++) {
            int e = std::min(std::min(x, y), std::min(103 - x, 23 - y));
            rgb c;
            if (e == 0)
                c = 0x0a0a1a;
            else if (e == 1)
                c = (x == 1 || y == 1) ? 0xc8d8ff : 0x304070;
            else if (e == 2)
                c = (x == 2 || y == 2) ? 0x203060 : 0x8090c0;
            else
                c = mix(0x141c40, 0x060818, (y - 3) / 18.0);
            d.set(x, y, c);
        }
    for (int i = 0; i < 2; i++)
        for (int j = 0; j < 2 - i; j++) {
            d.set(i, j, KEY);
            d.set(103 - i, j, KEY);
            d.set(i, 23 - j, KEY);
            d.set(103 - i, 23 - j, KEY);
        }
    return d;
}
