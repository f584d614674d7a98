// Placeholder: the play module replaces this file.
#include "core/play.h"

const char* const OUCHWords[4] = {"OUCH", "DANG", "NOOO", "MEEH"};
const char* const WELLDONEWords[4] = {"WELL DONE", "ADMIRABLE", "EXCELLENT", "SPLENDID!"};
const char* const DONEWords[4] = {"DONE", "NICE", "WHEE", "YEAH"};
const char* const EndTexts[8] = {
    "you have done it. your mission~", "is accomplished. all %d levels~",
    "are mastered and we hope it has~", "been a pleasure for you to guide~",
    "morrik and zarn on their task.~", "~", "thanks for playing zarn~", nullptr,
};

void engine() {}
void aktion(int) {}
