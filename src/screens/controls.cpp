// Placeholder: the front end replaces this file.
#include "screens/controls.h"

void controls() {}
