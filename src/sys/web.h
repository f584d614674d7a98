// The web build's calls to its page (the build for browsers only): the page
// keeps the saved files in the browser's store, offers pictures as downloads
// and measures the game's work between sleeps.
#pragma once
#include <cstdint>

#ifdef __EMSCRIPTEN__
// Sleeps ms milliseconds, the browser drawing and taking input meanwhile.
void web_sleep(uint32_t ms);
// A file was replaced at path: the page writes its store to the browser's.
void web_file_saved(const char* path);
// A picture was written at path: the page offers it as a download.
void web_offer_file(const char* path);
// A closed tab never reaches the game's exit: save is called about once a
// second from the game's sleeps (a file whose bytes are already there is not
// written again).
void web_keep_saving(void (*save)());
#endif
