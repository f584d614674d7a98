// Placeholder: the front end replaces this file.
#include "screens/credits.h"

void show_opensource() {}
