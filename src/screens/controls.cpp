// The controls screen: a key or joystick button for each of the six
// controls. ACTION on a control line waits for the next key or button and
// binds it; nothing checks whether another control already uses it.
#include "screens/controls.h"

#include "config/input.h"
#include "core/state.h"
#include "model/texts.h"
#include "res/assets.h"
#include "screens/frame.h"
#include "video/font.h"
#include "video/screen.h"

#include <array>
#include <cstdio>

namespace {

constexpr int LINE_BACK = 7;
constexpr int32_t LIST_X = CONTROLS_X;
constexpr int32_t LIST_Y = CONTROLS_Y;
constexpr int32_t LIST_HEIGHT = 96;
constexpr int32_t LINE_HEIGHT = CONTROLS_LINE_HEIGHT;
constexpr uint32_t CAPTURE_WAIT_MS = 100;

static_assert(CONTROLS_LINES == CONTROL_COUNT, "one line per control");

struct controls_state {
    int selected;
    bool capturing;
    bool leave;
};

controls_state st;

// A symbol from a hand-edited file may lie outside SDL's table.
const char* key_name(int32_t sym)
{
    if (sym < 0 || sym >= SDLK_LAST)
        return "unknown key";
    return SDL_GetKeyName(static_cast<SDLKey>(sym));
}

// Takes the key or button that arrived for the selected line; true once one
// was taken (a key wins over a button in the same frame).
bool take_capture()
{
    int index = st.selected - 1;
    if (last_key != -1)
        key_buttons[index] = last_key;
    else if (last_button != -1)
        joy_buttons[index] = last_button;
    else
        return false;
    st.capturing = false;
    return true;
}

void handle_click(int32_t clicked)
{
    if (clicked < 1 || clicked > LINE_BACK)
        return;
    if (clicked != st.selected)
        st.selected = clicked;
    else if (clicked == LINE_BACK)
        st.leave = true;
}

void handle_controls(int32_t c)
{
    if (c & CTRL_UP)
        st.selected = st.selected <= 1 ? LINE_BACK : st.selected - 1;
    if (c & CTRL_DOWN)
        st.selected = st.selected >= LINE_BACK ? 1 : st.selected + 1;
    if (c & CTRL_PAUSE)
        st.leave = true;
    if (c & CTRL_ACTION) {
        if (st.selected == LINE_BACK) {
            st.leave = true;
        } else {
            // Whatever came with ACTION is dropped; the capture takes the next one.
            last_key = -1;
            last_button = -1;
            wait_unless_quit(CAPTURE_WAIT_MS);
            st.capturing = true;
        }
    }
}

void draw()
{
    drawPic(screen, 0, 0, 320, 240, zarnmenu, 0, 0, 320, 240);
    put_text(screen, CONTROLS_TITLE_X, CONTROLS_TITLE_Y, "CONTROLS");
    for (int i = 0; i < CONTROL_COUNT; i++) {
        snprintf(tmp_string, sizeof tmp_string, CONTROL_LINE_FORMATS[i], joy_buttons[i], key_name(key_buttons[i]));
        put_text1(screen, LIST_X, LIST_Y + LINE_HEIGHT * i, tmp_string);
    }
    put_text1(screen, LIST_X, LIST_Y + LINE_HEIGHT * (LINE_BACK - 1), CONTROLS_BACK);
    put_text1(screen, CONTROLS_MARK_X, LIST_Y - 2 + LINE_HEIGHT * (st.selected - 1), ".~");
    if (st.capturing)
        put_text1(screen, CONTROLS_CAPTURE_X, CONTROLS_CAPTURE_Y, CONTROLS_CAPTURE);
}

}  // namespace

void controls()
{
    if (quit_zarn == 1)
        return;
    st = controls_state{1, false, false};
    screen_frame frame("controls");
    for (;;) {
        frame_input in = frame.read(LIST_Y, LIST_HEIGHT, LINE_HEIGHT);
        bool taken = st.capturing && take_capture();
        handle_click(in.row);
        if (!taken)
            handle_controls(in.pressed);
        if (quit_zarn == 1)
            return;
        draw();
        frame.show();
        if (st.leave)
            return;
    }
}
