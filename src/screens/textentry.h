// Editing a fixed-length word on the password and name-entry screens.
#pragma once

// Backspace: removes the character left of the cursor (at 0, the one under
// it); the rest close up and the last place becomes a blank. A cursor just
// past the last place blanks the last character.
void erase_left(char* text, int len, int& cursor);
