// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/review/linefields.h"

#include "core/files/atomicfile.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace linefields {

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

void appendEscaped(QByteArray& out, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    if (std::none_of(utf8.begin(), utf8.end(),
                     [](char c) { return c == '\\' || c == '\t' || c == '\n' || c == '\r'; })) {
        out += utf8;
        return;
    }
    for (char c : utf8) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
}

std::optional<QString> unescaped(QByteArrayView field) {
    if (!field.contains('\\'))
        return QString::fromUtf8(field);
    QByteArray raw;
    raw.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            raw += field[i];
            continue;
        }
        if (++i == field.size())
            return std::nullopt;
        switch (field[i]) {
        case '\\':
            raw += '\\';
            break;
        case 't':
            raw += '\t';
            break;
        case 'n':
            raw += '\n';
            break;
        case 'r':
            raw += '\r';
            break;
        default:
            return std::nullopt;
        }
    }
    return QString::fromUtf8(raw);
}

bool split(QByteArrayView line, QByteArrayView* fields, int count) {
    qsizetype start = 0;
    for (int k = 0; k < count - 1; ++k) {
        const qsizetype tab = line.indexOf('\t', start);
        if (tab < 0)
            return false;
        fields[k] = line.sliced(start, tab - start);
        start = tab + 1;
    }
    fields[count - 1] = line.sliced(start);
    return !fields[count - 1].contains('\t');
}

const char* leadingIntegers(const char* p, const char* end, qint64* out, int count) {
    for (int k = 0; k < count; ++k) {
        const bool negative = p < end && *p == '-';
        if (negative)
            ++p;
        const char* digits = p;
        // At most 18 digits, which never overflow.
        const char* const limit = end - p > 18 ? p + 18 : end;
        qint64 value = 0;
        for (unsigned digit; p < limit && (digit = unsigned(*p) - '0') < 10; ++p)
            value = value * 10 + digit;
        if (p == digits || p == end || *p != '\t')
            return nullptr;
        out[k] = negative ? -value : value;
        ++p;
    }
    return p;
}

std::optional<qint64> integer(QByteArrayView field) {
    qsizetype i = 0;
    const bool negative = !field.isEmpty() && field[0] == '-';
    if (negative)
        i = 1;
    if (i == field.size() || field.size() - i > 18)
        return std::nullopt;
    qint64 value = 0;
    for (; i < field.size(); ++i) {
        const char c = field[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

qint64 appendLines(const QString& path, const QByteArray& lines) {
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0)
        diskio::fail(errno, path);
    try {
        cutTornTail(fd, path);
        diskio::writeAll(fd, path, lines.constData(), lines.size());
        diskio::sync(fd, path);
    } catch (...) {
        ::close(fd);
        throw;
    }
    const off_t size = ::lseek(fd, 0, SEEK_END);
    ::close(fd);
    return qint64(size);
}

} // namespace linefields
