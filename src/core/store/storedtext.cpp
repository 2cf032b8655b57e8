// SPDX-License-Identifier: GPL-3.0-or-later
#include "storedtext.h"

#include "core/text/cp932.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace storedtext {

// Records are mostly padding, so it is skipped eight spaces at a time.
QByteArrayView trimmedRight(QByteArrayView v) {
    constexpr std::uint64_t Spaces = 0x2020202020202020ULL;
    const char* data = v.data();
    qsizetype end = v.size();
    while (end >= 8) {
        std::uint64_t chunk;
        std::memcpy(&chunk, data + end - 8, 8);
        if (chunk != Spaces)
            break;
        end -= 8;
    }
    while (end > 0 && data[end - 1] == ' ')
        --end;
    return v.first(end);
}

QString trimmedRight(QString s) {
    while (s.endsWith(u' '))
        s.chop(1);
    return s;
}

QByteArray encodedWord(const QString& word) {
    const bool ascii =
        std::all_of(word.cbegin(), word.cend(), [](QChar c) { return c.unicode() < 0x80; });
    return ascii ? word.toLatin1() : cp932::encode(word);
}

} // namespace storedtext
