// The settings screen.
#pragma once

void settings();
void reset_todefault();
