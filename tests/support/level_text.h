// Levels for tests written as a grid of characters in the legend of the level
// sources (assets/levels), one line per row from row 1, each line from column
// 1; short lines and missing rows are holes, and any number of starts and
// teleporters is allowed:
//   '.' hole   'o' field   '*' mine   '#' solid   '|' vertical track
//   '-' horizontal track   '^' 'v' '<' '>' pushers   'T' teleporter
//   'S' start (a solid field under the player)
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// Writes the stored record of a cell (column 1..20, row 1..12) into a level body.
void set_cell(std::vector<uint8_t>& body, int col, int row, int32_t start, int32_t type, int32_t variant,
              int32_t teleport = 0);
// The level body of the grid, as the maps archive stores it.
std::vector<uint8_t> level_body(const std::string& text);
// Clears the field and loads the grid into Map and MapData, as init_maps does.
void load_level_text(const std::string& text);
// Plays moves ("UDLR...") from the start of the level in Map with the tile
// rules alone, frame by frame as the play loop steps them: the steps they
// take, or -1 when one is refused or falls or the field is not cleared.
int play_on_field(const std::string& moves);
// Makes a folder whose data/ holds the build's gfx and sfx archives and a maps
// archive of the given levels (level number, grid) and makes it the working
// directory, in which the game starts; scratch_dir() is the way back.
void enter_level_folder(const std::vector<std::pair<int, std::string>>& levels);
// Draws rows of legend characters from the top left through the editor's
// placing, '.' leaving a cell as it is.
void editor_draw(std::initializer_list<const char*> rows);
// Saves the editor's level to path with the search worked to its end, a
// frame's slice at a time: the verdict (PROOF_*).
int32_t editor_save_searched(const std::string& path);
