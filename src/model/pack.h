// Level packs: a folder of level sources (NAME.txt each) that a player made
// or was given, with an optional pack.txt:
//
//   ; a comment
//   title: Tricky Bridges
//   author: Someone
//   order: first.txt second.txt third.txt
//
// `order` names the level files in playing order (several order lines run
// on); the files it does not name follow in name order. A level that does not
// read (a damaged file, or one the order names that is not there) stays in
// its place, marked broken with the reader's message, and the others play.
// The reader takes the folder's files as handed to it (the game reads the
// folder, a fuzz target or a test hands files of its own).
#pragma once
#include "model/levelsrc.h"

#include <cstddef>
#include <string>
#include <vector>

constexpr int PACK_LEVELS = 64;            // levels a pack holds at most (as many as a set has records)
constexpr size_t PACK_FILE_MOST = 65536;   // bytes of a level file or pack.txt at most
constexpr const char* PACK_INFO = "pack.txt";

// A file of a pack's folder: its plain name and its bytes.
struct pack_file {
    std::string name;
    std::string text;
    bool too_large = false;  // longer than PACK_FILE_MOST: not read
};

// A level of a pack.
struct pack_level {
    std::string file;             // its file name in the folder
    bool broken = false;          // does not read: `error` says why
    std::string error;            // "FILE:LINE:COL: what", or "FILE: what"
    levelsrc::level_source src;   // the level, when it reads
};

struct level_pack {
    std::string name;                // the folder's name
    std::string title, author;       // from pack.txt; the title is the name without one
    std::vector<pack_level> levels;  // in playing order, PACK_LEVELS at most
    std::vector<std::string> notes;  // what pack.txt or the folder got wrong, one line each
};

// True for a name a pack's file or folder may have: not empty, no '/', not
// starting with '.', at most 128 bytes, printable ASCII.
bool pack_plain_name(const std::string& name);
// Reads a pack from the files of its folder.
void pack_read(level_pack& out, const std::string& name, const std::vector<pack_file>& files);
// The number of levels of the pack that read.
int pack_playable(const level_pack& p);
