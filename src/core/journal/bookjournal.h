// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <vector>

// The book's change journal: one line per change this program made to the book's words, only ever
// appended to, kept in the book folder so that a sync tool carries it with the book. When two
// machines changed the book while apart, the lines one journal has and the other lacks are the
// changes made on that side since the last version both shared, which lets the two versions merge
// word by word. A line cut short by a crash is the last one, has no line end, and is ignored by
// readers and cut away before the next change is appended; a damaged journal never stops the book.
//
// Line: time, machine, generation, operation, meaning hash, example hash and the word, separated
// by tabs. A deletion and a compaction carry no hashes; a compaction carries no word.
namespace bookjournal {

inline const QString FileName = QStringLiteral("ChangeJournal.vtd");

enum class Operation { Register, Modify, Delete, Compaction };

struct Entry {
    qint64 time = 0; // seconds since 1970-01-01 UTC
    QString host;
    quint64 generation = 0; // the manifest's generation the change produced
    Operation operation = Operation::Register;
    quint64 meaningHash = 0;
    quint64 exampleHash = 0;
    QString word;
};

// The hash of a meaning or an example as the journal keeps it: of its stored form, trailing
// spaces dropped, so a padded record and the text an edit left hash alike.
quint64 textHash(const QString& text);

QByteArray line(const Entry& entry);
// Appends the lines to the journal at path in one write. Raises RuntimeFailure when it cannot.
// A journal grown past a few megabytes is then shortened to its newest lines.
void append(const QString& path, const QByteArray& lines);

struct Parsed {
    std::vector<Entry> entries;
    int damagedLines = 0; // the torn last line not counted
};
Parsed parse(const QByteArray& bytes);
// The bytes of the journal at path, empty when there is none.
QByteArray read(const QString& path);

// Where a word stands after the last change one side made to it.
struct LastChange {
    bool deleted = false;
    quint64 meaningHash = 0;
    quint64 exampleHash = 0;
};

// What two journals of the same book say about their versions: the words each side changed since
// the last change both journals hold, with the last change to each.
struct Divergence {
    quint64 commonGeneration = 0; // of the last change both hold; 0 when they share none
    QHash<QString, LastChange> onlyFirst;
    QHash<QString, LastChange> onlySecond;
    // The lines of the second journal the first lacks, in order: the first plus these holds both
    // sides' changes.
    QByteArray secondsOwnLines;
};
Divergence diverged(const QByteArray& first, const QByteArray& second);

} // namespace bookjournal
