// SPDX-License-Identifier: GPL-3.0-or-later
#include "booktransfer.h"
#include "core/files/atomicfile.h"
#include "core/files/failure.h"
#include "core/store/bookmanifest.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray nativePath(const QString& path) {
    return QFile::encodeName(path);
}

QByteArrayView prefix(QByteArrayView v, qsizetype n) {
    return v.first(std::min(v.size(), n));
}

} // namespace

BookRecords::BookRecords(const QString& folder) : m_blank(bookfile::ExampleSize, ' ') {
    bookmanifest::requireWhole(folder);
    const Book::FilesToRead files = Book::filesToRead(folder);
    m_meanings = readWhole(files.meanings);
    try {
        m_examples = readWhole(files.examples);
    } catch (...) {
        release(m_meanings);
        throw;
    }
}

BookRecords::~BookRecords() {
    release(m_meanings);
    release(m_examples);
}

BookRecords::WholeFile BookRecords::readWhole(const QString& path) {
    const QByteArray name = nativePath(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return {};
        throw RuntimeFailure(failure::PathFileAccess, path);
    }
    WholeFile file;
    try {
        struct stat st {};
        if (::fstat(fd, &st) != 0)
            diskio::fail(errno, path);
        const size_t size = size_t(st.st_size);
        if (size == 0) {
            ::close(fd);
            return {};
        }
        constexpr size_t LargePage = size_t(2) << 20;
        file.mapped = (size + LargePage - 1) / LargePage * LargePage;
        void* memory = ::mmap(nullptr, file.mapped, PROT_READ | PROT_WRITE,
                              MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED) {
            file.mapped = 0;
            throw std::bad_alloc();
        }
        file.data = static_cast<char*>(memory);
        ::madvise(memory, file.mapped, MADV_HUGEPAGE);
        // Every byte is read, or the reading fails: a record file cut short by a read error
        // would give later words blank records.
        while (size_t(file.size) < size) {
            const ssize_t n = ::read(fd, file.data + file.size, size - size_t(file.size));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                diskio::fail(errno, path);
            if (n == 0)
                break;
            file.size += n;
        }
    } catch (...) {
        ::close(fd);
        release(file);
        throw;
    }
    ::close(fd);
    return file;
}

void BookRecords::release(WholeFile& file) {
    if (file.mapped)
        ::munmap(file.data, file.mapped);
    file = {};
}

QByteArrayView BookRecords::meaning(qint32 recordNo) const {
    const qint64 start = qint64(recordNo - 1) * bookfile::MeaningSize;
    if (recordNo < 1 || start >= m_meanings.size)
        return prefix(QByteArrayView(m_blank), bookfile::MeaningSize);
    return prefix(m_meanings.view().sliced(start), bookfile::MeaningSize);
}

QByteArrayView BookRecords::example(qint32 recordNo) const {
    const qint64 start = qint64(recordNo - 1) * bookfile::ExampleSize;
    if (recordNo < 1 || start >= m_examples.size)
        return m_blank;
    return prefix(m_examples.view().sliced(start), bookfile::ExampleSize);
}

std::vector<IndexEntry> readWordList(const QString& folder) {
    if (!QFileInfo(folder).isDir())
        throw RuntimeFailure(failure::PathNotFound, folder);
    Book book(folder, WordIndex::Order::Ordinal);
    book.open(true);
    std::vector<IndexEntry> words = book.index().entries();
    book.close();
    if (!words.empty() && !QFile::exists(Book::filesToRead(folder).meanings))
        throw RuntimeFailure(failure::FileNotFound, folder + u'/' + bookfile::Meanings);
    return words;
}

std::vector<Book::StoredWord> readStoredWords(const QString& folder) {
    if (!QFileInfo(folder).isDir())
        throw RuntimeFailure(failure::PathNotFound, folder);
    bookmanifest::requireWhole(folder);
    const Book::FilesToRead files = Book::filesToRead(folder);
    QFile file(files.words);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeFailure(failure::FileNotFound, files.words);
    std::vector<Book::StoredWord> words = Book::parseWordFile(file.readAll());
    if (!words.empty() && !QFile::exists(files.meanings))
        throw RuntimeFailure(failure::FileNotFound, folder + u'/' + bookfile::Meanings);
    return words;
}
