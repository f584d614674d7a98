// Program entry and game flow: start-up, the outer loop between the main menu
// and a run of levels, shut-down.
#pragma once

// The whole program; zarn and zarn-fixed call it from main. Returns 0, or
// the status of "--verify FILE..." (app/verify), which opens no window.
int zarn_main(int argc, char** argv);
// The music track of a level: the pair's in-game tune, or the classic one.
int level_track(int level, int classic);
// Which tune of that track's module: the classic track holds several, taken
// in turn by pairs of levels (play_music counts round them).
int level_tune(int level, int classic);
// The outer loop between the main menu and a run of levels; returns once
// quit_zarn is 1. zarn_main runs it between start-up and shut-down.
void game_loop();

#ifdef __EMSCRIPTEN__
// The running screen's name, which the page's tests read.
extern "C" const char* page_running_screen();
#endif
