#include <gtest/gtest.h>

#include "config/input.h"
#include "core/state.h"
#include "support/input_script.h"
#include "video/screen.h"

#include <cstring>

namespace {

class Input : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
        ASSERT_NE(SDL_SetVideoMode(320, 240, 16, SDL_SWSURFACE), nullptr);
    }
    static void TearDownTestSuite() { SDL_Quit(); }
    void SetUp() override
    {
        input_reset();
        state_reset();
        flush_events();
        release_all_keys();
        zoom = 0;
    }
    void TearDown() override
    {
        release_all_keys();
        zoom = 1;
    }
};

int32_t events()
{
    return check_controls(nullptr, nullptr, 0, 0, 0, nullptr);
}

void push(Uint8 type, Uint8 index, int value)
{
    SDL_Event e;
    memset(&e, 0, sizeof e);
    e.type = type;
    if (type == SDL_JOYAXISMOTION) {
        e.jaxis.axis = index;
        e.jaxis.value = static_cast<Sint16>(value);
    } else {
        e.jhat.value = static_cast<Uint8>(value);
    }
    SDL_PushEvent(&e);
}

}  // namespace

TEST_F(Input, KeyAndButtonPressesMatchTheFirstBoundControl)
{
    key_buttons[CONTROL_PAUSE] = SDLK_UP;  // UP comes first
    push_key(SDLK_UP);
    EXPECT_EQ(events(), CTRL_UP);
    key_buttons[CONTROL_PAUSE] = SDLK_RETURN;  // ACTION comes before PAUSE
    push_key(SDLK_RETURN);
    EXPECT_EQ(events(), CTRL_ACTION);
    push_key(SDLK_a);
    EXPECT_EQ(events(), 0);
    EXPECT_EQ(last_key, SDLK_a);
    key_buttons[CONTROL_PAUSE] = SDLK_SPACE;
    key_buttons[CONTROL_UP] = SDLK_SPACE + 65536;  // out of range, not the space bar
    push_key(SDLK_SPACE);
    push_key(SDLK_RIGHT);
    EXPECT_EQ(events(), CTRL_PAUSE | CTRL_RIGHT);

    push_joy_button(1);
    EXPECT_EQ(events(), CTRL_PAUSE);
    joy_buttons[CONTROL_DOWN] = 0;
    push_joy_button(0);
    EXPECT_EQ(events(), CTRL_DOWN);
    push_joy_button(255);  // never the unbound -1
    EXPECT_EQ(events(), 0);
    EXPECT_EQ(last_button, 255);
    EXPECT_EQ(last_key, SDLK_RIGHT);
}

TEST_F(Input, AxesNeedMoreThan31000AndHatsTakeBackWithinAFrame)
{
    const struct {
        Uint8 axis;
        int value;
        int32_t want;
    } axes[] = {{1, -31000, 0}, {1, -31001, CTRL_UP},   {1, 31000, 0}, {1, 31001, CTRL_DOWN}, {0, -31001, CTRL_LEFT},
                {0, 31001, CTRL_RIGHT}, {0, 31000, 0}, {2, -32768, 0}, {3, 32767, 0}};
    for (const auto& a : axes) {
        push(SDL_JOYAXISMOTION, a.axis, a.value);
        EXPECT_EQ(events(), a.want) << int(a.axis) << " at " << a.value;
    }
    push(SDL_JOYHATMOTION, 0, SDL_HAT_UP);
    push(SDL_JOYHATMOTION, 0, SDL_HAT_CENTERED);
    EXPECT_EQ(events(), 0);
    push(SDL_JOYHATMOTION, 0, SDL_HAT_RIGHTUP);
    EXPECT_EQ(events(), CTRL_UP | CTRL_RIGHT);
    push_key(SDLK_UP);
    push_key(SDLK_LEFT);
    push(SDL_JOYHATMOTION, 0, SDL_HAT_RIGHTDOWN);  // takes back UP and LEFT
    EXPECT_EQ(events(), CTRL_DOWN | CTRL_RIGHT);
    push_key(SDLK_UP);
    push_key(SDLK_DOWN);
    push_key(SDLK_RIGHT);
    push(SDL_JOYHATMOTION, 0, SDL_HAT_CENTERED);  // one of each pair only
    EXPECT_EQ(events(), CTRL_UP);
}

TEST_F(Input, ClicksSelectListRowsOrLandAtAPosition)
{
    int32_t x = 0, top = 100, sel = 0;
    const struct {
        int y;
        int32_t want;
    } clicks[] = {{100, 1}, {123, 1}, {124, 2}, {220, 6}, {99, -1}, {221, -1}};
    for (const auto& c : clicks) {
        push_click(10, c.y);
        check_controls(&x, &top, 0, 120, 24, &sel);
        EXPECT_EQ(sel, c.want) << "y " << c.y;
    }
    push_click(10, 130);
    push_click(10, 30);  // outside: the row stays
    check_controls(&x, &top, 0, 120, 24, &sel);
    EXPECT_EQ(sel, 2);
    EXPECT_EQ(top, 100);
    check_controls(&x, &top, 0, 120, 24, &sel);
    EXPECT_EQ(sel, -1);

    zoom = 1;  // a click on the enlarged display lands in the frame
    int32_t want_x = 301, want_y = 417;
    display_to_frame(&want_x, &want_y);
    int32_t y = 0;
    push_click(5, 6);
    push_click(301, 417);
    check_controls(&x, &y, 0, 0, 0, nullptr);
    EXPECT_EQ(x, want_x);
    EXPECT_EQ(y, want_y);
    push_click(5, 6);
    EXPECT_EQ(events(), 0);
}

TEST_F(Input, ClosingTheWindowKeepsTheOtherPresses)
{
    push_key(SDLK_DOWN);
    push_quit();
    push_joy_button(0);
    SDL_Event up;
    memset(&up, 0, sizeof up);
    up.type = SDL_KEYUP;
    up.key.keysym.sym = SDLK_SPACE;
    SDL_PushEvent(&up);
    EXPECT_EQ(events(), CTRL_DOWN | CTRL_QUIT | CTRL_ACTION);
    EXPECT_EQ(quit_zarn, 1);
    EXPECT_EQ(last_key, SDLK_DOWN);
}

TEST_F(Input, HeldKeysDropDiagonalsAndKeepTheChord)
{
    hold_key(SDLK_UP, true);
    EXPECT_EQ(get_controls(), CTRL_UP);
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
}

TEST_F(Input, KeysOutsideTheSymbolRangeAreNeverHeld)
{
    int count = 0;
    Uint8* keys = SDL_GetKeyState(&count);
    memset(keys, 1, count);
    for (int32_t bad : {-1, 323, 100000, INT32_MIN}) {
        key_buttons[CONTROL_UP] = key_buttons[CONTROL_DOWN] = bad;
        key_buttons[CONTROL_LEFT] = key_buttons[CONTROL_RIGHT] = bad;
        EXPECT_EQ(get_controls(), CTRL_PAUSE | CTRL_ACTION) << bad;
    }
}

TEST_F(Input, WithoutAJoystickTheDefaultButtonsAreHarmless)
{
    init_controls();
    if (SDL_NumJoysticks() > 0)
        GTEST_SKIP() << "a joystick is attached";
    EXPECT_EQ(joystick, nullptr);
    hold_key(SDLK_RETURN, true);
    EXPECT_EQ(get_controls(), CTRL_ACTION);
    destroy_controls();
    destroy_controls();
    EXPECT_EQ(joystick, nullptr);
}

TEST_F(Input, ResetRestoresTheDefaultBindings)
{
    DEFAULT_PAUSE_BUTTON = 7;
    resetdefault_controls();
    EXPECT_EQ(joy_buttons[CONTROL_PAUSE], 7);
    key_buttons[CONTROL_LEFT] = -1;
    last_key = 5;
    last_button = 6;
    input_reset();
    const int32_t keys[] = {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT, SDLK_SPACE, SDLK_RETURN};
    const int32_t buttons[] = {-1, -1, -1, -1, 1, 0};
    for (int c = 0; c < CONTROL_COUNT; c++) {
        EXPECT_EQ(key_buttons[c], keys[c]);
        EXPECT_EQ(joy_buttons[c], buttons[c]);
    }
    EXPECT_EQ(last_key, -1);
    EXPECT_EQ(last_button, -1);
}
