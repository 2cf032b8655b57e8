// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/book.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

// Moving words between books and out of the program: export in the program's own format and as
// comma-separated text, import of another book, merging two books, import of comma-separated text.
// Every book written here is replaced as a whole: the new files are written beside the old ones,
// synced, and renamed into place only at the end, so a failure or a kill leaves the book as it was
// or fully replaced. The store's roll-forward at open finishes renames a kill interrupted.

using TransferHook = std::function<void(CompactionStep)>;

// The meaning and example records of a book folder, read once, without changing anything. A
// missing examples file reads as blank records, as does a record past a file's end.
class BookRecords {
public:
    explicit BookRecords(const QString& folder);
    QByteArrayView meaning(qint32 recordNo) const;
    QByteArrayView example(qint32 recordNo) const;

    ~BookRecords();
    BookRecords(const BookRecords&) = delete;
    BookRecords& operator=(const BookRecords&) = delete;

private:
    // A record file read whole into memory of its own, which large books get in large pages:
    // faulting in a hundred megabytes page by page costs more than reading them.
    struct WholeFile {
        char* data = nullptr;
        qsizetype size = 0;
        size_t mapped = 0;
        QByteArrayView view() const { return {data, size}; }
    };
    static WholeFile readWhole(const QString& path);
    static void release(WholeFile& file);

    WholeFile m_meanings;
    WholeFile m_examples;
    QByteArray m_blank;
};

// The words file of a book folder in stored order; a folder without one is a book with no words.
// Raises a RuntimeFailure when the folder is missing, or when it has words but no meanings file.
std::vector<IndexEntry> readWordList(const QString& folder);
// The same words with the bytes they are stored as, in the file's order.
std::vector<Book::StoredWord> readStoredWords(const QString& folder);

// Writes a fresh book into an existing folder: word k gets records k. Nothing reaches the book
// until commit(); a writer dropped before it leaves the folder as it was.
class BookWriter {
public:
    explicit BookWriter(QString folder, TransferHook hook = {});
    ~BookWriter();
    BookWriter(const BookWriter&) = delete;
    BookWriter& operator=(const BookWriter&) = delete;

    // Records are the stored bytes (cut or padded to their sizes here); a word is given as the
    // bytes it is stored as, or as text.
    void add(QByteArrayView wordBytes, QByteArrayView meaning, QByteArrayView example);
    void add(const QString& word, QByteArrayView meaning, QByteArrayView example);
    int count() const { return m_wordCount; }
    void commit();

private:
    // One record file being written: its records gather in a buffer of fixed size, which goes
    // to the file whenever it is full.
    struct Output {
        QString path;
        int recordSize = 0;
        int fd = -1;
        QByteArray buffer;
        qsizetype used = 0;
        qint64 written = 0;
    };
    QString path(const QString& name) const { return m_folder + u'/' + name; }
    void append(Output& out, QByteArrayView record);
    void flush(Output& out);
    void step(CompactionStep s) {
        if (m_hook)
            m_hook(s);
    }
    void install(const QString& temporary, const QString& target);
    void commitEmpty();
    void closeFiles();

    QString m_folder;
    TransferHook m_hook;
    Output m_meanings;
    Output m_examples;
    QByteArray m_words;
    int m_wordCount = 0;
    bool m_committing = false;
};

// The line-break substitute and field rules of the comma-separated file.
enum class CsvEncoding { Cp932 = 0, Utf8WithBom = 1 };

namespace booktransfer {

// The entries of the main window's list to export: all, or only the checked ones.
std::vector<IndexEntry> selection(const std::vector<IndexEntry>& list, bool checkedOnly);

// Writes words (with their records in sourceFolder) into targetFolder as a new book, renumbered
// from 1 in list order.
void exportOwnFormat(const QString& sourceFolder, const std::vector<IndexEntry>& words,
                     const QString& targetFolder, TransferHook hook = {});

// One line of the comma-separated file (CR LF included), from the stored record bytes.
QByteArray csvLine(const QString& word, QByteArrayView meaning, QByteArrayView example,
                   const QString& substitute, CsvEncoding encoding);
// Writes the comma-separated file of words at path, whole or not at all.
void exportCsv(const QString& sourceFolder, const std::vector<IndexEntry>& words,
               const QString& path, const QString& substitute, CsvEncoding encoding);

// Replaces the receiving book with the sending book's words and records, renumbered.
void importBook(const QString& sendingFolder, const QString& receivingFolder,
                TransferHook hook = {});

// Splits comma-separated text into lines of fields (quoted fields may hold commas, doubled quotes
// and line breaks). Empty lines are skipped.
std::vector<QStringList> parseCsv(const QString& text);
// Decodes a comma-separated file: UTF-8 with or without byte-order mark, otherwise CP932.
QString decodeCsvFile(const QByteArray& bytes);

// A row of the comma-separated file that was not taken as it stood, for the user: its line,
// its word and what happened to it.
struct CsvRowNote {
    int line = 0;
    QString word;
    QString note;
};

struct CsvImportReport {
    int added = 0;
    int duplicates = 0;     // words the book already had
    int repeatedInFile = 0; // words an earlier row of the file brought
    // Every row refused, skipped as a duplicate or cut, in file order.
    std::vector<CsvRowNote> notes;
    // The notes as lines of text ("12行目 apple: ...").
    QString notesText() const;
    // How many words were refused, by the reason the store gives.
    std::vector<std::pair<QString, int>> refused;
    int cut = 0; // meanings or examples cut to their records
    int refusedCount() const;
};
// Adds the words of the comma-separated file to the receiving book: words the book already has
// or an earlier row of the file brought (in the main window's comparison) and words the store
// refuses are skipped, the entry already there kept; fields past the third are left out. Each
// such row is named in the report's notes.
CsvImportReport importCsv(const QString& csvPath, const QString& receivingFolder,
                          TransferHook hook = {});

} // namespace booktransfer

// A merge of books A and B into a target, paused at each duplicate when the user chooses.
class BookMerge {
public:
    enum class Policy { Both = 0, AOnly = 1, BOnly = 2, Ask = 3 };
    enum class Side { A, B };
    // The duplicate waiting for the user: both entries, records without trailing spaces.
    struct Duplicate {
        QString wordA, meaningA, exampleA;
        QString wordB, meaningB, exampleB;
    };

    // Reads both books and sorts their words by character code, so every duplicate is found
    // whatever order the words files were kept in.
    BookMerge(const QString& folderA, const QString& folderB, const QString& targetFolder,
              Policy policy, TransferHook hook = {});
    // Runs the merge loop: true when the merge is finished and the target written, false when
    // it waits at a duplicate (pending()).
    bool run();
    bool isPending() const { return m_pending; }
    const Duplicate& pending() const { return m_duplicate; }
    // Takes one side of the pending duplicate with the meaning and example the user left in the
    // boxes. Raises WordRefused when they cannot be stored; the duplicate stays pending.
    void take(Side side, const QString& meaning, const QString& example);
    int duplicates() const { return m_duplicates; }
    int written() const { return m_writer.count(); }

private:
    // A word of A or B: as shown, as stored, and its record.
    struct Entry {
        QString word;
        QByteArray bytes;
        qint32 recordNo = 0;
        quint64 key = 0; // the first code units, for sorting
    };
    static std::vector<Entry> sortedEntries(const QString& folder);
    void emitEntry(Side side);

    std::vector<Entry> m_a;
    std::vector<Entry> m_b;
    BookRecords m_recordsA;
    BookRecords m_recordsB;
    BookWriter m_writer;
    Policy m_policy;
    size_t m_posA = 0;
    size_t m_posB = 0;
    int m_duplicates = 0;
    bool m_pending = false;
    Duplicate m_duplicate;
};
