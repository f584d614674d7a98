#include <gtest/gtest.h>

#include "config/config.h"
#include "config/input.h"
#include "core/state.h"
#include "video/screen.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const default_file =
    "mus_volume=100\nsfx_volume=80\ngfx_scheme=0\nlast_pw=AAAA\n"
    "j_pause=1\nj_action=0\nj_up=-1\nj_down=-1\nj_left=-1\nj_right=-1\n"
    "k_pause=32\nk_action=13\nk_up=273\nk_down=274\nk_left=276\nk_right=275\n"
    "mpFlagsOVERSAMPLING=1\nmpResamplingMode=1\nmpFlagsNOISE_REDUCTION=1\nmpFlagsREVERB=0\n"
    "mpReverbDepth=0\nmpReverbDelay=0\nmpFlagsMEGABASS=0\nmpBassAmount=0\nmpBassRange=0\n"
    "mpFlagsSURROUND=0\nmpSurroundDepth=0\nmpSurroundDelay=0\ngfxmode=9\n";

void write_file(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

class Config : public testing::Test {
protected:
    void SetUp() override
    {
        config_reset();
        input_reset();
        state_reset();
        zoom = full_screen = 1;
        double_scale = 0;
        remove("zarn.cfg");
    }
    void TearDown() override { config_reset(); }
    // Both passes over a file holding text.
    static void load(const std::string& text)
    {
        write_file("zarn.cfg", text);
        loadGfxConfig();
        loadConfig();
    }
};

}  // namespace

TEST_F(Config, NoFileOrAnEmptyOneKeepsTheDefaultsAndWritesThemOut)
{
    zoom = 3;  // as from the command line
    loadGfxConfig();
    loadConfig();
    EXPECT_EQ(zoom, 1);
    dumpConfig();
    EXPECT_EQ(read_file("zarn.cfg"), default_file);
    EXPECT_NE(access("zarn.cfg.tmp", F_OK), 0);
    load("");
    EXPECT_EQ(key_buttons[CONTROL_UP], SDLK_UP);
    EXPECT_EQ(music_volume, 100);
}

TEST_F(Config, ValuesAreClampedAndFlagsOnlySwitchOn)
{
    load("mus_volume=150\nsfx_volume=0\nmpReverbDelay=10\nmpSurroundDelay=99\nmpResamplingMode=7\n"
         "mpBassRange=0\nmpReverbDepth=101\nmpSurroundDepth=-4\nmpFlagsOVERSAMPLING=0\n"
         "mpFlagsREVERB=1\nmpFlagsSURROUND=2\ngfx_scheme=2\nlast_pw=KIRU\n");
    EXPECT_EQ(music_volume, 100);
    EXPECT_EQ(sound_volume, 0);
    EXPECT_EQ(mpReverbDelay, 40);
    EXPECT_EQ(mpSurroundDelay, 40);
    EXPECT_EQ(mpResamplingMode, 1);
    EXPECT_EQ(mpBassRange, 10);
    EXPECT_EQ(mpReverbDepth, 100);
    EXPECT_EQ(mpSurroundDepth, 0);
    EXPECT_EQ(mpFlags, 0x01 | 0x02 | 0x04);
    EXPECT_EQ(gfx_scheme, 2);
    EXPECT_STREQ(last_pw, "KIRU");
    load("mus_volume=-5 sfx_volume=loud mpResamplingMode=-1");
    EXPECT_EQ(music_volume, 100);
    EXPECT_EQ(sound_volume, 0);
    EXPECT_EQ(mpResamplingMode, 1);
    // Numbers too long for any integer saturate instead of wrapping.
    load("mus_volume=4294967346\nsfx_volume=99999999999999999999999\nmpBassAmount=-99999999999999999999\n"
         "mpReverbDepth=\r\n 42\nmpBassRange=+55x\n");
    EXPECT_EQ(music_volume, 100);
    EXPECT_EQ(sound_volume, 100);
    EXPECT_EQ(mpBassAmount, 0);
    EXPECT_EQ(mpReverbDepth, 42);
    EXPECT_EQ(mpBassRange, 55);
}

TEST_F(Config, KeysAndButtonsAreReadAsLettersOrNumbers)
{
    joy_buttons[CONTROL_UP] = 5;
    load("k_up=w\nj_up=-1\nk_down=119\nk_left=W\nj_right=3\nk_pause=32\nk_action=13\n");
    EXPECT_EQ(key_buttons[CONTROL_UP], 'w');
    EXPECT_EQ(joy_buttons[CONTROL_UP], 5);
    EXPECT_EQ(key_buttons[CONTROL_DOWN], 119);
    EXPECT_EQ(key_buttons[CONTROL_LEFT], 0);
    EXPECT_EQ(key_buttons[CONTROL_RIGHT], -1);  // no line: unbound
    EXPECT_EQ(joy_buttons[CONTROL_RIGHT], 3);
    EXPECT_EQ(joy_buttons[CONTROL_PAUSE], 1);
    // Without a button line the last key line wins; with one the scan stops
    // once both are found.
    load("k_up=a\nk_up=b\nk_down=c\nj_down=2\nk_down=d\n");
    EXPECT_EQ(key_buttons[CONTROL_UP], 'b');
    EXPECT_EQ(key_buttons[CONTROL_DOWN], 'c');
}

TEST_F(Config, KeysMatchAnywhereAndRepeatsFollowTheirRule)
{
    load("xmus_volume=10\nsfx_volume=20\nsfx_volume=30\ngfxmode=0\ngfxmode=18\n# k_up=q\n");
    EXPECT_EQ(music_volume, 10);
    EXPECT_EQ(sound_volume, 30);
    EXPECT_EQ(zoom, 0);
    EXPECT_EQ(key_buttons[CONTROL_UP], 'q');
    const struct {
        const char* text;
        int zoom, full, dbl;
    } modes[] = {{"gfxmode=0", 0, 1, 0}, {"gfxmode=18", 2, 2, 1}, {"gfxmode=11", 1, 0, 1}, {"gfxmode=2", 0, 1, 0},
                 {"gfxmode=3", 0, 0, 0}, {"gfxmode=6", 0, 1, 0},  {"gfxmode=7", 0, 0, 0},  {"gfxmode=44", 5, 2, 0},
                 {"gfxmode=48", 1, 0, 0}, {"gfxmode=-8", 1, 0, 0}, {"gfxmode=", 0, 1, 0}};
    for (const auto& m : modes) {
        full_screen = 1;
        load(m.text);
        EXPECT_EQ(zoom, m.zoom) << m.text;
        EXPECT_EQ(full_screen, m.full) << m.text;
        EXPECT_EQ(double_scale, m.dbl) << m.text;
    }
}

TEST_F(Config, AFileEndingAfterAnEqualsSignReadsNothingBeyond)
{
    for (const char* text : {"mus_volume=", "k_up=", "j_up=", "mpBassRange=", "mpBassRange=-", "last_pw="}) {
        load(std::string("sfx_volume=7\n") + text);
        EXPECT_EQ(sound_volume, 7) << text;
    }
    load("mus_volume=");
    EXPECT_EQ(music_volume, 0);
    load("k_up=");
    EXPECT_EQ(key_buttons[CONTROL_UP], 0);
    load("last_pw=KI");
    EXPECT_STREQ(last_pw, "KIAA");
}

TEST_F(Config, WrittenFilesReadBackToTheSameBytes)
{
    loadGfxConfig();  // no file, as at the first start
    dumpConfig();
    load(read_file("zarn.cfg"));  // the three unset delays come back clamped
    dumpConfig();
    std::string once = default_file;
    once.replace(once.find("mpReverbDelay=0"), 15, "mpReverbDelay=40");
    once.replace(once.find("mpBassRange=0"), 13, "mpBassRange=10");
    once.replace(once.find("mpSurroundDelay=0"), 17, "mpSurroundDelay=5");
    EXPECT_EQ(read_file("zarn.cfg"), once);

    load("mus_volume=33\nk_up=z\nk_left=65\nj_down=4\nmpFlagsMEGABASS=1\nmpBassAmount=70\nlast_pw=KIRU\ngfxmode=26\n");
    dumpConfig();
    const std::string first = read_file("zarn.cfg");
    EXPECT_NE(first.find("k_up=z\n"), std::string::npos);
    EXPECT_NE(first.find("k_down=-1\n"), std::string::npos);
    EXPECT_NE(first.find("gfxmode=26\n"), std::string::npos);
    config_reset();
    input_reset();
    load(first);
    dumpConfig();
    EXPECT_EQ(read_file("zarn.cfg"), first);
}

TEST_F(Config, AFailedWriteLeavesTheOldFile)
{
    write_file("zarn.cfg", "mus_volume=12\n");
    ASSERT_EQ(mkdir("zarn.cfg.tmp", 0755), 0);  // the temporary file cannot be made
    dumpConfig();
    EXPECT_EQ(read_file("zarn.cfg"), "mus_volume=12\n");
    rmdir("zarn.cfg.tmp");
    ASSERT_EQ(symlink("/dev/full", "zarn.cfg.tmp"), 0);  // a full disk
    dumpConfig();
    EXPECT_EQ(read_file("zarn.cfg"), "mus_volume=12\n");
    EXPECT_NE(access("zarn.cfg.tmp", F_OK), 0);

    configFolder = "missing";
    dumpConfig();
    ASSERT_EQ(mkdir("conf", 0755), 0);
    configFolder = "conf";
    loadGfxConfig();
    dumpConfig();
    EXPECT_EQ(read_file("conf/zarn.cfg"), default_file);
    music_volume = 5;
    loadConfig();
    EXPECT_EQ(music_volume, 100);
}
