// The settings screen.
#pragma once

// Runs the screen until EXIT, PAUSE or a quit; a changed screen mode is
// applied on leaving, and the menu tune starts again.
void settings();
// RESET TO DEFAULT: volumes, bindings and screen mode back to their defaults,
// the high-score file deleted, the screen set up anew.
void reset_todefault();
