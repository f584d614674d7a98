// The sound module against the shipped sfx archive: effect channels, the music
// hook's loop counting and end of module, volumes, and running without audio;
// and the shipped effects and tunes themselves.
//
// The mixer thread is paused (SDL_PauseAudio) so that only the test calls the
// music hook, one mixer-sized buffer at a time, under the audio lock.
#include "support/game.h"

#include <libmodplug/modplug.h>

#include "meter.h"
#include "sound/module.h"

#include <map>

namespace {

constexpr int BUF = 2048 * 4;  // one mixer buffer: 2048 stereo 16-bit frames
constexpr int INTRO = 11;

std::vector<Uint8> render()
{
    std::vector<Uint8> buf(BUF, 0xAA);
    SDL_LockAudio();
    MP_HookMusic(music_file, buf.data(), BUF);
    SDL_UnlockAudio();
    return buf;
}

bool silent(const std::vector<Uint8>& b, size_t from = 0)
{
    return std::all_of(b.begin() + static_cast<long>(from), b.end(), [](Uint8 v) { return v == 0; });
}

class Sound : public testing::Test {
protected:
    void SetUp() override
    {
        music_volume = 100;
        sound_volume = 80;
        openArchives();
        init_sound();
        ASSERT_TRUE(sound_available());
        SDL_PauseAudio(1);
    }
    void TearDown() override
    {
        destroy_sound();
        closeArchives();
        SDL_Quit();
    }
};

// The intro asked for twice: the second pass carries on in the buffer in
// which the first ended, the module ends inside a buffer whose tail is
// silence, and the main thread unloads it once it looks at the music.
// The volume follows the percentage set, a pause keeps the module, and
// effects take the eight channels in turn.
TEST_F(Sound, ModulePlaysAsOftenAsAskedLoopsWithoutAGapEndsInSilenceAndFollowsTheVolume)
{
    play_music(INTRO, 2);
    std::vector<Uint8> first = render(), wrap;
    EXPECT_FALSE(silent(first));
    int once = 1;
    for (; once < 1000 && mpLoops == 2; once++)
        wrap = render();
    ASSERT_EQ(mpLoops, 1);
    double seconds = once * 2048.0 / 22050;
    EXPECT_TRUE(seconds >= 5 && seconds <= 15) << "the intro lasts " << seconds << " s";
    // The rewound module (which opens with a note) fills the rest of the
    // buffer: no gap, no stale bytes.
    EXPECT_FALSE(silent(wrap, BUF - 256));
    EXPECT_LT(std::count(wrap.begin(), wrap.end(), 0xAA), 64);

    _ModPlugFile* file = music_file;
    std::vector<Uint8> last;
    int twice = once;
    for (; twice < 2000 && mpLoops != 0; twice++)
        last = render();
    EXPECT_NEAR(twice, 2 * once, 1);
    EXPECT_TRUE(silent(last, BUF - 4));
    EXPECT_EQ(music_file, file);
    EXPECT_TRUE(silent(render()));
    EXPECT_EQ(MP_PlayingMusic(), 0);  // the main thread unloads the module as it looks
    EXPECT_EQ(std::make_pair(music_file != nullptr, Mix_GetMusicHookData() != nullptr), std::make_pair(false, false));

    // Asked again, with no loops (which plays once), the track starts from
    // its beginning. libmodplug's noise reduction keeps one sample of
    // history across instances, so the very first frame may differ.
    play_music(INTRO, 0);
    std::vector<Uint8> again = render();
    EXPECT_TRUE(std::equal(first.begin() + 16, first.end(), again.begin() + 16));
    int buffers = 1;
    for (; buffers < 1000 && MP_PlayingMusic(); buffers++)
        render();
    EXPECT_NEAR(buffers, once, 1);
    play_music(INTRO, -1);
    for (int i = 0; i < 5 * once; i++)
        render();
    EXPECT_TRUE(MP_PlayingMusic());
    EXPECT_EQ(mpLoops, -1);

    music_volume = 30;
    play_music(2, -1);
    EXPECT_EQ(mp_master_volume(), 76) << "a tune starts at the volume set";
    for (auto [percent, master] : {std::pair{25, 64}, {0, 0}, {100, 256}}) {
        MP_VolumeMusic(percent);
        EXPECT_EQ(mp_master_volume(), master) << percent;
    }
    MP_PauseMusic();
    EXPECT_EQ(Mix_GetMusicHookData(), nullptr);
    EXPECT_EQ(MP_PlayingMusic(), 1);
    resume_music();
    EXPECT_EQ(Mix_GetMusicHookData(), music_file);
    MP_StopMusic();
    EXPECT_EQ(std::make_pair(music_file != nullptr, Mix_GetMusicHookData() != nullptr), std::make_pair(false, false));

    for (int i = 0; i < 9; i++)
        play_sfx(i);
    // Effect i went to channel (i + 1) & 7; the ninth took channel 1 again.
    for (int ch = 0; ch < 8; ch++)
        EXPECT_EQ(Mix_GetChunk(ch), sfxs[ch == 0 ? 7 : ch == 1 ? 8 : ch - 1]) << "channel " << ch;
    EXPECT_EQ(Mix_Playing(-1), 8);
    EXPECT_EQ(Mix_Volume(3, -1), 80);
}

// Without a module, or without sound at all, every sound call acts on
// nothing (a missing effect is silently skipped); then the sound is released.
void every_call_acts_on_nothing(bool says_failed)
{
    for (int i = 0; i < SFX_COUNT; i++)
        play_sfx(i);
    testing::internal::CaptureStdout();
    play_music(INTRO, 1);
    std::string out = testing::internal::GetCapturedStdout();
    if (says_failed) {
        EXPECT_NE(out.find("Failed with "), std::string::npos) << out;
    }
    MP_PauseMusic();
    MP_ResumeMusic();
    MP_VolumeMusic(50);
    EXPECT_EQ(MP_PlayingMusic(), 0);
    EXPECT_EQ(std::make_pair(Mix_GetMusicHookData() != nullptr, mp_master_volume()), std::make_pair(false, -1));
    stop_music();
    destroy_sound();
    closeArchives();
    SDL_Quit();
}

// Three fuzzed effects (an AIFF file that once hung start-up for good, an
// AIFF and a VOC file that leaked inside the sound library) and a cut module
// never reach the libraries: each counts as missing, in one line.
TEST(SoundStartUp, MissingOrDamagedSoundsOrNoDeviceAreReportedAndTheGameGoesOnWithoutThem)
{
    alarm(20);  // a hang fails the test
    openArchives();
    std::vector<qva_item> entries = {{"alarm.wav", reproducer("aiff_rate.wav")},
                                     {"beep1.wav", reproducer("wav_leak_aiff.wav")},
                                     {"beep3.wav", reproducer("wav_leak_voc.wav")},
                                     {"select.wav", archive_entry(QVA_SFX, "select", "wav")},
                                     {"walk.wav", archive_entry(QVA_SFX, "walk", "wav")},
                                     {"intro.mod", archive_entry(QVA_SFX, "intro", "mod")}};
    entries.back().second.pop_back();  // the module cut by a byte
    closeArchives();
    {
        private_data own;
        write_qva("data/sfx.qva", entries);
        openArchives();
        testing::internal::CaptureStdout();
        init_sound();
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "Missing or damaged sound effects in data/sfx.qva, played without them: alarm beep1 beep3 "
                  "beep4 explode explode2 level_over_die level_over_win pause\n"
                  "Failed with a missing or damaged module intro.mod in data/sfx.qva\n");
        alarm(0);
        EXPECT_NE(sfxs[SFX_SELECT], nullptr);
        EXPECT_TRUE(sound_available());
        every_call_acts_on_nothing(true);
    }

    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    openArchives();
    testing::internal::CaptureStdout();
    init_sound();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("Error initializing SDL_mixer: ", 0), 0u) << out;
    EXPECT_FALSE(sound_available());
    EXPECT_NE(SDL_WasInit(SDL_INIT_VIDEO), 0u) << "SDL stays up";
    every_call_acts_on_nothing(false);
    setenv("SDL_AUDIODRIVER", "dummy", 1);  // as every test program runs
}

// A tune as the game hears it: started for ever by play_music (the renderer
// settings of the game's start-up) and rendered by the music hook for 25
// minutes, far past where libmodplug used to end and fade a looping tune.
meter::Figures hear(int track, int tune, const std::vector<uint8_t>& m)
{
    play_music(track, -1, tune);
    meter::Meter mt(m, meter::loop_order(m, module_tune_start(m.data(), tune)));
    int16_t chunk[2 * meter::CHUNK];
    for (long frames = 0; frames < 25L * 60 * meter::RATE && music_file; frames += meter::CHUNK) {
        MP_HookMusic(music_file, reinterpret_cast<Uint8*>(chunk), sizeof chunk);
        mt.feed(chunk, meter::CHUNK, ModPlug_GetCurrentOrder(music_file));
    }
    return mt.figures();
}

// The shipped sounds, measured on their renders: every effect decodes, is
// audible without clipping, DC offset or a click at its end; every module is
// a well-formed 4-channel module that the game loads and renders, every tune
// holding to the limits of its role (tools/modc/meter.h).
class ShippedSound : public Sound {};

TEST_F(ShippedSound, EveryEffectIsAudibleWithoutClippingAndEveryTuneLoopsForEverWithinItsRoleAndItsTitleFits)
{
    for (int i = 0; i < SFX_COUNT; i++) {
        const Mix_Chunk* c = sfxs[i];  // as the start-up loaded it
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
        EXPECT_TRUE(peak > 32768 / 8 && peak < 32768 * 3 / 4) << snd_names[i] << " nearly silent or clipping: " << peak;
        // Six steps a second must not overlap; the alarm stays under a second.
        EXPECT_LT(seconds, i == SFX_WALK ? 1.0 / 6 : i == SFX_ALARM ? 1.0 : 2.0) << snd_names[i];
    }

    // Each looping tune, heard for 25 minutes: it never ends, each seam is as
    // loud as what leads into it, a pass (its intro played once) lasts long
    // enough and is bright enough (meter::faults); the tunes are level with each
    // other within 1.5 dB; the classic game track holds three tunes of its own.
    // Samples carry no DC offset, and no track borrows another's drums (one-shot
    // samples).
    // Their titles: the sound check shows each title in the small font after 19 characters of
    // label, on a 320-pixel line of 8-pixel glyphs from x 24.
    const std::string drawable = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 !,.+-%:?*()";
    for (std::string t : mus_titles) {
        EXPECT_FALSE(t.empty());
        EXPECT_LE(24 + 8 * (19 + t.size()), 320u) << t;
        EXPECT_EQ(t.find_first_not_of(drawable), std::string::npos) << t;
    }
    std::map<std::vector<int8_t>, int> one_shots;  // also keeps two tracks from being one tune
    double quietest = 0, loudest = -200;
    for (int t = 0; t < MUS_COUNT; t++) {
        SCOPED_TRACE(mus_names[t]);
        std::vector<uint8_t> m = archive_entry(QVA_SFX, strchr(mus_names[t], '/') + 1, "mod");
        // The game's own check: the "M.K." tag, the order table, the patterns
        // and samples all within the file.
        ASSERT_TRUE(module_sane(m.data(), static_cast<uint32_t>(m.size())));
        int patterns = 0;
        for (int i = 0; i < 128; i++)
            patterns = std::max(patterns, m[952 + i] + 1);
        size_t at = 1084u + 1024u * patterns;
        for (int i = 0; i < 31; i++) {
            const uint8_t* h = &m[20 + 30 * i];
            size_t len = 2u * ((h[22] << 8) | h[23]), loop = 2u * ((h[26] << 8) | h[27]);
            size_t loop_len = 2u * ((h[28] << 8) | h[29]);
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
        if (t == INTRO)
            continue;  // played once: its length is checked where it plays twice
        EXPECT_EQ(module_tunes(m.data()), t == 10 ? 3 : 1);
        for (int tune = 0; tune < module_tunes(m.data()); tune++) {
            SCOPED_TRACE("tune " + std::to_string(tune + 1));
            meter::Figures f = hear(t, tune, m);
            for (const std::string& fault : meter::faults(f, t >= 1 && t != 9))
                ADD_FAILURE() << fault;
            quietest = std::min(quietest, f.rms_db);
            loudest = std::max(loudest, f.rms_db);
        }
    }
    EXPECT_LE(loudest - quietest, 1.5) << "the tunes are not level with each other";
}

}  // namespace
