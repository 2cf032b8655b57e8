// SPDX-License-Identifier: GPL-3.0-or-later
#include "utf8records.h"

#include "core/store/storedtext.h"
#include "core/text/cp932.h"

#include <QtEndian>
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

} // namespace

namespace {

// Writes the character's replacement; false where the escapes leave it out.
inline bool putAscii(char*& p, uchar c, const AsciiEscapes& escapes) {
    const AsciiEscapes::Escape& e = escapes.of(c);
    if (e.size == AsciiEscapes::Kept) {
        *p++ = char(c);
        return true;
    }
    std::memcpy(p, e.bytes, sizeof e.bytes);
    p += e.size;
    return e.size != 0;
}

// The packed UTF-8 bytes of a table entry, written four at a time: the fourth is written over.
inline void putPacked(char*& p, std::uint32_t packed) {
    const std::uint32_t bytes = qToLittleEndian(packed & 0xFFFFFF);
    std::memcpy(p, &bytes, 4);
    p += packed >> 24;
}

} // namespace

int appendCp932Escaped(ByteSink& out, QByteArrayView bytes, const AsciiEscapes& escapes) {
    const Cp932Table& t = table();
    const qsizetype n = bytes.size();
    const auto* in = reinterpret_cast<const uchar*>(bytes.data());
    // No byte becomes more than an escape, and no character more than three bytes of UTF-8;
    // room for the fourth byte a character's bytes are written with.
    char* p = out.reserve(n * AsciiEscapes::Longest + 4);
    int left = 0;
    qsizetype i = 0;
    while (i < n) {
        const uchar b = in[i];
        if (b < 0x80) {
            if (b == '\r') {
                left += !putAscii(p, '\n', escapes);
                i += i + 1 < n && in[i + 1] == '\n' ? 2 : 1;
            } else {
                left += !putAscii(p, b, escapes);
                ++i;
            }
        } else if (cp932::isLeadByte(b) && i + 1 < n && t.pair(b, in[i + 1]) != 0) {
            putPacked(p, t.pair(b, in[i + 1]));
            i += 2;
        } else {
            putPacked(p, t.single(b));
            ++i;
        }
    }
    out.commit(p);
    return left;
}

int appendEscaped(ByteSink& out, QStringView text, const AsciiEscapes& escapes) {
    const bool ascii =
        std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
    if (!ascii) {
        const QByteArray utf8 = text.toUtf8();
        char* p = out.reserve(utf8.size() * AsciiEscapes::Longest);
        int left = 0;
        for (const char c : utf8) {
            if (uchar(c) < 0x80)
                left += !putAscii(p, uchar(c), escapes);
            else
                *p++ = c;
        }
        out.commit(p);
        return left;
    }
    char* p = out.reserve(text.size() * AsciiEscapes::Longest);
    int left = 0;
    for (QChar c : text)
        left += !putAscii(p, uchar(c.unicode()), escapes);
    out.commit(p);
    return left;
}

ByteSink& ByteSink::putNumber(std::uint64_t n) {
    char digits[20];
    int size = 0;
    do {
        digits[size++] = char('0' + n % 10);
        n /= 10;
    } while (n != 0);
    char* p = room(size);
    for (int i = 0; i < size; ++i)
        p[i] = digits[size - 1 - i];
    m_used += size;
    return *this;
}

namespace {

void prefetch(QByteArrayView bytes) {
    for (qsizetype at = 0; at < bytes.size(); at += 64)
        __builtin_prefetch(bytes.data() + at);
}

} // namespace

void ExportRows::fill(size_t i, ExportRow& row) const {
    // The words come in the list's order and their records from anywhere in the files: the
    // records of a word a few ahead are asked for while this one is written.
    constexpr size_t Ahead = 4;
    if (i + Ahead < m_words.size()) {
        const qint32 ahead = m_words[i + Ahead].recordNo;
        prefetch(m_records.meaning(ahead));
        prefetch(m_records.example(ahead));
    }
    const IndexEntry& e = m_words[i];
    row.word = e.word;
    row.meaning = storedtext::trimmedRight(m_records.meaning(e.recordNo));
    row.example = storedtext::trimmedRight(m_records.example(e.recordNo));
    row.checked = e.checkMark;
}

} // namespace exchange
