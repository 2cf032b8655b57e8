// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/booktransfer.h"

#include <QByteArray>
#include <QStringView>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace exchange {

// Bytes gathered for a file, grown in large steps and copied in without the bookkeeping a
// QByteArray append costs: a hundred thousand words are millions of small pieces.
class ByteSink {
public:
    explicit ByteSink(qsizetype expected = 256) {
        m_bytes.resize(std::max<qsizetype>(expected, 64));
    }
    ByteSink& put(QByteArrayView v) {
        std::memcpy(room(v.size()), v.data(), size_t(v.size()));
        m_used += v.size();
        return *this;
    }
    ByteSink& put(const char* data, qsizetype n) { return put(QByteArrayView(data, n)); }
    ByteSink& put(char c) {
        *room(1) = c;
        ++m_used;
        return *this;
    }
    // A count in decimal digits.
    ByteSink& putNumber(std::uint64_t n);
    // Room for at least n more bytes, to be written through the pointer and then committed.
    char* reserve(qsizetype n) { return room(n); }
    void commit(const char* end) { m_used = end - m_bytes.constData(); }
    void reset() { m_used = 0; }
    bool isEmpty() const { return m_used == 0; }
    QByteArrayView view() const { return {m_bytes.constData(), m_used}; }
    QByteArray take() {
        m_bytes.truncate(m_used);
        return std::move(m_bytes);
    }

private:
    char* room(qsizetype n) {
        if (m_used + n > m_bytes.size())
            m_bytes.resize(std::max(m_bytes.size() * 2, m_used + n));
        return m_bytes.data() + m_used;
    }
    QByteArray m_bytes;
    qsizetype m_used = 0;
};

// One word on its way out: the word, and its records as stored (CP932, line breaks CR LF)
// without their padding.
struct ExportRow {
    QStringView word;
    QByteArrayView meaning;
    QByteArrayView example;
    bool checked = false;
};

// How a format writes each ASCII character of a field: as it is, as other bytes, or not at all.
// Characters past ASCII are always written as they are.
class AsciiEscapes {
public:
    // The character c written as replacement; an empty replacement leaves it out.
    constexpr AsciiEscapes& replace(char c, const char* replacement) {
        Escape& e = m_escapes[size_t(uchar(c))];
        e.size = 0;
        while (replacement[e.size] != 0) {
            e.bytes[e.size] = replacement[e.size];
            ++e.size;
        }
        return *this;
    }
    constexpr AsciiEscapes& leaveOut(char c) { return replace(c, ""); }

    static constexpr std::uint8_t Kept = 0xFF;
    static constexpr int Longest = 7;
    struct Escape {
        std::uint8_t size = Kept;
        char bytes[Longest] = {};
    };
    constexpr const Escape& of(uchar c) const { return m_escapes[c]; }

private:
    std::array<Escape, 128> m_escapes{};
};

// Appends CP932 bytes as UTF-8 with the escapes applied, in one pass and without a string in
// between: CR LF and a lone CR count as "\n"; bytes that are no CP932 character become U+FFFD,
// as the store shows them. Returns how many characters the escapes left out.
int appendCp932Escaped(ByteSink& out, QByteArrayView bytes, const AsciiEscapes& escapes);
// The same for text that is a string.
int appendEscaped(ByteSink& out, QStringView text, const AsciiEscapes& escapes);

// The words to export with their records, handed to a writer one at a time, so a hundred
// thousand words cost no more than their bytes.
class ExportRows {
public:
    ExportRows(const BookRecords& records, const std::vector<IndexEntry>& words)
        : m_records(records), m_words(words) {}
    size_t size() const { return m_words.size(); }
    // Calls write(i, row) for each word in turn, the row filled anew each time.
    template <class Write> void forEach(Write write) const {
        ExportRow row;
        for (size_t i = 0; i < m_words.size(); ++i) {
            fill(i, row);
            write(i, row);
        }
    }

private:
    void fill(size_t i, ExportRow& row) const;

    const BookRecords& m_records;
    const std::vector<IndexEntry>& m_words;
};

} // namespace exchange
