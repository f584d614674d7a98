// The configuration file zarn.cfg: read in two passes at start-up, written
// whole at exit.
#pragma once
#include <cstdint>
#include <cstdio>

extern const char* configFolder;  // folder of zarn.cfg; null: cwd; "": none, never touched
extern int music_volume;          // 0..100
extern int sound_volume;          // 0..100
extern int mpFlags;               // music renderer flags (oversampling 0x01, ...)
extern int mpResamplingMode;      // 0..3
extern int mpReverbDepth;         // 0..100
extern int mpReverbDelay;         // 40..200 ms
extern int mpBassAmount;          // 0..100
extern int mpBassRange;           // 10..100 Hz
extern int mpSurroundDepth;       // 0..100
extern int mpSurroundDelay;       // 5..40 ms
extern char last_pw[5];           // password of the last level started, kept across runs

// First pass: the screen mode only (zoom, full_screen, double_scale).
void loadGfxConfig();
// Second pass: every other setting and the bindings.
void loadConfig();
// Writes one "k_name=" line; returns what fprintf returns.
int dumpKey(const char* name, int value, FILE* stream);
// Writes the whole file (through a temporary file and a rename); false (errno
// set) when it could not be saved. True without writing when there is no folder.
bool dumpConfig();
// Restores the globals above to their initial values.
void config_reset();
