// The controls screen: binding keys and joystick buttons.
#pragma once

void controls();
