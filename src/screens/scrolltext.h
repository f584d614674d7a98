// The bouncing scroll text shared by the main menu and the high-score table.
#pragma once
#include <cstdint>

extern const char* scrolltext;  // the scroll message, ending in '~'
extern int32_t scrolltextpos;   // pixels from the start of the message
extern int32_t scrollIndex;     // bounce phase, a multiple of 8 in 0..504
extern int32_t bouncey;         // y of the scroll text this frame

// Draws this frame's strip and text.
void put_scrolltext();
// After a frame's picture: moves the text a pixel on and the bounce a phase
// step on.
void scrolltext_step();
// Restores the scroll state to the start of the message.
void scrolltext_reset();
