// Test main: every test program runs headless (SDL's dummy video and audio),
// in a scratch folder of its own in which ./data is the build's data folder,
// so tests that write zarn.cfg or zarn.hi never meet each other.
#include <gtest/gtest.h>

#include "app/startup.h"
#include "support/boot.h"
#include "support/scratch.h"

static std::string scratch;

const std::string& scratch_dir()
{
    return scratch;
}

int main(int argc, char** argv)
{
    scratch = enter_scratch("zarn-test");
    if (scratch.empty())
        return 1;
    bind_settings();
    testing::InitGoogleTest(&argc, argv);
    int status = RUN_ALL_TESTS();
    remove_scratch(scratch);
    return status;
}
