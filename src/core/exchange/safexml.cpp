// SPDX-License-Identifier: GPL-3.0-or-later

#include "formats.h"

namespace exchange::detail {

namespace {

// Markup characters as references; control characters other than tab and line feed, which
// XML 1.0 cannot hold, left out.
constexpr AsciiEscapes xmlEscapes() {
    AsciiEscapes escapes;
    for (char c = 0; c < 0x20; ++c)
        if (c != '\t' && c != '\n')
            escapes.leaveOut(c);
    escapes.replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;").replace('"', "&quot;");
    return escapes;
}
constexpr AsciiEscapes XmlEscapes = xmlEscapes();

} // namespace

void appendXmlText(ByteSink& out, QStringView text, int* dropped) {
    *dropped += appendEscaped(out, text, XmlEscapes);
}

void appendXmlRecord(ByteSink& out, QByteArrayView cp932, int* dropped) {
    *dropped += appendCp932Escaped(out, cp932, XmlEscapes);
}

void appendXmlRecordElement(ByteSink& out, const char* open, QByteArrayView cp932,
                            const char* close, int* dropped) {
    if (cp932.isEmpty())
        return;
    out.put(open);
    appendXmlRecord(out, cp932, dropped);
    out.put(close);
}

} // namespace exchange::detail
