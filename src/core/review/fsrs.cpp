// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/review/fsrs.h"

#include "core/review/fsrsmodel.h"

#include <algorithm>
#include <cmath>

namespace fsrs {

namespace {

double clampDifficulty(double d) {
    return std::clamp(d, 1.0, 10.0);
}

double clampStability(double s) {
    return std::clamp(s, MinimumStability, double(MaximumIntervalDays));
}

// The state file keeps the memory in thousandths; keeping it so in memory too means a state read
// back and a state replayed from the log always give the same days.
double thousandths(double x) {
    return std::round(x * 1000) / 1000;
}

double factor(const Parameters& w) {
    return std::pow(0.9, -1.0 / w[20]) - 1.0;
}

// The ease SM-2 gives a word of difficulty d: 2.5 for the middle of the scale, 1.3 for the top.
constexpr double EaseAtFive = 2500, EasePerDifficulty = 240;

} // namespace

const Parameters& defaults() {
    static const Parameters w = {0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194,
                                 0.001,  1.8722, 0.1666, 0.796,  1.4835, 0.0614, 0.2629,
                                 1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542};
    return w;
}

const Parameters& lowerBounds() {
    static const Parameters w = {0.001, 0.001, 0.001, 0.001, 1.0,   0.001, 0.001,
                                 0.001, 0.0,   0.0,   0.001, 0.001, 0.001, 0.001,
                                 0.0,   0.0,   1.0,   0.0,   0.0,   0.0,   0.1};
    return w;
}

const Parameters& upperBounds() {
    static const Parameters w = {100.0, 100.0, 100.0, 100.0, 10.0, 4.0, 4.0, 0.75, 4.5, 0.8, 3.5,
                                 5.0,   0.25,  0.9,   4.0,   1.0,  6.0, 2.0, 2.0,  0.8, 0.8};
    return w;
}

double retrievability(double elapsedDays, double stability, const Parameters& w) {
    return model::retrievability(elapsedDays, stability, w);
}

int intervalDays(double stability, double retention, const Parameters& w) {
    const double t = stability / factor(w) * (std::pow(retention, -1.0 / w[20]) - 1.0);
    return int(std::clamp(std::round(t), 1.0, double(MaximumIntervalDays)));
}

Memory first(Grade grade, const Parameters& w) {
    const int g = int(grade);
    return {model::initialStability<double>(g, w),
            model::clampTo(model::initialDifficulty<double>(g, w), 1.0, 10.0)};
}

Memory next(Memory m, Grade grade, int elapsedDays, const Parameters& w) {
    const int g = int(grade);
    const double difficulty = model::nextDifficulty(m.difficulty, g, w);
    if (elapsedDays <= 0)
        return {model::shortTermStability(m.stability, g, w), difficulty};
    const double r = model::retrievability(elapsedDays, m.stability, w);
    return {model::longTermStability(m.stability, m.difficulty, r, g, w), difficulty};
}

Schedule answer(Schedule s, Grade grade, int elapsedDays, QDate today, const Parameters& w,
                double retention) {
    const Memory m = s.stability > 0 ? next({s.stability, s.difficulty}, grade, elapsedDays, w)
                                     : first(grade, w);
    s.stability = std::max(MinimumStability, thousandths(m.stability));
    s.difficulty = thousandths(m.difficulty);
    if (grade == Grade::Again) {
        if (s.repetitions > 0)
            ++s.lapses;
        s.repetitions = 0;
    } else if (elapsedDays > 0 || s.repetitions == 0) {
        ++s.repetitions;
    }
    s.intervalDays = intervalDays(s.stability, retention, w);
    s.due = today.addDays(s.intervalDays);
    return s;
}

Schedule fromSm2(Schedule s, QDate lastDay, const Parameters& w, double retention) {
    if (!s.due.isValid() || s.intervalDays <= 0)
        return s;
    s.stability = clampStability(s.intervalDays);
    s.difficulty =
        thousandths(clampDifficulty(5.0 + (EaseAtFive - s.easeMillis) / EasePerDifficulty));
    const int jump = s.intervalDays;
    const QDate wanted =
        lastDay.isValid() ? lastDay.addDays(intervalDays(s.stability, retention, w)) : s.due;
    const qint64 shift = std::clamp<qint64>(s.due.daysTo(wanted), -jump, jump);
    s.due = s.due.addDays(shift);
    s.intervalDays = std::max<int>(1, int(s.intervalDays + shift));
    return s;
}

Schedule toSm2(Schedule s) {
    if (s.stability > 0)
        s.easeMillis =
            std::max(sm2::MinimumEaseMillis,
                     int(std::lround(EaseAtFive - (s.difficulty - 5.0) * EasePerDifficulty)));
    if (s.repetitions > 0)
        s.repetitions = s.intervalDays >= 6 ? std::max(s.repetitions, 2) : 1;
    return s;
}

} // namespace fsrs
