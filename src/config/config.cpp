// Placeholder: the configuration module replaces this file.
#include "config/config.h"

const char* configFolder;
int music_volume = 100;
int sound_volume = 80;
int gfx_scheme;
int mpFlags = 3;
int mpResamplingMode = 1;
int mpReverbDepth;
int mpReverbDelay;
int mpBassAmount;
int mpBassRange;
int mpSurroundDepth;
int mpSurroundDelay;

void getConfigFolder() {}
void loadGfxConfig() {}
void loadConfig() {}
int dumpKey(const char*, int, FILE*) { return 0; }
void dumpConfig() {}
void config_reset() {}
