// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// The word file as the store reads it, and the names of what an interrupted write leaves beside
// the book's files.
namespace wordfile {

// One parsed line of the word file.
struct WordLine {
    QByteArray word;
    qint32 recordNo = 0;
    bool numberOk = false;
    bool unclosed = false;
};

// Splits the word file into lines and reads each as a word and its record number.
std::vector<WordLine> parseWordLines(const QByteArray& bytes);
// Decodes a word's bytes; bytes that are not CP932 become U+FFFD and clear ok.
QString decodeWord(QByteArrayView bytes, bool& ok);
bool isAscii(QByteArrayView bytes);
// The key under which a word read from bytes that are not CP932 keeps those bytes.
QString rawKey(const QString& word, qint32 recordNo);
// True when the three temporary files are all there and fit together exactly.
bool isCompleteTemporarySet(const QString& folder);
// What is left of a rewrite killed half-way.
bool isWriteLeftover(const QString& name);

} // namespace wordfile
