// Taking the DC offset out of a sampled sound, shared by the effect
// synthesiser and the tune compiler.
#pragma once
#include <cmath>
#include <cstddef>
#include <vector>

// Takes the mean out of a one-shot sound without a step at either end: the
// correction follows the sound's own loudness (|v| smoothed over 4 ms at rate
// samples a second).
inline void remove_dc(std::vector<double>& v, int rate)
{
    size_t w = static_cast<size_t>(rate / 250);
    std::vector<double> env(v.size());
    double acc = 0, total = 0, weight = 0;
    for (size_t i = 0; i < v.size(); i++) {
        acc += std::fabs(v[i]);
        if (i >= w)
            acc -= std::fabs(v[i - w]);
        env[i] = acc / static_cast<double>(w);
        total += v[i];
        weight += env[i];
    }
    if (weight > 0)
        for (size_t i = 0; i < v.size(); i++)
            v[i] -= env[i] * total / weight;
}
