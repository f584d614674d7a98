// Start-up and shut-down of the whole program, in their fixed orders.
#pragma once

extern int edit_requested;     // 1 with "--edit": the level editor instead of the game
extern const char* edit_file;  // the file "--edit" names, or null for a new level

// --help, --version, --check and unknown options (each ends the program), the folders
// of the archives, zarn.cfg and zarn.hi, default bindings, command line,
// archives, screen mode, the rest of the configuration, init_zarn, high
// scores; then the logo intro and the credits roll.
void start_up(int argc, char** argv);
// Binds every module's rows of the configuration table (their variables take
// their initial values); the first thing start-up does.
void bind_settings();
// The command line: argument 1 is looked at, argument 2 only after "-zoom"
// (0..5; the configuration file reads the zoom again, so it does not last);
// "-debug" sets debug_levels, "--edit" [FILE] edit_requested and edit_file.
void read_command_line(int argc, char** argv);
// Brings up SDL, the screen, sound, the joystick and every image, and seeds
// the default high-score table.
void init_zarn();
// High scores and configuration written (one line when they cannot be),
// archives closed, everything released.
void shut_down();
// Releases the display surfaces, every image, the joystick and SDL.
void freestuff();
