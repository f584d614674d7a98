// The pause menu. (Never include <unistd.h> beside this header: its pause()
// is another function.)
#pragma once
#include <cstdint>

// 1 resume, 2 restart the level, 3 main menu.
int32_t pause();
