// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/review/answerlog.h"
#include "core/review/fsrsoptimiser.h"
#include "core/review/fsrsparameters.h"
#include "core/review/scheduler.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <vector>

class WordIndex;
struct IndexEntry;

// What the review knows of one word of the book.
// The members are ordered so that little padding falls between them, and what the queue reads
// of every entry lies together at the start.
struct ReviewEntry {
    QString word;
    qint32 recordNo = 0;
    int lastGrade = 0; // 0: never answered
    QDate introduced;  // the day of its first answer
    Schedule schedule;
    qint64 lastTime = 0; // seconds since 1970-01-01 UTC
    int failStreak = 0;  // "again" answers in a row
};

// A word the review asks next.
struct ReviewItem {
    QString word;
    qint32 recordNo = 0;
    bool fresh = false; // never reviewed before
};

// The review state of one book: an entry per word that has been reviewed, kept in a file of its
// own in the book folder beside the append-only answer log. An answer reaches the log before it
// counts, and the state file is rewritten whole (atomically) now and then and when the review
// ends; reading it replays the log lines written after it, so a crash at any point leaves the
// state as it was before the answer or as it is after it.
//
// Entries are keyed by word and record number. Opening against the book's word index follows the
// book's own changes: a word whose record number changed (compaction renumbers, a modified
// meaning moves to a new record) is found again by its spelling and keeps its history; an entry
// whose word has left the book goes.
class ReviewStore {
public:
    inline static const QString FileName = QStringLiteral("ReviewState.vtd");
    // How many answers may wait in the log before the state file is rewritten.
    static constexpr int AnswersPerRewrite = 500;

    explicit ReviewStore(QString bookFolder);

    struct LoadReport {
        // The damaged state file's new name (set aside), empty when it was sound or absent.
        QString setAside;
        // Lines of the log that could not be read.
        int damagedLogLines = 0;
        // The damaged scheduling file's new name (set aside): the defaults are used instead.
        QString scheduleSetAside;
    };
    // Reads the state file and the answers logged after it, then matches the entries to the
    // index. A damaged state file is renamed aside and the state is rebuilt from the whole log.
    LoadReport load(const WordIndex& index);

    // Matches the entries to the book's words again after the book changed.
    void reconcile(const WordIndex& index);

    // Today's review: due words first, the longest overdue first, then words never reviewed in
    // the order they were registered, as many as newPerDay allows after those begun today.
    // Matches the entries to the index first.
    std::vector<ReviewItem> queue(const WordIndex& index, QDate today, int newPerDay);

    // Records an answer: logs it, then schedules the word. Raises RuntimeFailure when the log
    // cannot be written, and the state is then unchanged.
    const ReviewEntry& answer(const QString& word, qint32 recordNo, Grade grade,
                              const QDateTime& when, int seconds);
    // Rewrites the state file when answers wait in the log or the entries followed the book.
    void flush();

    // How the book is scheduled: read at load; a book without a file gets FSRS when it has no
    // review history yet and SM-2 when it has, and the choice is written down.
    const BookSchedule& schedule() const { return m_schedule; }
    // The chance of recall FSRS plans each interval for.
    void setDesiredRetention(double retention);
    double desiredRetention() const { return m_retention; }
    // Converts every word's state to method and writes the state and the choice; no due day
    // moves by more than the word's interval, and the log is untouched.
    void switchMethod(ScheduleMethod method);
    // Keeps the fitted parameters for the answers from now on, with the day and the log's size,
    // when they predicted the held-out answers better; returns whether it kept them.
    bool keepFit(const fsrs::FitReport& fit, QDate day, qint64 answers);

    const ReviewEntry* find(const QString& word, qint32 recordNo) const;
    const std::vector<ReviewEntry>& entries() const { return m_entries; }
    QString statePath() const { return m_folder + u'/' + FileName; }
    QString logPath() const { return m_folder + u'/' + answerlog::FileName; }
    const QString& folder() const { return m_folder; }

private:
    bool readState(QByteArrayView bytes, const WordIndex& index);
    bool readBinaryState(QByteArrayView bytes, const WordIndex& index);
    bool readTextState(QByteArrayView bytes, const WordIndex& index);
    QByteArray stateBytes() const;
    ReviewEntry& apply(const LoggedAnswer& answer);
    int slotOf(const QString& word, qint32 recordNo) const;
    static bool sameWord(const ReviewEntry& e, const IndexEntry& w);
    // True when the last matching still holds for index, entry by entry.
    bool stillMatched(const WordIndex& index) const;
    void rebuildRecordMap();

    void loadSchedule(LoadReport& report, bool hasHistory);
    void writeSchedule();

    QString m_folder;
    BookSchedule m_schedule;
    double m_retention = 0.9;
    bool m_scheduleWritten = false; // the book folder holds the choice of method
    std::vector<ReviewEntry> m_entries;
    // By record number, built when first needed.
    const QHash<qint32, int>& byRecord() const;
    mutable QHash<qint32, int> m_byRecord;
    mutable bool m_byRecordValid = false;
    // The entry of each index position at the last matching, -1 for a new word.
    std::vector<int> m_slotOfPosition;
    qint64 m_logIncluded = 0; // the log bytes the state file accounts for
    qint64 m_logSize = 0;     // the log bytes the state in memory accounts for
    int m_pendingAnswers = 0; // answers since the state file was written
    bool m_dirty = false;     // entries changed without an answer (rebuilt, followed the book)
    answerlog::LocalDays m_days;
    bool m_anyFsrsMemory = false; // the state file holds words with an FSRS memory
};
