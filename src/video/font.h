// Bitmap fonts: three sheets, one glyph per character.
#pragma once
#include <SDL.h>

extern SDL_Surface* font_large;   // 32 x 32 glyphs, one column from the space down
extern SDL_Surface* font_small;   // 8 x 8 glyphs, one row
extern SDL_Surface* font_medium;  // 16 x 16 glyphs, one column from the space down
extern char tmp_string[256];      // the shared buffer screens format a line into
extern char ENDCHAR;              // '~', the end mark of small-font text
extern char EXCLMCHAR;            // '!'

// 32 x 32 glyphs; NUL-terminated text; no bound on y.
void put_text_large(SDL_Surface* dst, int x, int y, const char* text);
// 16 x 16 glyphs; NUL-terminated text; nothing when y is above 224 (unsigned).
void put_text(SDL_Surface* dst, int x, int y, const char* text);
// 8 x 8 glyphs; text ends at '~' (or NUL); nothing when y is above 232.
void put_text1(SDL_Surface* dst, int x, int y, const char* text);
// Glyph number of a character in the small font, -1 for a space.
int small_glyph(unsigned char c);
