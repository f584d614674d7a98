// The sound module against the shipped sfx archive: effect channels, the music
// hook's loop counting and end of module, volumes, and running without audio.
//
// The mixer thread is paused (SDL_PauseAudio) so that only the test calls the
// music hook, one mixer-sized buffer at a time, under the audio lock.
#include "support/game.h"

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

// Buffers rendered until the music stops by itself (limit: give up).
int buffers_until_stopped(int limit)
{
    for (int n = 1; n <= limit; n++) {
        render();
        if (!MP_PlayingMusic())
            return n;
    }
    return -1;
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

TEST_F(Sound, ModulePlaysAsOftenAsAskedEndsInSilenceAndTheMainThreadUnloadsIt)
{
    play_music(INTRO, 1);
    _ModPlugFile* file = music_file;
    std::vector<Uint8> last;
    int once = 0;
    for (; once < 1000 && mpLoops != 0; once++)
        last = render();
    ASSERT_GT(once, 10);
    // The module ended inside `last`: its tail is silence, not stale bytes,
    // and the module stays loaded until the main thread looks at the music.
    EXPECT_TRUE(silent(last, BUF - 4));
    EXPECT_EQ(music_file, file);
    EXPECT_TRUE(silent(render()));
    EXPECT_EQ(MP_PlayingMusic(), 0);
    EXPECT_EQ(music_file, nullptr);
    EXPECT_EQ(Mix_GetMusicHookData(), nullptr);

    for (auto [loops, times] : {std::pair{2, 2}, {0, 1}}) {  // 0 also plays once
        play_music(INTRO, loops);
        EXPECT_NEAR(buffers_until_stopped(1000), times * once, 1) << loops << " loops";
    }
    play_music(INTRO, -1);
    for (int i = 0; i < 5 * once; i++)
        render();
    EXPECT_TRUE(MP_PlayingMusic());
    EXPECT_EQ(mpLoops, -1);
}

TEST_F(Sound, LoopGoesOnInTheSameBufferAndReplayStartsFromTheTop)
{
    play_music(INTRO, 2);
    std::vector<Uint8> first = render(), wrap;
    EXPECT_FALSE(silent(first));
    for (int i = 0; i < 1000 && mpLoops == 2; i++)
        wrap = render();
    ASSERT_EQ(mpLoops, 1);
    // The rewound module (which opens with a note) fills the rest of the
    // buffer in which the first pass ended: no gap, no stale bytes.
    EXPECT_FALSE(silent(wrap, BUF - 256));
    EXPECT_LT(std::count(wrap.begin(), wrap.end(), 0xAA), 64);

    // The same track again starts from its beginning. libmodplug's noise
    // reduction keeps one sample of history across instances, so the very
    // first frame may differ.
    play_music(INTRO, 2);
    std::vector<Uint8> again = render();
    EXPECT_TRUE(std::equal(first.begin() + 16, first.end(), again.begin() + 16));
    EXPECT_EQ(mpLoops, 2);
}

TEST_F(Sound, TheVolumeFollowsThePercentagePauseKeepsTheModuleAndNothingActsWithoutOne)
{
    stop_music();
    resume_music();
    MP_PauseMusic();
    MP_ResumeMusic();
    MP_VolumeMusic(50);
    EXPECT_EQ(MP_PlayingMusic(), 0);
    EXPECT_EQ(Mix_GetMusicHookData(), nullptr);
    EXPECT_EQ(mp_master_volume(), -1);

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
    EXPECT_EQ(music_file, nullptr);
    EXPECT_EQ(Mix_GetMusicHookData(), nullptr);
    EXPECT_NE(music[2], nullptr) << "module bytes stay cached";
}

TEST_F(Sound, EffectsTakeTheChannelsInTurnAndTheNinthCutsTheFirst)
{
    for (int i = 0; i < SFX_COUNT; i++)
        ASSERT_NE(sfxs[i], nullptr) << snd_names[i];
    for (int i = 0; i < 9; i++)
        play_sfx(i);
    // Effect i went to channel (i + 1) & 7; the ninth took channel 1 again.
    for (int ch = 0; ch < 8; ch++)
        EXPECT_EQ(Mix_GetChunk(ch), sfxs[ch == 0 ? 7 : ch == 1 ? 8 : ch - 1]) << "channel " << ch;
    EXPECT_EQ(Mix_Playing(-1), 8);
    EXPECT_EQ(Mix_Volume(3, -1), 80);
}

// Three fuzzed effects (an AIFF file that once hung start-up for good, an
// AIFF and a VOC file that leaked inside the sound library) and a cut module
// never reach the libraries: each counts as missing, in one line.
TEST(SoundStartUp, MissingOrDamagedSoundsAreReportedAndTheGameGoesOnWithoutThem)
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
    private_data own;
    write_qva("data/sfx.qva", entries);
    openArchives();
    testing::internal::CaptureStdout();
    init_sound();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "Missing or damaged sound effects in data/sfx.qva, played without them: alarm beep1 beep3 "
                   "beep4 explode explode2 level_over_die level_over_win pause\n"
                   "Failed with a missing or damaged module intro.mod in data/sfx.qva\n");
    alarm(0);
    EXPECT_EQ(music[INTRO], nullptr);
    EXPECT_NE(sfxs[SFX_SELECT], nullptr);
    EXPECT_EQ(sfxs[SFX_ALARM], nullptr);
    play_sfx(SFX_ALARM);  // a missing effect is silently skipped
    testing::internal::CaptureStdout();
    play_music(INTRO, 1);
    out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Failed with "), std::string::npos);
    EXPECT_EQ(MP_PlayingMusic(), 0);
    destroy_sound();
    closeArchives();
    SDL_Quit();
}

TEST(SoundStartUp, WithoutAnAudioDeviceEverySoundCallIsHarmless)
{
    const char* old = getenv("SDL_AUDIODRIVER");
    std::string saved = old ? old : "";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    openArchives();
    testing::internal::CaptureStdout();
    init_sound();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("Error initializing SDL_mixer: ", 0), 0u) << out;
    EXPECT_FALSE(sound_available());
    EXPECT_NE(SDL_WasInit(SDL_INIT_VIDEO), 0u) << "SDL stays up";

    for (int i = 0; i < SFX_COUNT; i++)
        play_sfx(i);
    play_music(0, -1);
    MP_VolumeMusic(50);
    resume_music();
    EXPECT_EQ(MP_PlayingMusic(), 0);
    stop_music();
    destroy_sound();
    EXPECT_EQ(music[INTRO], nullptr);
    closeArchives();
    SDL_Quit();
    setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
}

// The sound check shows each title in the small font after 19 characters of
// label, on a 320-pixel line of 8-pixel glyphs from x 24.
TEST(SoundTables, TitlesAreDrawableAndFitTheSoundCheckLine)
{
    const std::string drawable = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 !,.+-%:?*()";
    for (std::string t : mus_titles) {
        EXPECT_FALSE(t.empty());
        EXPECT_LE(24 + 8 * (19 + t.size()), 320u) << t;
        EXPECT_EQ(t.find_first_not_of(drawable), std::string::npos) << t;
    }
}

}  // namespace
