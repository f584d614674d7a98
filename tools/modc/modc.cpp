// modc: compiles a tune written in the game's score format into a 4-channel
// ProTracker module, and renders modules to WAV files for listening.
//
//   modc SCORE OUT.mod        compile
//   modc --wav IN.mod OUT.wav render at 22050 Hz, 16-bit stereo, each tune
//                             of the module twice through
//   modc --info IN.mod        print the length in milliseconds
//   modc --measure game|menu IN.mod...
//                             render each tune for 25 minutes as the game
//                             does and print its figures and faults (see
//                             meter.h); exits 1 when a tune has a fault
//
// Score format (one directive per line; '#' after a blank starts a comment):
//
//   title "NAME"                      song title (20 characters kept)
//   speed 6 / tempo 125               start speed and tempo (put on the first row)
//   inst NAME TYPE key=value...       a synthesised sample, numbered in order:
//       square, pulse, saw, triangle, sine, organ, fm: single-cycle waves with
//         cycle= samples (32: C-2 sounds near middle C; 64 an octave lower),
//         duty=, decay= seconds, sustain= level 0..1, loop=0 (fade out), pwm=,
//         detune= cycles of a slow beat; fm: index=, ratio=
//       kick, snare, clap, hat, ohat, crash, tom, block: drums, len= seconds,
//         pitch= factor, tone= Hz, drop= Hz, noise=, bright=, seed=
//       all: vol=0..64, note= the note it plays as a bare token (C-3)
//   phrase NAME: tokens...            a reusable run of tokens
//   gain G                            scales every instrument's volume (the
//                                     loudness of the tune against the others)
//   pattern NAME [rows=N] [like=P+N]  starts a pattern (64 rows unless N);
//                                     like= starts it as a copy of pattern P,
//                                     its notes (not drums) N semitones up or
//                                     down; the lines that follow replace
//                                     their channels
//   CH INST [step=S] [shift=R]: tokens...
//                                     one channel (1..4) of the pattern above;
//                                     INST is the default instrument or '-';
//                                     shift starts it R rows late, wrapping
//   order NAME NAME | NAME ...        the play order (may repeat, may span
//                                     lines); an endless tune loops from the
//                                     '|' (or from its start) for ever
//   endless                           the tune loops: its last pattern jumps
//                                     back (Bxx) to its loop
//   tune                              another tune in the same module, with
//                                     speed, tempo and order of its own (the
//                                     game picks one by number); endless only
//
// Tokens, each lasting S rows (S = step of the line):
//   C-2 C#3 ...   note (octaves 1..3) with the line's instrument
//   NAME          an instrument played at its own fixed note (drums)
//   .             nothing new;  -  cut the note (volume 0)
//   $NAME[+N|-N]  a phrase, transposed by N semitones
//   [ ... ]xN     the tokens in brackets N times
// Suffixes: *N lasts N steps; @INST other instrument; :xy arpeggio;
//   !N volume 0..64; ~xy vibrato; /Exx any effect (three hex digits).
//   Arpeggio and vibrato hold for the whole length of their token.
// A line shorter than the pattern repeats until it fills it exactly.
#include "dc.h"
#include "meter.h"
#include "sound/module.h"

#include <libmodplug/modplug.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr int ROWS = 64;
constexpr int MAX_SAMPLES = 31;

const int PERIODS[36] = {
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
    428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113,
};

struct Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Cell {
    int sample = 0;
    int note = -1;  // 0..35, -1 none
    int effect = 0;
    int param = 0;
    bool has_effect = false;
};

struct Instrument {
    int number = 0;
    int note = 24;  // fixed note when used as a token (C-3)
    std::vector<int8_t> data;
    int volume = 48;
    int loop_start = 0;  // bytes
    int loop_len = 0;    // bytes, 0 = no loop
    bool drum = false;   // played at its fixed note: never transposed
};

struct Pattern {
    int rows = ROWS;
    Cell cells[ROWS][4];
};

// One tune of a module: its start speed and tempo, its order and where its
// loop begins in it.
struct Tune {
    int speed = 6, tempo = 125;
    std::vector<std::string> order;
    int loop = 0;
};

struct Song {
    std::string title;
    std::map<std::string, Instrument> inst;
    std::vector<std::string> inst_order;
    std::map<std::string, std::vector<std::string>> phrases;
    std::map<std::string, Pattern> patterns;
    std::vector<Tune> tunes = std::vector<Tune>(1);
    bool endless = false;
    double gain = 1;  // scales every instrument's volume
};

// ---- instruments -----------------------------------------------------------

// A tiny deterministic noise source.
struct Noise {
    uint32_t s;
    double next()
    {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        return s / 2147483647.5 - 1.0;
    }
};

double param(const std::map<std::string, std::string>& kv, const std::string& k, double def)
{
    auto it = kv.find(k);
    return it == kv.end() ? def : std::stod(it->second);
}

// One period of a waveform at phase p (whole periods are 1); `mod` is the
// frequency-modulation index of the fm type.
double osc(const std::string& type, double p, double duty, double mod = 0, int ratio = 2)
{
    p -= std::floor(p);
    if (type == "square" || type == "pulse")
        return p < duty ? 1 : -1;
    if (type == "saw")
        return 1 - 2 * p;
    if (type == "triangle")
        return p < 0.5 ? 4 * p - 1 : 3 - 4 * p;
    if (type == "sine")
        return std::sin(2 * PI * p);
    if (type == "organ")
        return 0.6 * std::sin(2 * PI * p) + 0.3 * std::sin(4 * PI * p) + 0.2 * std::sin(6 * PI * p);
    if (type == "fm")
        return std::sin(2 * PI * p + mod * std::sin(2 * PI * ratio * p));
    throw Error("unknown instrument type " + type);
}

// Rounds to 8 bits carrying each rounding error into the next sample, so
// that a run of samples adds up to within one step of its exact sum: a
// zero-mean wave stays free of a DC offset.
void quantise(const std::vector<double>& v, std::vector<int8_t>& out)
{
    double carry = 0;
    for (double x : v) {
        double want = std::max(-1.0, std::min(1.0, x)) * 127 + carry;
        long q = std::max(-127L, std::min(127L, std::lround(want)));
        carry = want - static_cast<double>(q);
        out.push_back(static_cast<int8_t>(q));
    }
}

// Tonal instruments: single-cycle waves of `cycle` samples. The sample holds
// `decay` seconds (heard at C-2) of whole cycles falling from full level to
// `sustain`, then the cycles at the sustain level that loop; with loop=0 it
// falls to silence and ends. detune=K adds a second voice that runs K+1
// cycles while the first runs K (a slow beat; the loop then spans K cycles).
// Every cycle is made zero-mean and scaled to full range, so a pulse carries
// no DC offset into the mix.
void make_tonal(Instrument& in, const std::string& type, const std::map<std::string, std::string>& kv)
{
    int cycle = static_cast<int>(param(kv, "cycle", 32));
    double duty = param(kv, "duty", type == "pulse" ? 0.25 : 0.5);
    double decay = param(kv, "decay", 0);
    double sustain = param(kv, "sustain", 1);
    bool loop = param(kv, "loop", 1) != 0;
    double sweep = param(kv, "pwm", 0);  // duty change per second of decay
    int detune = static_cast<int>(param(kv, "detune", 1));
    double index = param(kv, "index", 1.5);
    int ratio = static_cast<int>(param(kv, "ratio", 2));
    if (cycle < 2 || cycle % 2)
        throw Error("cycle must be even");
    if (detune < 1 || detune > 16)
        throw Error("detune must be 1..16");
    int cycles = static_cast<int>(decay * 8287.0 / cycle);
    int tail = loop ? detune : 1;
    std::vector<double> v(2, 0.0);
    std::vector<double> one(static_cast<size_t>(cycle));
    for (int c = 0; c < cycles + tail; c++) {
        double x = cycles ? std::min(1.0, static_cast<double>(c) / cycles) : 1;
        double level = loop ? sustain + (1 - sustain) * std::exp(-4 * x) * (1 - x)
                            : std::exp(-5 * x) * (1 - x);
        if (c >= cycles)
            level = loop ? sustain : 0;
        double d = std::min(0.95, std::max(0.05, duty + sweep * x * decay));
        double mod = index * (0.35 + 0.65 * std::exp(-3 * x));
        // The shape of one voice fixes the scale of both.
        double mean = 0, peak = 0;
        for (int i = 0; i < cycle; i++)
            mean += osc(type, static_cast<double>(i) / cycle, d, mod, ratio) / cycle;
        for (int i = 0; i < cycle; i++)
            peak = std::max(peak, std::fabs(osc(type, static_cast<double>(i) / cycle, d, mod, ratio) - mean));
        double sum = 0;
        for (int i = 0; i < cycle; i++) {
            double p = static_cast<double>(c * cycle + i) / cycle;
            double w = osc(type, p, d, mod, ratio) - mean;
            if (detune > 1)
                w = 0.5 * (w + osc(type, p * (detune + 1) / detune, d, mod, ratio) - mean);
            one[static_cast<size_t>(i)] = w / peak;
            sum += w / peak;
        }
        for (double w : one)
            v.push_back(level * (w - sum / cycle));
    }
    quantise(v, in.data);
    if (loop) {
        in.loop_len = cycle * detune;
        in.loop_start = static_cast<int>(in.data.size()) - in.loop_len;
    }
}

// Drums, made at the rate of C-3 (16574 samples per second), no loop:
//   kick: a sine falling from tone+drop Hz to tone Hz, with a click of noise
//   snare, clap: filtered noise over a falling body tone (clap: in bursts)
//   hat, ohat, crash: metallic squares and bright noise (short to long)
//   tom, block: a pitched body (block: short and woody)
// pitch= scales every frequency, noise= the amount of noise (0..1 or more),
// bright= how much of the noise's low end is taken out (0..1), seed= the
// noise; len= the length in seconds.
void make_drum(Instrument& in, const std::string& type, const std::map<std::string, std::string>& kv)
{
    const double rate = 3546894.6 / 214;
    static const std::map<std::string, double> lens = {
        {"kick", 0.3}, {"snare", 0.22}, {"clap", 0.25}, {"hat", 0.06}, {"ohat", 0.3},
        {"crash", 0.9}, {"tom", 0.3}, {"block", 0.08}};
    auto known = lens.find(type);
    if (known == lens.end())
        throw Error("unknown instrument type " + type);
    double len = param(kv, "len", known->second);
    double pitch = param(kv, "pitch", 1);
    double noise = param(kv, "noise", type == "kick" ? 0.15 : type == "tom" || type == "block" ? 0.05 : 1);
    double bright = param(kv, "bright", type == "snare" || type == "clap" ? 0.2 : 0.7);
    double tone = param(kv, "tone", type == "kick" ? 45 : type == "snare" ? 190 : type == "tom" ? 90
                                  : type == "block" ? 900 : 0);
    double drop = param(kv, "drop", type == "kick" ? 140 : type == "tom" ? 80 : 0);
    Noise rng{static_cast<uint32_t>(param(kv, "seed", 0x9E3779B9u))};
    int n = static_cast<int>(len * rate) & ~1;
    std::vector<double> v(2, 0.0);
    double phase = 0, lp = 0, prev = 0;
    double metal[6] = {0, 0, 0, 0, 0, 0};
    static const double ratios[6] = {1.0, 1.34, 1.71, 2.13, 2.62, 3.17};
    for (int i = 0; i < n; i++) {
        double t = i / rate, x = t / len, out = 0;
        double wn = rng.next();
        // Noise coloured from dull (low-passed) to bright (high-passed).
        lp += 0.5 * (wn - lp);
        double hp = wn - prev;
        prev = wn;
        double coloured = (1 - bright) * lp + bright * 0.7 * hp;
        if (type == "kick") {
            phase += pitch * (tone + drop * std::exp(-t * 28)) / rate;
            out = std::sin(2 * PI * phase) * std::exp(-x * 4) + noise * wn * std::exp(-t * 200);
        } else if (type == "snare" || type == "clap") {
            phase += pitch * (tone - 60 * x) / rate;
            double bursts = 1;
            if (type == "clap") {
                double b = std::fmod(t, 0.011);
                bursts = t < 0.033 ? std::exp(-b * 300) : std::exp(-(t - 0.033) * 12);
            }
            out = noise * 0.8 * coloured * std::exp(-x * 5) * bursts +
                  (type == "snare" ? 0.5 * std::sin(2 * PI * phase) * std::exp(-x * 10) : 0);
        } else if (type == "hat" || type == "ohat" || type == "crash") {
            double m = 0;
            for (int k = 0; k < 6; k++) {
                metal[k] += pitch * 1900 * ratios[k] / rate;
                m += metal[k] - std::floor(metal[k]) < 0.5 ? 1 : -1;
            }
            double shape = type == "hat" ? 6 : type == "ohat" ? 4 : 3;
            double ring = type == "crash" ? 0.35 : 0.15;
            out = (noise * 0.7 * coloured + ring * m / 6) * std::exp(-x * shape);
        } else {  // tom, block
            phase += pitch * (tone + drop * std::exp(-t * 15)) / rate;
            out = std::sin(2 * PI * phase) * std::exp(-x * (type == "block" ? 8 : 4)) +
                  noise * wn * std::exp(-t * 300);
        }
        v.push_back(out * (1 - x));
    }
    remove_dc(v, static_cast<int>(rate));
    quantise(v, in.data);
}

int parse_note(const std::string& s, size_t& i);

void add_instrument(Song& song, std::istringstream& in)
{
    std::string name, type, kvs;
    in >> name >> type;
    static const std::set<std::string> keys = {"vol", "note", "cycle", "duty", "decay", "sustain", "loop",
                                               "pwm", "detune", "index", "ratio", "len", "pitch",
                                               "seed", "noise", "bright", "tone", "drop"};
    std::map<std::string, std::string> kv;
    while (in >> kvs) {
        size_t eq = kvs.find('=');
        if (eq == std::string::npos || !keys.count(kvs.substr(0, eq)))
            throw Error("unknown instrument key: " + kvs);
        kv[kvs.substr(0, eq)] = kvs.substr(eq + 1);
    }
    if (song.inst.count(name))
        throw Error("instrument defined twice: " + name);
    if (song.inst_order.size() >= MAX_SAMPLES)
        throw Error("more than 31 instruments");
    Instrument ins;
    ins.number = static_cast<int>(song.inst_order.size()) + 1;
    ins.volume = static_cast<int>(param(kv, "vol", 48));
    if (kv.count("note")) {
        size_t i = 0;
        ins.note = parse_note(kv["note"], i);
    }
    static const std::set<std::string> drums = {"kick", "snare", "clap", "hat", "ohat", "crash", "tom", "block"};
    ins.drum = drums.count(type) > 0;
    if (ins.drum)
        make_drum(ins, type, kv);
    else
        make_tonal(ins, type, kv);
    if (ins.data.size() % 2)
        ins.data.push_back(0);
    if (ins.data.size() > 131070)
        throw Error("sample too long: " + name);
    song.inst[name] = ins;
    song.inst_order.push_back(name);
}

// ---- tokens ----------------------------------------------------------------

// Note at s[i..]: "C-2", "C#2"; returns 0..35 and advances i, or -1.
int parse_note(const std::string& s, size_t& i)
{
    static const int base[7] = {9, 11, 0, 2, 4, 5, 7};  // A..G
    if (i + 3 > s.size() || s[i] < 'A' || s[i] > 'G')
        return -1;
    char acc = s[i + 1], oct = s[i + 2];
    if ((acc != '-' && acc != '#') || oct < '1' || oct > '3')
        return -1;
    int n = base[s[i] - 'A'] + (acc == '#') + 12 * (oct - '1');
    if (n > 35)
        return -1;
    i += 3;
    return n;
}

int hex(const std::string& s, size_t& i, int digits)
{
    if (i + digits > s.size())
        throw Error("expected " + std::to_string(digits) + " hex digits in " + s);
    int v = std::stoi(s.substr(i, digits), nullptr, 16);
    i += digits;
    return v;
}

int number(const std::string& s, size_t& i)
{
    size_t j = i;
    while (j < s.size() && isdigit(static_cast<unsigned char>(s[j])))
        j++;
    if (j == i)
        throw Error("expected a number in " + s);
    int v = std::stoi(s.substr(i, j - i));
    i = j;
    return v;
}

struct Event {
    Cell cell;
    int steps = 1;
};

// Splits a token line; '[' and ']xN' stand alone.
std::vector<std::string> split(const std::string& text)
{
    std::vector<std::string> out;
    std::string cur;
    auto flush = [&] {
        if (!cur.empty())
            out.push_back(cur);
        cur.clear();
    };
    for (size_t i = 0; i < text.size(); i++) {
        char c = text[i];
        if (isspace(static_cast<unsigned char>(c))) {
            flush();
        } else if (c == '[') {
            flush();
            out.push_back("[");
        } else if (c == ']') {
            flush();
            cur = "]";
        } else {
            cur += c;
        }
    }
    flush();
    return out;
}

struct Expander {
    const Song& song;
    const Instrument* line_inst;
    int depth = 0;

    Event token(const std::string& t, int transpose)
    {
        Event e;
        size_t i = 0;
        if (t[0] == '.') {
            i = 1;
        } else if (t[0] == '-') {
            e.cell.effect = 0xC, e.cell.param = 0, e.cell.has_effect = true;
            i = 1;
        } else {
            int n = parse_note(t, i);
            const Instrument* ins = line_inst;
            if (n < 0) {
                size_t j = 0;
                while (j < t.size() && (isalnum(static_cast<unsigned char>(t[j])) || t[j] == '_'))
                    j++;
                auto it = song.inst.find(t.substr(0, j));
                if (it == song.inst.end())
                    throw Error("unknown token " + t);
                ins = &it->second;
                n = ins->note;
                i = j;
            } else {
                n += transpose;
            }
            if (n < 0 || n > 35)
                throw Error("note out of range after transposing: " + t);
            e.cell.note = n;
            if (i < t.size() && t[i] == '@') {
                size_t j = ++i;
                while (j < t.size() && (isalnum(static_cast<unsigned char>(t[j])) || t[j] == '_'))
                    j++;
                auto it = song.inst.find(t.substr(i, j - i));
                if (it == song.inst.end())
                    throw Error("unknown instrument in " + t);
                ins = &it->second;
                i = j;
            }
            if (!ins)
                throw Error("note without instrument: " + t);
            e.cell.sample = ins->number;
        }
        while (i < t.size()) {
            char c = t[i++];
            if (c == '*') {
                e.steps = number(t, i);
                continue;
            }
            if (e.cell.has_effect)
                throw Error("two effects in " + t);
            e.cell.has_effect = true;
            if (c == ':')
                e.cell.effect = 0, e.cell.param = hex(t, i, 2);
            else if (c == '~')
                e.cell.effect = 4, e.cell.param = hex(t, i, 2);
            else if (c == '!')
                e.cell.effect = 0xC, e.cell.param = std::min(64, number(t, i));
            else if (c == '/')
                e.cell.effect = hex(t, i, 1), e.cell.param = hex(t, i, 2);
            else
                throw Error("bad suffix in " + t);
        }
        return e;
    }

    void expand(const std::vector<std::string>& toks, size_t& i, int transpose, std::vector<Event>& out,
                bool inner)
    {
        if (++depth > 32)
            throw Error("phrases nested too deeply");
        while (i < toks.size()) {
            const std::string& t = toks[i++];
            if (t == "[") {
                std::vector<Event> body;
                expand(toks, i, transpose, body, true);
                const std::string& close = toks[i - 1];
                int times = 1;
                if (close.size() > 2 && close[1] == 'x') {
                    size_t k = 2;
                    times = number(close, k);
                }
                for (int r = 0; r < times; r++)
                    out.insert(out.end(), body.begin(), body.end());
            } else if (t[0] == ']') {
                if (!inner)
                    throw Error("unmatched ]");
                --depth;
                return;
            } else if (t[0] == '$') {
                size_t k = 1;
                while (k < t.size() && t[k] != '+' && t[k] != '-')
                    k++;
                auto it = song.phrases.find(t.substr(1, k - 1));
                if (it == song.phrases.end())
                    throw Error("unknown phrase " + t);
                int tr = 0;
                if (k < t.size()) {
                    size_t m = k + 1;
                    tr = number(t, m) * (t[k] == '-' ? -1 : 1);
                }
                size_t j = 0;
                expand(it->second, j, transpose + tr, out, false);
            } else {
                out.push_back(token(t, transpose));
            }
        }
        if (inner)
            throw Error("missing ]");
        --depth;
    }
};

void add_line(Song& song, Pattern& pat, const std::string& line)
{
    size_t colon = line.find(':');
    if (colon == std::string::npos)
        throw Error("channel line without ':'");
    std::istringstream head(line.substr(0, colon));
    int ch = 0;
    std::string inst, opt;
    head >> ch >> inst;
    if (ch < 1 || ch > 4)
        throw Error("channel must be 1..4");
    int step = 1, shift = 0;
    while (head >> opt) {
        if (opt.rfind("step=", 0) == 0)
            step = std::stoi(opt.substr(5));
        else if (opt.rfind("shift=", 0) == 0)
            shift = std::stoi(opt.substr(6));
        else
            throw Error("unknown option " + opt);
    }
    if (step < 1 || shift < 0 || shift >= pat.rows)
        throw Error("step must be 1 or more, shift 0..rows-1");
    const Instrument* ins = nullptr;
    if (inst != "-") {
        auto it = song.inst.find(inst);
        if (it == song.inst.end())
            throw Error("unknown instrument " + inst);
        ins = &it->second;
    }
    Expander ex{song, ins};
    std::vector<Event> events;
    size_t i = 0;
    ex.expand(split(line.substr(colon + 1)), i, 0, events, false);
    int total = 0;
    for (const Event& e : events)
        total += e.steps * step;
    if (total == 0 || pat.rows % total)
        throw Error("channel " + std::to_string(ch) + " lasts " + std::to_string(total) +
                    " rows, which does not divide the pattern's " + std::to_string(pat.rows));
    // Arpeggio and vibrato last as long as their token: the effect goes on
    // every row it covers.
    // A shifted line starts `shift` rows late and wraps round (an echo).
    int row = 0;
    auto at = [&](int r) -> Cell& { return pat.cells[(r + shift) % pat.rows][ch - 1]; };
    while (row < pat.rows) {
        for (const Event& e : events) {
            at(row) = e.cell;
            bool held = e.cell.has_effect && (e.cell.effect == 0 || e.cell.effect == 4);
            for (int r = 1; held && r < e.steps * step; r++) {
                Cell& c = at(row + r);
                c.effect = e.cell.effect, c.param = e.cell.param, c.has_effect = true;
            }
            row += e.steps * step;
        }
    }
}

// A copy of pattern NAME, its tonal notes transposed by N ("NAME+N",
// "NAME-N"); drums keep their fixed notes.
Pattern variant(const Song& song, const std::string& spec)
{
    size_t k = spec.find_first_of("+-");
    auto it = song.patterns.find(spec.substr(0, k));
    if (it == song.patterns.end())
        throw Error("unknown pattern " + spec);
    int by = 0;
    if (k != std::string::npos) {
        size_t i = k + 1;
        by = number(spec, i) * (spec[k] == '-' ? -1 : 1);
    }
    std::set<int> drums;
    for (const auto& [name, in] : song.inst)
        if (in.drum)
            drums.insert(in.number);
    Pattern p = it->second;
    for (auto& row : p.cells)
        for (Cell& c : row)
            if (c.note >= 0 && !drums.count(c.sample)) {
                c.note += by;
                if (c.note < 0 || c.note > 35)
                    throw Error("note out of range after transposing " + spec);
            }
    return p;
}

// Puts an effect on the first free channel of a row.
void place_effect(Pattern& pat, int row, int effect, int param, const std::string& why)
{
    for (int ch = 3; ch >= 0; ch--) {
        Cell& c = pat.cells[row][ch];
        if (!c.has_effect) {
            c.effect = effect, c.param = param, c.has_effect = true;
            return;
        }
    }
    throw Error("no free effect column for " + why);
}

// A '#' at the start of a line or after a blank starts a comment (C#2 is a note).
std::string strip_comment(const std::string& raw)
{
    for (size_t i = 0; i < raw.size(); i++)
        if (raw[i] == '#' && (i == 0 || isspace(static_cast<unsigned char>(raw[i - 1]))))
            return raw.substr(0, i);
    return raw;
}

Song parse(std::istream& in)
{
    Song song;
    std::string raw, current;
    int lineno = 0;
    try {
        while (std::getline(in, raw)) {
            lineno++;
            std::string line = strip_comment(raw);
            std::istringstream ls(line);
            std::string word;
            if (!(ls >> word))
                continue;
            if (word == "title") {
                size_t a = line.find('"'), b = line.rfind('"');
                if (a == std::string::npos || b == a)
                    throw Error("title needs quotes");
                song.title = line.substr(a + 1, b - a - 1);
            } else if (word == "endless") {
                song.endless = true;
            } else if (word == "speed") {
                ls >> song.tunes.back().speed;
            } else if (word == "tempo") {
                ls >> song.tunes.back().tempo;
            } else if (word == "gain") {
                ls >> song.gain;
            } else if (word == "tune") {
                song.tunes.emplace_back();
            } else if (word == "inst") {
                add_instrument(song, ls);
            } else if (word == "phrase") {
                size_t colon = line.find(':');
                std::string name;
                std::istringstream hs(line.substr(0, colon));
                hs >> word >> name;
                if (colon == std::string::npos || name.empty())
                    throw Error("phrase NAME: tokens");
                song.phrases[name] = split(line.substr(colon + 1));
            } else if (word == "pattern") {
                ls >> current;
                Pattern pat;
                std::string opt;
                while (ls >> opt) {
                    if (opt.rfind("like=", 0) == 0) {
                        pat = variant(song, opt.substr(5));
                        continue;
                    }
                    if (opt.rfind("rows=", 0) != 0)
                        throw Error("unknown option " + opt);
                    pat.rows = std::stoi(opt.substr(5));
                    if (pat.rows < 1 || pat.rows > ROWS)
                        throw Error("rows must be 1..64");
                }
                if (song.patterns.count(current))
                    throw Error("pattern defined twice: " + current);
                song.patterns[current] = pat;
            } else if (isdigit(static_cast<unsigned char>(word[0]))) {
                if (current.empty())
                    throw Error("channel line outside a pattern");
                add_line(song, song.patterns[current], line);
            } else if (word == "order") {
                Tune& t = song.tunes.back();
                while (ls >> word) {
                    if (word == "|") {
                        t.loop = static_cast<int>(t.order.size());
                        continue;
                    }
                    if (!song.patterns.count(word))
                        throw Error("unknown pattern in order: " + word);
                    t.order.push_back(word);
                }
            } else {
                throw Error("unknown directive " + word);
            }
        }
    } catch (const std::exception& e) {
        throw Error("line " + std::to_string(lineno) + ": " + e.what());
    }
    size_t orders = 0;
    for (const Tune& t : song.tunes) {
        if (t.order.empty() || t.loop >= static_cast<int>(t.order.size()))
            throw Error("a tune without an order, or with its loop after its end");
        orders += t.order.size();
    }
    if (orders > 128)
        throw Error("the order needs 1..128 entries");
    if (song.tunes.size() > 1 && !song.endless)
        throw Error("only endless tunes share a module");
    return song;
}

// ---- module writing --------------------------------------------------------

void put16(std::string& s, int v)
{
    s += static_cast<char>((v >> 8) & 0xFF);
    s += static_cast<char>(v & 0xFF);
}

std::string build(Song song)
{
    // The tunes follow each other in the order table.
    std::vector<std::string> order;
    std::vector<int> starts;
    for (const Tune& t : song.tunes) {
        starts.push_back(static_cast<int>(order.size()));
        order.insert(order.end(), t.order.begin(), t.order.end());
    }
    auto uses = [&](const std::string& n) { return std::count(order.begin(), order.end(), n); };
    // Patterns are numbered in order of first use; short ones end with a break.
    std::map<std::string, int> number;
    std::vector<std::string> used;
    auto add = [&](const std::string& n) {
        if (!number.count(n)) {
            number[n] = static_cast<int>(used.size());
            used.push_back(n);
        }
    };
    for (const std::string& n : order)
        add(n);
    for (const std::string& n : used) {
        Pattern& p = song.patterns[n];
        if (p.rows < ROWS)
            place_effect(p, p.rows - 1, 0xD, 0, "the break of pattern " + n);
    }
    // Each tune sets its speed and tempo on its first row.
    for (size_t k = 0; k < song.tunes.size(); k++) {
        const Tune& t = song.tunes[k];
        const std::string& n = t.order[0];
        if (std::count(t.order.begin(), t.order.end(), n) != uses(n))
            throw Error("the first pattern of a tune belongs to it alone: " + n);
        if (t.tempo != 125 || song.endless)
            place_effect(song.patterns[n], 0, 0xF, t.tempo, "the tempo");
        if (t.speed != 6 || song.endless)
            place_effect(song.patterns[n], 0, 0xF, t.speed, "the speed");
    }
    // An endless tune's last row jumps back to its loop, so that libmodplug
    // (told to follow jumps back, as the game tells it for a tune that loops)
    // plays it for ever without reaching the end of the song, where it would
    // fade it out. The last pattern gets a copy of its own when it is played
    // elsewhere too.
    if (song.endless)
        for (size_t k = 0; k < song.tunes.size(); k++) {
            size_t last = static_cast<size_t>(starts[k]) + song.tunes[k].order.size() - 1;
            std::string n = order[last];
            if (uses(n) > 1) {
                std::string copy = n + "|" + std::to_string(k);
                song.patterns[copy] = song.patterns[n];
                order[last] = n = copy;
                add(n);
            }
            Pattern& p = song.patterns[n];
            place_effect(p, p.rows - 1, 0xB, starts[k] + song.tunes[k].loop, "the jump back of pattern " + n);
        }
    if (used.size() > 64)
        throw Error("more than 64 patterns");

    std::string m(song.title.substr(0, 20));
    m.resize(20, '\0');
    for (int s = 0; s < MAX_SAMPLES; s++) {
        std::string name(22, '\0');
        if (s < static_cast<int>(song.inst_order.size())) {
            const Instrument& in = song.inst.at(song.inst_order[s]);
            name.replace(0, std::min<size_t>(22, song.inst_order[s].size()), song.inst_order[s].substr(0, 22));
            m += name;
            put16(m, static_cast<int>(in.data.size() / 2));
            m += '\0';
            m += static_cast<char>(std::min(64, std::max(0, static_cast<int>(std::lround(in.volume * song.gain)))));
            put16(m, in.loop_len ? in.loop_start / 2 : 0);
            put16(m, in.loop_len ? in.loop_len / 2 : 1);
        } else {
            m += name;
            put16(m, 0);
            m += '\0';
            m += '\0';
            put16(m, 0);
            put16(m, 1);
        }
    }
    m += static_cast<char>(order.size());
    m += '\0';
    for (int i = 0; i < 128; i++)
        m += static_cast<char>(i < static_cast<int>(order.size()) ? number[order[static_cast<size_t>(i)]] : 0);
    m += "M.K.";
    for (const std::string& n : used) {
        const Pattern& p = song.patterns[n];
        for (int r = 0; r < ROWS; r++)
            for (int ch = 0; ch < 4; ch++) {
                const Cell& c = p.cells[r][ch];
                int period = c.note >= 0 ? PERIODS[c.note] : 0;
                m += static_cast<char>((c.sample & 0xF0) | (period >> 8));
                m += static_cast<char>(period & 0xFF);
                m += static_cast<char>(((c.sample & 0x0F) << 4) | (c.effect & 0x0F));
                m += static_cast<char>(c.param & 0xFF);
            }
    }
    for (const std::string& n : song.inst_order) {
        const Instrument& in = song.inst.at(n);
        m.append(reinterpret_cast<const char*>(in.data.data()), in.data.size());
    }
    return m;
}

// ---- checking and rendering ------------------------------------------------

std::string read_file(const char* path)
{
    std::ifstream f(path, std::ios::binary);
    if (!f)
        throw Error(std::string("cannot read ") + path);
    std::ostringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

void write_file(const char* path, const std::string& data)
{
    std::ofstream f(path, std::ios::binary);
    f.write(data.data(), static_cast<std::streamsize>(data.size()));
    if (!f)
        throw Error(std::string("cannot write ") + path);
}

// Loads a module with the game's renderer settings; `loops` as the game's
// play_music takes it (-1: for ever, following the jumps back).
ModPlugFile* load_module(const std::string& bytes, int loops = -1)
{
    ModPlug_Settings s;
    ModPlug_GetSettings(&s);
    s.mFlags = MODPLUG_ENABLE_OVERSAMPLING | MODPLUG_ENABLE_NOISE_REDUCTION;
    s.mChannels = 2;
    s.mBits = 16;
    s.mFrequency = 22050;
    s.mResamplingMode = MODPLUG_RESAMPLE_LINEAR;
    s.mLoopCount = loops < 0 ? -1 : 0;
    ModPlug_SetSettings(&s);
    ModPlugFile* f = ModPlug_Load(bytes.data(), static_cast<int>(bytes.size()));
    if (!f)
        throw Error("libmodplug cannot load the module");
    return f;
}

std::vector<uint8_t> as_bytes(const std::string& s)
{
    return std::vector<uint8_t>(s.begin(), s.end());
}

// Renders tune `tune` of a module from its start, a chunk of meter::CHUNK
// frames at a time, handing each chunk and the order at its end to `take`
// until it returns false or the tune ends.
template <class Take>
void render_tune(const std::string& bytes, int tune, Take take)
{
    ModPlugFile* f = load_module(bytes);
    int start = module_tune_start(reinterpret_cast<const uint8_t*>(bytes.data()), tune);
    if (start > 0)
        ModPlug_SeekOrder(f, start);
    int16_t buf[2 * meter::CHUNK];
    int n;
    while ((n = ModPlug_Read(f, buf, sizeof buf)) > 0 && take(buf, n / 4, ModPlug_GetCurrentOrder(f)))
        ;
    ModPlug_Unload(f);
}

// Renders each tune of a module twice through (a tune that ends, once) to hear
// its loop, one after the other.
void render_wav(const char* in, const char* out)
{
    std::string bytes = read_file(in), pcm;
    const uint8_t* m = reinterpret_cast<const uint8_t*>(bytes.data());
    for (int t = 0; t < module_tunes(m); t++) {
        int loop = meter::loop_order(as_bytes(bytes), module_tune_start(m, t)), wraps = 0, last = -1;
        render_tune(bytes, t, [&](const int16_t* frames, int n, int order) {
            wraps += loop >= 0 && order == loop && last > loop;
            last = order;
            pcm.append(reinterpret_cast<const char*>(frames), 4 * static_cast<size_t>(n));
            return wraps < 2;
        });
    }
    std::string w = "RIFF";
    auto le32 = [&w](uint32_t v) {
        for (int i = 0; i < 4; i++)
            w += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    auto le16 = [&w](uint32_t v) {
        w += static_cast<char>(v & 0xFF);
        w += static_cast<char>((v >> 8) & 0xFF);
    };
    le32(static_cast<uint32_t>(36 + pcm.size()));
    w += "WAVEfmt ";
    le32(16), le16(1), le16(2), le32(22050), le32(22050 * 4), le16(4), le16(16);
    w += "data";
    le32(static_cast<uint32_t>(pcm.size()));
    write_file(out, w + pcm);
}

// Renders every tune of the modules for 25 minutes and prints its figures,
// then the faults against a game tune's limits (role "game") or a menu
// tune's; returns the number of faulty tunes.
int measure(const std::string& role, int count, char** paths)
{
    int faulty = 0;
    printf("%-22s %6s %6s %6s %7s %6s %6s %6s %6s %6s %6s\n", "tune", "intro", "pass", "unique", "rms dB",
           ">2kHz", "<120Hz", "range", "seam", "fade", "starts");
    for (int i = 0; i < count; i++) {
        std::string bytes = read_file(paths[i]);
        const uint8_t* m = reinterpret_cast<const uint8_t*>(bytes.data());
        for (int t = 0; t < module_tunes(m); t++) {
            int loop = meter::loop_order(as_bytes(bytes), module_tune_start(m, t));
            if (loop < 0) {
                ModPlugFile* f = load_module(bytes, 0);
                printf("%-22s plays once, %.1f s\n", paths[i], ModPlug_GetLength(f) / 1000.0);
                ModPlug_Unload(f);
                continue;
            }
            meter::Meter mt(as_bytes(bytes), loop);
            long frames = 0;
            render_tune(bytes, t, [&](const int16_t* chunk, int n, int order) {
                mt.feed(chunk, n, order);
                return (frames += n) < 25L * 60 * meter::RATE;
            });
            meter::Figures f = mt.figures();
            std::string name = std::string(paths[i]).substr(std::string(paths[i]).rfind('/') + 1);
            if (module_tunes(m) > 1)
                name += " #" + std::to_string(t + 1);
            printf("%-22s %6.1f %6.1f %6.1f %7.2f %5.1f%% %5.1f%% %6.1f %6.1f %6.1f %6.1f\n", name.c_str(), f.intro_s,
                   f.pass_s, f.unique_s, f.rms_db, 100 * f.above_2k, 100 * f.below_120, f.range_db,
                   f.worst_seam_jump, f.worst_seam_fade, f.worst_start_jump);
            std::vector<std::string> bad = meter::faults(f, role == "game");
            for (const std::string& b : bad)
                printf("    %s\n", b.c_str());
            faulty += !bad.empty();
        }
    }
    return faulty;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        if (argc >= 4 && std::string(argv[1]) == "--measure") {
            return measure(argv[2], argc - 3, argv + 3) ? 1 : 0;
        } else if (argc == 4 && std::string(argv[1]) == "--wav") {
            render_wav(argv[2], argv[3]);
        } else if (argc == 3 && std::string(argv[1]) == "--info") {
            ModPlugFile* f = load_module(read_file(argv[2]), 0);
            printf("%s: %d ms\n", argv[2], ModPlug_GetLength(f));
            ModPlug_Unload(f);
        } else if (argc == 3) {
            std::ifstream in(argv[1]);
            if (!in)
                throw Error(std::string("cannot read ") + argv[1]);
            write_file(argv[2], build(parse(in)));
        } else {
            fprintf(stderr, "usage: modc SCORE OUT.mod | modc --wav IN.mod OUT.wav | modc --info IN.mod |\n"
                            "       modc --measure game|menu IN.mod...\n");
            return 2;
        }
    } catch (const std::exception& e) {
        fprintf(stderr, "modc: %s: %s\n", argc > 2 ? argv[argc - 2] : "", e.what());
        return 1;
    }
    return 0;
}
