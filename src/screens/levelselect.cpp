// Placeholder: the play module replaces this file.
#include "screens/levelselect.h"

void select_level() {}
