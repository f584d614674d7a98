// The credits roll.
#pragma once

// Rolls the credits up over the title picture until they are gone, UP, ACTION
// or PAUSE is pressed, or the window is closed.
void show_opensource();
