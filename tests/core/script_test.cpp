// Saved games (scripts/*.play) replayed through the play loop end as they say.
#include "support/game.h"

namespace {

TEST(SavedGames, EveryOneReplaysToItsExpectedEnd)
{
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ZARN_TESTS_DIR "/core/scripts")) {
        SCOPED_TRACE(entry.path().string());
        std::stringstream text;
        text << std::ifstream(entry.path()).rdbuf();
        play_script s = script(text.str());
        ASSERT_FALSE(s.expect.empty());
        boot_game();
        if (!input_reads_keys()) {
            shutdown_game();
            FAIL() << "held keys cannot be read: no scripted play can run";
        }
        Player.lives = 3;
        Player.perfect = 1;
        EXPECT_EQ(summary(play_level("", s)), s.expect);
        shutdown_game();
        replayed++;
    }
    EXPECT_GE(replayed, 3);
}

}  // namespace
