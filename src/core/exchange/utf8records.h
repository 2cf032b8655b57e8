// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/booktransfer.h"

#include <QByteArray>
#include <vector>

namespace exchange {

// One word on its way out, as UTF-8: records without their padding, line breaks as "\n".
struct ExportRow {
    QByteArray word;
    QByteArray meaning;
    QByteArray example;
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
void appendCp932AsUtf8(QByteArray& out, QByteArrayView bytes);

} // namespace exchange
