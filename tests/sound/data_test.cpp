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

constexpr int INTRO = 11;

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
        // Six steps a second must not overlap; the alarm stays under a second.
        EXPECT_LT(seconds, i == SFX_WALK ? 1.0 / 6 : i == SFX_ALARM ? 1.0 : 2.0) << snd_names[i];
        Mix_FreeChunk(c);
    }
    Mix_CloseAudio();
    SDL_Quit();
}

// A 4-channel module without position jumps that renders audibly, unclipped,
// for as long as its role asks: the in-game tunes (1 to 8) play a minute
// before they loop, the others 30 s, and the intro (11) lasts 5 to 15 s.
TEST_F(ShippedSound, EveryModuleIsAWellFormedTuneLastingAsItsRoleAsks)
{
    std::set<std::vector<uint8_t>> distinct;
    for (int t = 0; t < MUS_COUNT; t++) {
        SCOPED_TRACE(mus_names[t]);
        std::vector<uint8_t> m = entry(mus_names[t], "mod");
        ASSERT_GT(m.size(), 1084u);
        EXPECT_EQ(std::string(m.begin() + 1080, m.begin() + 1084), "M.K.");
        int patterns = 0;
        ASSERT_GE(m[950], 1) << "song length";
        for (int i = 0; i < 128; i++)
            patterns = std::max(patterns, m[952 + i] + 1);
        ASSERT_GE(m.size(), 1084u + 1024u * patterns);
        for (size_t c = 1084; c < 1084u + 1024u * patterns; c += 4)
            EXPECT_NE(m[c + 2] & 0x0F, 0x0B) << "a position jump";
        distinct.insert(m);

        Rendered r = render_module(m);
        ASSERT_GT(r.bytes, 0u) << "does not load or render";
        EXPECT_NEAR(r.bytes / 4.0 / 22050 * 1000, r.length_ms, 1500) << "ends early or late";
        EXPECT_GT(r.peak, 32768 / 8) << "nearly silent";
        EXPECT_LT(r.peak, 32767) << "clips";
        int shortest = t >= 1 && t <= 8 ? 60000 : t == INTRO ? 5000 : 30000;
        EXPECT_TRUE(r.length_ms >= shortest && (t != INTRO || r.length_ms <= 15000)) << "lasts " << r.length_ms;
    }
    EXPECT_EQ(distinct.size(), static_cast<size_t>(MUS_COUNT)) << "two tracks are the same tune";
}

}  // namespace
