// The level screen: the play loop of one attempt and the message screens that
// open and close it.
#pragma once

// Modes of aktion.
enum : int {
    MSG_TIME_UP = 1,
    MSG_FALL = 3,
    MSG_LEVEL_START = 4,
    MSG_LEVEL_WON = 5,
    MSG_GAME_OVER = 6,
};

extern const char* const OUCHWords[4];     // said after a fall
extern const char* const WELLDONEWords[4]; // said after a level won without a fall
extern const char* const DONEWords[4];     // said after any other level won
extern const char* const EndTexts[8];      // the ending: seven lines and a terminating null
extern int engine_outcome;                 // how the last engine call ended: PLAY_*

// Plays one attempt at the level init_maps has loaded, from its start screen
// to the screen that closes it, and settles lives, score and level.
void engine();
// Runs the message screen of mode (MSG_*) until it is confirmed.
void aktion(int mode);
// Draws one frame of the level in play (field, top bar, player, explosions,
// the hint, the bar's texts) on screen, as the play loop does (but for the
// ghost); reads only.
void draw_play_screen();
// The tile sheet of the level in play: the classic set's, or the first or
// second half's of the normal set.
void choose_tiles();
