// Placeholder: the front end replaces this file.
#include "screens/menu.h"

const char* scrolltext = "~";
int32_t scrolltextpos;
int32_t scrollIndex;
int32_t bouncey = 224;

void menu() {}
void put_scrolltext() {}
void check_lastpw() {}
void menu_reset() {}
