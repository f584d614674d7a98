// Placeholder: the video module replaces this file.
#include "video/font.h"

char tmp_string[256];
char ENDCHAR = '~';
char EXCLMCHAR = '!';

void put_text_large(SDL_Surface*, int, int, const char*) {}
void put_text(SDL_Surface*, int, int, const char*) {}
void put_text1(SDL_Surface*, int, int, const char*) {}
int small_glyph(unsigned char) { return -1; }
