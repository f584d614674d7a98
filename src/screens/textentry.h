// Editing a fixed-length word on the password and name-entry screens.
#pragma once
#include <cstdint>

constexpr int TEXT_INPUT_PAUSE = 5;  // frames between two steps of a held direction

// A word being edited.
struct text_entry {
    char* text;           // len characters, edited in place
    int len;              // the word's fixed length
    const char* letters;  // the characters UP and DOWN step through, in order
    int cursor;           // 0..len-1 under a character, len past the last one
    int input_pause;      // frames left in which held directions are ignored
};

// Backspace: removes the character left of the cursor (at 0, the one under
// it); the rest close up and the last place becomes a blank. A cursor just
// past the last place blanks the last character.
void erase_left(char* text, int len, int& cursor);
// The first held direction that applies: UP the previous letter, DOWN (or a
// second click on the cursor's column) the next one, both round the letters
// (a character not among them counts as the first); LEFT and RIGHT move the
// cursor. Anything done plays the select sound and pauses held input.
void step_held(text_entry& e, int32_t held, bool clicked_again);
