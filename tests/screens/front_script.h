// Plays a front-end screen from a script of inputs, one step per frame
// boundary, on the virtual clock of a booted headless game.
//
// Script: a plain character presses its key (letters as lower case);
// [E] Return, [S] space, [B] Backspace, [X] Delete, [Q] a window close;
// [^v<>] presses of the arrows, all in one frame; [5] five idle frames;
// [@31000] waits until 31 s of virtual time have passed since the start;
// {v} holds an arrow for one frame and lets the 5-frame input pause pass,
// {v25} holds it for 25 frames, {v!} holds it one frame with no pause after;
// (x,y) clicks at a point of the 320 x 240 frame.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

struct front_result {
    int frames;       // frames the screen ran
    uint32_t ms;      // virtual time it took
    bool timed_out;   // still running `grace` frames after the script: ended by quit_zarn
};

// Runs screen() with the script; frame n + 1 reads what step n pushed, the
// first step is pushed before frame 1. after_frame, if given, runs at the
// end of every frame.
front_result front_play(const std::function<void()>& screen, const std::string& script,
                   const std::function<void()>& after_frame = nullptr, int grace = 200);

// Boots the game before each test and brings it down after it.
class front_screen : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};
