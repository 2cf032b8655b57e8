// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/review/forecast.h"

#include "core/review/fsrs.h"
#include "core/review/progress.h"
#include "core/review/reviewstore.h"

#include <QDateTime>
#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace progress {

namespace {

// Calls visit(time, recordNo, grade) for every readable line of the log; the words are not
// needed, so lines are read in place.
template <typename Visit> void scanAnswers(const QByteArray& bytes, Visit&& visit) {
    const char* p = bytes.constData();
    const char* const end = p + bytes.size();
    while (p < end) {
        const char* eol = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
        if (!eol)
            break;
        qint64 n[3] = {};
        const char* q = p;
        bool ok = true;
        for (int k = 0; k < 3 && ok; ++k) {
            ok = q < eol && *q >= '0' && *q <= '9';
            while (q < eol && *q >= '0' && *q <= '9')
                n[k] = n[k] * 10 + (*q++ - '0');
            ok = ok && q < eol && *q == '\t';
            ++q;
        }
        if (ok && n[2] >= 1 && n[2] <= 4)
            visit(n[0], qint32(n[1]), int(n[2]));
        p = eol + 1;
    }
}

void addRetention(ProgressData& data, const QByteArray& log) {
    constexpr int Days = ProgressData::Weeks * 7;
    const QDate first = data.today.addDays(-(Days - 1));
    std::array<qint64, ProgressData::Weeks + 1> weekStart{};
    for (int w = 0; w <= ProgressData::Weeks; ++w)
        weekStart[size_t(w)] = QDateTime(first.addDays(w * 7), QTime(0, 0)).toSecsSinceEpoch();
    // Local days by today's offset from UTC: only used to tell one day's answers from the next.
    const qint64 offset = QDateTime(data.today, QTime(12, 0)).offsetFromUtc();
    std::unordered_map<qint32, qint64> lastDay;
    lastDay.reserve(size_t(log.size() / 256));
    std::array<int, ProgressData::Weeks> recalled{};
    scanAnswers(log, [&](qint64 time, qint32 record, int grade) {
        const qint64 day = (time + offset) / 86400;
        auto [it, fresh] = lastDay.try_emplace(record, day);
        if (fresh)
            return;
        const bool laterDay = day > it->second;
        it->second = day;
        if (!laterDay || time < weekStart.front() || time >= weekStart.back())
            return;
        const auto week =
            std::upper_bound(weekStart.begin(), weekStart.end(), time) - weekStart.begin() - 1;
        ++data.retentionAnswers[size_t(week)];
        recalled[size_t(week)] += grade > 1 ? 1 : 0;
    });
    for (int w = 0; w < ProgressData::Weeks; ++w)
        data.retention[size_t(w)] =
            data.retentionAnswers[size_t(w)] > 0
                ? double(recalled[size_t(w)]) / data.retentionAnswers[size_t(w)]
                : -1;
}

// The reviews a word will have in the next days if every review is answered "good", plus, for
// each, the review a forgotten answer would bring, weighted by the chance of forgetting.
void addForecast(ProgressData& data, const ReviewStore& store) {
    const BookSchedule& book = store.schedule();
    const double retention = store.desiredRetention();
    const bool fsrsBook = book.method == ScheduleMethod::Fsrs;
    for (const ReviewEntry& e : store.entries()) {
        Schedule s = e.schedule;
        if (!s.due.isValid())
            continue;
        qint64 day = std::max<qint64>(0, data.today.daysTo(s.due));
        if (fsrsBook && s.stability <= 0)
            continue;
        while (day < ProgressData::Days) {
            data.forecast[size_t(day)] += 1;
            const QDate when = data.today.addDays(day);
            if (fsrsBook) {
                const int elapsed = std::max(1, s.intervalDays);
                const Schedule forgotten =
                    fsrs::answer(s, Grade::Again, elapsed, when, book.w, retention);
                const qint64 relearn = day + forgotten.intervalDays;
                if (relearn < ProgressData::Days)
                    data.forecast[size_t(relearn)] += 1 - retention;
                s = fsrs::answer(s, Grade::Good, elapsed, when, book.w, retention);
            } else {
                s = sm2::answer(s, Grade::Good, when);
            }
            day += std::max(1, s.intervalDays);
        }
    }
}

} // namespace

void addRetentionAndForecast(ProgressData& data, const QByteArray& log, const ReviewStore& store) {
    data.targetRetention = store.desiredRetention();
    addRetention(data, log);
    addForecast(data, store);
}

} // namespace progress
