// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/recordfile.h"
#include "core/store/wordindex.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <stdexcept>

class BookSession;
struct SessionWord;

// The names and sizes of a book's files.
namespace bookfile {
inline const QString Words = QStringLiteral("words.vtd");
inline const QString Meanings = QStringLiteral("means.vtd");
inline const QString Examples = QStringLiteral("reis.vtd");
inline const QString MeaningsTemp = QStringLiteral("TmpMFile.vtd");
inline const QString ExamplesTemp = QStringLiteral("TmpRFile.vtd");
// Written last during compaction: once it is complete the new book is committed.
inline const QString WordsTemp = QStringLiteral("TmpWFile.vtd");
// What a temporary file that cannot be trusted is renamed to: this prefix, a time stamp, a dash
// and its own name.
inline const QString SetAsidePrefix = QStringLiteral("Stray-");
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
    TemporariesRemoved,
};

// The book's folder does not exist. what() says so for the user, should it reach the error report.
class BookMissing : public std::runtime_error {
public:
    BookMissing() : std::runtime_error("ブック（フォルダ）が見つかりません。") {}

protected:
    explicit BookMissing(const std::string& what) : std::runtime_error(what) {}
};

// The book's folder is there but a file its words need is not (the meaning file of a book that
// has words). Opening it changed nothing in the folder; reason() names what is missing.
class BookBroken : public BookMissing {
public:
    explicit BookBroken(QString reason)
        : BookMissing(reason.toStdString()), m_reason(std::move(reason)) {}
    const QString& reason() const { return m_reason; }

private:
    QString m_reason;
};

// A word, meaning or example the book cannot store; reason() says why, for the user, and so does
// what().
class WordRefused : public std::runtime_error {
public:
    explicit WordRefused(QString reason)
        : std::runtime_error(reason.toStdString()), m_reason(std::move(reason)) {}
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
        // Temporary files that were not a complete set written by a compaction: renamed aside
        // (their new names), never used.
        QStringList setAside;
    };

    // The main window keeps the index in collation order; the translation editor opens the same
    // book in ordinal order, and the word file it writes carries that order.
    explicit Book(QString folder, WordIndex::Order order = WordIndex::Order::Collation);
    ~Book();

    // The files a book folder is read from: its own, or, while a replacement a kill interrupted
    // waits to be finished, the complete set of new files the next open puts in their place.
    // Reading these shows the book exactly as the program will open it, never old words beside
    // new meanings.
    struct FilesToRead {
        QString words;
        QString meanings;
        QString examples;
        bool replacementPending = false;
    };
    static FilesToRead filesToRead(const QString& folder);

    const QString& folder() const { return m_folder; }
    QString filePath(const QString& name) const { return m_folder + u'/' + name; }

    // Opens the book: finishes or discards an interrupted compaction, reads and sorts the word
    // file, opens the record files. Raises BookMissing when the folder does not exist and
    // BookBroken when the book has words but no meaning file. A missing example file is created
    // with blank records; the record files of a book without words are created empty. A read-only
    // open changes nothing on disk, reads the book as an open that may write would leave it (see
    // filesToRead()) and notes what it finds instead.
    OpenResult open(bool readOnly = false);
    bool isOpen() const { return m_meanings.isOpen(); }
    void close();

    WordIndex& index() { return m_index; }
    const WordIndex& index() const { return m_index; }
    // Problems the open found: damaged lines of the word file, and for a read-only open leftover
    // temporary files and short last records.
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
    // A word as it is stored: without trailing spaces, which look-ups ignore.
    static QString storedWord(const QString& word);

    // A line of a words file as stored: the word's bytes as they are, CP932 or not, and its
    // record number. Words copied between books go by these bytes, so none is changed on the way.
    struct StoredWord {
        QByteArray bytes;
        qint32 recordNo = 0;
    };
    // The lines of a words file's bytes in file order, read the way open() reads them.
    static std::vector<StoredWord> parseWordFile(const QByteArray& bytes);
    // A stored word as the index shows it: bytes that are not CP932 read as U+FFFD.
    static QString wordFromBytes(QByteArrayView bytes);

    // Adds a word (stored without trailing spaces) with its two records after the last record in
    // use; returns its index position. Raises WordRefused for what refusalFor() refuses.
    int registerWord(const QString& word, const QString& meaning, const QString& example);
    struct NewWord {
        QString word;
        QString meaning;
        QString example;
    };
    // Adds several words with one commit of the word file, so a crash leaves all of them or none.
    // Raises WordRefused, before anything is written, when one of them is refused.
    void registerWords(const std::vector<NewWord>& words);
    // Stores a new spelling, meaning and example for the word at position; returns its new
    // position. The new meaning and example go into new records and the word file is rewritten to
    // point at them before the old records are marked deleted, so a crash leaves the old entry or
    // the new one.
    int modifyWord(int position, const QString& word, const QString& meaning,
                   const QString& example);
    // Removes the word from the index and the word file, then marks its records deleted unless
    // another word still uses them; other check marks stay.
    void deleteWord(int position);
    // Deletes every checked word and clears all marks; returns how many were deleted.
    int deleteChecked();
    bool deletionsPending() const { return m_deletionsPending; }

    void writeWordFile();
    // Keeps the records the words use, drops the rest, renumbers the words and closes the record
    // files.
    void compact();
    // Brings the files up to date and closes them: compaction after deletions, the removal of
    // an emptied book's files, or just the word file.
    void writeBack();

    void setCompactionHook(std::function<void(CompactionStep)> hook) { m_hook = std::move(hook); }

    // Notices another program's change of the files before every write (see BookSession).
    BookSession& session() { return *m_session; }

    // A word that left the index (removed) or came into it (added) once the word file says so; a
    // modification carries both.
    struct WordChange {
        QString removed;
        qint32 removedRecordNo = 0;
        QString added;
        qint32 addedRecordNo = 0;
    };
    // For views that follow the book's words while it is open; several may listen. The key
    // given back takes the listener off again.
    int addWordChangeListener(std::function<void(const WordChange&)> listener) {
        m_listeners.push_back({++m_lastListenerKey, std::move(listener)});
        return m_lastListenerKey;
    }
    void removeWordChangeListener(int key) {
        std::erase_if(m_listeners, [key](const auto& l) { return l.first == key; });
    }

private:
    // Rewrites the word file, the commit point of every edit; when it cannot, undo puts the
    // index back as it was and the failure goes on to the caller.
    void commitWordFile(const std::function<void()>& undo);
    // Before an edit of the word at position: when another program changed the files, reads
    // them again and finds the word there. Its position, or -1 when it is no longer as it was;
    // sameSpelling is then a word of its spelling, -1 without one.
    int findAfterReload(const SessionWord& before, int position, int& sameSpelling);
    void recoverInterruptedCompaction(OpenResult& result);
    void installTemporary(const QString& temporary, const QString& target);
    void removeTemporaries();
    void setAside(const QString& name, OpenResult& result);
    void noteLeftovers(bool replacementPending);
    void openRecordFiles();
    std::vector<IndexEntry> readWordFile(const QString& path, QStringList* problems);
    // Bytes of the word file being built, grown in large steps.
    class WordFileBuffer {
    public:
        explicit WordFileBuffer(qsizetype expected) {
            m_bytes.resize(std::max<qsizetype>(expected, 64));
        }
        // Room for at least n more bytes, returned as where they go.
        char* reserve(qsizetype n) {
            if (m_used + n > m_bytes.size())
                m_bytes.resize(std::max(m_bytes.size() * 2, m_used + n));
            return m_bytes.data() + m_used;
        }
        void commit(const char* end) { m_used = end - m_bytes.constData(); }
        QByteArray take() {
            m_bytes.truncate(m_used);
            return std::move(m_bytes);
        }

    private:
        QByteArray m_bytes;
        qsizetype m_used = 0;
    };
    void appendWordLine(WordFileBuffer& out, const IndexEntry& e) const;
    QByteArray wordFileBytes(const std::vector<IndexEntry>& entries) const;
    qint32 newRecordNumber() const;
    void writeRecords(qint32 recordNo, const QString& meaning, const QString& example);
    void markDeletedUnlessUsed(const std::vector<qint32>& recordNos);
    void step(CompactionStep s) {
        if (m_hook)
            m_hook(s);
    }

    QString m_folder;
    std::unique_ptr<BookSession> m_session;
    WordIndex m_index;
    RecordFile m_meanings;
    RecordFile m_examples;
    bool m_deletionsPending = false;
    // The next record number to hand out, and the numbers above the files' ends that words point
    // at (damaged books): a new record never takes one of them.
    qint32 m_nextRecord = 1;
    QSet<qint32> m_usedPastEnd;
    // The original bytes of words that are not CP932, by decoded word and record number, so that
    // rewriting the word file keeps them.
    QHash<QString, QByteArray> m_rawWords;
    QStringList m_problems;
    std::function<void(CompactionStep)> m_hook;
    std::vector<std::pair<int, std::function<void(const WordChange&)>>> m_listeners;
    int m_lastListenerKey = 0;
    void tell(const WordChange& change) const {
        // A listener may take itself off while it is told.
        const auto listeners = m_listeners;
        for (const auto& l : listeners)
            l.second(change);
    }
};
