// SPDX-License-Identifier: GPL-3.0-or-later
#include "utf8records.h"

#include "core/text/cp932.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

namespace exchange {

namespace {

// The UTF-8 bytes of every CP932 character, found once through the code page's own decoder:
// the low three bytes hold the UTF-8 bytes, the top byte how many there are.
class Cp932Table {
public:
    Cp932Table() {
        for (int b = 0; b < 256; ++b) {
            const char c = char(b);
            m_single[size_t(b)] =
                pack(cp932::isLeadByte(uchar(b)) ? QString(QChar::ReplacementCharacter)
                                                 : cp932::decode(QByteArrayView(&c, 1)));
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!cp932::isLeadByte(uchar(lead)))
                continue;
            for (int trail = 0; trail < 256; ++trail) {
                const char pair[2] = {char(lead), char(trail)};
                bool ok = true;
                const QString text = cp932::decode(QByteArrayView(pair, 2), &ok);
                // A pair that is no character stays 0: its lead byte alone is the damage.
                if (ok && text.size() == 1)
                    m_double[size_t(lead << 8 | trail)] = pack(text);
            }
        }
    }
    std::uint32_t single(uchar b) const { return m_single[b]; }
    std::uint32_t pair(uchar lead, uchar trail) const {
        return m_double[size_t(lead << 8 | trail)];
    }

private:
    static std::uint32_t pack(const QString& text) {
        const QByteArray utf8 = text.left(1).toUtf8();
        std::uint32_t packed = std::uint32_t(utf8.size()) << 24;
        for (qsizetype i = 0; i < utf8.size() && i < 3; ++i)
            packed |= std::uint32_t(uchar(utf8[i])) << (8 * i);
        return packed;
    }
    std::array<std::uint32_t, 256> m_single{};
    std::array<std::uint32_t, 65536> m_double{};
};

const Cp932Table& table() {
    static const std::unique_ptr<Cp932Table> t = std::make_unique<Cp932Table>();
    return *t;
}

// Records are mostly padding, so it is skipped eight spaces at a time.
QByteArrayView withoutPadding(QByteArrayView v) {
    constexpr std::uint64_t Spaces = 0x2020202020202020ULL;
    qsizetype end = v.size();
    while (end >= 8) {
        std::uint64_t chunk;
        std::memcpy(&chunk, v.data() + end - 8, 8);
        if (chunk != Spaces)
            break;
        end -= 8;
    }
    while (end > 0 && v[end - 1] == ' ')
        --end;
    return v.first(end);
}

} // namespace

void appendCp932AsUtf8(ByteSink& out, QByteArrayView bytes) {
    const Cp932Table& t = table();
    const qsizetype n = bytes.size();
    // No CP932 byte becomes more than three bytes of UTF-8.
    char* p = out.reserve(n * 3);
    const auto put = [&p](std::uint32_t packed) {
        const int size = int(packed >> 24);
        p[0] = char(packed & 0xFF);
        if (size > 1)
            p[1] = char(packed >> 8 & 0xFF);
        if (size > 2)
            p[2] = char(packed >> 16 & 0xFF);
        p += size;
    };
    qsizetype i = 0;
    while (i < n) {
        const uchar b = uchar(bytes[i]);
        if (b < 0x80 && b != '\r') {
            *p++ = char(b);
            ++i;
        } else if (b == '\r') {
            *p++ = '\n';
            i += i + 1 < n && bytes[i + 1] == '\n' ? 2 : 1;
        } else if (cp932::isLeadByte(b) && i + 1 < n && t.pair(b, uchar(bytes[i + 1])) != 0) {
            put(t.pair(b, uchar(bytes[i + 1])));
            i += 2;
        } else {
            put(t.single(b));
            ++i;
        }
    }
    out.commit(p);
}

void ByteSink::putUtf8(QStringView text) {
    const bool ascii =
        std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
    if (!ascii) {
        put(QByteArrayView(text.toUtf8()));
        return;
    }
    char* p = room(text.size());
    for (QChar c : text)
        *p++ = char(c.unicode());
    m_used += text.size();
}

void ExportRows::fill(size_t i, ExportRow& row) const {
    const IndexEntry& e = m_words[i];
    row.word.reset();
    row.word.putUtf8(e.word);
    row.meaning.reset();
    appendCp932AsUtf8(row.meaning, withoutPadding(m_records.meaning(e.recordNo)));
    row.example.reset();
    appendCp932AsUtf8(row.example, withoutPadding(m_records.example(e.recordNo)));
    row.checked = e.checkMark;
}

} // namespace exchange
