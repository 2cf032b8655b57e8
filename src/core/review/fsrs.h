// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/review/scheduler.h"

#include <array>

// The Free Spaced Repetition Scheduler, version 6 (FSRS-6), as its authors publish it: the
// formulas of "The Algorithm" page of open-spaced-repetition/fsrs4anki (wiki, FSRS-6 section) and
// the reference implementations py-fsrs 6 and fsrs-rs, with their 21 default parameters w0..w20.
//
// A word's memory is its stability S (days until the chance of recall falls to 90 %) and its
// difficulty D (1 to 10). The chance of recall t days after the last review is
//   R(t, S) = (1 + f t / S)^-w20,  f = 0.9^(-1 / w20) - 1,
// and the next interval is the t at which R falls to the desired retention. Answers on the day of
// the last review change S by the short-term formula, later ones by the recall or lapse formulas.
namespace fsrs {

inline constexpr int ParameterCount = 21;
using Parameters = std::array<double, ParameterCount>;

inline constexpr double MinimumStability = 0.001;
inline constexpr int MaximumIntervalDays = 36500;
inline constexpr double MinimumRetention = 0.70;
inline constexpr double MaximumRetention = 0.97;

// The published defaults, used until the learner's own are fitted.
const Parameters& defaults();
// The range the fit keeps each parameter in, as the reference optimiser clamps them.
const Parameters& lowerBounds();
const Parameters& upperBounds();

struct Memory {
    double stability = 0; // 0: the word has no memory yet
    double difficulty = 0;
};

double retrievability(double elapsedDays, double stability, const Parameters& w);
// Whole days until the chance of recall falls to retention, 1 to MaximumIntervalDays.
int intervalDays(double stability, double retention, const Parameters& w);
// The memory after the first answer of a word.
Memory first(Grade grade, const Parameters& w);
// The memory after answering grade elapsedDays after the last answer (0: the same day).
Memory next(Memory m, Grade grade, int elapsedDays, const Parameters& w);

// The schedule after answering with grade on the day today, elapsedDays after the word's last
// answer (ignored for a word never answered).
Schedule answer(Schedule s, Grade grade, int elapsedDays, QDate today, const Parameters& w,
                double retention);

// The FSRS memory of a word scheduled by SM-2, answered last on lastDay: its interval becomes its
// stability and its ease its difficulty, and the due day moves to where FSRS would put it, by no
// more than the word's own interval.
Schedule fromSm2(Schedule s, QDate lastDay, const Parameters& w, double retention);
// The SM-2 state of a word scheduled by FSRS: the interval and due day stay, the difficulty
// becomes an ease, and a word past its first two intervals counts as repeated twice.
Schedule toSm2(Schedule s);

} // namespace fsrs
