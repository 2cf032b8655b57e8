// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/review/answerlog.h"

#include "core/files/atomicfile.h"
#include "core/files/failure.h"
#include "core/review/linefields.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace answerlog {

namespace {

// Cuts a torn last line away, so the next line starts on a line of its own.
void cutTornTail(int fd, const QString& path) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        diskio::fail(errno, path);
    off_t end = st.st_size;
    if (end == 0)
        return;
    char last = 0;
    if (::pread(fd, &last, 1, end - 1) != 1)
        diskio::fail(errno, path);
    if (last == '\n')
        return;
    // Walk back to the last line end; a log is read in blocks so a long torn line costs little.
    char block[4096];
    off_t keep = 0;
    for (off_t pos = end; pos > 0 && keep == 0;) {
        const off_t from = std::max<off_t>(0, pos - off_t(sizeof block));
        const ssize_t n = ::pread(fd, block, size_t(pos - from), from);
        if (n <= 0)
            diskio::fail(n < 0 ? errno : EIO, path);
        for (ssize_t i = n - 1; i >= 0; --i)
            if (block[i] == '\n') {
                keep = from + i + 1;
                break;
            }
        pos = from;
    }
    if (::ftruncate(fd, keep) != 0)
        diskio::fail(errno, path);
}

} // namespace

QByteArray line(const LoggedAnswer& a) {
    QByteArray out = QByteArray::number(a.time) + '\t' + QByteArray::number(a.recordNo) + '\t' +
                     QByteArray::number(int(a.grade)) + '\t' + QByteArray::number(a.seconds) + '\t';
    linefields::appendEscaped(out, a.word);
    out += '\n';
    return out;
}

qint64 append(const QString& path, const LoggedAnswer& answer) {
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0)
        diskio::fail(errno, path);
    try {
        cutTornTail(fd, path);
        const QByteArray bytes = line(answer);
        diskio::writeAll(fd, path, bytes.constData(), bytes.size());
        diskio::sync(fd, path);
    } catch (...) {
        ::close(fd);
        throw;
    }
    const off_t size = ::lseek(fd, 0, SEEK_END);
    ::close(fd);
    return qint64(size);
}

Parsed parse(const QByteArray& bytes, qsizetype offset) {
    Parsed parsed;
    qsizetype start = std::clamp<qsizetype>(offset, 0, bytes.size());
    while (start < bytes.size()) {
        const qsizetype eol = bytes.indexOf('\n', start);
        if (eol < 0)
            break;
        const QByteArrayView text(bytes.constData() + start, eol - start);
        start = eol + 1;
        QByteArrayView f[5];
        if (!linefields::split(text, f, 5)) {
            ++parsed.damagedLines;
            continue;
        }
        const auto time = linefields::integer(f[0]);
        const auto recordNo = linefields::integer(f[1]);
        const auto grade = linefields::integer(f[2]);
        const auto seconds = linefields::integer(f[3]);
        const auto word = linefields::unescaped(f[4]);
        if (!time || !recordNo || !grade || *grade < 1 || *grade > 4 || !seconds || !word) {
            ++parsed.damagedLines;
            continue;
        }
        parsed.answers.push_back(
            {*time, *word, qint32(*recordNo), Grade(int(*grade)), int(*seconds)});
    }
    return parsed;
}

QByteArray read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace answerlog
