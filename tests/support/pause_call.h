// The pause menu for tests: test files see <unistd.h> through the test
// framework, whose pause() hides the game's, so they call it through here.
#pragma once
#include <cstdint>

// Runs the game's pause menu and returns its choice.
int32_t run_pause_menu();
