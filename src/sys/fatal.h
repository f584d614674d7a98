// The one way out when the game cannot go on: one line, then an orderly exit.
#pragma once
#include <cstdio>

// Sets what runs before a fatal exit (closing sound, releasing the display);
// null: nothing.
void sys_set_fatal_cleanup(void (*cleanup)());
// Prints line (no newline needed) to standard error, runs the cleanup and
// ends the program with exit status 1.
[[noreturn]] void sys_fatal(const char* line);
// The same, with the line on stream (SDL's own errors go to standard output),
// flushed before anything else happens.
[[noreturn]] void sys_fatal_to(FILE* stream, const char* line);
