// Sine and cosine tables of 512 steps, amplitude 1024, for the scroll-text
// bounce and the logo intro.
#pragma once
#include <cstdint>

extern const int32_t tsin[512];
extern const int32_t tcos[512];
