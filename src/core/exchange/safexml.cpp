// SPDX-License-Identifier: GPL-3.0-or-later

#include "formats.h"

#include <cstring>

namespace exchange::detail {

void appendXmlText(ByteSink& out, QStringView text, int* dropped) {
    appendXmlText(out, QByteArrayView(text.toUtf8()), dropped);
}

void appendXmlText(ByteSink& out, QByteArrayView utf8, int* dropped) {
    // "&quot;" is the longest a byte grows.
    char* p = out.reserve(utf8.size() * 6);
    const auto put = [&p](const char* text, int size) {
        std::memcpy(p, text, size_t(size));
        p += size;
    };
    for (const char c : utf8) {
        switch (c) {
        case '&':
            put("&amp;", 5);
            break;
        case '<':
            put("&lt;", 4);
            break;
        case '>':
            put("&gt;", 4);
            break;
        case '"':
            put("&quot;", 6);
            break;
        default:
            if (uchar(c) >= 0x20 || c == '\t' || c == '\n')
                *p++ = c;
            else
                ++*dropped;
        }
    }
    out.commit(p);
}

} // namespace exchange::detail
