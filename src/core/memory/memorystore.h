// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fuzzymatch.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// One original with its translation.
struct MemoryPair {
    QString source;
    QString target;
    QDateTime changed; // invalid: the time the pair is added
};

// A pair as the memory holds it, with where it came from: the project it was taken from, or the
// name of the TMX file it was imported from.
struct MemoryEntry {
    QString source;
    QString target;
    QString origin;
    QString sourceLanguage;
    QString targetLanguage;
    QDateTime changed;
};

struct MemoryMatch {
    MemoryEntry entry;
    int percent = 0;
    std::vector<fuzzymatch::Span> differences; // in entry.source
};

// The translation memory: one SQLite database of its own (Qt SQL's QSQLITE driver) with an FTS5
// trigram index over the originals to find candidates, which the word-level edit distance then
// scores. Every change is one transaction, so a process killed while writing leaves the memory
// as it was before or after the change (SQLite's journal rolls a torn write back on the next
// open). A database that cannot be read is set aside under a name of its own and a new, empty
// one takes its place.
//
// An object belongs to the thread that made it: Qt's database connections may not change thread.
class MemoryStore {
public:
    static inline const QString FileName = QStringLiteral("memory.sqlite");

    explicit MemoryStore(QString path);
    ~MemoryStore();
    MemoryStore(const MemoryStore&) = delete;
    MemoryStore& operator=(const MemoryStore&) = delete;

    enum class OpenState {
        Opened,   // the memory as it was
        Created,  // there was none: an empty one was made
        SetAside, // the file was damaged: it is kept as setAsidePath(), an empty memory replaces it
        Failed,   // no memory could be opened or made; errorString() says why
    };
    OpenState open();
    bool isOpen() const { return m_open; }
    const QString& errorString() const { return m_error; }
    const QString& setAsidePath() const { return m_setAside; }
    const QString& path() const { return m_path; }

    // Adds the pairs of origin in one transaction. A pair whose original origin already holds
    // (in the same two languages) replaces the earlier translation; the same pair again changes
    // nothing. Returns how many pairs were added or replaced, -1 on failure (errorString()).
    // progress(done) is called now and then; returning false from it cancels the whole change.
    int add(const QString& origin, const QString& sourceLanguage, const QString& targetLanguage,
            const std::vector<MemoryPair>& pairs,
            const std::function<bool(int done)>& progress = {});

    // The best matches of sentence from threshold percent on, best first, at most limit; pairs
    // of the two languages only. Equal percentages: the most recent first.
    std::vector<MemoryMatch> lookup(const QString& sentence, const QString& sourceLanguage,
                                    const QString& targetLanguage, int threshold,
                                    int limit = 5) const;

    // The number of pairs, of one origin when origin is not empty.
    int count(const QString& origin = {}) const;
    // The origins with their pair counts, by name.
    std::vector<std::pair<QString, int>> origins() const;
    // Removes the pairs of origin; the number removed, -1 on failure.
    int remove(const QString& origin);
    // Every pair (of origin when not empty), oldest first; false on failure.
    bool forEach(const QString& origin, const std::function<void(const MemoryEntry&)>& visit) const;

    // The primary language subtag the memory keys pairs by: "EN-US" and "en" are both "en".
    static QString languageKey(const QString& tag);

private:
    bool openDatabase();
    bool createSchema();
    bool isSound();
    void close();
    bool fail(const QString& what, const class QSqlError& error) const;

    QString m_path;
    QString m_connection;
    bool m_open = false;
    mutable QString m_error;
    QString m_setAside;
};
