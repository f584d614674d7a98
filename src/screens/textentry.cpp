#include "screens/textentry.h"

#include "config/input.h"
#include "sound/sound.h"

#include <cstring>

namespace {

int letter_index(const text_entry& e, char c)
{
    const char* at = c ? strchr(e.letters, c) : nullptr;
    return at ? static_cast<int>(at - e.letters) : 0;
}

// The letter delta places on from c, round the letters.
char step_letter(const text_entry& e, char c, int delta)
{
    int count = static_cast<int>(strlen(e.letters));
    return e.letters[(letter_index(e, c) + delta + count) % count];
}

}  // namespace

void erase_left(char* text, int len, int& cursor)
{
    if (cursor == len) {
        text[len - 1] = ' ';
        cursor = len - 1;
        return;
    }
    int from = cursor > 0 ? cursor - 1 : 0;
    memmove(text + from, text + from + 1, len - 1 - from);
    text[len - 1] = ' ';
    if (cursor > 0)
        cursor--;
}

void step_held(text_entry& e, int32_t held, bool clicked_again)
{
    bool on_char = e.cursor < e.len;
    char* c = e.text + e.cursor;
    if ((held & CTRL_UP) && on_char)
        *c = step_letter(e, *c, -1);
    else if (((held & CTRL_DOWN) || clicked_again) && on_char)
        *c = step_letter(e, *c, 1);
    else if (held & CTRL_LEFT)
        e.cursor = e.cursor > 0 ? e.cursor - 1 : 0;
    else if (held & CTRL_RIGHT)
        e.cursor = e.cursor < e.len ? e.cursor + 1 : e.len;
    else
        return;
    play_sfx(SFX_SELECT);
    e.input_pause = TEXT_INPUT_PAUSE;
}
