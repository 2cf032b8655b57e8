// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/review/fsrs.h"

#include <QDate>
#include <QString>

// How a book's review is scheduled: the method, and the FSRS parameters with the day they were
// fitted and how many answers the log held then. Kept in a file of its own beside the review
// state, so each book learns its own learner's memory.
struct BookSchedule {
    inline static const QString FileName = QStringLiteral("ReviewFsrs.vtd");

    ScheduleMethod method = ScheduleMethod::Fsrs;
    fsrs::Parameters w = fsrs::defaults();
    QDate fittedOn;          // invalid: the defaults, never fitted
    qint64 answersAtFit = 0; // answers the log held at the last fit

    enum class ReadResult { Read, Absent, Damaged };
    // Reads the book folder's file. A damaged or absent file gives the defaults and says which;
    // neither is an error.
    static BookSchedule read(const QString& bookFolder, ReadResult* result = nullptr);
    // Rewrites the file atomically; raises RuntimeFailure when it cannot.
    void write(const QString& bookFolder) const;

    // True when a month has passed since the last fit (or there was none) and the log has grown
    // by at least MinimumNewAnswers since.
    bool fitDue(QDate today, qint64 answers) const;
    static constexpr qint64 MinimumNewAnswers = 1000;
};
