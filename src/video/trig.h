// Sine and cosine tables of 512 steps, amplitude 1024, for the scroll-text
// bounce and the logo intro.
#pragma once
#include <array>
#include <cstdint>

constexpr int TRIG_STEPS = 512;  // steps of a whole turn

extern const std::array<int32_t, TRIG_STEPS> tsin;  // 1024 sin(2 pi i / 512), truncated toward zero
extern const std::array<int32_t, TRIG_STEPS> tcos;  // the same for the cosine, a quarter turn on
