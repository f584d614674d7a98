// The configuration file zarn.cfg and the folders of the game's files. The
// file is one table of settings: each key's name, its line in the file, its
// range, default and variable, read in two passes at start-up, written whole
// at exit and reset from the same rows. Each module binds its own rows
// (config_bind); the display's screen mode, the theme and the last password,
// which stand below or in this module, are bound here.
#pragma once
#include <cstdint>
#include <cstdio>

extern const char* configFolder;         // folder of zarn.cfg; null: cwd; "": none, never touched
extern const char* chosenScoresFolder;   // folder getConfigFolder chose for zarn.hi and zarn.rec; null: cwd; "": none
extern char last_pw[5];                  // password of the last level started, kept across runs

constexpr int CONFIG_LINES = 30;  // the lines of zarn.cfg

// What a setting's value is and how its line reads.
enum : int {
    CONFIG_NUMBER,       // "name=%d"
    CONFIG_FLAG,         // "name=%d", 0 or 1: one bit of the variable; a 1 read sets it, nothing clears it
    CONFIG_KEY,          // "k_name=%c" for a lower-case letter, else "k_name=%d"; a file without it unbinds
    CONFIG_BUTTON,       // "j_name=%d", read only when at least 0
    CONFIG_PASSWORD,     // "last_pw=%s": up to four capitals
    CONFIG_SCREEN_MODE,  // "gfxmode=%d": zoom, window and double scale packed; read in the first pass only
};

constexpr int CONFIG_CLAMP = INT32_MIN;  // as a fallback: a value out of range is held at the nearer end

// One line of zarn.cfg.
struct config_setting {
    const char* name;  // the key, without its '='
    int line;          // 1..CONFIG_LINES, the order in which dumpConfig writes
    int kind;          // CONFIG_*
    int* variable;     // the value (for CONFIG_PASSWORD a char[5]); set by config_bind
    int low, high;     // the range a value read must lie in
    int fallback;      // what a value out of range gives, or CONFIG_CLAMP
    int initial;       // the value at start-up and after a reset (a flag: its bit set or not)
    int bit;           // CONFIG_FLAG: the bit of *variable
};

// Binds count rows of a module into the table (a row of the same line is
// replaced). Every line must be bound once before the file is read or written.
void config_bind(const config_setting* rows, int count);
// Chooses the folders of the game's files, once at start-up: the archives
// come from $ZARN_DATA_DIR alone when it is set, else from ./data, else from
// the installed data folder (none of them holding the archives: one line and
// the exit status 1). With ./data, zarn.cfg and the score files stay in the
// working folder; else zarn.cfg goes to $XDG_CONFIG_HOME/zarn (or
// ~/.config/zarn) and the scores to $XDG_DATA_HOME/zarn (or
// ~/.local/share/zarn), with one line when there is no home for them. Sets
// qva_folder, configFolder and chosenScoresFolder.
void getConfigFolder();
// First pass: the screen mode only (zoom, full_screen, double_scale).
void loadGfxConfig();
// Second pass: every other setting and the bindings.
void loadConfig();
// Writes one "k_name=" line; returns what fprintf returns.
int dumpKey(const char* name, int value, FILE* stream);
// Writes the whole file (through a temporary file and a rename); false (errno
// set) when it could not be saved. True without writing when there is no folder.
bool dumpConfig();
// Sets the bound variable of a row back to its initial value.
void config_default(const int* variable);
// Every bound number, flag and the password back to its initial value (the
// bindings of keys and buttons are the input's: resetdefault_controls), and
// the folder back to the working folder.
void config_reset();
