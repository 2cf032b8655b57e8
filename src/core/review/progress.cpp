// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/review/progress.h"

#include "core/review/answerlog.h"
#include "core/review/forecast.h"
#include "core/review/reviewstore.h"
#include "core/store/wordindex.h"

#include <QDateTime>
#include <algorithm>

namespace progress {

ProgressData compute(const QByteArray& log, const ReviewStore& store, const WordIndex& index,
                     QDate today) {
    ProgressData data;
    data.today = today;
    // Local midnights bound the days, so a million answers need no date conversion each.
    std::array<qint64, ProgressData::Days + 1> midnight{};
    const QDate first = today.addDays(-(ProgressData::Days - 1));
    for (int d = 0; d <= ProgressData::Days; ++d)
        midnight[size_t(d)] = QDateTime(first.addDays(d), QTime(0, 0)).toSecsSinceEpoch();
    data.damagedLogLines = answerlog::scanTimesAndGrades(log, [&](qint64 time, Grade grade) {
        if (time < midnight.front() || time >= midnight.back())
            return;
        const auto day =
            std::upper_bound(midnight.begin(), midnight.end(), time) - midnight.begin() - 1;
        ++data.answers[size_t(day)][size_t(int(grade) - 1)];
    });
    const qint64 base = today.toJulianDay();
    for (const ReviewEntry& e : store.entries()) {
        if (e.schedule.intervalDays >= ProgressData::KnownIntervalDays)
            ++data.known;
        else
            ++data.learning;
        if (!e.schedule.due.isValid())
            continue;
        const qint64 ahead = std::max<qint64>(0, e.schedule.due.toJulianDay() - base);
        if (ahead < ProgressData::Days)
            ++data.due[size_t(ahead)];
    }
    data.newWords = std::max(0, index.size() - int(store.entries().size()));
    addRetentionAndForecast(data, log, store);
    return data;
}

} // namespace progress
