// The level select of "-debug".
#pragma once

void select_level();
