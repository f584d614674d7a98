// The shipped sounds and tunes, measured on their renders: every effect
// decodes, is audible without clipping, DC offset or a click at its end; every
// module is a well-formed 4-channel module that libmodplug loads and renders,
// lasting as long as its role asks and looping without a seam.
#include "support/game.h"

#include <libmodplug/modplug.h>

#include <map>

namespace {

constexpr int INTRO = 11;

// A module as the game hears it: the mixer asks for buffers of 2048 frames;
// at the song's end libmodplug fades the notes for 100 ms and pads the rest
// of that buffer with silence, and the music hook rewinds the module. Renders
// until `passes` passes have begun again; a pass ends where the order table
// comes round to its start (a looping tune repeats its order to fill it).
struct Rendered {
    int length_ms = 0;
    std::vector<int16_t> pcm;  // stereo frames
    std::vector<size_t> seams; // frames at which a pass starts again
};

// Order entries in one pass: the shortest period of the order table.
int pass_orders(const std::vector<uint8_t>& m)
{
    int orders = m[950];
    for (int q = 1; q < orders; q++)
        if (orders % q == 0 && std::equal(m.begin() + 952 + q, m.begin() + 952 + orders, m.begin() + 952))
            return q;
    return orders;
}

Rendered render_module(const std::vector<uint8_t>& m, size_t passes)
{
    int orders = m[950], period = pass_orders(m);
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
    ModPlugFile* f = ModPlug_Load(m.data(), static_cast<int>(m.size()));
    if (!f)
        return r;
    r.length_ms = ModPlug_GetLength(f);
    constexpr int MIXER = 2048, STEP = 64;  // frames; steps find the order's turn
    int last = 0;
    while (r.seams.size() < passes && r.pcm.size() < 2u * 22050 * 400) {
        bool ended = false;
        for (int k = 0; k < MIXER; k += STEP) {
            int16_t buf[2 * STEP] = {};
            size_t at = r.pcm.size() / 2;
            if (!ended) {
                ended = ModPlug_Read(f, buf, sizeof buf) < static_cast<int>(sizeof buf);
                int o = ModPlug_GetCurrentOrder(f);
                if (!ended && o < orders && o / period != last / period)
                    r.seams.push_back(at);
                last = o;
            }
            r.pcm.insert(r.pcm.end(), buf, buf + 2 * STEP);
        }
        if (ended) {
            ModPlug_Seek(f, 0);
            last = 0;
            r.seams.push_back(r.pcm.size() / 2);
        }
    }
    ModPlug_Unload(f);
    return r;
}

// RMS level in dB of full scale of frames [from, to).
double level_db(const std::vector<int16_t>& pcm, size_t from, size_t to)
{
    double sum = 0;
    for (size_t i = 2 * from; i < 2 * to && i < pcm.size(); i++)
        sum += static_cast<double>(pcm[i]) * pcm[i];
    return 10 * std::log10(sum / std::max<size_t>(1, 2 * (to - from)) / (32768.0 * 32768.0) + 1e-12);
}

// The longest run of silent frames (both sides within 16 of zero) in [from, to), in ms.
double silent_ms(const std::vector<int16_t>& pcm, size_t from, size_t to)
{
    size_t run = 0, longest = 0;
    for (size_t i = from; i < to && 2 * i + 1 < pcm.size(); i++) {
        run = std::abs(pcm[2 * i]) <= 16 && std::abs(pcm[2 * i + 1]) <= 16 ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest * 1000.0 / 22050;
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
        int peak = 0, tail = 0;
        double sum = 0;
        Uint32 samples = c->alen / 2;
        for (Uint32 k = 0; k < samples; k++) {
            peak = std::max(peak, std::abs(static_cast<int>(pcm[k])));
            if (k + 2 * 22050 / 100 >= samples)
                tail = std::max(tail, std::abs(static_cast<int>(pcm[k])));
            sum += pcm[k];
        }
        double seconds = c->alen / 4.0 / 22050;
        EXPECT_LT(std::fabs(sum / samples), 32768 * 0.005) << snd_names[i] << " carries a DC offset";
        EXPECT_LT(tail, 32768 / 100) << snd_names[i] << " stops with a click: its last 10 ms are not faded";
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
// before they come round, the others 30 s, the classic game tune (10, under
// all classic levels) at least as long as the longest in-game tune, and the
// intro (11) plays once for 5 to 15 s. A looping tune comes round without a
// gap or a fade: its order table runs on for ten minutes before libmodplug's
// end-of-song fade, and at the turn it neither falls silent nor sinks far
// under its own level. The in-game tunes have quiet and loud passages at
// least 6 dB apart (2 s windows); the classic game tune sits within 1 dB of
// their average loudness. Samples carry no DC offset, and no tune borrows
// another's drums (one-shot samples).
TEST_F(ShippedSound, EveryModuleIsAWellFormedTuneLastingAsItsRoleAsks)
{
    std::map<std::vector<int8_t>, int> one_shots;  // also keeps two tracks from being one tune
    double game_db = 0, longest_game = 0;
    for (int t : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 10}) {  // the classic game tune after the others
        SCOPED_TRACE(mus_names[t]);
        std::vector<uint8_t> m = archive_entry(QVA_SFX, strchr(mus_names[t], '/') + 1, "mod");
        ASSERT_GT(m.size(), 1084u);
        EXPECT_EQ(std::string(m.begin() + 1080, m.begin() + 1084), "M.K.");
        int patterns = 0;
        ASSERT_GE(m[950], 1) << "song length";
        for (int i = 0; i < 128; i++)
            patterns = std::max(patterns, m[952 + i] + 1);
        ASSERT_GE(m.size(), 1084u + 1024u * patterns);
        for (size_t c = 1084; c < 1084u + 1024u * patterns; c += 4)
            EXPECT_NE(m[c + 2] & 0x0F, 0x0B) << "a position jump";

        size_t at = 1084u + 1024u * patterns;
        for (int i = 0; i < 31; i++) {
            const uint8_t* h = &m[20 + 30 * i];
            size_t len = 2u * ((h[22] << 8) | h[23]), loop = 2u * ((h[26] << 8) | h[27]);
            size_t loop_len = 2u * ((h[28] << 8) | h[29]);
            ASSERT_LE(at + len, m.size());
            std::vector<int8_t> data(m.begin() + at, m.begin() + at + len);
            at += len;
            auto mean = [&](size_t a, size_t b) {
                double sum = 0;
                for (size_t k = a; k < b; k++)
                    sum += data[k];
                return std::fabs(sum / (b - a)) / 128;
            };
            if (len <= 2)
                continue;
            EXPECT_LT(mean(0, len), 0.005) << "DC offset in sample " << i + 1;
            if (loop_len > 2) {
                EXPECT_LT(mean(loop, loop + loop_len), 0.005) << "DC offset in the loop of sample " << i + 1;
            } else {
                EXPECT_EQ(one_shots[data]++, 0) << "sample " << i + 1 << " is another tune's";
            }
        }

        Rendered r = render_module(m, t == INTRO ? 1 : 2);
        ASSERT_FALSE(r.seams.empty()) << "does not load or render";
        int peak = 0;
        for (int16_t v : r.pcm)
            peak = std::max(peak, std::abs(static_cast<int>(v)));
        EXPECT_GT(peak, 32768 / 8) << "nearly silent";
        EXPECT_LT(peak, 32767) << "clips";
        size_t seam = r.seams[0];
        double seconds = seam / 22050.0, loudness = level_db(r.pcm, 0, seam);
        if (t == INTRO) {
            EXPECT_TRUE(seconds >= 5 && seconds <= 15) << "lasts " << seconds << " s";
            EXPECT_NEAR(seconds * 1000, r.length_ms, 1500) << "ends early or late";
            continue;
        }
        EXPECT_GE(seconds, t >= 1 && t <= 8 ? 60 : t == 10 ? longest_game : 30) << "comes round after " << seconds << " s";
        EXPECT_GE(r.length_ms, 600000) << "libmodplug ends the song, and fades it, early";
        EXPECT_NE(m[952], m[952 + pass_orders(m) - 1]) << "the pass ends with the pattern it opens with";
        EXPECT_LE(silent_ms(r.pcm, seam - 11025, seam + 11025), 10.0) << "a gap at the turn";
        EXPECT_GE(level_db(r.pcm, seam - 2205, seam), loudness - 6) << "the last 100 ms before the turn fade";
        if (t >= 1 && t <= 8) {
            game_db += loudness / 8;
            longest_game = std::max(longest_game, seconds);
        }
        if ((t >= 1 && t <= 8) || t == 10) {
            double quiet = 0, loud = -200;
            for (size_t w = 0; w + 44100 <= seam; w += 22050) {
                double db = level_db(r.pcm, w, w + 44100);
                quiet = std::min(quiet, db);
                loud = std::max(loud, db);
            }
            EXPECT_GE(loud - quiet, 6.0) << "no quiet passage against the loud ones";
        }
        if (t == 10) {
            EXPECT_NEAR(loudness, game_db, 1.0) << "the classic game tune is not level with the others";
        }
    }
}

}  // namespace
