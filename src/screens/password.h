// Password entry and the cheat words.
#pragma once

// Runs the screen until ACTION, a click outside the letters or a quit: a level
// password sets curr_map, a cheat word changes the game; the verdict shows for
// a second.
void enter_pw();
