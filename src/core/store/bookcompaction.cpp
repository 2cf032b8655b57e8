// SPDX-License-Identifier: GPL-3.0-or-later
#include "book.h"
#include "core/files/atomicfile.h"
#include "core/store/booksession.h"
#include "core/store/wordfile.h"

#include <QFile>
#include <QHash>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using namespace wordfile;

namespace {

QByteArray nativePath(const QString& path) {
    return QFile::encodeName(path);
}

// A file opened for writing, closed when it goes out of scope.
class OutputFile {
public:
    explicit OutputFile(QString path) : m_path(std::move(path)) {
        m_fd =
            ::open(nativePath(m_path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (m_fd < 0)
            diskio::fail(errno, m_path);
    }
    ~OutputFile() { close(); }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void write(const QByteArray& bytes) { write(bytes.constData(), bytes.size()); }
    void write(const char* data, qsizetype size) {
        diskio::writeAll(m_fd, m_path, data, size);
        // Let the disk start on what is written while the rest is prepared; the sync at the end
        // then has less to wait for.
        ::sync_file_range(m_fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    }
    void syncAndClose() {
        diskio::sync(m_fd, m_path);
        const int closing = ::close(m_fd);
        m_fd = -1;
        if (closing != 0)
            diskio::fail(errno, m_path);
    }

private:
    void close() {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    QString m_path;
    int m_fd = -1;
};

} // namespace

void Book::compact() {
    const BookSession::Operation operation(*m_session);
    m_session->recordCompaction();
    for (const QString& name :
         {bookfile::MeaningsTemp, bookfile::ExamplesTemp, bookfile::WordsTemp})
        diskio::removeIfPresent(filePath(name));
    m_meanings.open();
    m_examples.open();

    // Each file is taken on its own: a meaning file cut short does not blank the examples.
    const int count = std::max(m_meanings.recordCount(), m_examples.recordCount());
    // The records kept are the ones some word uses, whatever they hold; everything else (deleted
    // records, the old records of a modification, records a crash left unused) goes.
    // newNumber[r] is 0 for a record that goes, then the new number of each record kept.
    constexpr qint32 Kept = -1;
    std::vector<qint32> newNumber(size_t(count) + 1, 0);
    for (int p = 0; p < m_index.size(); ++p) {
        const qint32 r = m_index.at(p).recordNo;
        if (r >= 1 && r <= count)
            newNumber[size_t(r)] = Kept;
    }
    QHash<qint32, qint32> newNumberOutside; // words pointing outside the files
    const auto numberOf = [&](qint32 old) {
        return old >= 1 && old <= count ? newNumber[size_t(old)] : newNumberOutside.value(old);
    };

    // Work files a failure leaves half written would take the disk's last free space until the
    // next start: up to the commit point they go as soon as the compaction fails. Declared before
    // the files so that they are closed first.
    struct WorkFiles {
        QStringList paths;
        bool committed = false;
        ~WorkFiles() {
            if (!committed)
                for (const QString& path : paths)
                    ::unlink(nativePath(path).constData());
        }
    } workFiles{{filePath(bookfile::MeaningsTemp), filePath(bookfile::ExamplesTemp)}};
    OutputFile meaningsTemp(filePath(bookfile::MeaningsTemp));
    OutputFile examplesTemp(filePath(bookfile::ExamplesTemp));
    qint32 next = 1;
    constexpr int Batch = 4096; // records read at a time: big sequential reads, bounded memory
    for (qint32 first = 1; first <= count; first += Batch) {
        const int n = std::min(Batch, count - first + 1);
        QByteArray meanings = m_meanings.readRange(first, n);
        QByteArray examples = m_examples.readRange(first, n);
        // The records kept are moved together in the buffers they were read into.
        int kept = 0;
        for (int i = 0; i < n; ++i) {
            qint32& number = newNumber[size_t(first + i)];
            if (number != Kept)
                continue;
            if (kept != i) {
                std::memmove(meanings.data() + qsizetype(kept) * bookfile::MeaningSize,
                             meanings.constData() + qsizetype(i) * bookfile::MeaningSize,
                             bookfile::MeaningSize);
                std::memmove(examples.data() + qsizetype(kept) * bookfile::ExampleSize,
                             examples.constData() + qsizetype(i) * bookfile::ExampleSize,
                             bookfile::ExampleSize);
            }
            number = next++;
            ++kept;
        }
        meaningsTemp.write(meanings.constData(), qsizetype(kept) * bookfile::MeaningSize);
        examplesTemp.write(examples.constData(), qsizetype(kept) * bookfile::ExampleSize);
    }
    // A word whose record lies outside the files keeps its place with blank records.
    for (int p = 0; p < m_index.size(); ++p) {
        const qint32 old = m_index.at(p).recordNo;
        if ((old < 1 || old > count) && !newNumberOutside.contains(old)) {
            meaningsTemp.write(QByteArray(bookfile::MeaningSize, ' '));
            examplesTemp.write(QByteArray(bookfile::ExampleSize, ' '));
            newNumberOutside.insert(old, next++);
        }
    }
    meaningsTemp.syncAndClose();
    step(CompactionStep::MeaningsTempWritten);
    examplesTemp.syncAndClose();
    step(CompactionStep::ExamplesTempWritten);

    std::vector<IndexEntry> renumbered = m_index.entries();
    QHash<QString, QByteArray> rawWords;
    for (IndexEntry& e : renumbered) {
        const qint32 r = numberOf(e.recordNo);
        const auto raw = m_rawWords.constFind(rawKey(e.word, e.recordNo));
        if (raw != m_rawWords.cend())
            rawWords.insert(rawKey(e.word, r), raw.value());
        e.recordNo = r;
    }
    std::stable_sort(
        renumbered.begin(), renumbered.end(),
        [](const IndexEntry& a, const IndexEntry& b) { return a.recordNo < b.recordNo; });
    // The new word file keeps the bytes under the new numbers; a compaction that fails goes on
    // with the old ones.
    std::swap(m_rawWords, rawWords);
    try {
        writeFileAtomically(filePath(bookfile::WordsTemp), wordFileBytes(renumbered));
    } catch (...) {
        std::swap(m_rawWords, rawWords);
        throw;
    }
    workFiles.committed = true;
    step(CompactionStep::WordsTempCommitted);

    close();
    installTemporary(bookfile::MeaningsTemp, bookfile::Meanings);
    step(CompactionStep::MeaningsReplaced);
    installTemporary(bookfile::ExamplesTemp, bookfile::Examples);
    step(CompactionStep::ExamplesReplaced);
    installTemporary(bookfile::WordsTemp, bookfile::Words);
    step(CompactionStep::WordsReplaced);
    removeTemporaries();
    step(CompactionStep::TemporariesRemoved);

    for (int p = 0; p < m_index.size(); ++p)
        m_index.setRecordNo(p, numberOf(m_index.at(p).recordNo));
    m_nextRecord = next;
    m_usedPastEnd.clear();
    m_deletionsPending = false;
}

void Book::writeBack() {
    const BookSession::Operation operation(*m_session);
    if (m_deletionsPending) {
        if (!m_index.isEmpty()) {
            compact();
        } else {
            // Every word was deleted. The word file goes first: a book without it is an empty
            // book whatever else a crash leaves behind.
            close();
            for (const QString& name : {bookfile::Words, bookfile::Meanings, bookfile::Examples})
                diskio::removeIfPresent(filePath(name));
            syncFolder(m_folder);
        }
        m_deletionsPending = false;
    } else {
        if (!m_index.isEmpty())
            writeWordFile();
        close();
    }
}
