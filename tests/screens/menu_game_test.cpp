#include "front_script.h"

#include "config/config.h"
#include "config/input.h"
#include "core/clock.h"
#include "core/field.h"
#include "core/game.h"
#include "core/level.h"
#include "core/state.h"
#include "screens/highscore.h"
#include "screens/menu.h"
#include "sound/sound.h"
#include "support/input_script.h"
#include "support/scratch.h"
#include "video/font.h"
#include "video/screen.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

void put32(std::vector<uint8_t>& bytes, size_t at, int32_t v)
{
    for (int b = 0; b < 4; b++)
        bytes[at + b] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * b));
}

}  // namespace

// The whole program: the menu starts a game, every attempt runs out of time
// untouched, the game-over question is answered "NO", the new high score is
// named, the menu shows the table with its place blinking, and EXIT writes
// the table back.
TEST(WholeGame, FromTheMenuThroughGameOverToANamedHighScore)
{
    std::vector<uint8_t> table(66, 0);
    for (int place = 0; place < 6; place++) {
        put32(table, 4 * place, place < 5 ? 999999 : -1);  // any score takes place 6
        memcpy(&table[24 + 7 * place], "OLD", 4);
    }
    write_bytes("zarn.hi", table);
    state_reset();
    config_reset();
    input_reset();
    screen_reset();
    field_reset();
    menu_reset();
    clock_use_virtual(true);

    // The player: confirms whatever screen has stood still for two seconds
    // (play counts the level clock down every second), answers "NO", types a
    // name, watches the table, then leaves.
    enum { PLAYING, ANSWERING, NAMING, WATCHING, LEAVING } phase = PLAYING;
    int32_t seen_time = -1;
    uint32_t still_since = 0;
    std::vector<SDLKey> keys;  // pressed one per frame
    std::vector<std::string> place6;
    auto player = [&] {
        uint32_t now = sys_ticks();
        if (!keys.empty()) {
            push_key(keys.front());
            keys.erase(keys.begin());
            return;
        }
        if (phase == PLAYING && end_game) {
            keys = {SDLK_DOWN, SDLK_RETURN};
            phase = ANSWERING;
        } else if (phase == PLAYING && MapData.time_left != seen_time) {
            seen_time = MapData.time_left;
            still_since = now;
        } else if (phase == PLAYING && now - still_since > 2000) {
            keys = {SDLK_RETURN};
            still_since = now;
        } else if (phase == ANSWERING && memcmp(high_names[5], "      ", 7) == 0) {
            keys = {SDLK_t, SDLK_e, SDLK_s, SDLK_t, SDLK_e, SDLK_r, SDLK_RETURN};
            phase = NAMING;
        } else if (phase == NAMING && got_highscore == 6) {
            place6.emplace_back(tmp_string, 3);
            if (place6.size() == 40) {
                keys = {SDLK_LEFT};
                phase = WATCHING;
            }
        } else if (phase == WATCHING && got_highscore == 0) {
            keys = {SDLK_UP, SDLK_RETURN};
            phase = LEAVING;
        }
    };
    char arg0[] = "zarn";
    char* argv[] = {arg0, nullptr};
    front_result r = front_play([&] { zarn_main(1, argv); }, "", player, 30000);
    destroy_sound();  // the game leaves it to the end of the process
    clock_use_virtual(false);
    screen = nullptr;

    EXPECT_FALSE(r.timed_out);
    EXPECT_EQ(phase, LEAVING);
    EXPECT_EQ(quit_zarn, 1);
    EXPECT_EQ(Player.lives, 0);
    ASSERT_EQ(place6.size(), 40u);
    for (size_t frame = 0; frame < 32; frame++)
        EXPECT_EQ(place6[frame], frame / 8 % 2 ? "   " : "06 ") << "table frame " << frame + 1;
    std::vector<uint8_t> written = read_bytes("zarn.hi");
    ASSERT_EQ(written.size(), 66u);
    std::vector<uint8_t> score(4, 0);
    put32(score, 0, Player.score);
    EXPECT_EQ(std::vector<uint8_t>(written.begin() + 20, written.begin() + 24), score);
    EXPECT_EQ(0, memcmp(&written[24 + 35], "TESTER", 7));
    EXPECT_EQ(0, memcmp(&written[24 + 28], "OLD", 4));
}
