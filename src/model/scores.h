// The formats of the two score files and the rules that keep their tables,
// each acting on the table handed to it (the game's are in core/records and
// core/highscores, which read and write the files).
//
// zarn.hi is 66 bytes: six little-endian int32 scores, place 1 first, then
// six name slots of seven bytes (six characters and a NUL).
//
// zarn.rec is 1028 bytes: the four letters "ZRC1", then for levels 1..64 of
// the normal set and then levels 1..64 of the classic set two little-endian
// int32 each: the most seconds left at a win (0..9999) and the fewest steps
// (1..65535; 0 with 0 seconds: the level has no record yet). A step is a move
// the player started; the pushes of a pusher and a teleporter's jump are not
// steps. A file of another size, another mark or a value out of range is
// damaged.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int HIGHSCORE_PLACES = 6;       // places in the table
constexpr int HIGHSCORE_NAME_BYTES = 7;   // a name slot: six characters and a NUL
constexpr int HIGHSCORE_FILE_BYTES = 66;  // the size of zarn.hi

constexpr int RECORD_LEVELS = 64;         // levels of a set that can hold a record
constexpr int RECORDS_FILE_BYTES = 1028;  // the size of zarn.rec

using highscore_names = char[HIGHSCORE_PLACES][HIGHSCORE_NAME_BYTES];

// The record of one level; steps 0: none yet.
struct level_record {
    int32_t time_left;  // most seconds left at a win
    int32_t steps;      // fewest steps of a win
};

using record_table = level_record[2][RECORD_LEVELS];  // [classic][level - 1]

// The 66 bytes of zarn.hi for the table.
void highscores_encode(const int32_t* scores, const highscore_names& names, uint8_t* out);
// The table from the 66 bytes of zarn.hi; a name slot without its NUL is cut
// at six characters.
void highscores_decode(const uint8_t* in, int32_t* scores, highscore_names& names);
// Puts score into the table below equal ones, pushing the last place out, and
// returns its place 1..6 (its name slot keeps the name that was there), or 0
// when it does not beat place 6.
int32_t highscores_insert(int32_t* scores, highscore_names& names, int32_t score);

// The 1028 bytes of zarn.rec for the records.
void records_encode(const record_table& table, uint8_t* out);
// Decodes a whole file of len bytes into out; false when it is damaged (out
// is then undefined).
bool records_decode(const uint8_t* in, size_t len, record_table& out);
// Notes a win with time_left seconds left in steps steps: keeps the more
// seconds and the fewer steps. Returns 0 when the record stays, 1 when the
// level had none (the first win only sets it) and 2 when a record was beaten;
// steps outside 1..65535 are no win and change nothing.
int record_note(level_record& r, int32_t time_left, int32_t steps);
