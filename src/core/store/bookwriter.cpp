// SPDX-License-Identifier: GPL-3.0-or-later
#include "booktransfer.h"
#include "core/files/atomicfile.h"
#include "core/files/failure.h"
#include "core/store/bookmanifest.h"
#include "core/store/storedtext.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using storedtext::encodedWord;

namespace {

QByteArray nativePath(const QString& path) {
    return QFile::encodeName(path);
}

// Records gather in a buffer of this size before they go to their file: few writes, and memory
// that stays warm in the cache however large the book.
constexpr qsizetype OutputBufferSize = 1 << 20;

} // namespace

BookWriter::BookWriter(QString folder, TransferHook hook)
    : m_folder(std::move(folder)), m_hook(std::move(hook)) {
    m_meanings.path = path(bookfile::MeaningsTemp);
    m_meanings.recordSize = bookfile::MeaningSize;
    m_examples.path = path(bookfile::ExamplesTemp);
    m_examples.recordSize = bookfile::ExampleSize;
    if (!QFileInfo(m_folder).isDir())
        throw RuntimeFailure(failure::PathNotFound, m_folder);
    // An earlier replacement a kill interrupted is finished (or discarded) first, so that its
    // word file can never be taken together with the records written now.
    if (QFile::exists(path(bookfile::WordsTemp))) {
        Book earlier(m_folder);
        try {
            earlier.open();
            earlier.close();
        } catch (const BookMissing&) {
            diskio::removeIfPresent(path(bookfile::WordsTemp));
        }
    }
    for (Output* out : {&m_meanings, &m_examples}) {
        out->fd = ::open(nativePath(out->path).constData(),
                         O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (out->fd < 0) {
            const int error = errno;
            closeFiles();
            diskio::fail(error, out->path);
        }
    }
}

BookWriter::~BookWriter() {
    closeFiles();
    if (!m_committing) {
        ::unlink(nativePath(m_meanings.path).constData());
        ::unlink(nativePath(m_examples.path).constData());
    }
}

void BookWriter::closeFiles() {
    for (Output* out : {&m_meanings, &m_examples}) {
        if (out->fd >= 0)
            ::close(out->fd);
        out->fd = -1;
    }
}

void BookWriter::add(const QString& word, QByteArrayView meaning, QByteArrayView example) {
    add(QByteArrayView(encodedWord(word)), meaning, example);
}

void BookWriter::add(QByteArrayView wordBytes, QByteArrayView meaning, QByteArrayView example) {
    ++m_wordCount;
    append(m_meanings, meaning);
    append(m_examples, example);
    m_words.append('"');
    m_words.append(wordBytes);
    m_words.append("\",");
    char digits[16];
    const char* end = std::to_chars(digits, digits + sizeof digits, m_wordCount).ptr;
    m_words.append(digits, end - digits);
    m_words.append("\r\n");
}

void BookWriter::append(Output& out, QByteArrayView record) {
    const qsizetype size = out.recordSize;
    if (out.buffer.isEmpty())
        out.buffer = QByteArray(OutputBufferSize, Qt::Uninitialized);
    if (out.used + size > out.buffer.size())
        flush(out);
    char* p = out.buffer.data() + out.used;
    const qsizetype n = std::min(record.size(), size);
    if (n > 0) // an empty record may have no data at all
        std::memcpy(p, record.data(), size_t(n));
    std::memset(p + n, ' ', size_t(size - n));
    out.used += size;
}

void BookWriter::flush(Output& out) {
    if (out.used == 0)
        return;
    diskio::writeAll(out.fd, out.path, out.buffer.constData(), out.used);
    // The disk starts on what is written while the rest is gathered, so the sync at the end has
    // less left to wait for.
    ::sync_file_range(out.fd, out.written, out.used, SYNC_FILE_RANGE_WRITE);
    out.written += out.used;
    out.used = 0;
}

void BookWriter::install(const QString& temporary, const QString& target) {
    // The temporary stays until every file is in place, so the set stays complete for the
    // roll-forward until the end.
    diskio::installLinkOf(path(temporary), path(target));
}

void BookWriter::commit() {
    flush(m_meanings);
    flush(m_examples);
    diskio::sync(m_meanings.fd, m_meanings.path);
    step(CompactionStep::MeaningsTempWritten);
    diskio::sync(m_examples.fd, m_examples.path);
    step(CompactionStep::ExamplesTempWritten);
    closeFiles();
    if (m_wordCount == 0) {
        commitEmpty();
        return;
    }
    writeFileAtomically(path(bookfile::WordsTemp), m_words);
    // The book's manifest says "writing" by this machine before any of its files is replaced and
    // describes the new files once they all are. A failure before this point leaves the folder as
    // it was; a crash from the committed word file on is finished by the next open.
    bookmanifest::beginWrite(m_folder);
    m_committing = true;
    step(CompactionStep::WordsTempCommitted);
    install(bookfile::MeaningsTemp, bookfile::Meanings);
    step(CompactionStep::MeaningsReplaced);
    install(bookfile::ExamplesTemp, bookfile::Examples);
    step(CompactionStep::ExamplesReplaced);
    install(bookfile::WordsTemp, bookfile::Words);
    step(CompactionStep::WordsReplaced);
    syncFolder(m_folder);
    for (const QString& name :
         {bookfile::WordsTemp, bookfile::MeaningsTemp, bookfile::ExamplesTemp})
        diskio::removeIfPresent(path(name));
    syncFolder(m_folder);
    step(CompactionStep::TemporariesRemoved);
    bookmanifest::endWrite(m_folder);
}

// A book with no words: the words file goes first, after which the book already reads as empty
// whatever records are left; then the record files are emptied.
void BookWriter::commitEmpty() {
    bookmanifest::beginWrite(m_folder);
    m_committing = true;
    diskio::removeIfPresent(path(bookfile::Words));
    syncFolder(m_folder);
    step(CompactionStep::WordsReplaced);
    for (const auto& [temporary, target] : {std::pair{bookfile::MeaningsTemp, bookfile::Meanings},
                                            std::pair{bookfile::ExamplesTemp, bookfile::Examples}})
        diskio::rename(path(temporary), path(target), path(target));
    syncFolder(m_folder);
    step(CompactionStep::TemporariesRemoved);
    bookmanifest::endWrite(m_folder);
}
