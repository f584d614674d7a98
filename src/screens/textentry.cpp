#include "screens/textentry.h"

#include <cstring>

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
