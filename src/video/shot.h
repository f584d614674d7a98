// Screenshots: the presented frame (what the display shows, enlarged and
// filtered) saved as a PNG into the pictures folder.
#pragma once
#include <SDL.h>
#include <cstddef>
#include <cstdint>
#include <string>

extern int32_t shot_conversions;  // pictures converted for a PNG so far

// Writes the surface as an 8-bit RGB PNG into a file created fresh at path
// (never replacing a file or following a link); false, with no file left
// behind, when any step fails.
bool write_png(SDL_Surface* surface, const char* path);
// The folder screenshots go to: $XDG_PICTURES_DIR when set, else
// $HOME/Pictures when that is a folder, else the working folder ".".
std::string pictures_folder();
// Saves what the display shows as zarn-YYYYMMDD-HHMMSS.png in the pictures
// folder (zarn-YYYYMMDD-HHMMSS-2.png and on when that name is taken), puts the
// path into out and tells on the display where it went, or that it failed,
// for a second. The picture is converted once, whatever the names taken. A
// path that would not fit into out is never cut: nothing is written and the
// display says so. False when nothing was saved.
bool save_screenshot(char* out, size_t size);
