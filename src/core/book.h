#pragma once

#include "recordfile.h"
#include "wordindex.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <stdexcept>

// The names and sizes of a book's files.
namespace bookfile {
inline const QString Words = QStringLiteral("words.vtd");
inline const QString Meanings = QStringLiteral("means.vtd");
inline const QString Examples = QStringLiteral("reis.vtd");
inline const QString MeaningsTemp = QStringLiteral("TmpMFile.vtd");
inline const QString ExamplesTemp = QStringLiteral("TmpRFile.vtd");
// Written last during compaction: once it is complete the new book is committed.
inline const QString WordsTemp = QStringLiteral("TmpWFile.vtd");
constexpr int MeaningSize = 200;
constexpr int ExampleSize = 400;
// A deleted word's meaning and example records hold this, padded with spaces.
inline const QString DeletionMarker = QStringLiteral("###");
} // namespace bookfile

// The points of a compaction where a crash may strike; tests stop the work there.
enum class CompactionStep {
    MeaningsTempWritten,
    ExamplesTempWritten,
    WordsTempCommitted,
    MeaningsReplaced,
    ExamplesReplaced,
    WordsReplaced,
};

// The book's folder does not exist.
class BookMissing : public std::runtime_error {
public:
    BookMissing() : std::runtime_error("book folder missing") {}
};

// A word, meaning or example the book cannot store; reason() says why, for the user.
class WordRefused : public std::runtime_error {
public:
    explicit WordRefused(QString reason)
        : std::runtime_error("word refused"), m_reason(std::move(reason)) {}
    const QString& reason() const { return m_reason; }

private:
    QString m_reason;
};

// An open word book: the sorted word index in memory and the meaning and example files open for
// random access. Every change reaches the files before the call returns; whole-file rewrites are
// atomic, and compaction commits in a way a crash at any moment leaves the book as it was before
// or as it is after, never a mix.
class Book {
public:
    struct OpenResult {
        bool wordFileFound = false;
        bool exampleFileCreated = false;
        bool recoveredCompaction = false; // an interrupted compaction was completed
    };

    // The main window keeps the index in collation order; the translation editor opens the same
    // book in ordinal order, and the word file it writes carries that order.
    explicit Book(QString folder, WordIndex::Order order = WordIndex::Order::Collation);
    ~Book();

    const QString& folder() const { return m_folder; }
    QString filePath(const QString& name) const { return m_folder + u'/' + name; }

    // Opens the book: finishes or discards an interrupted compaction, reads and sorts the word
    // file, opens the record files (creating what is missing). Raises BookMissing when the folder
    // does not exist. A read-only open changes nothing on disk and notes what it finds instead.
    OpenResult open(bool readOnly = false);
    bool isOpen() const { return m_meanings.isOpen(); }
    void close();

    WordIndex& index() { return m_index; }
    const WordIndex& index() const { return m_index; }
    // Problems a read-only open found: leftover temporary files, short last records.
    const QStringList& problems() const { return m_problems; }

    int meaningRecordCount() const { return m_meanings.recordCount(); }
    // Records with trailing spaces kept, as stored.
    QString meaning(qint32 recordNo, bool* ok = nullptr) const {
        return m_meanings.read(recordNo, ok);
    }
    QString example(qint32 recordNo, bool* ok = nullptr) const {
        return m_examples.read(recordNo, ok);
    }

    // Why word, meaning and example cannot be stored, or an empty string when they can.
    static QString refusalFor(const QString& word, const QString& meaning, const QString& example);

    // Adds a word with its two records after the last record; returns its index position.
    int registerWord(const QString& word, const QString& meaning, const QString& example);
    // Stores a new spelling, meaning and example for the word at position; returns its new
    // position.
    int modifyWord(int position, const QString& word, const QString& meaning,
                   const QString& example);
    // Marks the word's records deleted and removes it from the index; other marks stay.
    void deleteWord(int position);
    // Deletes every checked word and clears all marks; returns how many were deleted.
    int deleteChecked();
    bool deletionsPending() const { return m_deletionsPending; }

    void writeWordFile();
    // Drops the deleted records, renumbers the words and closes the record files.
    void compact();
    // Brings the files up to date and closes them: compaction after deletions, the removal of
    // an emptied book's files, or just the word file.
    void writeBack();

    void setCompactionHook(std::function<void(CompactionStep)> hook) { m_hook = std::move(hook); }

private:
    void recoverInterruptedCompaction(OpenResult& result);
    void noteLeftovers();
    std::vector<IndexEntry> readWordFile() const;
    QByteArray wordFileBytes(const std::vector<IndexEntry>& entries) const;
    void markDeleted(qint32 recordNo);
    void replaceFile(const QString& from, const QString& to);
    void step(CompactionStep s) {
        if (m_hook)
            m_hook(s);
    }

    QString m_folder;
    WordIndex m_index;
    RecordFile m_meanings;
    RecordFile m_examples;
    bool m_deletionsPending = false;
    QStringList m_problems;
    std::function<void(CompactionStep)> m_hook;
};
