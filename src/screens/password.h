// Password entry and the cheat words.
#pragma once

void enter_pw();
