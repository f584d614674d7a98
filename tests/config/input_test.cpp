#include <gtest/gtest.h>

#include "config/input.h"
#include "core/state.h"
#include "support/input_script.h"
#include "video/screen.h"

#include <cstring>
#include <vector>

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
    for (const ev& v : evs) {
        SDL_Event e;
        memset(&e, 0, sizeof e);
        switch (v.kind) {
        case 'K': push_key(static_cast<SDLKey>(v.value)); continue;
        case 'B': push_joy_button(v.value); continue;
        case 'Q': push_quit(); continue;
        case 'U': e.type = SDL_KEYUP, e.key.keysym.sym = static_cast<SDLKey>(v.value); break;
        case 'H': e.type = SDL_JOYHATMOTION, e.jhat.value = static_cast<Uint8>(v.value); break;
        default: e.type = SDL_JOYAXISMOTION, e.jaxis.axis = v.kind - '0', e.jaxis.value = static_cast<Sint16>(v.value);
        }
        SDL_PushEvent(&e);
    }
    return check_controls(nullptr, nullptr, 0, 0, 0, nullptr);
}

}  // namespace

TEST_F(Input, PressesMatchTheFirstBoundControlAndAxesNeedMoreThan31000)
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
        {{{'1', 31001}, {'Q', 0}, {'U', SDLK_RETURN}, {'B', 1}}, CTRL_DOWN | CTRL_QUIT | CTRL_ACTION},
    };
    for (size_t i = 0; i < std::size(frames); i++)
        EXPECT_EQ(frame(frames[i].evs), frames[i].want) << "frame " << i;
    EXPECT_EQ(quit_zarn, 1);
    EXPECT_EQ(last_key, SDLK_UP);  // key-up events are not presses
    EXPECT_EQ(last_button, 1);
    frame({{'K', SDLK_b}, {'B', 9}});
    EXPECT_EQ(last_key, SDLK_b);
    EXPECT_EQ(last_button, 9);
}

TEST_F(Input, ClicksSelectListRowsOrLandAtAPosition)
{
    int32_t x = 0, top = 100, sel = 0;
    const int ys[][2] = {{100, 1}, {123, 1}, {124, 2}, {220, 6}, {99, -1}, {221, -1}};
    for (const auto& c : ys) {
        push_click(10, c[0]);
        check_controls(&x, &top, 0, 120, 24, &sel);
        EXPECT_EQ(sel, c[1]) << "y " << c[0];
    }
    push_click(10, 130);
    push_click(10, 30);  // outside: the row stays
    check_controls(&x, &top, 0, 120, 24, &sel);
    EXPECT_EQ(sel, 2);
    EXPECT_EQ(top, 100);
    check_controls(&x, &top, 0, 120, 24, &sel);
    EXPECT_EQ(sel, -1);

    zoom = 1;  // a click on the enlarged display lands in the frame
    int32_t want_x = 301, want_y = 417, y = 0;
    display_to_frame(&want_x, &want_y);
    push_click(5, 6);
    push_click(301, 417);
    check_controls(&x, &y, 0, 0, 0, nullptr);
    EXPECT_EQ(x, want_x);
    EXPECT_EQ(y, want_y);
}

TEST_F(Input, HeldKeysDropDiagonalsAndKeepTheChord)
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

    int count = 0;
    Uint8* keys = SDL_GetKeyState(&count);
    memset(keys, 1, count);
    for (int32_t bad : {-1, 323, 100000, INT32_MIN}) {
        key_buttons[CONTROL_UP] = key_buttons[CONTROL_DOWN] = key_buttons[CONTROL_LEFT] = bad;
        key_buttons[CONTROL_RIGHT] = key_buttons[CONTROL_PAUSE] = bad;
        EXPECT_EQ(get_controls(), CTRL_ACTION | CTRL_WARP) << bad;
    }
}

// Only the joystick-less path can run headless.
TEST_F(Input, WithoutAJoystickTheDefaultButtonsAreHarmlessAndResetRestores)
{
    init_controls();
    if (SDL_NumJoysticks() == 0) {
        EXPECT_EQ(joystick, nullptr);
        hold_key(SDLK_RETURN, true);
        EXPECT_EQ(get_controls(), CTRL_ACTION);
    }
    destroy_controls();
    EXPECT_EQ(joystick, nullptr);
    DEFAULT_PAUSE_BUTTON = 7;
    resetdefault_controls();
    EXPECT_EQ(joy_buttons[CONTROL_PAUSE], 7);
    key_buttons[CONTROL_LEFT] = joy_buttons[CONTROL_UP] = last_key = last_button = 5;
    input_reset();
    EXPECT_EQ(key_buttons[CONTROL_LEFT], SDLK_LEFT);
    EXPECT_EQ(joy_buttons[CONTROL_UP], -1);
    EXPECT_EQ(joy_buttons[CONTROL_PAUSE], 1);
    EXPECT_EQ(last_key + last_button, -2);
}
