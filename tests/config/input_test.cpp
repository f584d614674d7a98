// Input: presses matched to controls in a fixed order, joystick axes and hats,
// held keys without diagonals, the warp chord.
#include "support/game.h"

namespace {

class Input : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
        ASSERT_NE(SDL_SetVideoMode(320, 240, 16, SDL_SWSURFACE), nullptr);
    }
    static void TearDownTestSuite() { SDL_Quit(); }
    void SetUp() override { input_reset(), state_reset(), flush_events(), release_all_keys(), zoom = 0; }
    void TearDown() override { release_all_keys(), zoom = 1; }
};

// One queued event: K key, B joystick button, A0/A1/A2 axis, H hat, U key up, Q quit.
struct ev {
    char kind;
    int value;
};

int32_t frame(const std::vector<ev>& evs)
{
    for (const ev& v : evs)
        v.kind == 'Q' ? push_quit()
        : v.kind == 'K' || v.kind == 'U' ? push_event(v.kind == 'K' ? SDL_KEYDOWN : SDL_KEYUP, v.value)
        : v.kind == 'B' ? push_joy_button(v.value)
        : v.kind == 'H' ? push_event(SDL_JOYHATMOTION, 0, v.value)
                        : push_event(SDL_JOYAXISMOTION, v.kind - '0', v.value);
    return check_controls(nullptr, nullptr, 0, 0, nullptr);
}

}  // namespace

TEST_F(Input, PressesMatchTheFirstBoundControlAxesNeedMoreThan31000AndADirectionCountsOnce)
{
    key_buttons[CONTROL_PAUSE] = SDLK_UP;  // UP is matched first
    key_buttons[CONTROL_ACTION] = SDLK_a;
    key_buttons[CONTROL_DOWN] = SDLK_SPACE + 65536;  // out of range, not the space bar
    joy_buttons[CONTROL_RIGHT] = 0;
    joy_buttons[CONTROL_ACTION] = 1;  // ACTION is matched before PAUSE
    const struct {
        std::vector<ev> evs;
        int32_t want;
    } frames[] = {
        {{{'K', SDLK_UP}}, CTRL_UP}, {{{'K', SDLK_a}, {'K', SDLK_RIGHT}}, CTRL_ACTION | CTRL_RIGHT},
        {{{'K', SDLK_SPACE}, {'K', SDLK_b}}, 0}, {{{'B', 1}}, CTRL_ACTION}, {{{'B', 0}}, CTRL_RIGHT},
        {{{'B', 255}}, 0}, {{{'1', -31000}, {'1', 31000}, {'0', 31000}, {'0', -31000}}, 0},
        {{{'1', -31001}}, CTRL_UP}, {{{'1', 31001}, {'0', -31001}}, CTRL_DOWN | CTRL_LEFT},
        {{{'0', 31001}, {'2', -32768}}, CTRL_RIGHT}, {{{'H', SDL_HAT_UP}, {'H', SDL_HAT_CENTERED}}, 0},
        {{{'H', SDL_HAT_RIGHTUP}}, CTRL_UP | CTRL_RIGHT},
        {{{'K', SDLK_UP}, {'B', 255}, {'H', SDL_HAT_LEFTDOWN}}, CTRL_DOWN | CTRL_LEFT},
        {{{'1', 31001}, {'1', -31001}, {'0', 31001}, {'H', SDL_HAT_CENTERED}}, CTRL_UP},  // one of each pair
        {{{'1', 31001}, {'Q', 0}, {'B', 1}, {'K', SDLK_b}, {'U', SDLK_RETURN}, {'B', 9}},
         CTRL_DOWN | CTRL_QUIT | CTRL_ACTION},
    };
    for (size_t i = 0; i < std::size(frames); i++)
        EXPECT_EQ(frame(frames[i].evs), frames[i].want) << "frame " << i;
    EXPECT_EQ(quit_zarn, 1);
    EXPECT_EQ(last_key, SDLK_b);  // unbound presses count, key-up events are no presses
    EXPECT_EQ(last_button, 9);

    // H and the lowest button no control is bound to ask for a hint, unless
    // a control is bound to them.
    EXPECT_EQ(hint_button(), 2);
    EXPECT_EQ(frame({{'K', SDLK_h}, {'B', 2}}), CTRL_HINT);
    key_buttons[CONTROL_ACTION] = SDLK_h;
    joy_buttons[CONTROL_PAUSE] = 2;
    EXPECT_EQ(frame({{'K', SDLK_h}, {'B', 2}}), CTRL_ACTION | CTRL_PAUSE);
    EXPECT_EQ(frame({{'B', 3}}), CTRL_HINT);

    // Of the directions pressed within a frame the last counts, none when they
    // form a diagonal.
    input_reset();
    joy_buttons[CONTROL_LEFT] = 2;
    const struct {
        std::vector<ev> evs;
        int32_t presses;
    } directions[] = {
        {{{'K', SDLK_UP}, {'U', SDLK_UP}}, CTRL_UP},  // tapped within the frame
        {{{'K', SDLK_RETURN}, {'B', 2}}, CTRL_LEFT},
        {{{'H', SDL_HAT_UP}, {'H', SDL_HAT_CENTERED}}, CTRL_UP},  // the reading reports nothing
        {{{'H', SDL_HAT_RIGHTUP}}, 0},
        {{{'H', SDL_HAT_RIGHT}}, 0},                  // right was pushed already
        {{{'1', 32000}, {'1', 32500}}, CTRL_DOWN},     // a stick held over the dead zone
        {{{'1', 32767}}, 0},
        {{{'1', 0}, {'1', 31500}}, CTRL_DOWN},         // back to the middle and out again
        {{{'0', -32000}, {'1', -32000}}, 0},
        {{{'K', SDLK_DOWN}, {'K', SDLK_UP}}, CTRL_UP},
        {{{'K', SDLK_RIGHT}, {'B', 2}}, CTRL_LEFT},
        {{{'K', SDLK_UP}, {'K', SDLK_DOWN}, {'K', SDLK_RETURN}, {'U', SDLK_DOWN}}, CTRL_DOWN},
        {{{'K', SDLK_UP}, {'U', SDLK_UP}, {'K', SDLK_RIGHT}}, 0},
    };
    for (size_t i = 0; i < std::size(directions); i++) {
        frame(directions[i].evs);
        EXPECT_EQ(direction_presses, directions[i].presses) << "frame " << i;
    }
}

TEST_F(Input, HeldKeysDropDiagonalsAndKeepTheWarpChord)
{
    hold_key(SDLK_UP, true);
    hold_key(SDLK_DOWN, true);
    EXPECT_EQ(get_controls(), CTRL_UP | CTRL_DOWN);
    hold_key(SDLK_RIGHT, true);
    hold_key(SDLK_SPACE, true);
    EXPECT_EQ(get_controls(), CTRL_PAUSE);
    release_all_keys();
    key_buttons[CONTROL_PAUSE] = SDLK_UP;  // held, one key sets both
    hold_key(SDLK_UP, true);
    EXPECT_EQ(get_controls(), CTRL_UP | CTRL_PAUSE);
    hold_key(SDLK_x, true);
    hold_key(SDLK_RSHIFT, true);
    EXPECT_EQ(get_controls() & CTRL_WARP, 0);
    level_warp_activated = 1;
    hold_key(SDLK_LEFT, true);
    EXPECT_EQ(get_controls(), CTRL_WARP | CTRL_PAUSE);
    hold_key(SDLK_RSHIFT, false);
    EXPECT_EQ(get_controls() & CTRL_WARP, 0);
    hold_key(SDLK_LSHIFT, true);
    EXPECT_EQ(get_controls() & CTRL_WARP, CTRL_WARP);

    // Every key held: bindings outside the key table are never held.
    int count = 0;
    Uint8* keys = SDL_GetKeyState(&count);
    memset(keys, 1, size_t(count));
    for (int32_t bad : {-1, 323, 100000, INT32_MIN}) {
        for (int c : {CONTROL_UP, CONTROL_DOWN, CONTROL_LEFT, CONTROL_RIGHT, CONTROL_PAUSE})
            key_buttons[c] = bad;
        EXPECT_EQ(get_controls(), CTRL_ACTION | CTRL_WARP) << bad;
    }
}
