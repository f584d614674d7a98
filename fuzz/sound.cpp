// Effects and modules as they come out of the sfx archive: the input is
// handed to the effect loader and to the module check; a module that passes
// is loaded by the renderer and a second of it rendered.
#include "fuzz.h"

#include "sound/sound.h"

#include <libmodplug/modplug.h>

#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_AUDIO) != 0 || Mix_OpenAudio(22050, AUDIO_S16LSB, 2, 2048) != 0)
        abort();
    ModPlug_Settings s;
    ModPlug_GetSettings(&s);
    s.mChannels = 2;
    s.mBits = 16;
    s.mFrequency = 22050;
    ModPlug_SetSettings(&s);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (Mix_Chunk* chunk = chunk_from_bytes(data, static_cast<uint32_t>(size)))
        Mix_FreeChunk(chunk);
    if (!module_sane(data, static_cast<uint32_t>(size)))
        return 0;
    ModPlugFile* mod = ModPlug_Load(data, static_cast<int>(size));
    if (!mod)
        return 0;
    std::vector<uint8_t> out(8192);
    for (int i = 0; i < 11; i++)
        ModPlug_Read(mod, out.data(), static_cast<int>(out.size()));
    ModPlug_Seek(mod, 0);
    ModPlug_Unload(mod);
    return 0;
}
