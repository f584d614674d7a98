// Listening to a tune by numbers. Fed a tune's render (22050 Hz, 16-bit
// stereo) a chunk at a time with the order each chunk ends in, the meter finds
// the intro, the pass (from the loop's start until it comes round) and every
// pattern start and seam, and measures loudness, spectrum and silences. The
// tune compiler prints these figures (modc --measure) and the sound tests
// hold the shipped tunes to the limits below, both on renders made with the
// game's renderer settings.
#pragma once
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace meter {

constexpr int RATE = 22050;
constexpr int CHUNK = 64;  // frames: pattern starts are placed this finely

struct Figures {
    double intro_s = 0, pass_s = 0, unique_s = 0;
    double rms_db = -200;             // over the first pass
    double above_2k = 0, below_120 = 0;  // shares of the pass's energy
    double range_db = 0;              // loudest against quietest 2 s of the pass
    double worst_seam_jump = 0;       // level after a seam against before it, dB
    double worst_seam_fade = 0;       // the last 0.5 s before a seam against the 2 s before that
    double worst_start_jump = 0;      // the same at the pattern starts inside the pass
    double pass_drift = 0;            // how far any later pass's level strays from the first
    double longest_silence_ms = 0;   // in the loop
    int peak = 0;                     // the largest sample
    int seams = 0;
    bool intro_in_loop = false;       // an intro pattern played again in every pass
    bool fell_out = false;            // came back to an order before the loop: the song ended
};

inline double db(double energy, double samples)
{
    return 10 * std::log10(energy / std::max(1.0, samples) / (32768.0 * 32768.0) + 1e-20);
}

// Shares of the energy above 2 kHz and below 120 Hz of the mono mix of
// frames [from, to), in Hann windows of 4096.
inline void spectrum(const std::vector<int16_t>& pcm, size_t from, size_t to, double& above_2k,
                     double& below_120)
{
    constexpr int N = 4096;
    std::vector<std::complex<double>> x(N);
    double high = 0, low = 0, total = 0;
    for (size_t at = from; at + N <= to; at += N) {
        for (int i = 0; i < N; i++) {
            double w = 0.5 - 0.5 * std::cos(2 * M_PI * i / (N - 1));
            x[size_t(i)] = w * (pcm[2 * (at + size_t(i))] + pcm[2 * (at + size_t(i)) + 1]) / 2.0;
        }
        for (int i = 1, j = 0; i < N; i++) {  // in-place radix-2 transform
            int bit = N >> 1;
            for (; j & bit; bit >>= 1)
                j ^= bit;
            j ^= bit;
            if (i < j)
                std::swap(x[size_t(i)], x[size_t(j)]);
        }
        for (int len = 2; len <= N; len <<= 1) {
            std::complex<double> step = std::polar(1.0, -2 * M_PI / len);
            for (int i = 0; i < N; i += len) {
                std::complex<double> w = 1;
                for (int k = 0; k < len / 2; k++, w *= step) {
                    std::complex<double> a = x[size_t(i + k)], b = x[size_t(i + k + len / 2)] * w;
                    x[size_t(i + k)] = a + b;
                    x[size_t(i + k + len / 2)] = a - b;
                }
            }
        }
        for (int k = 1; k < N / 2; k++) {
            double e = std::norm(x[size_t(k)]), f = double(k) * RATE / N;
            total += e;
            high += f > 2000 ? e : 0;
            low += f < 120 ? e : 0;
        }
    }
    above_2k = total > 0 ? high / total : 0;
    below_120 = total > 0 ? low / total : 0;
}

class Meter {
public:
    // `module`: the module's bytes; `loop`: the order its loop comes back to.
    Meter(const std::vector<uint8_t>& module, int loop) : m_(module), loop_(loop) {}

    // n frames (n <= CHUNK) and the order playing at their end.
    void feed(const int16_t* frames, int n, int order)
    {
        double e = 0;
        for (int i = 0; i < 2 * n; i++) {
            e += double(frames[i]) * frames[i];
            peak_ = std::max(peak_, std::abs(int(frames[i])));
        }
        if (order != last_) {
            starts_.push_back({chunks(), order});
            wraps_ += order == loop_ && last_ > loop_;
            looping_ |= order == loop_;
        }
        for (int i = 0; i < n && looping_; i++) {  // an intro may pause: it is played once
            bool quiet = std::abs(frames[2 * i]) <= 16 && std::abs(frames[2 * i + 1]) <= 16;
            run_ = quiet ? run_ + 1 : 0;
            longest_ = std::max(longest_, run_);
        }
        last_ = order;
        energy_.push_back(e);
        if (wraps_ == 0)  // the intro and the first pass, for the spectrum
            pcm_.insert(pcm_.end(), frames, frames + 2 * n);
    }

    Figures figures() const
    {
        Figures f;
        f.longest_silence_ms = longest_ * 1000.0 / RATE;
        f.peak = peak_;
        std::vector<size_t> seams;  // chunks at which the loop begins (the first time too)
        std::vector<size_t> inner;  // other pattern starts, inside passes
        bool looping = false;
        int prev = -1;
        for (auto [at, order] : starts_) {
            if (order == loop_ && (prev == -1 || prev > order || !looping)) {
                seams.push_back(at);
                looping = true;
            } else if (looping && order < loop_) {
                f.fell_out = true;
            } else if (looping) {
                inner.push_back(at);
            }
            prev = order;
        }
        if (seams.size() < 2)
            return f;
        f.seams = int(seams.size()) - 1;
        f.intro_s = seconds(seams[0]);
        f.pass_s = seconds(seams[1] - seams[0]);
        size_t a = seams[0] * CHUNK, b = std::min(seams[1] * CHUNK, pcm_.size() / 2);
        f.rms_db = level(seams[0], seams[1]);
        spectrum(pcm_, a, b, f.above_2k, f.below_120);
        double quiet = 0, loud = -200;
        for (size_t w = seams[0]; w + window(2.0) <= seams[1]; w += window(1.0)) {
            double l = level(w, w + window(2.0));
            quiet = std::min(quiet, l), loud = std::max(loud, l);
        }
        f.range_db = loud - quiet;
        for (size_t k = 1; k < seams.size(); k++) {
            size_t s = seams[k];
            if (s + window(0.5) > chunks())
                break;
            double jump = level(s, s + window(0.5)) - level(s - window(0.5), s);
            double fade = level(s - window(0.5), s) - level(s - window(2.5), s - window(0.5));
            if (std::fabs(jump) > std::fabs(f.worst_seam_jump))
                f.worst_seam_jump = jump;
            f.worst_seam_fade = std::min(f.worst_seam_fade, fade);
            if (k + 1 < seams.size())
                f.pass_drift = std::max(f.pass_drift, std::fabs(level(s, seams[k + 1]) - f.rms_db));
        }
        for (size_t s : inner)
            if (s < seams[1] && s >= window(0.5)) {
                double jump = level(s, s + window(0.5)) - level(s - window(0.5), s);
                if (std::fabs(jump) > std::fabs(f.worst_start_jump))
                    f.worst_start_jump = jump;
            }
        // Unique music: the distinct patterns of the pass (a jump aside), each once.
        std::map<std::vector<uint8_t>, double> distinct;
        std::vector<int> intro_patterns;
        for (size_t k = 0; k < starts_.size(); k++) {
            auto [at, order] = starts_[k];
            size_t end = k + 1 < starts_.size() ? starts_[k + 1].first : chunks();
            if (at < seams[0])
                intro_patterns.push_back(m_[952 + size_t(order)]);
            else if (at < seams[1])
                distinct.emplace(cells(order), seconds(end - at));
        }
        for (auto [cells, s] : distinct)
            f.unique_s += s;
        for (size_t k = 0; k < starts_.size(); k++)
            if (starts_[k].first >= seams[0] && starts_[k].first < seams[1])
                for (int p : intro_patterns)
                    f.intro_in_loop |= cells(starts_[k].second) == pattern_cells(p);
        return f;
    }

private:
    size_t chunks() const { return energy_.size(); }
    static double seconds(size_t chunks) { return double(chunks) * CHUNK / RATE; }
    static size_t window(double s) { return size_t(s * RATE / CHUNK); }
    double level(size_t from, size_t to) const
    {
        double e = 0;
        for (size_t k = from; k < to && k < chunks(); k++)
            e += energy_[k];
        return db(e, 2.0 * CHUNK * double(std::min(to, chunks()) - std::min(from, chunks())));
    }
    std::vector<uint8_t> pattern_cells(int p) const
    {
        std::vector<uint8_t> c(m_.begin() + 1084 + 1024 * p, m_.begin() + 1084 + 1024 * (p + 1));
        for (size_t i = 0; i < c.size(); i += 4)
            if ((c[i + 2] & 0x0F) == 0x0B)  // the jump back is no music of its own
                c[i + 2] &= 0xF0, c[i + 3] = 0;
        return c;
    }
    std::vector<uint8_t> cells(int order) const { return pattern_cells(m_[952 + size_t(order)]); }

    std::vector<uint8_t> m_;
    int loop_;
    int last_ = -1;
    int wraps_ = 0, peak_ = 0;
    bool looping_ = false;
    size_t run_ = 0, longest_ = 0;
    std::vector<double> energy_;
    std::vector<std::pair<size_t, int>> starts_;  // chunk, order
    std::vector<int16_t> pcm_;
};

// The loop order of tune `start`'s tune: where its last pattern jumps back
// to; -1 for a tune that ends.
inline int loop_order(const std::vector<uint8_t>& m, int start)
{
    for (int o = start; o < m[950]; o++) {
        const uint8_t* cells = &m[1084 + 1024 * size_t(m[952 + size_t(o)])];
        for (int c = 0; c < 256; c++)
            if ((cells[4 * c + 2] & 0x0F) == 0x0B && cells[4 * c + 3] <= o)
                return cells[4 * c + 3];
    }
    return -1;
}

// What a shipped tune must hold to: a game tune (under the levels) or a menu
// tune. Each fault in one line; none when the tune is right.
inline std::vector<std::string> faults(const Figures& f, bool game)
{
    std::vector<std::string> out;
    auto check = [&](bool ok, const char* what, double v) {
        if (!ok) {
            char line[160];
            snprintf(line, sizeof line, "%s (%.2f)", what, v);
            out.push_back(line);
        }
    };
    check(f.seams >= 1, "never comes round to its loop", f.seams);
    check(!f.fell_out, "ends and starts again from the top", 0);
    check(f.pass_s >= (game ? 90 : 60), "a pass shorter than its role asks, s", f.pass_s);
    check(f.unique_s >= (game ? 90 : 60), "too little music of its own before it repeats, s", f.unique_s);
    check(!f.intro_in_loop, "the intro plays again every pass", 0);
    check(std::fabs(f.worst_seam_jump) <= 3, "the level jumps at the seam, dB", f.worst_seam_jump);
    check(f.worst_seam_fade >= -3, "fades into the seam, dB", f.worst_seam_fade);
    check(f.pass_drift <= 0.5, "a later pass is louder or quieter than the first, dB", f.pass_drift);
    check(f.longest_silence_ms <= 10, "falls silent, ms", f.longest_silence_ms);
    check(f.peak > 32768 / 8 && f.peak < 32767, "nearly silent or clipping: peak", f.peak);
    check(f.above_2k >= 0.08, "dark: energy above 2 kHz", f.above_2k);
    check(f.below_120 < 0.40, "boomy: energy below 120 Hz", f.below_120);
    if (game)
        check(f.range_db >= 6, "no quiet passage against the loud ones, dB", f.range_db);
    return out;
}

}  // namespace meter
