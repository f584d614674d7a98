// The frame every screen runs. A screen stays one function with its own loop
// (the level screen's play loop and its message screens among them); the
// pieces of its frame come from here:
//
//   screen_frame frame("pause");      // pacing starts; "pause" is the running screen
//   for (;;) {
//       frame_input in = frame.read();   // this frame's presses, held controls, clicks
//       if (quit_zarn == 1)              // a closed window: the reading set it
//           return;
//       ... update, draw ...
//       frame.show();                    // presents the frame and waits for the next
//   }
//
// A screen opened inside another (the pause menu inside play) names itself
// until it returns. Tests ask running_screen() which screen a frame belongs to.
#pragma once
#include "model/controls.h"

#include <cstdint>

constexpr int SCREEN_DEPTH = 8;  // screens open inside each other at most

// The frame of a running screen; made where the screen's loop begins.
struct screen_frame {
    explicit screen_frame(const char* name);
    ~screen_frame();
    screen_frame(const screen_frame&) = delete;
    screen_frame& operator=(const screen_frame&) = delete;

    // Reads the frame's input (read_frame_input): a closed window sets
    // quit_zarn and CTRL_QUIT. With line_height above 0, a click selects a
    // row of the list of list_height pixels from list_top.
    frame_input read(int32_t list_top = 0, int32_t list_height = 0, int32_t line_height = 0);
    // Presents the back surface and paces the frame.
    void show();
    // Starts the pacing anew (after another screen ran its frames).
    void pace_anew();
};

// The name of the innermost running screen, "" when none runs.
const char* running_screen();
