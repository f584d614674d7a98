// Sound effects through SDL_mixer and module music rendered by libmodplug
// through the game's own music hook.
#pragma once
#include <SDL.h>
#include <SDL_mixer.h>
#include <cstdint>

struct _ModPlugFile;

constexpr int SFX_COUNT = 11;
constexpr int MUS_COUNT = 12;
constexpr int MUS_TITLE_COUNT = 9;

// Effect numbers.
enum : int {
    SFX_ALARM, SFX_BEEP1, SFX_BEEP3, SFX_BEEP4, SFX_EXPLODE, SFX_EXPLODE2,
    SFX_LEVEL_OVER_DIE, SFX_LEVEL_OVER_WIN, SFX_PAUSE, SFX_SELECT, SFX_WALK,
};

extern const char* const snd_names[SFX_COUNT];        // "sfx/alarm", ...
extern const char* const mus_names[MUS_COUNT];        // "sfx/menu", ...
extern const char* const mus_titles[MUS_TITLE_COUNT]; // sound-check titles of tracks 0..8
extern _ModPlugFile* music_file;                      // the module playing, or null
extern volatile int mpLoops;                          // loops left: -1 endless
extern Mix_Chunk* sfxs[SFX_COUNT];                    // decoded effects
extern void* music[MUS_COUNT];                        // cached module bytes
extern uint32_t musiclength[MUS_COUNT];               // their lengths
extern int mpChannels;                                // renderer channels, 2
extern int mpFrequency;                               // renderer rate, 22050

void init_sound();
void play_sfx(int index);
void play_music(int track, int loops);
void stop_music();
void resume_music();
int MP_PlayingMusic();
void MP_VolumeMusic(int volume);
void MP_HookMusic(void* udata, Uint8* stream, int len);
void MP_PauseMusic();
void MP_ResumeMusic();
void MP_StopMusic();
void load_music(int track);
void* LoadBuffer(const char* name, uint32_t* size_out);
Mix_Chunk* ZARN_LoadWAV(const char* name);
void destroy_sound();
// True once init_sound opened the audio device.
bool sound_available();
// The master volume last handed to the music renderer (0..256), -1 before any.
int mp_master_volume();
