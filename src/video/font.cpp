// Bitmap text: one blit per glyph, from the glyph's own surface when the
// font sheet is cut into cells.
#include "video/font.h"

#include "video/cells.h"

#include <array>

SDL_Surface* font_large;
SDL_Surface* font_small;
SDL_Surface* font_medium;
char tmp_string[256];
char ENDCHAR = '~';
char EXCLMCHAR = '!';

namespace {

constexpr int LARGE = 32;  // glyph sizes of the three sheets
constexpr int MEDIUM = 16;
constexpr int SMALL = 8;
constexpr unsigned MEDIUM_MAX_Y = 224;  // lowest top row put_text draws at
constexpr unsigned SMALL_MAX_Y = 232;   // and put_text1

// Small-font glyphs of the signs, from '%' (37) to '?' (63); 0 keeps the code.
constexpr char FIRST_SIGN = '%';
constexpr std::array<int, 27> sign_glyphs = {
    41, 0, 0, 48, 49, 43, 39, 37, 40, 38,  // % & ' ( ) * + , - .
    0,  0, 0, 0,  0,  0,  0,  0,  0,  0,   // / 0 1 2 3 4 5 6 7 8
    0,  42, 0, 0, 0, 0, 42,                // 9 : ; < = > ?
};
static_assert(sign_glyphs.size() == '?' - FIRST_SIGN + 1, "one entry per code from % to ?");
constexpr int UNDERSCORE_GLYPH = 44;  // '_', in a file name

void blit_glyph(SDL_Surface* sheet, int sx, int sy, int size, SDL_Surface* dst, int x, int y)
{
    blit_rect(sheet, sx, sy, size, size, dst, x, y);
}

// A sheet of one column, glyphs from the space downwards.
void put_column_text(SDL_Surface* sheet, int size, SDL_Surface* dst, int x, int y, const char* text)
{
    if (!sheet || !dst || !text)
        return;
    for (int i = 0; text[i]; i++) {
        int c = static_cast<unsigned char>(text[i]);
        blit_glyph(sheet, 0, (c - 32) * size, size, dst, x + i * size, y);
    }
}

}  // namespace

int small_glyph(unsigned char c)
{
    if (c == ' ')
        return -1;
    if (c == static_cast<unsigned char>(EXCLMCHAR))
        return 36;
    if (c >= 'a' && c <= 'z')
        return c - 87;
    if (c >= 'A' && c <= 'Z')
        return c - 55;
    if (c >= '0' && c <= '9')
        return c - 48;
    if (c >= FIRST_SIGN && c <= '?' && sign_glyphs[c - FIRST_SIGN])
        return sign_glyphs[c - FIRST_SIGN];
    if (c == '_')
        return UNDERSCORE_GLYPH;
    return c;
}

void put_text_large(SDL_Surface* dst, int x, int y, const char* text)
{
    put_column_text(font_large, LARGE, dst, x, y, text);
}

void put_text(SDL_Surface* dst, int x, int y, const char* text)
{
    if (static_cast<unsigned>(y) > MEDIUM_MAX_Y)
        return;
    put_column_text(font_medium, MEDIUM, dst, x, y, text);
}

// Small-font text ends at ENDCHAR; a text without it stops at its NUL.
void put_text1(SDL_Surface* dst, int x, int y, const char* text)
{
    if (!font_small || !dst || !text || static_cast<unsigned>(y) > SMALL_MAX_Y)
        return;
    for (int i = 0; text[i] && text[i] != ENDCHAR; i++) {
        int g = small_glyph(static_cast<unsigned char>(text[i]));
        if (g >= 0)
            blit_glyph(font_small, SMALL * g, 0, SMALL, dst, x + i * SMALL, y);
    }
}
