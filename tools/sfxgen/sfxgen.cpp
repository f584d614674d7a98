// sfxgen: synthesises the game's sound effects as WAV files.
//
//   sfxgen OUTDIR      writes alarm.wav ... walk.wav into OUTDIR
//
// Every effect is a few lines of oscillators, noise and envelopes below; the
// output is 22050 Hz, 16-bit mono. Noise comes from a fixed-seed generator, so
// the same source always gives the same bytes.
#include "dc.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int RATE = 22050;
constexpr double PI = 3.14159265358979323846;

using Buffer = std::vector<double>;
enum class Wave { Sine, Square, Triangle, Saw };

// A small deterministic noise source (xorshift32).
struct Noise {
    uint32_t state;
    explicit Noise(uint32_t seed) : state(seed) {}
    double next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return (state / 4294967295.0) * 2.0 - 1.0;
    }
};

// A square of any duty is kept zero-mean (the short half reaches full
// level), so a narrow pulse carries no DC offset.
double wave_at(Wave w, double phase, double duty = 0.5)
{
    double p = phase - std::floor(phase);
    switch (w) {
    case Wave::Sine: return std::sin(2 * PI * p);
    case Wave::Square: {
        double high = 1 - duty, low = -duty;
        return (p < duty ? high : low) / std::max(high, duty);
    }
    case Wave::Triangle: return p < 0.5 ? 4 * p - 1 : 3 - 4 * p;
    case Wave::Saw: return 2 * p - 1;
    }
    return 0;
}

int samples(double seconds) { return static_cast<int>(seconds * RATE + 0.5); }

void grow(Buffer& b, size_t n)
{
    if (b.size() < n)
        b.resize(n, 0.0);
}

// Attack-decay envelope: linear rise over `attack`, then exponential fall
// reaching about -60 dB at the end of `len` seconds (shape > 1 falls faster).
double env_ad(double t, double len, double attack, double shape = 1.0)
{
    if (t < attack)
        return t / attack;
    double x = (t - attack) / std::max(1e-6, len - attack);
    return std::exp(-6.9 * shape * x);
}

// Adds a tone gliding exponentially from f0 to f1 over len seconds.
void tone(Buffer& b, double start, double len, Wave w, double f0, double f1, double amp,
          double attack = 0.005, double shape = 1.0, double duty = 0.5)
{
    int s0 = samples(start), n = samples(len);
    grow(b, static_cast<size_t>(s0 + n));
    double phase = 0;
    for (int i = 0; i < n; i++) {
        double t = static_cast<double>(i) / RATE;
        double f = f0 * std::pow(f1 / f0, t / len);
        b[static_cast<size_t>(s0 + i)] += amp * env_ad(t, len, attack, shape) * wave_at(w, phase, duty);
        phase += f / RATE;
    }
}

// Adds noise through a one-pole low-pass whose cutoff glides from c0 to c1 Hz.
void noise(Buffer& b, double start, double len, double c0, double c1, double amp, uint32_t seed,
           double attack = 0.002, double shape = 1.0)
{
    Noise rng(seed);
    int s0 = samples(start), n = samples(len);
    grow(b, static_cast<size_t>(s0 + n));
    double y = 0;
    for (int i = 0; i < n; i++) {
        double t = static_cast<double>(i) / RATE;
        double c = c0 * std::pow(c1 / c0, t / len);
        double a = 1.0 - std::exp(-2 * PI * c / RATE);
        y += a * (rng.next() - y);
        b[static_cast<size_t>(s0 + i)] += amp * env_ad(t, len, attack, shape) * y;
    }
}

// Removes the DC offset, scales the buffer to the given peak and fades the
// last few milliseconds.
void finish(Buffer& b, double peak)
{
    remove_dc(b, RATE);
    double m = 0;
    for (double v : b)
        m = std::max(m, std::fabs(v));
    double g = m > 0 ? peak / m : 0;
    int fade = std::min<int>(samples(0.004), static_cast<int>(b.size()));
    for (size_t i = 0; i < b.size(); i++) {
        b[i] *= g;
        size_t left = b.size() - i;
        if (left <= static_cast<size_t>(fade))
            b[i] *= static_cast<double>(left - 1) / fade;
    }
}

double note_hz(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// ---- the effects -----------------------------------------------------------

Buffer alarm()  // urgent two-tone siren, 0.6 s, dying away over its last tone
{
    Buffer b;
    for (int i = 0; i < 6; i++) {
        double f = (i % 2) ? 660 : 880;
        double shape = i == 5 ? 1.0 : 0.15;  // the last tone falls to silence
        tone(b, i * 0.1, 0.1, Wave::Square, f, f, 0.5, 0.003, shape, 0.35);
        tone(b, i * 0.1, 0.1, Wave::Sine, f * 2, f * 2, 0.15, 0.003, std::max(0.3, shape));
    }
    return b;
}

Buffer beep1()  // countdown tick
{
    Buffer b;
    tone(b, 0, 0.09, Wave::Square, 1320, 1320, 0.5, 0.002, 1.2, 0.5);
    tone(b, 0, 0.09, Wave::Sine, 2640, 2640, 0.2, 0.002, 1.5);
    return b;
}

Buffer beep3()  // push: a springy rising blip
{
    Buffer b;
    tone(b, 0, 0.14, Wave::Square, 220, 880, 0.5, 0.003, 1.0, 0.25);
    tone(b, 0, 0.14, Wave::Triangle, 110, 440, 0.4, 0.003, 0.8);
    return b;
}

Buffer beep4()  // teleport shimmer: rising arpeggio with tremolo
{
    Buffer b;
    const int notes[] = {72, 76, 79, 84, 88, 91, 96};
    for (int i = 0; i < 7; i++) {
        double f = note_hz(notes[i]);
        tone(b, i * 0.05, 0.3, Wave::Sine, f, f * 1.01, 0.35, 0.01, 1.0);
        tone(b, i * 0.05, 0.3, Wave::Triangle, f * 1.5, f * 1.5, 0.1, 0.01, 1.4);
    }
    for (size_t i = 0; i < b.size(); i++)
        b[i] *= 0.75 + 0.25 * std::sin(2 * PI * 18.0 * static_cast<double>(i) / RATE);
    return b;
}

Buffer explode()  // mine: noise burst with a falling pitch
{
    Buffer b;
    noise(b, 0, 0.65, 6000, 300, 0.9, 0x1234567u, 0.002, 1.0);
    tone(b, 0, 0.5, Wave::Sine, 220, 45, 0.7, 0.002, 1.0);
    tone(b, 0, 0.25, Wave::Square, 330, 80, 0.15, 0.002, 1.5, 0.5);
    return b;
}

Buffer explode2()  // the fall: a bigger, lower boom
{
    Buffer b;
    noise(b, 0, 1.4, 2500, 90, 1.0, 0x2468ACEu, 0.004, 0.9);
    noise(b, 0.05, 1.1, 800, 60, 0.6, 0x13579BDu, 0.02, 0.8);
    tone(b, 0, 1.2, Wave::Sine, 110, 28, 0.9, 0.004, 0.8);
    tone(b, 0, 0.6, Wave::Triangle, 160, 40, 0.3, 0.004, 1.0);
    return b;
}

Buffer level_over_die()  // a short falling phrase
{
    Buffer b;
    const int notes[] = {67, 64, 60, 55};
    const double lens[] = {0.16, 0.16, 0.16, 0.5};
    double t = 0;
    for (int i = 0; i < 4; i++) {
        double f = note_hz(notes[i]);
        tone(b, t, lens[i] + 0.05, Wave::Square, f, i == 3 ? f * 0.94 : f, 0.35, 0.005, 0.8, 0.5);
        tone(b, t, lens[i] + 0.05, Wave::Triangle, f / 2, f / 2, 0.35, 0.005, 0.8);
        t += lens[i];
    }
    return b;
}

Buffer level_over_win()  // a short rising fanfare
{
    Buffer b;
    const int notes[] = {60, 64, 67, 72, 67, 72};
    const double lens[] = {0.11, 0.11, 0.11, 0.22, 0.11, 0.6};
    double t = 0;
    for (int i = 0; i < 6; i++) {
        double f = note_hz(notes[i]);
        tone(b, t, lens[i] + 0.04, Wave::Square, f, f, 0.3, 0.004, 0.7, 0.25);
        tone(b, t, lens[i] + 0.04, Wave::Square, f * 1.5, f * 1.5, 0.12, 0.004, 0.7, 0.5);
        t += lens[i];
    }
    tone(b, 0.55, 0.65, Wave::Triangle, note_hz(48), note_hz(48), 0.4, 0.01, 0.6);
    return b;
}

Buffer pause_fx()  // two quick rising notes
{
    Buffer b;
    tone(b, 0, 0.09, Wave::Square, note_hz(76), note_hz(76), 0.4, 0.003, 0.8, 0.5);
    tone(b, 0.09, 0.14, Wave::Square, note_hz(83), note_hz(83), 0.4, 0.003, 0.8, 0.5);
    return b;
}

Buffer select_fx()  // short UI blip
{
    Buffer b;
    tone(b, 0, 0.05, Wave::Square, 1000, 1500, 0.5, 0.002, 1.0, 0.25);
    return b;
}

Buffer walk()  // a soft, dull tick
{
    Buffer b;
    tone(b, 0, 0.045, Wave::Sine, 420, 260, 0.7, 0.001, 1.3);
    noise(b, 0, 0.02, 2500, 1200, 0.25, 0x5EED5u, 0.0005, 1.5);
    return b;
}

struct Effect {
    const char* name;
    std::function<Buffer()> make;
    double peak;  // fraction of full scale; sets the balance between effects
};

// Quiet, frequent sounds sit lower than rare, big ones.
const Effect effects[] = {
    {"alarm", alarm, 0.32},
    {"beep1", beep1, 0.40},
    {"beep3", beep3, 0.40},
    {"beep4", beep4, 0.45},
    {"explode", explode, 0.65},
    {"explode2", explode2, 0.70},
    {"level_over_die", level_over_die, 0.50},
    {"level_over_win", level_over_win, 0.50},
    {"pause", pause_fx, 0.32},
    {"select", select_fx, 0.30},
    {"walk", walk, 0.22},
};

void put16(std::string& s, uint32_t v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& s, uint32_t v)
{
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

bool write_wav(const std::string& path, const Buffer& b)
{
    std::string s = "RIFF";
    uint32_t data_bytes = static_cast<uint32_t>(b.size() * 2);
    put32(s, 36 + data_bytes);
    s += "WAVEfmt ";
    put32(s, 16);
    put16(s, 1);  // PCM
    put16(s, 1);  // mono
    put32(s, RATE);
    put32(s, RATE * 2);
    put16(s, 2);
    put16(s, 16);
    s += "data";
    put32(s, data_bytes);
    for (double v : b) {
        long q = std::lround(std::max(-1.0, std::min(1.0, v)) * 32767.0);
        put16(s, static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(q))));
    }
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(s.data(), 1, s.size(), f) == s.size();
    return fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: sfxgen OUTDIR\n");
        return 2;
    }
    for (const Effect& e : effects) {
        Buffer b = e.make();
        finish(b, e.peak);
        std::string path = std::string(argv[1]) + "/" + e.name + ".wav";
        if (!write_wav(path, b)) {
            fprintf(stderr, "sfxgen: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
