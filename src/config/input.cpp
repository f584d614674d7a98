// Placeholder: the input module replaces this file.
#include "config/input.h"

int32_t key_buttons[8] = {273, 274, 276, 275, 32, 13, 0, 0};
int32_t joy_buttons[8] = {-1, -1, -1, -1, 1, 0, -1, -1};
SDL_Joystick* joystick;
int32_t last_key = -1;
int32_t last_button = -1;
int32_t DEFAULT_UP_BUTTON = -1;
int32_t DEFAULT_DOWN_BUTTON = -1;
int32_t DEFAULT_LEFT_BUTTON = -1;
int32_t DEFAULT_RIGHT_BUTTON = -1;
int32_t DEFAULT_PAUSE_BUTTON = 1;
int32_t DEFAULT_ACTION_BUTTON = 0;

void resetdefault_controls() {}
void init_controls() {}
void destroy_controls() {}
int32_t check_controls(int32_t*, int32_t*, int32_t, int32_t, int32_t, int32_t* selected)
{
    if (selected)
        *selected = -1;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
    }
    return 0;
}
int32_t get_controls() { return 0; }
void input_reset() {}
