// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/review/scheduler.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <map>
#include <vector>

// One answer of a review, as the log keeps it.
struct LoggedAnswer {
    qint64 time = 0; // seconds since 1970-01-01 UTC
    QString word;
    qint32 recordNo = 0;
    Grade grade = Grade::Good;
    int seconds = 0; // how long the answer took
};

// The book's log of review answers: one line per answer, only ever appended to. A line reaches the
// disk whole before append() returns; a line cut short by a crash is the last one, has no line end,
// and is ignored by readers and cut away before the next answer is appended.
//
// Line: time, record number, grade (1-4), seconds and the word, separated by tabs.
namespace answerlog {

inline const QString FileName = QStringLiteral("ReviewLog.vtd");

QByteArray line(const LoggedAnswer& answer);
// Appends one answer to the log at path, creating it, and returns the log's size after it.
// Raises RuntimeFailure when it cannot; the log then holds the answer or not, never a torn line
// that a later line could be glued to.
qint64 append(const QString& path, const LoggedAnswer& answer);

// How many lines of the bytes could not be read (the torn last line not counted).
struct Parsed {
    std::vector<LoggedAnswer> answers;
    int damagedLines = 0;
};
// The answers of the log's bytes from offset on, in order.
Parsed parse(const QByteArray& bytes, qsizetype offset = 0);
// Calls visit(time, grade) for every readable answer; for readers that need no words.
template <typename Visit> int scanTimesAndGrades(const QByteArray& bytes, Visit&& visit);
// The bytes of the log at path, empty when there is none.
QByteArray read(const QString& path);

// The local days of answer times. Converting a time through the local time zone reads the zone
// file each time, and a log holds many answers a day, so the bounds of every day found are kept:
// a time between them lies on that day whatever the zone's offset does within it.
class LocalDays {
public:
    QDate dayOf(qint64 time);

private:
    struct Day {
        qint64 to; // the next day's first second
        QDate day;
    };
    std::map<qint64, Day> m_days; // by the day's first second
    qint64 m_lastFrom = 0;
    Day m_last{0, QDate()};
};

} // namespace answerlog

#include "core/review/answerlog_scan.h"
