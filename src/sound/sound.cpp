// Placeholder: the sound module replaces this file.
#include "sound/sound.h"

const char* const snd_names[SFX_COUNT] = {
    "sfx/alarm", "sfx/beep1", "sfx/beep3", "sfx/beep4", "sfx/explode", "sfx/explode2",
    "sfx/level_over_die", "sfx/level_over_win", "sfx/pause", "sfx/select", "sfx/walk",
};
const char* const mus_names[MUS_COUNT] = {
    "sfx/menu", "sfx/game1", "sfx/game2", "sfx/game3", "sfx/game4", "sfx/game5",
    "sfx/game6", "sfx/game7", "sfx/game8", "sfx/zarn-clsx1", "sfx/zarn-clsx2", "sfx/intro",
};
const char* const mus_titles[MUS_TITLE_COUNT] = {"MENU", "GAME 1", "GAME 2", "GAME 3", "GAME 4",
                                                 "GAME 5", "GAME 6", "GAME 7", "GAME 8"};
_ModPlugFile* music_file;
volatile int mpLoops;
Mix_Chunk* sfxs[SFX_COUNT];
void* music[MUS_COUNT];
uint32_t musiclength[MUS_COUNT];
int mpChannels = 2;
int mpFrequency = 22050;

void init_sound() {}
void play_sfx(int) {}
void play_music(int, int) {}
void stop_music() {}
void resume_music() {}
int MP_PlayingMusic() { return 0; }
void MP_VolumeMusic(int) {}
void MP_HookMusic(void*, Uint8*, int) {}
void MP_PauseMusic() {}
void MP_ResumeMusic() {}
void MP_StopMusic() {}
void load_music(int) {}
void* LoadBuffer(const char*, uint32_t*) { return nullptr; }
Mix_Chunk* ZARN_LoadWAV(const char*) { return nullptr; }
void destroy_sound() {}
bool sound_available() { return false; }
