// Bringing the game up and down inside a test program, headless and on the
// virtual clock, as main does at start-up and shut-down.
#pragma once

// Resets every module's globals, switches to the virtual clock, opens the
// archives and runs init_zarn (SDL, screen, sound, controls, images).
void boot_game();
// Closes the archives and releases everything (freestuff ends SDL).
void shutdown_game();
