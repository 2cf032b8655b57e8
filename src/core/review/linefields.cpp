// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/review/linefields.h"

#include "core/files/atomicfile.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
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

namespace {

// The length of the run of decimal digits at the start of the 8 bytes of chunk (first byte lowest)
// and their value, read all at once: a large state file holds millions of these numbers.
struct Digits {
    int length;
    quint64 value;
};
inline __attribute__((always_inline)) Digits digitsOf(quint64 chunk) {
    const quint64 a = chunk ^ 0x3030303030303030u; // a digit's byte becomes 0 to 9
    // A byte above 9 gets its top bit; a carry out of such a byte only marks bytes after it.
    const quint64 nonDigit = ((a + 0x7676767676767676u) | a) & 0x8080808080808080u;
    const int length = nonDigit ? std::countr_zero(nonDigit) / 8 : 8;
    if (length == 0)
        return {0, 0};
    // The digits moved to the top bytes, with zeros before them, then combined pairwise.
    quint64 v = a << (8 * (8 - length));
    v = ((v & 0x0F0F0F0F0F0F0F0Fu) * 2561) >> 8;
    v = ((v & 0x00FF00FF00FF00FFu) * 6553601) >> 16;
    v = ((v & 0x0000FFFF0000FFFFu) * 42949672960001u) >> 32;
    return {length, v};
}

constexpr quint64 PowersOfTen[9] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

// A bit for each tab among the 8 bytes of chunk, the first byte's lowest.
inline __attribute__((always_inline)) unsigned tabsOf(quint64 chunk) {
    const quint64 x = chunk ^ 0x0909090909090909u; // a tab's byte becomes 0
    const quint64 zero =
        ~(((x & 0x7F7F7F7F7F7F7F7Fu) + 0x7F7F7F7F7F7F7F7Fu) | x | 0x7F7F7F7F7F7F7F7Fu);
    return unsigned(((zero >> 7) * 0x0102040810204080u) >> 56);
}

// The integers of a line whose first 64 bytes hold them all, unsigned and of at most 16 digits,
// as nearly all are: the tabs are found first, so each number is read on its own rather than
// after the one before. nullptr when the line is not so; the careful reading then decides.
const char* quickIntegers(const char* p, qint64* out, int count) {
    quint64 tabs = 0;
    for (int k = 0; k < 8; ++k) {
        quint64 chunk;
        std::memcpy(&chunk, p + 8 * k, 8);
        if constexpr (std::endian::native == std::endian::big)
            chunk = qbswap(chunk);
        tabs |= quint64(tabsOf(chunk)) << (8 * k);
    }
    int from = 0;
    for (int k = 0; k < count; ++k) {
        if (tabs == 0)
            return nullptr;
        const int to = std::countr_zero(tabs);
        tabs &= tabs - 1;
        const int length = to - from;
        if (length < 1 || length > 16)
            return nullptr;
        quint64 chunk;
        std::memcpy(&chunk, p + from, 8);
        if constexpr (std::endian::native == std::endian::big)
            chunk = qbswap(chunk);
        Digits d = digitsOf(chunk);
        quint64 value = d.value;
        if (length > 8 && d.length == 8) {
            std::memcpy(&chunk, p + from + 8, 8);
            if constexpr (std::endian::native == std::endian::big)
                chunk = qbswap(chunk);
            const Digits more = digitsOf(chunk);
            value = value * PowersOfTen[more.length] + more.value;
            d.length += more.length;
        }
        if (d.length != length)
            return nullptr;
        out[k] = qint64(value);
        from = to + 1;
    }
    return p + from;
}

} // namespace

const char* leadingIntegers(const char* p, const char* end, qint64* out, int count) {
    // Reads up to 16 bytes past the 64 only within the buffer.
    if (end - p >= 64 + 16)
        if (const char* next = quickIntegers(p, out, count))
            return next;
    for (int k = 0; k < count; ++k) {
        const bool negative = p < end && *p == '-';
        if (negative)
            ++p;
        const char* digits = p;
        // At most 18 digits, which never overflow.
        const char* const limit = end - p > 18 ? p + 18 : end;
        quint64 value = 0;
        while (limit - p >= 8) {
            quint64 chunk;
            std::memcpy(&chunk, p, 8);
            if constexpr (std::endian::native == std::endian::big)
                chunk = qbswap(chunk);
            const Digits d = digitsOf(chunk);
            value = value * PowersOfTen[d.length] + d.value;
            p += d.length;
            if (d.length < 8)
                break;
        }
        for (unsigned digit; p < limit && (digit = unsigned(*p) - '0') < 10; ++p)
            value = value * 10 + digit;
        if (p == digits || p == end || *p != '\t')
            return nullptr;
        out[k] = negative ? -qint64(value) : qint64(value);
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
