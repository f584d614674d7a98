// The level editor without its window: the level being edited (a level
// source, the file form the game's own levels are written in), the cursor and
// the tile chosen, undo and redo, and saving, which proves the level first.
// Saving runs the route search in slices (editor_step, a frame at a time);
// a level that cannot be won is not saved, and the editor says why and looks
// for one-cell changes that would make it winnable; a level the search gives
// up on is saved with a mark; a winnable one is saved with the route found
// as its solution. `zarn --check` proves files the same way.
#pragma once
#include "model/proof.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr int EDITOR_HISTORY = 128;           // steps kept for undo and redo
constexpr char EDITOR_PALETTE[] = ".o*#|-^v<>TS";  // the eleven tile kinds and the start
constexpr int EDITOR_TILES = 12;
constexpr int EDITOR_SUGGESTIONS = 3;         // changes looked for at most
// A proof may work ten times as long as a hint's search; a change looked for
// as long as a hint's. Both search in the hint's memory bound.
constexpr uint64_t EDITOR_PROOF_FACTOR = 10;
constexpr const char* EDITOR_UNPROVEN_MARK = "; unproven: the route search gave up before it found a way or proved "
                                             "there is none";

// What the editor's search is doing.
enum : int32_t { EDIT_IDLE, EDIT_CHECKING, EDIT_SUGGESTING };

struct editor_state {
    levelsrc::level_source level;    // the level as edited
    std::string path;                // its file; "" for a new level
    int32_t col, row;                // the cursor, 0-based
    int32_t tile;                    // index in EDITOR_PALETTE
    bool changed;                    // since it was opened or saved
    levelsrc::level_source history[EDITOR_HISTORY];  // earlier levels, a ring
    int32_t history_at;              // the ring's slot of the level as it is
    int32_t undo_count, redo_count;  // steps back and forward in the ring
    int32_t task;                    // EDIT_*
    std::string save_path;           // where a save in progress goes
    int32_t verdict;                 // the last proof's PROOF_* status; PROOF_RUNNING none
    std::string message;             // what the editor says, one line
    std::vector<cell_change> suggestions;  // changes that make the level winnable
    bool marked[LEVEL_ROWS][LEVEL_COLS];   // the fields no route reaches, after a proof
};

extern editor_state editor;
extern uint64_t editor_work_limit;  // units of work a proof may take: EDITOR_PROOF_FACTOR hints' worth

// A new level: every cell a hole, but a start in the middle; titled "Untitled".
void editor_new();
// Opens a level source (one without a solution too); false, with the
// reader's "FILE:LINE:COL: what" as the message, when it does not read.
bool editor_open(const std::string& path);
// Puts legend character ch at (col, row), 0-based, as an undoable step. A
// start placed elsewhere moves the start (the old one becomes a hole).
void editor_place(int32_t col, int32_t row, char ch);
// Sets the title (an empty one is refused).
void editor_set_title(const std::string& title);
// One step back or forward; false when there is none.
bool editor_undo();
bool editor_redo();
// Begins a save to path (".txt" added when it has another ending): the proof
// begins; false when the save is refused at once (no name, the game's data
// folder), the message saying why.
bool editor_save(const std::string& path);
// Works the search on for about `work` units: the proof, then the file
// written or the reason given and the changes looked for.
void editor_step(uint64_t work);
// Takes the first suggested change (an undoable step); false when none.
bool editor_take_suggestion();
// A file name for a new level in the packs folder's pack "my-levels" that
// no file has yet: level-01.txt, level-02.txt, ... ("" when the game keeps
// no files, the folder alone when 999 are taken).
std::string editor_proposed_path();
// True when path lies in the game's data folder (or below it).
bool in_data_folder(const std::string& path);
// `zarn --check FILE...`: proves each level source and prints one line each;
// returns 0 when every one is winnable, else 1.
int check_level_files(int count, char** files);
// A fresh editor: a new level, no file, the field tile chosen, the work
// limit back at its start.
void editor_reset();
