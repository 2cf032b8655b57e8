// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/booktransfer.h"

#include <QByteArray>
#include <algorithm>
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
    // Room for at least n more bytes, to be written through the pointer and then committed.
    char* reserve(qsizetype n) { return room(n); }
    void commit(const char* end) { m_used = end - m_bytes.constData(); }
    // Text as UTF-8; plain ASCII is copied as it is.
    void putUtf8(QStringView text);
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

// One word on its way out, as UTF-8: records without their padding, line breaks as "\n".
struct ExportRow {
    ByteSink word;
    ByteSink meaning;
    ByteSink example;
    bool checked = false;
};

// The words to export with their records, handed to a writer one at a time into the same row,
// so a hundred thousand words cost no more than their bytes. The records go from CP932 to UTF-8
// through a table, without a string in between.
class ExportRows {
public:
    ExportRows(const BookRecords& records, const std::vector<IndexEntry>& words)
        : m_records(records), m_words(words) {}
    size_t size() const { return m_words.size(); }
    void fill(size_t i, ExportRow& row) const;

private:
    const BookRecords& m_records;
    const std::vector<IndexEntry>& m_words;
};

// Appends CP932 bytes as UTF-8, CR LF and lone CR as "\n"; bytes that are no CP932 character
// become U+FFFD, as the store shows them.
void appendCp932AsUtf8(ByteSink& out, QByteArrayView bytes);

} // namespace exchange
