// Sound effects through SDL_mixer and module music rendered by libmodplug
// through the game's own music hook.
#pragma once
#include <SDL.h>
#include <SDL_mixer.h>
#include <cstdint>

struct _ModPlugFile;  // a module loaded into the renderer

constexpr int SFX_COUNT = 11;        // effects
constexpr int MUS_COUNT = 12;        // tunes
constexpr int MUS_TITLE_COUNT = 9;   // tunes the sound check can play

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
extern int music_volume;                              // 0..100
extern int sound_volume;                              // 0..100
extern int mpFlags;                                   // renderer flags (oversampling 0x01, ...)
extern int mpResamplingMode;                          // 0..3
extern int mpReverbDepth;                             // 0..100
extern int mpReverbDelay;                             // 40..200 ms
extern int mpBassAmount;                              // 0..100
extern int mpBassRange;                               // 10..100 Hz
extern int mpSurroundDepth;                           // 0..100
extern int mpSurroundDelay;                           // 5..40 ms
extern int mpChannels;                                // renderer channels, 2
extern int mpFrequency;                               // renderer rate, 22050

// Binds the volumes and the renderer settings into the configuration table.
void sound_bind_settings();
// Sets the music volume (0..100) of the tune playing and those to come.
void set_music_volume(int volume);
// Sets the volume (0..100) of every effect channel.
void set_sound_volume(int volume);
// Opens the audio device, loads every effect and caches the intro tune; names
// the effects it could not load in one line. When the device cannot be
// opened, says so once and every sound call does nothing.
void init_sound();
// Starts effect index (SFX_*) on the next of eight channels.
void play_sfx(int index);
// Plays tune track from its start, loops more times (-1 for ever). A module
// holding several tunes plays tune `tune` of them (counted round).
void play_music(int track, int loops, int tune = 0);
// Stops and unloads the tune playing.
void stop_music();
// Hooks the tune playing in again after MP_PauseMusic.
void resume_music();
// 1 while a tune is loaded and not yet played out, else 0.
int MP_PlayingMusic();
// Sets the tune's volume, 0..100.
void MP_VolumeMusic(int volume);
// The audio thread's music hook: renders len bytes of the tune into stream.
void MP_HookMusic(void* udata, Uint8* stream, int len);
// Unhooks the tune; it keeps its place.
void MP_PauseMusic();
// The same as resume_music.
void MP_ResumeMusic();
// The same as stop_music.
void MP_StopMusic();
// Caches tune track's module bytes, once.
void load_music(int track);
// The inflated module entry of a tune name ("sfx/menu"); null, with SDL's
// error text saying which, when missing or not a module the game wrote.
void* LoadBuffer(const char* name, uint32_t* size_out);
// The decoded effect entry of an effect name ("sfx/walk"); null when missing
// or not a plain PCM WAVE file (nothing else reaches the sound library).
Mix_Chunk* ZARN_LoadWAV(const char* name);
// Decodes the bytes of an effect entry into a new chunk; null unless they are
// a plain PCM WAVE file: "RIFF", "WAVE", a "fmt " chunk first (PCM, one or two
// channels, 8000..48000 Hz, 8 or 16 bits) and a "data" chunk, every chunk up
// to it inside the entry.
Mix_Chunk* chunk_from_bytes(const uint8_t* bytes, uint32_t len);
// Whether the bytes are a module as the tune compiler writes it: "M.K." at
// 1080, a song of 1..128 orders over at most 64 patterns, every pattern and
// sample inside them, every loop inside its sample. Only such a module
// reaches the renderer.
bool module_sane(const uint8_t* bytes, uint32_t len);
// Stops everything, frees every effect and module and closes the device.
void destroy_sound();
// How many times play_sfx was asked for the effect since the program began,
// heard or not.
uint32_t sfx_count(int index);
// True once init_sound opened the audio device.
bool sound_available();
// The master volume last handed to the music renderer (0..256), -1 before any.
int mp_master_volume();
