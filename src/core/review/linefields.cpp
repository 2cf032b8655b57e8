// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/review/linefields.h"

#include <algorithm>

namespace linefields {

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
        qint64 value = 0;
        while (p < end && *p >= '0' && *p <= '9' && p - digits < 18)
            value = value * 10 + (*p++ - '0');
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

} // namespace linefields
