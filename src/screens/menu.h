// The main menu with its bouncing scroll text.
#pragma once
#include <cstdint>

extern const char* scrolltext;     // the scroll message, ending in '~'
extern int32_t scrolltextpos;      // pixels from the start of the message
extern int32_t scrollIndex;        // bounce phase, a multiple of 8 in 0..504
extern int32_t bouncey;            // y of the scroll text this frame

void menu();
void put_scrolltext();
void check_lastpw();
// Restores the scroll state.
void menu_reset();
