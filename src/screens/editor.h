// The level editor's screen (`zarn --edit [FILE]`): the field drawn as in
// play under a bar with the title, the time limit, the palette of tiles and
// what the editor says; a cursor moved by keys, the gamepad or the mouse;
// its menu (PAUSE or Escape) reaches every action, and keys reach most of
// them at once. Test play runs the level through the real play loop and comes
// back to the field as it was.
#pragma once

// Runs the editor on the level source at path (a new level when null) until
// the player leaves it or the window is closed.
void level_editor(const char* path);
// Plays the editor's level from its start through the game's play loop and
// returns with the game's state as it was.
void editor_test_play();
