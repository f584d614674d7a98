// Play scripts as files: read, written back, and replayed through the play loop.
#include <gtest/gtest.h>

#include "core/level.h"
#include "core/play.h"
#include "core/state.h"
#include "support/boot.h"
#include "support/play_script.h"
#include "support/scratch.h"
#include "video/screen.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

std::string script_path(const char* name)
{
    std::string here = __FILE__;
    return here.substr(0, here.rfind('/')) + "/scripts/" + name;
}

TEST(Scripts, ReadWriteAndRefuseBadLines)
{
    boot_game();  // SDL's key names come with the video
    play_script s;
    std::string error;
    ASSERT_TRUE(parse_script("level So.\n"
                             "30 hold left\n"
                             "12 press RETURN  # comment\n"
                             "\n"
                             "40 release LEFT\n"
                             "50 click 160 120\n"
                             "55 press left shift\n"
                             "56 press x\n"
                             "60 quit\n",
                             s, &error))
        << error;
    ASSERT_EQ(s.steps.size(), 7u);
    EXPECT_EQ(s.steps[0].frame, 12);  // in frame order
    EXPECT_EQ(s.steps[0].key, SDLK_RETURN);
    EXPECT_EQ(s.steps[1].what, script_step::HOLD);
    EXPECT_EQ(s.steps[1].key, SDLK_LEFT);
    EXPECT_EQ(s.steps[3].x, 160);
    EXPECT_EQ(s.steps[3].y, 120);
    EXPECT_EQ(s.steps[4].key, SDLK_LSHIFT);
    EXPECT_EQ(s.steps[5].key, SDLK_x);
    EXPECT_EQ(s.level, "So.\n");
    ASSERT_TRUE(parse_script("expect outcome time_up\nexpect score 12\n", s, &error)) << error;
    ASSERT_EQ(s.expect.size(), 2u);
    EXPECT_EQ(s.expect[0].second, PLAY_TIME_UP);

    std::string path = scratch_dir() + "/saved.play";
    ASSERT_TRUE(save_script(path, s));
    play_script back;
    ASSERT_TRUE(load_script(path, back, &error)) << error;
    EXPECT_EQ(format_script(back), format_script(s));
    EXPECT_EQ(back.level, s.level);

    play_script bad;
    EXPECT_FALSE(parse_script("1 press RETURN\n2 hold NOSUCHKEY\n", bad, &error));
    EXPECT_NE(error.find("line 2"), std::string::npos);
    EXPECT_FALSE(parse_script("press RETURN\n", bad, &error));
    EXPECT_FALSE(parse_script("3 click 5\n", bad, &error));
    EXPECT_FALSE(parse_script("0 quit\n", bad, &error));
    EXPECT_FALSE(parse_script("expect outcome lost\n", bad, &error));
    EXPECT_FALSE(parse_script("expect speed 3\n", bad, &error));
    play_result res{};
    res.outcome = PLAY_FALL;
    res.score = 12;
    EXPECT_EQ(unmet_expectations(s, res), "expected outcome time_up, got fall\n");
    EXPECT_FALSE(load_script(scratch_dir() + "/none.play", bad, &error));
    shutdown_game();
}

TEST(Scripts, EverySavedGameReplaysToItsExpectedEnd)
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(script_path("")))
        if (entry.path().extension() == ".play")
            files.push_back(entry.path().string());
    ASSERT_GE(files.size(), 3u);
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        boot_game();
        if (!input_reads_keys()) {
            shutdown_game();
            GTEST_SKIP() << "the input module of this tree reads no keys";
        }
        play_script s;
        std::string error;
        ASSERT_TRUE(load_script(file, s, &error)) << error;
        ASSERT_FALSE(s.expect.empty());
        Player.lives = 3;
        Player.perfect = 1;
        play_result res = play_level("", s);
        EXPECT_EQ(unmet_expectations(s, res), "");
        shutdown_game();
    }
}

}  // namespace
