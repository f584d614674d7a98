// Replays: what the rules read in every frame of one level attempt (the
// directions held and pressed, the hint and pause keys) and the frames at
// which the level clock ticked, kept as run lengths in fixed buffers; their
// text form, a small file a person can read and send; and the check that
// plays a replay on its level and says whether it reaches what it claims.
//
// The text, words parted by white space (line breaks anywhere between them):
//   zarn-replay 1
//   version 1.10              the game that recorded it
//   level normal 3            the set (normal or classic) and the level
//   checksum 6f2a91c0         CRC-32 of the level body the attempt was played on
//   look 2 0 5 11             the picture at the start: sky row, scroll x and y, animation frame
//   result won 42 61          how it ended (won, fall or time-up), seconds left, steps
//   hint 0                    1 when a hint's arrow was shown
//   frames 1834               frames of play
//   ticks 61  0 33 33 ...     the clock's ticks: the frame of the first, then the frames between two
//   input 212  5. u 4U ...    runs: a count (none: 1), then what the frame held (U D L R), pressed
//                             (u d l r), h the hint key, p the pause menu; "." nothing
//   seal 0c1d2e3f             CRC-32 of all the above as read: a file damaged or edited by hand
//                             fails it (a forger can make it anew: what proves a claim is the play)
//   end
#pragma once
#include "model/controls.h"
#include "model/level.h"

#include <cstddef>
#include <cstdint>

// A replay holds at most so many frames: a level's clock runs at most 99
// seconds, and the game shows about 33 frames a second.
constexpr int32_t REPLAY_FRAMES_MAX = 4096;
constexpr int REPLAY_RUNS = REPLAY_FRAMES_MAX;  // every frame may differ from the one before
constexpr int REPLAY_TICKS = 128;               // the clock's ticks a replay holds
// Frames between two ticks of the clock at most: the game's pace is three
// frames in 90 ms, and a frame that ran late is made up by two quick ones. A
// replay whose clock ticks less often ran on a slowed clock.
constexpr int32_t REPLAY_TICK_GAP_MAX = 40;
// Frames a second of the stored solutions' replays, as a board shows them.
constexpr int32_t REPLAY_BOARD_FPS = 30;
constexpr size_t REPLAY_TEXT_MAX = 64 * 1024;  // the longest replay text (a file: its largest size)
constexpr int REPLAY_VERSION_BYTES = 16;       // the version text and its NUL

// A frame's input as the replay keeps it: held directions in the low four
// bits, the pressed ones in the next four, then the hint and pause keys.
constexpr uint16_t REPLAY_PRESSED_SHIFT = 4;
constexpr uint16_t REPLAY_HINT = 0x100;
constexpr uint16_t REPLAY_PAUSE = 0x200;

// The game's version as replays name it.
extern const char* const GAME_VERSION;

struct replay_run {
    uint16_t word;   // the input of each frame of the run
    uint16_t count;  // frames, at least 1
};

// The picture at the start of the attempt (nothing of it reaches the rules):
// watching starts from the same one.
struct replay_look {
    int32_t sky;               // the background row, 0..3
    int32_t scroll_x, scroll_y;  // 0..15
    int32_t anim;              // the animation frame, 0..15
};

struct replay {
    int32_t classic;     // 1 the classic set
    int32_t level;       // 1-based
    uint32_t checksum;   // level_checksum of the level's body
    char version[REPLAY_VERSION_BYTES];
    replay_look look;
    int32_t outcome;     // the claim: PLAY_WON, PLAY_FALL or PLAY_TIME_UP ...
    int32_t time_left;   // ... with so many seconds left ...
    int32_t steps;       // ... after so many steps
    int32_t hint;        // 1 when a hint's arrow was shown
    int32_t frames;      // frames of play
    int32_t run_count;
    int32_t tick_count;
    bool full;           // a recording that ran out of room: it cannot be played back
    replay_run runs[REPLAY_RUNS];
    uint16_t ticks[REPLAY_TICKS];  // the frames (from 0) at which the clock ticked
};

// Where a replay is played from, frame by frame.
struct replay_cursor {
    int32_t frame = 0, run = 0, used = 0, tick = 0;
};

// What playing a replay gave.
struct replay_result {
    int32_t outcome;    // PLAY_*; PLAY_ON when its input ran out with the level in play
    int32_t time_left;
    int32_t steps;
    int32_t frames;     // frames played
};

// Where the player's sprite stood before each frame of a replay: the start,
// then after every frame played.
struct replay_trace {
    int32_t count;
    int16_t x[REPLAY_FRAMES_MAX + 1], y[REPLAY_FRAMES_MAX + 1];
    uint8_t dir[REPLAY_FRAMES_MAX + 1];
};

// What the check of a replay says.
enum : int {
    REPLAY_MATCHES,       // it reaches exactly what it claims
    REPLAY_OTHER_LEVEL,   // the level is not the one it was played on
    REPLAY_SLOW_CLOCK,    // its clock ticks less often than the game's pace allows
    REPLAY_ENDS_EARLY,    // the attempt ended while its input goes on
    REPLAY_UNFINISHED,    // its input ran out with the level still in play
    REPLAY_DIFFERS,       // it ended as its input does, but not as claimed
};

// CRC-32 of the LEVEL_BYTES of a level body the game reads.
uint32_t level_checksum(const uint8_t* body);
// An empty replay of a level: no frame, no claim, this game's version.
void replay_start(replay& r, int classic, int level, uint32_t checksum);
// Adds a frame: the directions held (CTRL_ bits) and pressed (after a
// click's steering), the CTRL_HINT and CTRL_PAUSE bits of pressed, and
// whether the clock ticked. A replay out of room becomes full and takes no
// more.
void replay_record(replay& r, int32_t held, int32_t directions, int32_t pressed, bool tick);
// The frame_input of a replay's frame word: held, directions and the hint
// and pause bits of pressed.
frame_input replay_input(uint16_t word);
// The next frame of r into in, and the clock for it in ms (a second more at
// each tick, from 0); false after the last frame.
bool replay_next(const replay& r, replay_cursor& c, frame_input& in, uint32_t& ms);
// The seal of a replay: CRC-32 of everything it holds.
uint32_t replay_seal(const replay& r);
// Writes the text of r into out (at most size bytes); its length, or 0 when
// it does not fit.
size_t replay_write(const replay& r, char* out, size_t size);
// Reads a replay's text; false with why (a line naming where and what) when
// it is damaged: out is then undefined.
bool replay_read(const char* text, size_t len, replay& out, char* why, size_t why_size);
// Plays r on the level body (LEVEL_BYTES, decoded into scratch without any
// time bonus) through the play frame's rules: REPLAY_*, with what the play
// gave in out (when it was played) and, when given, where the sprite stood.
int replay_check(const replay& r, const uint8_t* body, level_field& scratch, replay_result& out,
                 replay_trace* trace = nullptr);
// A replay of moves ("UDLR...") on a level body, each move held from a frame
// at which the player stands until its step has begun, on a board's clock
// (the first frame ticks, then every REPLAY_BOARD_FPS frames), claiming how
// it ends. r keeps its set and level; false when it runs out of room.
bool replay_from_moves(replay& r, const uint8_t* body, level_field& scratch, const char* moves, size_t count);
// "won", "fall", "time-up", else "unfinished".
const char* replay_outcome_name(int32_t outcome);
