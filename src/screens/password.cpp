// Placeholder: the front end replaces this file.
#include "screens/password.h"

void enter_pw() {}
