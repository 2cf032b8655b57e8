// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/booktransfer.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <string>
#include <unordered_map>

namespace booktransfer {

// Adds words read from a file, a row at a time, to the words a book already has, the way the
// comma-separated import takes its lines: words the book has or an earlier row brought (in the
// main window's comparison) and words the store refuses are skipped and named in the report,
// records too long for the book are cut. The book is replaced as a whole at commit().
class RowImport {
public:
    // expectedRows only sizes the table of words seen.
    RowImport(const QString& receivingFolder, TransferHook hook, size_t expectedRows);

    // One row: the line it starts on (from 1), its fields as read (line breaks of any kind), and
    // how many fields it had (more than three are named in the report).
    void add(int line, const QString& word, const QString& meaning, const QString& example,
             qsizetype fields);
    CsvImportReport commit();

private:
    bool refused(int line, const QString& word, const QString& meaningText,
                 const QString& exampleText, bool* cut);
    bool repeated(int line, const QString& word);

    std::optional<BookWriter> m_writer;
    // Each word's sort key and the line that brought it (0: the book had it).
    std::unordered_map<std::string, int> m_known;
    CsvImportReport m_report;
    QByteArray m_wordBytes;
    QByteArray m_meaningBytes;
    QByteArray m_exampleBytes;
};

} // namespace booktransfer
