// The packs screen: the level packs in the packs folder, then the levels of
// the pack chosen (its broken ones named with what is wrong, the ones not
// yet open marked), reached from the password screen.
#pragma once
#include <string>
#include <vector>

// A line of a list screen: what it says, and what choosing it gives (-1: it
// cannot be chosen).
struct list_line {
    std::string text;
    int value;
};

// A list screen named `name` (the running screen), with a heading and two
// lines under it, then the lines and BACK: UP and DOWN move, ACTION or PAUSE
// (or a second click) chooses, LEFT or BACK goes back. Returns the value of
// the line chosen, or -1.
int run_list(const char* name, const char* heading, const std::string& head1, const std::string& head2,
             std::vector<list_line> lines);

// Runs the screen; true when a level of a pack was chosen (the pack then
// plays: core/packs' pack_start), false when the player went back.
bool choose_pack();
