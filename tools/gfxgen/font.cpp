// The typeface in three sizes, grown from the 8 x 8 masters.
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "art.h"

std::vector<Mask> read_font(const std::string& path)
{
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::vector<Mask> font(95, Mask(8, 8));
    std::string line;
    int first = -1, count = 0, row = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line.rfind("# ", 0) == 0)  // rows may start with ink
            continue;
        std::istringstream ls(line);
        std::string word;
        ls >> word;
        if (word == "codes") {
            int last;
            ls >> first >> last;
            count = last - first + 1;
            row = 0;
            continue;
        }
        if (first < 32 || row >= 8)
            throw std::runtime_error(path + ": row outside a block: " + line);
        std::istringstream cells(line);
        for (int g = 0; g < count; g++) {
            std::string cell;
            if (!(cells >> cell) || cell.size() != 7)
                throw std::runtime_error(path + ": bad row: " + line);
            for (int x = 0; x < 7; x++)
                font[size_t(first - 32 + g)].put(x, row, cell[size_t(x)] == '#');
        }
        row++;
    }
    for (int c = 'a'; c <= 'z'; c++)
        font[size_t(c - 32)] = font[size_t(c - 'a' + 'A' - 32)];
    return font;
}

// EPX / Scale2x: doubles a mask and rounds its diagonal steps.
Mask scale2x(const Mask& m)
{
    Mask out(m.w * 2, m.h * 2);
    for (int y = 0; y < m.h; y++)
        for (int x = 0; x < m.w; x++) {
            bool p = m.get(x, y), a = m.get(x, y - 1), b = m.get(x + 1, y);
            bool c = m.get(x - 1, y), d = m.get(x, y + 1);
            bool e0 = p, e1 = p, e2 = p, e3 = p;
            if (a != d && c != b) {
                e0 = c == a ? c : p;
                e1 = a == b ? b : p;
                e2 = c == d ? c : p;
                e3 = d == b ? b : p;
            }
            out.put(2 * x, 2 * y, e0);
            out.put(2 * x + 1, 2 * y, e1);
            out.put(2 * x, 2 * y + 1, e2);
            out.put(2 * x + 1, 2 * y + 1, e3);
        }
    return out;
}

namespace {

constexpr rgb OUTLINE = 0x1a0a18;

// Paints one glyph: ink shaded by its height (colour stops top to bottom),
// lit top edges, a dark outline and a drop shadow of `shadow` pixels.
void paint_glyph(Img& dst, int ox, int oy, const Mask& ink, const std::vector<rgb>& stops, int outline,
                 int shadow)
{
    int ih = 0;
    for (int y = 0; y < ink.h; y++)
        for (int x = 0; x < ink.w; x++)
            if (ink.get(x, y))
                ih = std::max(ih, y + 1);
    auto is_ink = [&](int x, int y) { return ink.get(x, y); };
    auto near_ink = [&](int x, int y, int r) {
        for (int j = -r; j <= r; j++)
            for (int i = -r; i <= r; i++)
                if (is_ink(x + i, y + j))
                    return true;
        return false;
    };
    for (int y = -2; y < ink.h + 2; y++)
        for (int x = -2; x < ink.w + 2; x++) {
            if (shadow && is_ink(x - shadow, y - shadow) && !is_ink(x, y))
                dst.set(ox + x, oy + y, OUTLINE);
            if (outline && !is_ink(x, y) && near_ink(x, y, outline))
                dst.set(ox + x, oy + y, OUTLINE);
        }
    for (int y = 0; y < ink.h; y++)
        for (int x = 0; x < ink.w; x++) {
            if (!is_ink(x, y))
                continue;
            double t = ih > 1 ? double(y) / (ih - 1) : 0;
            double seg = t * double(stops.size() - 1);
            size_t i = std::min(size_t(seg), stops.size() - 2);
            rgb c = mix(stops[i], stops[i + 1], seg - double(i));
            if (!is_ink(x, y - 1))
                c = mix(c, 0xffffff, 0.55);
            else if (!is_ink(x, y + 1) && ih > 8)
                c = scale(c, 0.7);
            dst.set(ox + x, oy + y, c);
        }
}

}  // namespace

// Glyph order of the small font: digits, letters, signs; codes beyond the
// signs draw the glyph of their own number, so '/' and '=' sit there too.
Img font_small_sheet(const std::vector<Mask>& font, rgb top, rgb bottom)
{
    Img sheet(64 * 8, 8);
    auto put = [&](int glyph, char c) {
        paint_glyph(sheet, glyph * 8, 0, font[size_t(c - 32)], {top, bottom}, 0, 1);
    };
    for (int d = 0; d < 10; d++)
        put(d, char('0' + d));
    for (int l = 0; l < 26; l++)
        put(10 + l, char('A' + l));
    const char signs[] = "!,.+-%:*";
    for (int s = 0; s < 8; s++)
        put(36 + s, signs[s]);
    put(44, '_');
    put(48, '(');
    put(49, ')');
    put(47, '/');
    for (char c : {';', '<', '=', '>'})
        put(c, c);
    // The question mark shares glyph 42 with the colon; a colon reads better
    // in the many "LABEL:" lines, so glyph 42 stays a colon.
    return sheet;
}

// The medium font's full stop is only ever the cursor mark under typed words
// and beside menu entries: a bar at mid height, rows 6 to 9 of its cell, so
// that it clears both the score board above a name and the result line below
// a password, and is too wide to read as the dot of an "i" there.
Mask medium_cursor()
{
    Mask m(14, 14);
    for (int y = 5; y < 9; y++)
        for (int x = 1; x < 13; x++)
            m.put(x, y, !((y == 5 || y == 8) && (x == 1 || x == 12)));
    return m;
}

Img font_medium_sheet(const std::vector<Mask>& font)
{
    Img sheet(16, 16 * 95);
    for (int c = 32; c < 127; c++)
        if (c != '~')
            paint_glyph(sheet, 1, 16 * (c - 32) + 1, c == '.' ? medium_cursor() : scale2x(font[size_t(c - 32)]),
                        {0xfffce8, 0xffe070, 0xf09020}, 1, 0);
    return sheet;
}

// Each large glyph stands on an opaque banner the height of its cell, so a
// word drawn over the darkened field reads as one solid plate. The banner
// takes its theme's colour: navy glass in the blue one, smouldering copper
// in the ember one, dusk violet in the aurora one.
Img font_large_sheet(const std::vector<Mask>& font, int theme)
{
    struct Banner {
        rgb top, bottom, lit, under_lit, foot;
    };
    static const Banner banners[3] = {
        {0x161a34, 0x05050c, 0x5a6aa8, 0x262c52, 0x2a3058},
        {0x38160c, 0x0c0403, 0xb86a3c, 0x5a2a18, 0x60321c},
        {0x24163c, 0x07040e, 0x9474d0, 0x402c66, 0x46346e},
    };
    const Banner& b = banners[theme];
    Img sheet(32, 32 * 95);
    for (int c = 32; c < 127; c++) {
        if (c == '~')
            continue;
        int top = 32 * (c - 32);
        for (int y = 0; y < 32; y++) {
            rgb band = y == 0 ? b.lit : y == 1 ? b.under_lit : y == 31 ? b.foot : mix(b.top, b.bottom, y / 31.0);
            sheet.rect(0, top + y, 32, 1, band);
        }
        paint_glyph(sheet, 1, top + 1, scale2x(scale2x(font[size_t(c - 32)])),
                    {0xffffff, 0xa0f0ff, 0x3070e0, 0xffd040, 0xff8010, 0xa02810}, 1, 2);
    }
    return sheet;
}

void draw_text(Img& dst, const Img& sheet, int size, int x, int y, const std::string& text)
{
    for (size_t i = 0; i < text.size(); i++) {
        int c = (unsigned char)text[i];
        dst.blit(sheet.crop(0, (c - 32) * size, size, size), x + int(i) * size, y);
    }
}

void draw_small(Img& dst, const Img& sheet, int x, int y, const std::string& text)
{
    for (size_t i = 0; i < text.size(); i++) {
        int c = (unsigned char)text[i];
        int g = c;
        if (c == ' ' || c == '~')
            continue;
        if (c >= '0' && c <= '9')
            g = c - '0';
        else if (c >= 'A' && c <= 'Z')
            g = c - 55;
        else if (c >= 'a' && c <= 'z')
            g = c - 87;
        else if (c == '!')
            g = 36;
        else if (c == ',')
            g = 37;
        else if (c == '.')
            g = 38;
        else if (c == '+')
            g = 39;
        else if (c == '-')
            g = 40;
        else if (c == '%')
            g = 41;
        else if (c == ':' || c == '?')
            g = 42;
        else if (c == '*')
            g = 43;
        else if (c == '_')
            g = 44;
        else if (c == '(')
            g = 48;
        else if (c == ')')
            g = 49;
        dst.blit(sheet.crop(g * 8, 0, 8, 8), x + int(i) * 8, y);
    }
}
