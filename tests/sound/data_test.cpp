// The shipped sounds and tunes: every effect decodes and is audible without
// clipping; every module is a well-formed 4-channel module that libmodplug
// loads and renders, lasting as long as its role asks.
#include <gtest/gtest.h>

#include <libmodplug/modplug.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "res/qva.h"
#include "sound/sound.h"

namespace {

std::vector<uint8_t> entry(const char* name, const char* ext)
{
    uint32_t len = 0;
    void* data = loadQVAFile(QVA_SFX, strchr(name, '/') + 1, ext, &len);
    if (!data)
        return {};
    const uint8_t* p = static_cast<const uint8_t*>(data);
    std::vector<uint8_t> out(p, p + len);
    free(data);
    return out;
}

struct Rendered {
    int length_ms = 0;
    size_t bytes = 0;
    int peak = 0;
};

Rendered render_module(const std::vector<uint8_t>& bytes)
{
    ModPlug_Settings s;
    ModPlug_GetSettings(&s);
    s.mFlags = MODPLUG_ENABLE_OVERSAMPLING | MODPLUG_ENABLE_NOISE_REDUCTION;
    s.mChannels = 2;
    s.mBits = 16;
    s.mFrequency = 22050;
    s.mResamplingMode = MODPLUG_RESAMPLE_LINEAR;
    s.mLoopCount = 0;
    ModPlug_SetSettings(&s);
    Rendered r;
    ModPlugFile* f = ModPlug_Load(bytes.data(), static_cast<int>(bytes.size()));
    if (!f)
        return r;
    r.length_ms = ModPlug_GetLength(f);
    int16_t buf[4096];
    int n;
    while ((n = ModPlug_Read(f, buf, sizeof buf)) > 0 && r.bytes < 200u * 22050 * 4) {
        r.bytes += static_cast<size_t>(n);
        for (int i = 0; i < n / 2; i++)
            r.peak = std::max(r.peak, std::abs(static_cast<int>(buf[i])));
    }
    ModPlug_Unload(f);
    return r;
}

class ShippedSound : public testing::Test {
protected:
    void SetUp() override { openArchives(); }
    void TearDown() override { closeArchives(); }
};

TEST_F(ShippedSound, EveryEffectDecodesAndIsAudibleWithoutClipping)
{
    ASSERT_EQ(Mix_OpenAudio(22050, AUDIO_S16LSB, 2, 2048), 0) << SDL_GetError();
    for (int i = 0; i < SFX_COUNT; i++) {
        Mix_Chunk* c = ZARN_LoadWAV(snd_names[i]);
        ASSERT_NE(c, nullptr) << snd_names[i];
        const int16_t* pcm = reinterpret_cast<const int16_t*>(c->abuf);
        int peak = 0;
        for (Uint32 k = 0; k < c->alen / 2; k++)
            peak = std::max(peak, std::abs(static_cast<int>(pcm[k])));
        double seconds = c->alen / 4.0 / 22050;
        EXPECT_GT(peak, 32768 / 8) << snd_names[i] << " is nearly silent";
        EXPECT_LT(peak, 32768 * 3 / 4) << snd_names[i] << " is too close to clipping";
        EXPECT_LT(seconds, 2.0) << snd_names[i];
        if (i == SFX_WALK) {  // six steps a second must not overlap
            EXPECT_LT(seconds, 1.0 / 6);
        }
        if (i == SFX_ALARM) {
            EXPECT_LT(seconds, 1.0);
        }
        Mix_FreeChunk(c);
    }
    Mix_CloseAudio();
    SDL_Quit();
}

TEST_F(ShippedSound, EveryModuleIsFourChannelsWithoutBackwardJumps)
{
    std::set<std::vector<uint8_t>> distinct;
    for (int t = 0; t < MUS_COUNT; t++) {
        std::vector<uint8_t> m = entry(mus_names[t], "mod");
        ASSERT_GT(m.size(), 1084u) << mus_names[t];
        EXPECT_EQ(std::string(m.begin() + 1080, m.begin() + 1084), "M.K.") << mus_names[t];
        int songlen = m[950], patterns = 0;
        ASSERT_GE(songlen, 1);
        for (int i = 0; i < 128; i++)
            patterns = std::max(patterns, m[952 + i] + 1);
        ASSERT_GE(m.size(), 1084u + 1024u * patterns);
        for (size_t c = 1084; c < 1084u + 1024u * patterns; c += 4)
            EXPECT_NE(m[c + 2] & 0x0F, 0x0B) << mus_names[t] << ": a position jump";
        distinct.insert(m);
    }
    EXPECT_EQ(distinct.size(), static_cast<size_t>(MUS_COUNT)) << "two tracks are the same tune";
}

TEST_F(ShippedSound, EveryModuleRendersAndLastsAsItsRoleAsks)
{
    for (int t = 0; t < MUS_COUNT; t++) {
        Rendered r = render_module(entry(mus_names[t], "mod"));
        ASSERT_GT(r.bytes, 0u) << mus_names[t] << " does not load or render";
        double seconds = r.bytes / 4.0 / 22050;
        EXPECT_NEAR(seconds * 1000, r.length_ms, 1500) << mus_names[t] << " ends early or late";
        EXPECT_GT(r.peak, 32768 / 8) << mus_names[t] << " is nearly silent";
        EXPECT_LT(r.peak, 32767) << mus_names[t] << " clips";
        if (t >= 1 && t <= 8) {
            EXPECT_GE(r.length_ms, 60000) << mus_names[t] << " loops too soon";
        } else if (t == 11) {
            EXPECT_TRUE(r.length_ms >= 5000 && r.length_ms <= 15000) << "intro lasts " << r.length_ms;
        } else {
            EXPECT_GE(r.length_ms, 30000) << mus_names[t] << " loops too soon";
        }
    }
}

}  // namespace
