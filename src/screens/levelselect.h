// The level select of "-debug" runs.
#pragma once

// Steps curr_map with held UP and DOWN round the set until ACTION or a quit.
void select_level();
