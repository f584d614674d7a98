// The main menu.
#pragma once

// Runs the menu until an entry leaves it (RUN ZARN, CONTINUE) or the program
// is to end; PASSWORD and SETTINGS run their screens and come back.
void menu();
// Sets curr_map to the level whose password is last_pw (none: unchanged).
void check_lastpw();
