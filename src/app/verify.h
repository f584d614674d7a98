// zarn --verify FILE...: each replay played on its level as the game's data
// holds it, without a window or sound, on the replay's own clock.
#pragma once

// Prints one line a file (the level, how it ended, the seconds left and the
// steps, and whether that is what the file claims; or why it is refused) and
// returns the exit status: 0 when every file won and reached its claim, 1
// otherwise, 2 without a file.
int verify_replays(int count, char** files);
