// The credits roll.
#pragma once

void show_opensource();
