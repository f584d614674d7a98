// Input: the six controls read from the keyboard, the first joystick and the
// mouse. The event reading reports presses since the previous call, the state
// reading what is held right now.
//
// The event reading also notes the direction pressed in it, for the play loop
// to keep: a key or button pressed and let go within one reading counts, a
// stick or hat counts when it newly points that way (a held stick sends
// motion after motion, and a hat centred within the reading reports nothing).
// Of two directions pressed in one reading the later counts, unless the two
// form a diagonal: then none does, as when both are held.
//
// Mouse arguments of check_controls: x and y receive the position of a click
// in the 320 x 240 frame (x null: no position wanted). With selected given, y
// points to the top of a menu list of height pixels in rows of line_height
// pixels, and a click inside it selects a row (1 is the first); *selected is
// -1 when no row was clicked in this call.
#include "config/input.h"

#include "config/config.h"

#include "sys/clock.h"
#include "video/screen.h"
#include "video/shot.h"

#include <algorithm>
#include <array>
#include <climits>

namespace {

// The default bindings, by control index; the two spare slots of each table
// hold no key (0) and no button (-1).
constexpr std::array<int32_t, CONTROL_COUNT> default_keys = {SDLK_UP,   SDLK_DOWN,  SDLK_LEFT,
                                                             SDLK_RIGHT, SDLK_SPACE, SDLK_RETURN};
constexpr std::array<int32_t, CONTROL_COUNT> default_buttons = {-1, -1, -1, -1, 1, 0};
constexpr int32_t NO_KEY = 0;
constexpr int32_t NO_BUTTON = -1;

}  // namespace

int32_t key_buttons[8] = {default_keys[0], default_keys[1], default_keys[2], default_keys[3],
                          default_keys[4], default_keys[5], NO_KEY,          NO_KEY};
int32_t joy_buttons[8] = {default_buttons[0], default_buttons[1], default_buttons[2], default_buttons[3],
                          default_buttons[4], default_buttons[5], NO_BUTTON,          NO_BUTTON};
SDL_Joystick* joystick;
int32_t last_key = -1;
int32_t last_key_mod;
int32_t last_button = -1;
int32_t DEFAULT_UP_BUTTON = default_buttons[CONTROL_UP];
int32_t DEFAULT_DOWN_BUTTON = default_buttons[CONTROL_DOWN];
int32_t DEFAULT_LEFT_BUTTON = default_buttons[CONTROL_LEFT];
int32_t DEFAULT_RIGHT_BUTTON = default_buttons[CONTROL_RIGHT];
int32_t DEFAULT_PAUSE_BUTTON = default_buttons[CONTROL_PAUSE];
int32_t DEFAULT_ACTION_BUTTON = default_buttons[CONTROL_ACTION];
int32_t direction_presses;
int32_t quit_zarn;
int32_t focus_lost;
int32_t level_warp_activated;

namespace {

// Key symbols a binding may hold; anything else is never pressed.
constexpr int32_t KEY_SYM_MAX = 322;
static_assert(SDLK_LAST == KEY_SYM_MAX + 1, "SDL 1.2 key symbols run from 0 to 322");

// Beyond this an axis counts as pushed.
constexpr int AXIS_DEAD = 31000;

// The bit of each control, by control index.
constexpr std::array<int32_t, CONTROL_COUNT> control_bit = {CTRL_UP,    CTRL_DOWN,  CTRL_LEFT,
                                                            CTRL_RIGHT, CTRL_PAUSE, CTRL_ACTION};

// The order in which a press is matched against the bindings: the first
// control bound to it wins.
constexpr std::array<int, CONTROL_COUNT> match_order = {CONTROL_UP,    CONTROL_DOWN,   CONTROL_LEFT,
                                                        CONTROL_RIGHT, CONTROL_ACTION, CONTROL_PAUSE};

// Where the first two axes and the first four hats point after the last
// events: a direction is pressed when one newly points there.
std::array<int32_t, 2> axis_zone;
std::array<Uint8, 4> hat_last;

constexpr uint32_t QUIT_CHECK_MS = 10;  // a waiting screen looks for a close this often

// The bit of the first control in match order whose table entry is value.
int32_t first_match(const int32_t* table, int32_t value)
{
    for (int c : match_order)
        if (table[c] == value)
            return control_bit[c];
    return 0;
}

// The hint, replay and ghost keys and the hint button do their own work
// unless a control is bound to them.
int32_t key_press(SDLKey sym)
{
    last_key = sym;
    if (sym < 0 || sym > KEY_SYM_MAX)
        return 0;
    if (int32_t bit = first_match(key_buttons, sym))
        return bit;
    return sym == SDLK_h ? CTRL_HINT : sym == SDLK_r ? CTRL_REPLAY : sym == SDLK_g ? CTRL_GHOST : 0;
}

int32_t joy_button_press(int button)
{
    last_button = button;
    int32_t bit = first_match(joy_buttons, button);
    return bit ? bit : button == hint_button() ? CTRL_HINT : 0;
}

int32_t axis_motion(int axis, int value)
{
    if (axis == 1)
        return value < -AXIS_DEAD ? CTRL_UP : value > AXIS_DEAD ? CTRL_DOWN : 0;
    if (axis == 0)
        return value < -AXIS_DEAD ? CTRL_LEFT : value > AXIS_DEAD ? CTRL_RIGHT : 0;
    return 0;
}

// A hat sets the directions it points to and takes back the opposite ones;
// centring takes back one vertical and one horizontal direction.
int32_t hat_motion(int32_t state, Uint8 v)
{
    if (v & SDL_HAT_UP)
        state = (state | CTRL_UP) & ~CTRL_DOWN;
    else if (v & SDL_HAT_DOWN)
        state = (state | CTRL_DOWN) & ~CTRL_UP;
    if (v & SDL_HAT_LEFT) {
        state = (state | CTRL_LEFT) & ~CTRL_RIGHT;
    } else if (v & SDL_HAT_RIGHT) {
        state = (state | CTRL_RIGHT) & ~CTRL_LEFT;
    } else if (v == SDL_HAT_CENTERED) {
        state &= (state & CTRL_DOWN) ? ~CTRL_DOWN : ~CTRL_UP;
        state &= (state & CTRL_RIGHT) ? ~CTRL_RIGHT : ~CTRL_LEFT;
    }
    return state;
}

// A window manager may take the focus away for a moment while the display
// switches between window and full screen: no pause for that.
constexpr uint32_t SWITCH_FOCUS_MS = 1000;
bool switched;         // Alt+Enter was pressed
uint32_t switched_at;  // at this sys_ticks

// Alt+Enter and F12 act on the window whatever screen runs; true when the
// key was one of them.
bool window_key(const SDL_keysym& k)
{
    if ((k.sym == SDLK_RETURN || k.sym == SDLK_KP_ENTER) && (k.mod & KMOD_ALT)) {
        toggle_full_screen();
        switched = true;
        switched_at = sys_ticks();
        return true;
    }
    if (k.sym == SDLK_F12) {
        char path[PATH_MAX];
        save_screenshot(path, sizeof path);
        return true;
    }
    return false;
}

// The directions a hat points to.
int32_t hat_directions(Uint8 v)
{
    return ((v & SDL_HAT_UP) ? CTRL_UP : 0) | ((v & SDL_HAT_DOWN) ? CTRL_DOWN : 0) |
           ((v & SDL_HAT_LEFT) ? CTRL_LEFT : 0) | ((v & SDL_HAT_RIGHT) ? CTRL_RIGHT : 0);
}

// The directions an axis or hat event newly pushes.
int32_t axis_press(int axis, int value)
{
    int32_t now = axis_motion(axis, value);
    if (axis < 0 || axis >= static_cast<int>(axis_zone.size()))
        return 0;
    int32_t pressed = now & ~axis_zone[axis];
    axis_zone[axis] = now;
    return pressed;
}

int32_t hat_press(int hat, Uint8 v)
{
    if (hat < 0 || hat >= static_cast<int>(hat_last.size()))
        return hat_directions(v);
    int32_t pressed = hat_directions(v) & ~hat_directions(hat_last[hat]);
    hat_last[hat] = v;
    return pressed;
}

// True once the program is to end; a window close waiting in the event queue
// counts (it stays there for the screen's own reading).
bool quit_pending()
{
    if (quit_zarn == 1)
        return true;
    SDL_PumpEvents();
    SDL_Event e;
    if (SDL_PeepEvents(&e, 1, SDL_PEEKEVENT, SDL_QUITMASK) > 0)
        quit_zarn = 1;
    return quit_zarn == 1;
}

// A click either lands at a position or, in a menu, selects a row.
void mouse_press(const SDL_MouseButtonEvent& b, int32_t* x, int32_t* y, int32_t top, int32_t height,
                 int32_t line_height, int32_t* selected)
{
    int32_t mx = b.x;
    int32_t my = b.y;
    display_to_frame(&mx, &my);
    if (!selected) {
        if (x) {
            *x = mx;
            if (y)
                *y = my;
        }
        return;
    }
    if (line_height > 0 && my >= top && my <= top + height)
        *selected = (my - top) / line_height + 1;
}

// The held state of a key symbol; symbols outside the array are never held.
bool key_held(const Uint8* keys, int count, int32_t sym)
{
    return keys && sym >= 0 && sym <= KEY_SYM_MAX && sym < count && keys[sym] != 0;
}

bool joy_button_held(int32_t button)
{
    return button != -1 && SDL_JoystickGetButton(joystick, button) != 0;
}

int32_t joystick_state()
{
    int32_t state = 0;
    Uint8 hat = SDL_JoystickGetHat(joystick, 0);
    if (joy_button_held(joy_buttons[CONTROL_UP]) || (hat & SDL_HAT_UP))
        state |= CTRL_UP;
    if (joy_button_held(joy_buttons[CONTROL_DOWN]) || (hat & SDL_HAT_DOWN))
        state |= CTRL_DOWN;
    if (joy_button_held(joy_buttons[CONTROL_LEFT]) || (hat & SDL_HAT_LEFT))
        state |= CTRL_LEFT;
    if (joy_button_held(joy_buttons[CONTROL_RIGHT]) || (hat & SDL_HAT_RIGHT))
        state |= CTRL_RIGHT;
    if (joy_button_held(joy_buttons[CONTROL_ACTION]))
        state |= CTRL_ACTION;
    if (joy_button_held(joy_buttons[CONTROL_PAUSE]))
        state |= CTRL_PAUSE;
    state |= axis_motion(1, SDL_JoystickGetAxis(joystick, 1));
    state |= axis_motion(0, SDL_JoystickGetAxis(joystick, 0));
    return state;
}

}  // namespace

void input_bind_settings()
{
    // The file's order: the buttons of PAUSE, ACTION, UP, DOWN, LEFT and
    // RIGHT, then their keys. A key or button read is taken as it is.
    static const char* const names[2][CONTROL_COUNT] = {
        {"k_up", "k_down", "k_left", "k_right", "k_pause", "k_action"},
        {"j_up", "j_down", "j_left", "j_right", "j_pause", "j_action"},
    };
    constexpr int first_line[CONTROL_COUNT] = {2, 3, 4, 5, 0, 1};  // by control, from line 5 (j_pause)
    config_setting rows[2 * CONTROL_COUNT];
    for (int c = 0; c < CONTROL_COUNT; c++) {
        rows[c] = {names[0][c], 11 + first_line[c], CONFIG_KEY, &key_buttons[c], 0, 0, 0, default_keys[c], 0};
        rows[CONTROL_COUNT + c] = {names[1][c], 5 + first_line[c], CONFIG_BUTTON, &joy_buttons[c], 0, 0, 0,
                                   default_buttons[c], 0};
    }
    config_bind(rows, 2 * CONTROL_COUNT);
}

void resetdefault_controls()
{
    const int32_t buttons[CONTROL_COUNT] = {DEFAULT_UP_BUTTON,    DEFAULT_DOWN_BUTTON,  DEFAULT_LEFT_BUTTON,
                                            DEFAULT_RIGHT_BUTTON, DEFAULT_PAUSE_BUTTON, DEFAULT_ACTION_BUTTON};
    for (int c = 0; c < CONTROL_COUNT; c++) {
        key_buttons[c] = default_keys[c];
        joy_buttons[c] = buttons[c];
    }
}

void init_controls()
{
    joystick = nullptr;
    if (SDL_Init(SDL_INIT_JOYSTICK) < 0)
        return;
    if (SDL_NumJoysticks() > 0)
        joystick = SDL_JoystickOpen(0);
    if (joystick)
        SDL_JoystickEventState(SDL_ENABLE);
}

void destroy_controls()
{
    if (joystick)
        SDL_JoystickClose(joystick);
    joystick = nullptr;
}

int32_t check_controls(int32_t* x, int32_t* y, int32_t height, int32_t line_height, int32_t* selected)
{
    const int32_t top = (x && y) ? *y : 0;
    int32_t state = 0;
    if (selected)
        *selected = -1;
    int32_t pressed = 0, latest = 0;  // every direction pressed, and the last press
    auto press = [&](int32_t bits) {
        if (bits & CTRL_DIRECTIONS) {
            pressed |= bits & CTRL_DIRECTIONS;
            latest = bits & CTRL_DIRECTIONS;
        }
    };
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
        case SDL_KEYDOWN: {
            if (window_key(e.key.keysym))
                break;
            int32_t bit = key_press(e.key.keysym.sym);
            last_key_mod = e.key.keysym.mod;
            state |= bit;
            press(bit);
            break;
        }
        case SDL_ACTIVEEVENT:
            if ((e.active.state & SDL_APPINPUTFOCUS) && e.active.gain == 0 &&
                !(switched && sys_ticks() - switched_at < SWITCH_FOCUS_MS))
                focus_lost = 1;
            break;
        case SDL_JOYBUTTONDOWN: {
            int32_t bit = joy_button_press(e.jbutton.button);
            state |= bit;
            press(bit);
            break;
        }
        case SDL_JOYAXISMOTION:
            state |= axis_motion(e.jaxis.axis, e.jaxis.value);
            press(axis_press(e.jaxis.axis, e.jaxis.value));
            break;
        case SDL_JOYHATMOTION:
            state = hat_motion(state, e.jhat.value);
            press(hat_press(e.jhat.hat, e.jhat.value));
            break;
        case SDL_MOUSEBUTTONDOWN:
            mouse_press(e.button, x, y, top, height, line_height, selected);
            break;
        case SDL_QUIT:
            quit_zarn = 1;
            state |= CTRL_QUIT;
            break;
        default:
            break;
        }
    }
    direction_presses = is_diagonal(pressed) ? 0 : latest;
    return state;
}

int32_t get_controls()
{
    int count = 0;
    const Uint8* keys = SDL_GetKeyState(&count);
    int32_t state = 0;
    for (int c = 0; c < CONTROL_COUNT; c++)
        if (key_held(keys, count, key_buttons[c]))
            state |= control_bit[c];
    if (level_warp_activated && key_held(keys, count, SDLK_x) &&
        (key_held(keys, count, SDLK_LSHIFT) || key_held(keys, count, SDLK_RSHIFT)))
        state |= CTRL_WARP;
    if (joystick)
        state |= joystick_state();
    if (is_diagonal(state))
        state &= ~CTRL_DIRECTIONS;
    return state;
}

frame_input read_frame_input(int32_t list_top, int32_t list_height, int32_t line_height)
{
    frame_input in;
    const int32_t key_before = last_key, button_before = last_button;
    last_key = last_button = -1;
    int32_t x = -1, y = list_top;
    if (line_height > 0)
        in.pressed = check_controls(&x, &y, list_height, line_height, &in.row);
    else {
        y = -1;
        in.pressed = check_controls(&x, &y, 0, 0, nullptr);
        in.click_x = x;
        in.click_y = y;
    }
    in.directions = direction_presses;
    in.key = last_key;
    in.button = last_button;
    if (last_key == -1)
        last_key = key_before;  // the last key seen stays the last one seen
    if (last_button == -1)
        last_button = button_before;
    in.held = get_controls();
    return in;
}

bool wait_unless_quit(uint32_t ms)
{
    for (uint32_t waited = 0; waited < ms;) {
        if (quit_pending())
            return false;
        uint32_t slice = std::min(QUIT_CHECK_MS, ms - waited);
        sys_delay(slice);
        waited += slice;
    }
    return !quit_pending();
}

int32_t hint_button()
{
    int32_t button = 0;
    while (first_match(joy_buttons, button) != 0)
        button++;
    return button;
}

void input_reset()
{
    DEFAULT_UP_BUTTON = default_buttons[CONTROL_UP];
    DEFAULT_DOWN_BUTTON = default_buttons[CONTROL_DOWN];
    DEFAULT_LEFT_BUTTON = default_buttons[CONTROL_LEFT];
    DEFAULT_RIGHT_BUTTON = default_buttons[CONTROL_RIGHT];
    DEFAULT_PAUSE_BUTTON = default_buttons[CONTROL_PAUSE];
    DEFAULT_ACTION_BUTTON = default_buttons[CONTROL_ACTION];
    resetdefault_controls();
    key_buttons[6] = key_buttons[7] = NO_KEY;
    joy_buttons[6] = joy_buttons[7] = NO_BUTTON;
    last_key = -1;
    last_key_mod = 0;
    last_button = -1;
    direction_presses = 0;
    axis_zone = {};
    hat_last = {};
    quit_zarn = 0;
    focus_lost = 0;
    switched = false;
    level_warp_activated = 0;
}
