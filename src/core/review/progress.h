// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDate>
#include <array>

class ReviewStore;
class WordIndex;

// The figures of the progress charts, worked out from the answer log and the review state.
struct ProgressData {
    static constexpr int Days = 30;
    // A word whose interval reached this many days counts as known.
    static constexpr int KnownIntervalDays = 21;

    QDate today;
    // Answers per day by grade: day 0 is 29 days ago, day 29 today; grade index 0 = again.
    std::array<std::array<int, 4>, Days> answers{};
    // Words due per day: day 0 is today (overdue words included), day 29 is 29 days ahead.
    std::array<int, Days> due{};
    int newWords = 0;
    int learning = 0;
    int known = 0;
    int damagedLogLines = 0;

    static constexpr int Weeks = 12;
    // Measured retention per week: the share of words recalled (any grade but "again") among
    // those answered on a later day than their answer before; week 0 is the oldest, Weeks - 1
    // the one ending today. -1 for a week without such answers.
    std::array<double, Weeks> retention{};
    std::array<int, Weeks> retentionAnswers{};
    double targetRetention = 0.9;
    // Reviews expected per day, day 0 today, under the current method and parameters.
    std::array<double, Days> forecast{};
};

namespace progress {

// The figures for today from the log's bytes and the state matched to the book's words.
ProgressData compute(const QByteArray& log, const ReviewStore& store, const WordIndex& index,
                     QDate today);

} // namespace progress
