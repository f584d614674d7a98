#include "model/replay.h"

#include "model/play.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>

#ifndef ZARN_VERSION
#define ZARN_VERSION "1.10"
#endif

const char* const GAME_VERSION = ZARN_VERSION;

namespace {

constexpr const char* MARK = "zarn-replay";
constexpr const char* FORMAT = "1";
constexpr const char* SETS[2] = {"normal", "classic"};
constexpr int32_t LEVEL_MAX = 999;
constexpr int32_t TIME_MAX = 9999;    // as zarn.rec keeps seconds
constexpr int32_t STEPS_MAX = 65535;  // and steps
constexpr int TOKEN_MAX = 32;         // no word of a replay is longer
// The letters of a run, by bit of the frame word.
constexpr char LETTERS[] = "UDLRudlrhp";
constexpr int LETTER_COUNT = sizeof LETTERS - 1;
constexpr int TICKS_A_LINE = 20, RUNS_A_LINE = 16;
constexpr char MOVES[] = "UDLR";  // a stored solution's moves, in the order of the direction bits

// The claims a replay can make, by PLAY_ number.
constexpr const char* OUTCOMES[] = {nullptr, "fall", "won", "time-up"};

uint16_t word_of(int32_t held, int32_t directions, int32_t pressed)
{
    uint16_t w = static_cast<uint16_t>((held & CTRL_DIRECTIONS) | (directions & CTRL_DIRECTIONS) << REPLAY_PRESSED_SHIFT);
    if (pressed & CTRL_HINT)
        w |= REPLAY_HINT;
    if (pressed & CTRL_PAUSE)
        w |= REPLAY_PAUSE;
    return w;
}

// The words of a text, one at a time, with the line each stands on.
struct words {
    const char* p;
    const char* end;
    char* why;
    size_t why_size;
    int line = 1;
    char word[TOKEN_MAX + 1] = {};

    // False, with why, at the end of the text or on a word too long or
    // holding a byte that is not printable.
    bool next()
    {
        at_end();
        size_t n = 0;
        while (p < end && *p != ' ' && *p != '\t' && *p != '\r' && *p != '\n') {
            if (n == TOKEN_MAX || *p < '!' || *p > '~')
                return fail(n == TOKEN_MAX ? "a word too long" : "a byte that is no text");
            word[n++] = *p++;
        }
        word[n] = 0;
        return n > 0 || fail("it ends too soon");
    }
    // Nothing but white space is left.
    bool at_end()
    {
        while (p < end && (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n'))
            line += *p++ == '\n';
        return p == end;
    }
    bool fail(const char* what)
    {
        snprintf(why, why_size, "line %d: %s", line, what);
        return false;
    }
    // The next word is key.
    bool expect(const char* key)
    {
        if (!next())
            return false;
        if (strcmp(word, key) == 0)
            return true;
        char what[TOKEN_MAX + 24];
        snprintf(what, sizeof what, "\"%s\" expected", key);
        return fail(what);
    }
    // The next word is a number from low to high.
    bool number(int32_t low, int32_t high, int32_t& out)
    {
        if (!next())
            return false;
        int64_t v = 0;
        size_t n = strlen(word);
        for (size_t i = 0; i < n; i++) {
            if (word[i] < '0' || word[i] > '9' || i >= 9)
                return fail("a number expected");
            v = v * 10 + (word[i] - '0');
        }
        if (v < low || v > high)
            return fail("a number out of its range");
        out = static_cast<int32_t>(v);
        return true;
    }
    // The next word is eight hex digits.
    bool hex(uint32_t& out)
    {
        if (!next())
            return false;
        constexpr const char* DIGITS = "0123456789abcdef";
        out = 0;
        for (int i = 0; i < 8; i++) {
            const char* at = word[i] ? strchr(DIGITS, word[i]) : nullptr;
            if (!at || (i == 7 && word[8]))
                return fail("eight hex digits expected");
            out = out << 4 | static_cast<uint32_t>(at - DIGITS);
        }
        return true;
    }
    // The next word is one of names (count of them, null ones skipped).
    bool choice(const char* const* names, int count, int32_t& out)
    {
        if (!next())
            return false;
        for (int i = 0; i < count; i++)
            if (names[i] && strcmp(word, names[i]) == 0) {
                out = i;
                return true;
            }
        return fail("an unknown word");
    }
};

// A run's word: a count (none: 1), then letters or ".".
bool read_run(words& w, replay_run& run)
{
    if (!w.next())
        return false;
    const char* c = w.word;
    int32_t count = 0;
    for (; *c >= '0' && *c <= '9'; c++)
        if ((count = count * 10 + (*c - '0')) > REPLAY_FRAMES_MAX)
            return w.fail("a run too long");
    if (c == w.word)
        count = 1;
    if (count < 1)
        return w.fail("a run of no frame");
    uint16_t word = 0;
    if (strcmp(c, ".") != 0) {
        if (!*c)
            return w.fail("a run without its input");
        for (; *c; c++) {
            const char* at = strchr(LETTERS, *c);
            uint16_t bit = at ? static_cast<uint16_t>(1u << (at - LETTERS)) : 0;
            if (!at || (word & bit))
                return w.fail("a run's input is not U D L R u d l r h p once each");
            word |= bit;
        }
    }
    run = {word, static_cast<uint16_t>(count)};
    return true;
}

// The letters of a run's word into out (at least LETTER_COUNT + 1 bytes).
void run_letters(uint16_t word, char* out)
{
    int n = 0;
    for (int b = 0; b < LETTER_COUNT; b++)
        if (word & (1u << b))
            out[n++] = LETTERS[b];
    if (n == 0)
        out[n++] = '.';
    out[n] = 0;
}

// Appends to a text of size bytes; false once it no longer fits.
struct text_out {
    char* out;
    size_t size, len = 0;
    bool fits = true;

    template <typename... Args>
    void put(const char* format, Args... args)
    {
        if (!fits)
            return;
        int n = snprintf(out + len, size - len, format, args...);
        fits = n >= 0 && static_cast<size_t>(n) < size - len;
        len += fits ? static_cast<size_t>(n) : 0;
    }
};

// True when no two ticks lie further apart than the game's pace allows, nor
// the start from the first, nor the last from the end.
bool paced(const replay& r)
{
    int32_t last = -1;
    for (int i = 0; i < r.tick_count; i++) {
        if (r.ticks[i] - last > REPLAY_TICK_GAP_MAX)
            return false;
        last = r.ticks[i];
    }
    return r.frames - 1 - last <= REPLAY_TICK_GAP_MAX;
}

// Decodes the body into scratch as the game loads a level, without a time bonus.
void load(const uint8_t* body, level_field& scratch)
{
    level_clear(scratch.ref());
    level_decode(scratch.ref(), body, LEVEL_BYTES);
    level_derive(scratch.ref(), 0);
}

void trace_at(replay_trace* trace, int32_t k, const play_state& p)
{
    if (!trace)
        return;
    trace->x[k] = static_cast<int16_t>(p.sprite_x);
    trace->y[k] = static_cast<int16_t>(p.sprite_y);
    trace->dir[k] = static_cast<uint8_t>(p.sprite_dir);
    trace->count = k + 1;
}

// Adds a number to a running CRC-32, least significant byte first.
uint32_t seal_add(uint32_t crc, uint32_t v)
{
    uint8_t bytes[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                        static_cast<uint8_t>(v >> 24)};
    return static_cast<uint32_t>(crc32(crc, bytes, sizeof bytes));
}

}  // namespace

uint32_t replay_seal(const replay& r)
{
    size_t version_len = strnlen(r.version, sizeof r.version);
    uint32_t crc = static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(r.version), uInt(version_len)));
    const int32_t head[] = {r.classic,    r.level,     static_cast<int32_t>(r.checksum), r.look.sky, r.look.scroll_x,
                            r.look.scroll_y, r.look.anim, r.outcome, r.time_left, r.steps,
                            r.hint,       r.frames,    r.tick_count, r.run_count};
    for (int32_t v : head)
        crc = seal_add(crc, static_cast<uint32_t>(v));
    for (int i = 0; i < r.tick_count; i++)
        crc = seal_add(crc, r.ticks[i]);
    for (int i = 0; i < r.run_count; i++)
        crc = seal_add(crc, static_cast<uint32_t>(r.runs[i].word) << 16 | r.runs[i].count);
    return crc;
}

uint32_t level_checksum(const uint8_t* body)
{
    return static_cast<uint32_t>(crc32(0, body, LEVEL_BYTES));
}

void replay_start(replay& r, int classic, int level, uint32_t checksum)
{
    r.classic = classic ? 1 : 0;
    r.level = level;
    r.checksum = checksum;
    snprintf(r.version, sizeof r.version, "%s", GAME_VERSION);
    r.look = {};
    r.outcome = PLAY_ON;
    r.time_left = r.steps = r.hint = 0;
    r.frames = r.run_count = r.tick_count = 0;
    r.full = false;
}

void replay_record(replay& r, int32_t held, int32_t directions, int32_t pressed, bool tick)
{
    if (r.full || r.frames >= REPLAY_FRAMES_MAX || (tick && r.tick_count >= REPLAY_TICKS)) {
        r.full = true;
        return;
    }
    uint16_t w = word_of(held, directions, pressed);
    if (r.run_count > 0 && r.runs[r.run_count - 1].word == w)
        r.runs[r.run_count - 1].count++;
    else
        r.runs[r.run_count++] = {w, 1};
    if (tick)
        r.ticks[r.tick_count++] = static_cast<uint16_t>(r.frames);
    r.frames++;
}

frame_input replay_input(uint16_t word)
{
    frame_input in;
    in.held = word & CTRL_DIRECTIONS;
    in.directions = (word >> REPLAY_PRESSED_SHIFT) & CTRL_DIRECTIONS;
    in.pressed = (word & REPLAY_HINT ? CTRL_HINT : 0) | (word & REPLAY_PAUSE ? CTRL_PAUSE : 0);
    return in;
}

bool replay_next(const replay& r, replay_cursor& c, frame_input& in, uint32_t& ms)
{
    if (c.frame >= r.frames || c.run >= r.run_count)
        return false;
    in = replay_input(r.runs[c.run].word);
    if (++c.used >= r.runs[c.run].count) {
        c.run++;
        c.used = 0;
    }
    if (c.tick < r.tick_count && r.ticks[c.tick] == c.frame)
        c.tick++;
    ms = static_cast<uint32_t>(c.tick) * 1000;
    c.frame++;
    return true;
}

size_t replay_write(const replay& r, char* out, size_t size)
{
    if (r.full || r.outcome < PLAY_FALL || r.outcome > PLAY_TIME_UP)
        return 0;
    text_out t{out, size};
    t.put("%s %s\nversion %s\nlevel %s %d\nchecksum %08x\n", MARK, FORMAT, r.version, SETS[r.classic ? 1 : 0],
          r.level, r.checksum);
    t.put("look %d %d %d %d\n", r.look.sky, r.look.scroll_x, r.look.scroll_y, r.look.anim);
    t.put("result %s %d %d\nhint %d\nframes %d\nticks %d", OUTCOMES[r.outcome], r.time_left, r.steps, r.hint,
          r.frames, r.tick_count);
    for (int i = 0; i < r.tick_count; i++)
        t.put(i % TICKS_A_LINE ? " %d" : "\n%d", r.ticks[i] - (i ? r.ticks[i - 1] : 0));
    t.put("\ninput %d", r.run_count);
    for (int i = 0; i < r.run_count; i++) {
        char letters[LETTER_COUNT + 1];
        run_letters(r.runs[i].word, letters);
        const char* sep = i % RUNS_A_LINE ? " " : "\n";
        if (r.runs[i].count == 1)
            t.put("%s%s", sep, letters);
        else
            t.put("%s%d%s", sep, r.runs[i].count, letters);
    }
    t.put("\nseal %08x\nend\n", replay_seal(r));
    return t.fits ? t.len : 0;
}

bool replay_read(const char* text, size_t len, replay& out, char* why, size_t why_size)
{
    words w{text, text + len, why, why_size};
    if (len > REPLAY_TEXT_MAX)
        return w.fail("larger than a replay can be");
    if (!w.expect(MARK) || !w.expect(FORMAT) || !w.expect("version") || !w.next())
        return false;
    if (strlen(w.word) >= sizeof out.version)
        return w.fail("a version too long");
    char version[REPLAY_VERSION_BYTES];
    snprintf(version, sizeof version, "%s", w.word);
    int32_t set = 0, level = 0;
    if (!w.expect("level") || !w.choice(SETS, 2, set) || !w.number(1, LEVEL_MAX, level))
        return false;
    uint32_t checksum = 0;
    if (!w.expect("checksum") || !w.hex(checksum))
        return false;
    replay_start(out, set, level, checksum);
    memcpy(out.version, version, sizeof version);
    replay_look& l = out.look;
    if (!w.expect("look") || !w.number(0, 3, l.sky) || !w.number(0, 15, l.scroll_x) ||
        !w.number(0, 15, l.scroll_y) || !w.number(0, 15, l.anim))
        return false;
    if (!w.expect("result") || !w.choice(OUTCOMES, 4, out.outcome) || !w.number(0, TIME_MAX, out.time_left) ||
        !w.number(0, STEPS_MAX, out.steps))
        return false;
    if (!w.expect("hint") || !w.number(0, 1, out.hint) || !w.expect("frames") ||
        !w.number(1, REPLAY_FRAMES_MAX, out.frames))
        return false;
    if (!w.expect("ticks") || !w.number(0, REPLAY_TICKS, out.tick_count))
        return false;
    for (int32_t i = 0, at = -1, gap = 0; i < out.tick_count; i++) {
        if (!w.number(i == 0 ? 0 : 1, REPLAY_FRAMES_MAX, gap))
            return false;
        at += gap + (i == 0);
        if (at >= out.frames)
            return w.fail("a tick after the last frame");
        out.ticks[i] = static_cast<uint16_t>(at);
    }
    if (!w.expect("input") || !w.number(1, REPLAY_RUNS, out.run_count))
        return false;
    int32_t frames = 0;
    for (int i = 0; i < out.run_count; i++) {
        if (!read_run(w, out.runs[i]))
            return false;
        if ((frames += out.runs[i].count) > out.frames)
            return w.fail("more input than frames");
    }
    if (frames != out.frames)
        return w.fail("less input than frames");
    uint32_t seal = 0;
    if (!w.expect("seal") || !w.hex(seal))
        return false;
    if (seal != replay_seal(out))
        return w.fail("its seal does not match: damaged or edited by hand");
    if (!w.expect("end"))
        return false;
    return w.at_end() || w.fail("more after its end");
}

int replay_check(const replay& r, const uint8_t* body, level_field& scratch, replay_result& out,
                 replay_trace* trace)
{
    out = {PLAY_ON, 0, 0, 0};
    if (level_checksum(body) != r.checksum)
        return REPLAY_OTHER_LEVEL;
    if (!paced(r))
        return REPLAY_SLOW_CLOCK;
    load(body, scratch);
    play_attempt a;
    play_begin(a, scratch.ref());
    trace_at(trace, 0, a.player);
    replay_cursor c;
    frame_input in;
    uint32_t ms = 0;
    bool early = false;
    while (replay_next(r, c, in, ms)) {
        if (a.outcome != PLAY_ON) {
            early = true;
            break;
        }
        play_frame(a, scratch.ref(), ms, in.held, in.directions);
        trace_at(trace, c.frame, a.player);
    }
    out = {a.outcome, scratch.data.time_left, a.steps, c.frame - early};
    if (early)
        return REPLAY_ENDS_EARLY;
    if (a.outcome == PLAY_ON)
        return REPLAY_UNFINISHED;
    bool as_claimed = a.outcome == r.outcome && out.time_left == r.time_left && a.steps == r.steps;
    return as_claimed ? REPLAY_MATCHES : REPLAY_DIFFERS;
}

bool replay_from_moves(replay& r, const uint8_t* body, level_field& scratch, const char* moves, size_t count)
{
    replay_start(r, r.classic, r.level, level_checksum(body));
    load(body, scratch);
    play_attempt a;
    play_begin(a, scratch.ref());
    size_t next = 0;
    int32_t ticks = 0;
    for (int32_t frame = 0; a.outcome == PLAY_ON && !r.full; frame++) {
        int32_t held = 0;
        if (next < count && a.player.move_state == 0) {
            const char* at = moves[next] ? strchr(MOVES, moves[next]) : nullptr;
            held = at ? CTRL_UP << (at - MOVES) : 0;
        }
        bool tick = frame % REPLAY_BOARD_FPS == 0;
        ticks += tick;
        replay_record(r, held, 0, 0, tick);
        int32_t steps = a.steps;
        play_frame(a, scratch.ref(), static_cast<uint32_t>(ticks) * 1000, held, 0);
        next += a.steps != steps;
    }
    r.outcome = a.outcome;
    r.time_left = scratch.data.time_left;
    r.steps = a.steps;
    return !r.full;
}

const char* replay_outcome_name(int32_t outcome)
{
    return outcome >= PLAY_FALL && outcome <= PLAY_TIME_UP ? OUTCOMES[outcome] : "unfinished";
}
