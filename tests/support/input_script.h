// Scripted input for headless play: presses go through SDL's event queue,
// held keys through the key-state array, and a script runs at every frame
// boundary (the end of controlFPS).
#pragma once
#include <SDL.h>

#include <functional>

// Queues a key press (key-down event) for the next event reading, with the
// modifier keys mod held.
void push_key(SDLKey sym, SDLMod mod = KMOD_NONE);
// Queues the window's loss of the keyboard focus.
void push_focus_lost();
// Sets or clears a held key in SDL's key-state array.
void hold_key(SDLKey sym, bool down);
// Clears every held key.
void release_all_keys();
// Queues a mouse click at a display position.
void push_click(int x, int y, Uint8 button = SDL_BUTTON_LEFT);
// Queues a window close.
void push_quit();
// Queues a joystick button press (device 0).
void push_joy_button(int button);
// Drops every queued event.
void flush_events();

// Runs fn(0) now and fn(n) at the end of frame n (n = 1, 2, ...), until
// stop_script; fn sees the frame count and may push or hold input for the
// next frame.
void start_script(std::function<void(int frame)> fn);
// Removes the frame hook; returns the number of frames that ended meanwhile.
int stop_script();
// Frames ended since start_script.
int script_frames();
