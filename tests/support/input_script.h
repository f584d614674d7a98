// Scripted input for headless play: presses go through SDL's event queue,
// held keys through the key-state array, and a script runs at every frame
// boundary (the end of controlFPS).
#pragma once
#include <SDL.h>

#include <functional>

// Queues an event of the type; a, b and c fill its fields by type: a key
// (key, modifiers), a mouse button (button, x, y), a joystick axis (axis,
// value), hat (hat, value) or button (button), the focus (gain, state);
// other types take a and b as a window size. Presses are marked pressed.
void push_event(Uint8 type, int a = 0, int b = 0, int c = 0);
// Queues a key press (key-down event) for the next event reading, with the
// modifier keys mod held.
inline void push_key(SDLKey sym, SDLMod mod = KMOD_NONE) { push_event(SDL_KEYDOWN, sym, mod); }
// Queues the window's loss of the keyboard focus.
inline void push_focus_lost() { push_event(SDL_ACTIVEEVENT, 0, SDL_APPINPUTFOCUS | SDL_APPMOUSEFOCUS); }
// Sets or clears a held key in SDL's key-state array.
void hold_key(SDLKey sym, bool down);
// Clears every held key.
void release_all_keys();
// Queues a mouse click at a display position.
inline void push_click(int x, int y, Uint8 button = SDL_BUTTON_LEFT) { push_event(SDL_MOUSEBUTTONDOWN, button, x, y); }
// Queues a window close.
inline void push_quit() { push_event(SDL_QUIT); }
// Queues a joystick button press (device 0).
inline void push_joy_button(int button) { push_event(SDL_JOYBUTTONDOWN, button); }
// Drops every queued event.
void flush_events();

// Runs fn(0) now and fn(n) at the end of frame n (n = 1, 2, ...), until
// stop_script; fn sees the frame count and may push or hold input for the
// next frame.
void start_script(std::function<void(int frame)> fn);
// Removes the frame hook; returns the number of frames that ended meanwhile.
int stop_script();
