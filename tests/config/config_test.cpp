// zarn.cfg: values are clamped and read no further than the file goes; the
// file is written whole, through a temporary file.
#include "support/game.h"

namespace {

const std::string default_file =
    "mus_volume=100\nsfx_volume=80\ngfx_scheme=0\nlast_pw=AAAA\nj_pause=1\nj_action=0\nj_up=-1\nj_down=-1\n"
    "j_left=-1\nj_right=-1\nk_pause=32\nk_action=13\nk_up=273\nk_down=274\nk_left=276\nk_right=275\n"
    "mpFlagsOVERSAMPLING=1\nmpResamplingMode=1\nmpFlagsNOISE_REDUCTION=1\nmpFlagsREVERB=0\nmpReverbDepth=0\n"
    "mpReverbDelay=0\nmpFlagsMEGABASS=0\nmpBassAmount=0\nmpBassRange=0\nmpFlagsSURROUND=0\nmpSurroundDepth=0\n"
    "mpSurroundDelay=0\ngfxmode=9\nghost=0\n";

// Both passes over a zarn.cfg holding text (none at all for a null text).
void load(const char* text)
{
    remove("zarn.cfg");
    if (text)
        std::ofstream("zarn.cfg", std::ios::binary) << text;
    loadGfxConfig();
    loadConfig();
}

class Config : public testing::Test {
protected:
    void SetUp() override
    {
        config_reset(), input_reset(), state_reset(), assets_reset();
        zoom = full_screen = 1;
        double_scale = 0;
        remove("zarn.cfg");
    }
    void TearDown() override { config_reset(), assets_reset(); }
};

}  // namespace

TEST_F(Config, ValuesAreClampedFlagsOnlySwitchOnAndAFileEndingAfterAnEqualsSignReadsNothingBeyond)
{
    load("mus_volume=150\nsfx_volume=0\nmpReverbDelay=10\nmpSurroundDelay=99\nmpResamplingMode=7\nmpBassRange=0\n"
         "mpReverbDepth=101\nmpSurroundDepth=-4\nmpFlagsOVERSAMPLING=0\nmpFlagsREVERB=1\nmpFlagsSURROUND=2\n"
         "gfx_scheme=2\nlast_pw=KIRU\nmpBassAmount=4294967346\n");  // too long for 32 bits: saturates
    EXPECT_EQ(std::vector<int>({music_volume, sound_volume, mpReverbDelay, mpSurroundDelay, mpResamplingMode,
                                mpBassRange, mpReverbDepth, mpSurroundDepth, mpFlags, gfx_scheme, mpBassAmount}),
              std::vector<int>({100, 0, 40, 40, 1, 10, 100, 0, 0x07, 2, 100}));
    EXPECT_STREQ(last_pw, "KIRU");
    load("xmus_volume=-5 sfx_volume=loud\nmpResamplingMode=-1 mpBassAmount=-99999999999999999999\n"
         "mpReverbDepth=\r\n 42\nmpBassRange=+55x\nsfx_volume=30\n");
    EXPECT_EQ(std::vector<int>({music_volume, sound_volume, mpResamplingMode, mpBassAmount, mpReverbDepth,
                                mpBassRange}),
              std::vector<int>({100, 30, 1, 0, 42, 55}));
    load("foo xmus_volume=10");
    EXPECT_EQ(music_volume, 10);

    config_reset();
    for (const char* end : {"mus_volume=", "k_up=", "j_up=", "mpBassRange=-", "last_pw=KI", "last_pw="}) {
        load((std::string("sfx_volume=7\nmus_volume=9\n") + end).c_str());
        EXPECT_EQ(sound_volume, 7) << end;
    }
    EXPECT_STREQ(last_pw, "KIAA");
    load("mus_volume=");
    EXPECT_EQ(music_volume, 0);
    load("k_up=");
    EXPECT_EQ(key_buttons[CONTROL_UP], 0);
}

TEST_F(Config, KeysAreLettersOrNumbersAndMissingOnesUnbind)
{
    joy_buttons[CONTROL_UP] = 5;
    load("k_up=w\nj_up=-1\nk_down=119\nk_left=W\nj_right=3\n# k_pause=q\nk_action=13\n");
    EXPECT_EQ(std::vector<int32_t>(key_buttons, key_buttons + CONTROL_COUNT),
              std::vector<int32_t>({'w', 119, 0, -1, 'q', 13}));
    EXPECT_EQ(std::vector<int32_t>(joy_buttons, joy_buttons + CONTROL_COUNT),
              std::vector<int32_t>({5, -1, -1, 3, 1, 0}));
    // Without a button line the last key line wins; with one the scan stops
    // once both are found.
    load("k_up=a\nk_up=b\nk_down=c\nj_down=2\nk_down=d\n");
    EXPECT_EQ(std::make_pair(key_buttons[CONTROL_UP], key_buttons[CONTROL_DOWN]), std::make_pair(int('b'), int('c')));
}

TEST_F(Config, TheFirstScreenModeCountsAndImpossibleModesAreDropped)
{
    const struct {
        const char* text;
        int zoom, full, dbl;
    } modes[] = {{"gfxmode=0", 0, 1, 0},  {"gfxmode=18\ngfxmode=0", 2, 2, 1}, {"gfxmode=11", 1, 0, 1},
                 {"gfxmode=6", 0, 1, 0},  {"gfxmode=7", 0, 0, 0},  {"gfxmode=44", 5, 2, 0}, {"gfxmode=48", 1, 0, 0},
                 {"gfxmode=-8", 1, 0, 0}, {"gfxmode=", 0, 1, 0},   {"", 1, 0, 0},           {nullptr, 1, 0, 0}};
    for (const auto& m : modes) {
        zoom = 3;  // as from the command line
        full_screen = 1;
        load(m.text);
        EXPECT_EQ(std::make_tuple(zoom, full_screen, int(double_scale)), std::make_tuple(m.zoom, m.full, m.dbl))
            << (m.text ? m.text : "no file");
    }
}

// Themes at the integer limits once overflowed when the theme was loaded or
// the menu's LEFT stepped back from it: the file's number is the first theme
// (the theme loader takes any other number as the first theme too). Only
// letters are taken into the password: a line break never becomes a line of
// its own in the file written back.
TEST_F(Config, TheFileIsWrittenWholeReadsBackToTheSameBytesAndKeepsThemesAndPasswordsInRange)
{
    configFolder = "missing";
    dumpConfig();  // nowhere to write: nothing happens
    ASSERT_EQ(mkdir("conf", 0755), 0);  // the defaults, in the configuration folder
    configFolder = "conf";
    loadGfxConfig();
    dumpConfig();
    EXPECT_EQ(read_text("conf/zarn.cfg"), default_file);

    config_reset();  // a file read back writes the same bytes again
    load("mus_volume=33\nk_up=z\nk_left=65\nj_down=4\nmpFlagsMEGABASS=1\nlast_pw=KIRU\ngfxmode=26\n"
         "mpReverbDelay=77\nmpBassRange=55\nmpSurroundDelay=6\n");
    dumpConfig();
    const std::string first = read_text("zarn.cfg");
    for (const char* line : {"\nk_up=z\n", "\nk_left=65\n", "\nk_down=-1\n", "\ngfxmode=26\n", "\nj_down=4\n"})
        EXPECT_NE(first.find(line), std::string::npos) << line;
    config_reset(), input_reset();
    load(first.c_str());
    dumpConfig();
    EXPECT_EQ(read_text("zarn.cfg"), first);

    for (const char* file : {"cfg_gfx_scheme_overflow.cfg", "cfg_gfx_scheme_min.cfg"}) {
        auto bytes = reproducer(file);
        load(std::string(bytes.begin(), bytes.end()).c_str());
        EXPECT_EQ(gfx_scheme, 0) << file;
    }
    load("last_pw=AB\nC\nmus_volume=5\n");
    EXPECT_STREQ(last_pw, "ABAA");
    dumpConfig();
    std::string written = read_text("zarn.cfg");
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 30);
    EXPECT_NE(written.find("\nlast_pw=ABAA\n"), std::string::npos);
}

// (A FIFO or a folder in its place is never read: Readers.OnlyRegularFilesAreReadNeverWaitedOn.)
TEST_F(Config, AFileOfMoreThan64KiBIsIgnoredWithOneLine)
{
    std::string big = "mus_volume=7\n" + std::string(64 * 1024, '#');
    testing::internal::CaptureStderr();
    load(big.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "zarn.cfg is larger than 64 KiB: ignored, the default settings stay\n");
    EXPECT_EQ(music_volume, 100);
    big.resize(64 * 1024);
    load(big.c_str());
    EXPECT_EQ(music_volume, 7);
}
