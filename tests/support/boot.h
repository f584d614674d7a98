// Bringing the game up and down inside a test program, headless and on the
// virtual clock, as main does at start-up and shut-down.
#pragma once
#include <SDL.h>

#include <functional>
#include <string>
#include <vector>

// Makes a fresh folder /tmp/PREFIX-XXXXXX whose ./data is the build's data
// folder the working directory, with SDL's dummy drivers; returns its path,
// empty (said on stderr) when it cannot.
std::string enter_scratch(const std::string& prefix);
// Removes the folder and all it holds; says so when it cannot.
void remove_scratch(const std::string& dir);

// Every module's globals back to their start, on the virtual clock, as in a
// new process.
void fresh_process();
// fresh_process, then opens the archives and runs init_zarn (SDL, screen,
// sound, controls, images).
void boot_game();
// Closes the archives and releases everything (freestuff ends SDL).
void shutdown_game();
// zarn_main with these arguments (the program name first) in a fresh
// process, its sound released after it; returns its status. The virtual
// clock stays on, where the game left it.
int run_zarn(std::vector<const char*> args);
// True when draw, run over a copy of the frame on `screen`, changes nothing:
// what it draws is on the frame already.
bool drawn_already(const std::function<void(SDL_Surface*)>& draw);
