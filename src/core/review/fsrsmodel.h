// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The FSRS-6 formulas written once for any number type, so that the scheduler (plain doubles)
// and the fit (numbers that carry their derivatives) can never disagree. See fsrs.h.
#include <algorithm>
#include <cmath>

namespace fsrs::model {

using std::exp;
using std::log;
using std::pow;

inline double value(double x) {
    return x;
}

template <typename T> T clampTo(const T& x, double low, double high) {
    if (value(x) < low)
        return T(low);
    if (value(x) > high)
        return T(high);
    return x;
}

template <typename T> T lesser(const T& a, const T& b) {
    return value(a) <= value(b) ? a : b;
}

// f = 0.9^(-1 / w20) - 1, so that R(S, S) = 0.9.
template <typename T, typename W> T factor(const W& w) {
    return exp(log(0.9) * (-1.0 / w[20])) - 1.0;
}

template <typename T, typename W> T retrievability(double elapsedDays, const T& s, const W& w) {
    return exp(log(1.0 + factor<T>(w) * std::max(0.0, elapsedDays) / s) * (-1.0 * w[20]));
}

template <typename T, typename W> T initialDifficulty(int g, const W& w) {
    return w[4] - exp(w[5] * double(g - 1)) + 1.0;
}

template <typename T, typename W> T initialStability(int g, const W& w) {
    return clampTo(T(w[size_t(g - 1)]), 0.001, 36500.0);
}

template <typename T, typename W> T nextDifficulty(const T& d, int g, const W& w) {
    // Moves by the grade, less the nearer it is to 10, and reverts a little towards the
    // difficulty of a first "easy".
    const T moved = d - w[6] * double(g - 3) * (10.0 - d) / 9.0;
    return clampTo(T(w[7] * initialDifficulty<T>(4, w) + (1.0 - w[7]) * moved), 1.0, 10.0);
}

// The stability after an answer on the same day as the last one.
template <typename T, typename W> T shortTermStability(const T& s, int g, const W& w) {
    T increase = exp(w[17] * (double(g - 3) + w[18])) * exp(log(s) * (-1.0 * w[19]));
    if (g >= 3 && value(increase) < 1.0)
        increase = T(1.0);
    return clampTo(T(s * increase), 0.001, 36500.0);
}

// The stability after an answer elapsedDays (> 0) after the last one, at retrievability r.
template <typename T, typename W>
T longTermStability(const T& s, const T& d, const T& r, int g, const W& w) {
    if (g == 1) {
        const T lapse = w[11] * exp(log(d) * (-1.0 * w[12])) * (exp(log(s + 1.0) * w[13]) - 1.0) *
                        exp(w[14] * (1.0 - r));
        return clampTo(lesser(lapse, T(s / exp(w[17] * w[18]))), 0.001, 36500.0);
    }
    T bonus = exp(w[8]) * (11.0 - d) * exp(log(s) * (-1.0 * w[9])) * (exp(w[10] * (1.0 - r)) - 1.0);
    if (g == 2)
        bonus = bonus * w[15];
    else if (g == 4)
        bonus = bonus * w[16];
    return clampTo(T(s * (1.0 + bonus)), 0.001, 36500.0);
}

} // namespace fsrs::model
