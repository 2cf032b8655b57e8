// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/booktransfer.h"

#include <QString>
#include <QStringList>
#include <vector>

// Words to and from the learner's and the translator's other tools: Anki's plain-text notes,
// the KDE vocabulary document (kvtml 2), OmegaT's tab-separated glossary and TBX. A file is read
// whole into rows first, so a file that is not what it claims is refused before the book is
// touched; the rows then go into the book the way the comma-separated import takes its lines.
namespace exchange {

enum class Format { Anki, Kvtml, OmegaT, Tbx };

// One word as it leaves or enters the book. Line breaks are "\n"; records without their padding.
struct Row {
    int line = 0; // where the row or entry starts in its file, from 1
    QString word;
    QString meaning;
    QString example;
    bool checked = false;
    int fields = 3; // the fields a delimited line had; more than 3 are named in the report
};

// What a reader made of a file: the rows, or why it took none (for the user), and the kinds of
// data the book has no place for, which were left out.
struct ReadResult {
    std::vector<Row> rows;
    QString error;
    QStringList leftOut;
};

// What the other side is told about the book: its name and its two languages.
struct BookInfo {
    QString bookName;
    QString setName;
    QString sourceLocale = QStringLiteral("en");
    QString targetLocale = QStringLiteral("ja");
};

// The book info for a book of this language set; the set's name gives the source language
// where it names one.
BookInfo infoFor(const QString& bookName, const QString& setName);

// Files larger than this are refused before they are read.
constexpr qint64 MaxFileSize = qint64(200) << 20;

// The format a file name's extension stands for on import; false for anything else.
bool formatOfPath(const QString& path, Format* format);
// The same for a file to import, looking into a ".txt": Anki writes its notes tab-separated (its
// headers name the separator), while a ".txt" without a tab in its first line and without those
// headers is a comma-separated file under another name, which the CSV import reads as it always
// did. False for such a file and for anything that is none of the formats.
bool formatOfFile(const QString& path, Format* format);
// The save dialog's filter of the format, as the export list names it.
QString filterOf(Format format);
QString suffixOf(Format format);
QString nameOf(Format format);

// Writes the words of sourceFolder as a file of the format, whole or not at all. Returns how many
// characters were left out because the format cannot hold them (control characters in XML).
int exportFile(Format format, const QString& sourceFolder, const std::vector<IndexEntry>& words,
               const QString& path, const BookInfo& info);

// Reads a file of the format; nothing is changed whatever the file holds.
ReadResult readFile(Format format, const QString& path);

// Adds the rows to the receiving book as the comma-separated import adds its lines: duplicates
// (with the book or an earlier row) and refused words are skipped and named, long records cut.
// The book is replaced as a whole.
booktransfer::CsvImportReport importRows(const std::vector<Row>& rows,
                                         const QString& receivingFolder, TransferHook hook = {});

} // namespace exchange
