// Test main: every test program runs headless (SDL's dummy video and audio),
// in a scratch folder of its own in which ./data is the build's data folder,
// so tests that write zarn.cfg or zarn.hi never meet each other.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "support/scratch.h"

static std::string scratch;

const std::string& scratch_dir()
{
    return scratch;
}

int main(int argc, char** argv)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    char tmpl[] = "/tmp/zarn-test-XXXXXX";
    if (!mkdtemp(tmpl)) {
        perror("mkdtemp");
        return 1;
    }
    scratch = tmpl;
    if (symlink(ZARN_DATA_DIR, (scratch + "/data").c_str()) != 0 || chdir(scratch.c_str()) != 0) {
        perror("scratch folder");
        return 1;
    }
    testing::InitGoogleTest(&argc, argv);
    int status = RUN_ALL_TESTS();
    std::string cmd = "rm -rf '" + scratch + "'";
    if (system(cmd.c_str()) != 0)
        fprintf(stderr, "could not remove %s\n", scratch.c_str());
    return status;
}
