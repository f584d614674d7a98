// Placeholder: the front end replaces this file.
#include "screens/settings.h"

void settings() {}
void reset_todefault() {}
