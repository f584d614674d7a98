#include <gtest/gtest.h>

#include "core/state.h"

#include <cctype>
#include <cstring>
#include <set>
#include <string>

TEST(Passwords, AreFourCapitalsAllDifferentAndNoneIsReserved)
{
    std::set<std::string> seen;
    const std::set<std::string> reserved = {"AAAA", "KWYB", "JOPH", "FUZD", "VEGT", "NIBQ"};
    for (int i = 0; i < PW_COUNT; i++) {
        std::string word = pw[i];
        ASSERT_EQ(word.size(), 4u) << "level " << i + 1;
        for (char c : word)
            EXPECT_TRUE(c >= 'A' && c <= 'Z') << word;
        EXPECT_EQ(reserved.count(word), 0u) << word;
        EXPECT_TRUE(seen.insert(word).second) << word << " twice";
    }
}

TEST(GameState, ResetRestoresTheStartValues)
{
    curr_map = 17;
    maxmap = 32;
    Player.score = 500;
    Player.lives = 2;
    memcpy(last_pw, "KIRU", 5);
    quit_zarn = 1;
    state_reset();
    EXPECT_EQ(curr_map, 1);
    EXPECT_EQ(maxmap, 48);
    EXPECT_EQ(Player.score, 0);
    EXPECT_EQ(Player.lives, 0);
    EXPECT_STREQ(last_pw, "AAAA");
    EXPECT_EQ(quit_zarn, 0);
}
