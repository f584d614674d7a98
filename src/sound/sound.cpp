// Sound effects through SDL_mixer and module music rendered by libmodplug.
//
// The music runs on two threads: SDL_mixer's audio thread calls MP_HookMusic,
// which renders the module straight into the mixer's buffer and loops it; the
// main thread starts, stops and unloads modules. The audio thread never frees
// anything: when a module has played its last loop it only raises
// music_finished and renders silence from then on, and the main thread unloads
// the module under the audio lock the next time it touches the music.
#include "sound/sound.h"

#include <libmodplug/modplug.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "config/config.h"
#include "res/qva.h"
#include "model/bytes.h"
#include "sound/module.h"

const char* const snd_names[SFX_COUNT] = {
    "sfx/alarm", "sfx/beep1", "sfx/beep3", "sfx/beep4", "sfx/explode", "sfx/explode2",
    "sfx/level_over_die", "sfx/level_over_win", "sfx/pause", "sfx/select", "sfx/walk",
};
const char* const mus_names[MUS_COUNT] = {
    "sfx/menu", "sfx/game1", "sfx/game2", "sfx/game3", "sfx/game4", "sfx/game5",
    "sfx/game6", "sfx/game7", "sfx/game8", "sfx/zarn-clsx1", "sfx/zarn-clsx2", "sfx/intro",
};
const char* const mus_titles[MUS_TITLE_COUNT] = {
    "DRIFTING", "SKY TILES", "CRUMBLE RUN", "MINEFIELD", "TELEPORT",
    "PUSHER DANCE", "ORBIT", "DEEP SPACE", "EDGE OF SPACE",
};
_ModPlugFile* music_file;
volatile int mpLoops;
Mix_Chunk* sfxs[SFX_COUNT];
void* music[MUS_COUNT];
uint32_t musiclength[MUS_COUNT];
int music_volume;
int sound_volume;
int mpFlags;
int mpResamplingMode;
int mpReverbDepth;
int mpReverbDelay;
int mpBassAmount;
int mpBassRange;
int mpSurroundDepth;
int mpSurroundDelay;
int mpChannels = 2;
int mpFrequency = 22050;

namespace {

// The lines of zarn.cfg that sound keeps: name, line, kind, variable, range,
// out of range, initial value, flag bit.
const config_setting SETTINGS[] = {
    {"mus_volume", 1, CONFIG_NUMBER, &music_volume, 0, 100, 100, 100, 0},  // out of range: heard in full
    {"sfx_volume", 2, CONFIG_NUMBER, &sound_volume, 0, 100, 100, 80, 0},
    {"mpFlagsOVERSAMPLING", 17, CONFIG_FLAG, &mpFlags, 0, 1, 0, 1, 0x01},
    {"mpResamplingMode", 18, CONFIG_NUMBER, &mpResamplingMode, 0, 3, 1, 1, 0},
    {"mpFlagsNOISE_REDUCTION", 19, CONFIG_FLAG, &mpFlags, 0, 1, 0, 1, 0x02},
    {"mpFlagsREVERB", 20, CONFIG_FLAG, &mpFlags, 0, 1, 0, 0, 0x04},
    {"mpReverbDepth", 21, CONFIG_NUMBER, &mpReverbDepth, 0, 100, CONFIG_CLAMP, 0, 0},
    {"mpReverbDelay", 22, CONFIG_NUMBER, &mpReverbDelay, 40, 200, CONFIG_CLAMP, 0, 0},
    {"mpFlagsMEGABASS", 23, CONFIG_FLAG, &mpFlags, 0, 1, 0, 0, 0x08},
    {"mpBassAmount", 24, CONFIG_NUMBER, &mpBassAmount, 0, 100, CONFIG_CLAMP, 0, 0},
    {"mpBassRange", 25, CONFIG_NUMBER, &mpBassRange, 10, 100, CONFIG_CLAMP, 0, 0},
    {"mpFlagsSURROUND", 26, CONFIG_FLAG, &mpFlags, 0, 1, 0, 0, 0x10},
    {"mpSurroundDepth", 27, CONFIG_NUMBER, &mpSurroundDepth, 0, 100, CONFIG_CLAMP, 0, 0},
    {"mpSurroundDelay", 28, CONFIG_NUMBER, &mpSurroundDelay, 5, 40, CONFIG_CLAMP, 0, 0},
};

constexpr int INTRO_TRACK = 11;
constexpr int EFFECT_CHANNELS = 8;

bool audio_open;          // Mix_OpenAudio succeeded
uint32_t sfx_asked[SFX_COUNT];  // times each effect was asked for
int sfx_channel;          // channel of the last effect
int master_volume = -1;   // last volume handed to the renderer
ModPlug_Settings mp_settings;
// Raised by the audio thread when the module has played its last loop.
std::atomic<bool> music_finished{false};

// The part of an entry name after its folder.
const char* strip_folder(const char* name)
{
    if (const char* s = strchr(name, '/'))
        return s + 1;
    if (const char* s = strchr(name, '\\'))
        return s + 1;
    return name;
}

bool tag_is(const uint8_t* p, const char* tag)
{
    return memcmp(p, tag, 4) == 0;
}

uint16_t le16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// The sound library is handed only plain PCM WAVE files (see chunk_from_bytes):
// AIFF, VOC, compressed or cut WAVE files never reach it. SDL allocates every
// chunk it reads, so each chunk up to "data" must lie inside the entry.
bool wav_sane(const uint8_t* b, uint32_t len)
{
    if (len < 44 || !tag_is(b, "RIFF") || !tag_is(b + 8, "WAVE") || !tag_is(b + 12, "fmt "))
        return false;
    uint32_t fmt_len = get_le32(b + 16), rate = get_le32(b + 24);
    uint16_t format = le16(b + 20), channels = le16(b + 22), bits = le16(b + 34);
    if (fmt_len < 16 || fmt_len > 64 || format != 1 || channels < 1 || channels > 2 || rate < 8000 ||
        rate > 48000 || (bits != 8 && bits != 16))
        return false;
    uint64_t at = 20 + uint64_t{fmt_len} + (fmt_len & 1);
    while (at + 8 <= len) {
        uint32_t chunk = get_le32(b + at + 4);
        if (uint64_t{chunk} > len - at - 8)
            return false;
        if (tag_is(b + at, "data"))
            return chunk > 0;
        at += 8 + uint64_t{chunk} + (chunk & 1);
    }
    return false;
}

// Fills the renderer settings from the configuration; only while unhooked.
void apply_settings()
{
    ModPlug_GetSettings(&mp_settings);
    mp_settings.mFlags = mpFlags;
    mp_settings.mChannels = mpChannels;
    mp_settings.mBits = 16;
    mp_settings.mFrequency = mpFrequency;
    mp_settings.mResamplingMode = mpResamplingMode;
    mp_settings.mReverbDepth = mpReverbDepth;
    mp_settings.mReverbDelay = mpReverbDelay;
    mp_settings.mBassAmount = mpBassAmount;
    mp_settings.mBassRange = mpBassRange;
    mp_settings.mSurroundDepth = mpSurroundDepth;
    mp_settings.mSurroundDelay = mpSurroundDelay;
    // A tune played for ever loops by jumping back at its end, which
    // libmodplug follows only with a loop count: so it never reaches the
    // song's end, where libmodplug fades it out. A tune played a number of
    // times ends where its order ends.
    mp_settings.mLoopCount = mpLoops < 0 ? -1 : 0;
    ModPlug_SetSettings(&mp_settings);
}

// Unhooks and unloads the current module, if any.
void unload_module()
{
    if (!music_file)
        return;
    SDL_LockAudio();
    Mix_HookMusic(nullptr, nullptr);
    ModPlug_Unload(music_file);
    music_file = nullptr;
    music_finished = false;
    SDL_UnlockAudio();
}

// Unloads a module that the audio thread has marked finished.
void reap_finished()
{
    if (music_file && music_finished)
        unload_module();
}

}  // namespace

// Patterns and sample lengths are counted in 64-bit, so no field can wrap.
bool module_sane(const uint8_t* b, uint32_t len)
{
    constexpr uint32_t HEADER = 1084, PATTERN = 1024;
    if (len < HEADER || !tag_is(b + 1080, "M.K.") || b[950] < 1 || b[950] > 128)
        return false;
    uint32_t patterns = 0;
    for (int i = 0; i < 128; i++)
        patterns = b[952 + i] + 1u > patterns ? b[952 + i] + 1u : patterns;
    if (patterns > 64)
        return false;
    uint64_t need = HEADER + uint64_t{PATTERN} * patterns;
    for (int i = 0; i < 31; i++) {
        const uint8_t* h = b + 20 + 30 * i;
        uint32_t words = uint32_t(h[22]) << 8 | h[23], loop = uint32_t(h[26]) << 8 | h[27];
        uint32_t loop_len = uint32_t(h[28]) << 8 | h[29];
        if (h[25] > 64 || (words > 0 && loop_len > 1 && loop + loop_len > words))
            return false;
        need += 2 * uint64_t{words};
    }
    return need <= len;
}

uint32_t sfx_count(int index)
{
    return index >= 0 && index < SFX_COUNT ? sfx_asked[index] : 0;
}

bool sound_available()
{
    return audio_open;
}

int mp_master_volume()
{
    return master_volume;
}

void init_sound()
{
    if (Mix_OpenAudio(22050, AUDIO_S16LSB, 2, 2048) < 0) {
        printf("Error initializing SDL_mixer: %s\n", SDL_GetError());
        fflush(stdout);
        // SDL stays up for the screen: the game runs on in silence, every
        // sound operation doing nothing.
        audio_open = false;
        return;
    }
    audio_open = true;
    sfx_channel = 0;
    Mix_AllocateChannels(EFFECT_CHANNELS);
    Mix_VolumeMusic(music_volume);
    Mix_Volume(-1, sound_volume);
    apply_settings();
    std::string missing;
    for (int i = 0; i < SFX_COUNT; i++) {
        sfxs[i] = ZARN_LoadWAV(snd_names[i]);
        if (!sfxs[i])
            missing += std::string(" ") + strip_folder(snd_names[i]);
    }
    if (!missing.empty())
        printf("Missing or damaged sound effects in %s, played without them:%s\n", qva_name(QVA_SFX),
               missing.c_str());
    fflush(stdout);
    for (int t = 0; t < MUS_COUNT; t++) {
        music[t] = nullptr;
        musiclength[t] = 0;
    }
    load_music(INTRO_TRACK);
}

void play_sfx(int index)
{
    if (index < 0 || index >= SFX_COUNT)
        return;
    sfx_asked[index]++;
    if (!audio_open)
        return;
    sfx_channel = (sfx_channel + 1) & (EFFECT_CHANNELS - 1);
    Mix_PlayChannelTimed(sfx_channel, sfxs[index], 0, -1);
}

void load_music(int track)
{
    if (!audio_open || track < 0 || track >= MUS_COUNT || music[track])
        return;
    music[track] = LoadBuffer(mus_names[track], &musiclength[track]);
    if (!music[track]) {
        printf("Failed with %s\n", SDL_GetError());
        fflush(stdout);
    }
}

void play_music(int track, int loops, int tune)
{
    if (!audio_open || track < 0 || track >= MUS_COUNT)
        return;
    load_music(track);
    unload_module();
    mpLoops = loops;
    apply_settings();
    if (!music[track])
        return;
    music_file = ModPlug_Load(music[track], static_cast<int>(musiclength[track]));
    if (!music_file)
        return;
    master_volume = (music_volume * 256) / 100;
    ModPlug_SetMasterVolume(music_file, static_cast<unsigned>(master_volume));
    int start = module_tune_start(static_cast<const uint8_t*>(music[track]), tune);
    if (start > 0)
        ModPlug_SeekOrder(music_file, start);
    else
        ModPlug_Seek(music_file, 0);
    music_finished = false;
    Mix_HookMusic(MP_HookMusic, music_file);
}

void sound_bind_settings()
{
    config_bind(SETTINGS, static_cast<int>(sizeof SETTINGS / sizeof SETTINGS[0]));
}

void set_music_volume(int volume)
{
    music_volume = volume;
    MP_VolumeMusic(volume);
}

void set_sound_volume(int volume)
{
    sound_volume = volume;
    Mix_Volume(-1, volume);
}

void stop_music()
{
    unload_module();
}

void resume_music()
{
    reap_finished();
    if (music_file)
        Mix_HookMusic(MP_HookMusic, music_file);
}

int MP_PlayingMusic()
{
    reap_finished();
    return music_file ? 1 : 0;
}

void MP_VolumeMusic(int volume)
{
    reap_finished();
    if (!music_file)
        return;
    master_volume = (volume * 256) / 100;
    // The audio thread reads the volume while it renders: change it between
    // two buffers.
    SDL_LockAudio();
    ModPlug_SetMasterVolume(music_file, static_cast<unsigned>(master_volume));
    SDL_UnlockAudio();
}

// Audio thread. Renders len bytes; at the module's end it rewinds and goes on
// rendering while loops are left, else marks the module finished and fills the
// rest with silence. Never frees the module.
void MP_HookMusic(void* udata, Uint8* stream, int len)
{
    ModPlugFile* file = static_cast<ModPlugFile*>(udata);
    if (!file || music_finished) {
        memset(stream, 0, static_cast<size_t>(len));
        return;
    }
    int n = ModPlug_Read(file, stream, len);
    while (n < len) {
        int l = mpLoops;
        if (l > 0)
            mpLoops = --l;
        if (l == 0) {
            music_finished = true;
            break;
        }
        ModPlug_Seek(file, 0);
        int more = ModPlug_Read(file, stream + n, len - n);
        if (more <= 0)
            break;  // a module that renders nothing at all
        n += more;
    }
    if (n < len)
        memset(stream + n, 0, static_cast<size_t>(len - n));
}

void MP_PauseMusic()
{
    if (music_file)
        Mix_HookMusic(nullptr, nullptr);
}

void MP_ResumeMusic()
{
    resume_music();
}

void MP_StopMusic()
{
    stop_music();
}

void* LoadBuffer(const char* name, uint32_t* size_out)
{
    uint32_t len = 0;
    void* data = loadQVAFile(QVA_SFX, strip_folder(name), "mod", &len);
    if (data && !module_sane(static_cast<const uint8_t*>(data), len)) {
        free(data);
        data = nullptr;
    }
    if (!data) {
        // Said by the caller after "Failed with".
        SDL_SetError("a missing or damaged module %s.mod in %s", strip_folder(name), qva_name(QVA_SFX));
        return nullptr;
    }
    if (size_out)
        *size_out = len;
    return data;
}

Mix_Chunk* chunk_from_bytes(const uint8_t* bytes, uint32_t len)
{
    if (!wav_sane(bytes, len))
        return nullptr;
    SDL_RWops* rw = SDL_RWFromConstMem(bytes, static_cast<int>(len));
    Mix_Chunk* chunk = rw ? Mix_LoadWAV_RW(rw, 0) : nullptr;
    if (rw)
        SDL_FreeRW(rw);
    return chunk;
}

Mix_Chunk* ZARN_LoadWAV(const char* name)
{
    uint32_t len = 0;
    void* data = loadQVAFile(QVA_SFX, strip_folder(name), "wav", &len);
    if (!data)
        return nullptr;
    Mix_Chunk* chunk = chunk_from_bytes(static_cast<const uint8_t*>(data), len);
    free(data);
    return chunk;
}

void destroy_sound()
{
    if (!audio_open)
        return;
    unload_module();
    Mix_HaltChannel(-1);
    for (int t = 0; t < MUS_COUNT; t++) {
        free(music[t]);
        music[t] = nullptr;
        musiclength[t] = 0;
    }
    for (int i = 0; i < SFX_COUNT; i++) {
        if (sfxs[i])
            Mix_FreeChunk(sfxs[i]);
        sfxs[i] = nullptr;
    }
    Mix_CloseAudio();
    audio_open = false;
    sfx_channel = 0;
    master_volume = -1;
    mpLoops = 0;
}
