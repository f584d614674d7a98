// The controls screen: binding keys and joystick buttons.
#pragma once

// Runs the screen until BACK TO SETTINGS, PAUSE or a quit: ACTION on a control
// line binds the next key or button to it.
void controls();
