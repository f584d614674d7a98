// Frame pacing: three frames in 100 ms, 30 frames per second.
#pragma once
#include <cstdint>

extern int32_t cntFrames;      // position in the group of three, 0..2
extern uint32_t fpsCurTick;    // tick at the end of the previous frame's pacing
extern uint32_t fpsGrpTick;    // tick at the start of the current group
extern int32_t fpsSum;         // ms used against the budget, debt included
extern int32_t framesSkipped;  // consecutive frames that overran, 0..2

// Tests hook the frame boundary here: called at the end of every controlFPS.
extern void (*fps_frame_hook)();

// Starts pacing for a screen; called right before its frame loop.
void initFPS();
// Paces the frame just presented; called once per frame after GFX_Flip.
void controlFPS();
// Milliseconds the frame under way has left of its budget, debt included
// (below zero once it runs over); on the virtual clock no work takes time.
int32_t fps_ms_left();
