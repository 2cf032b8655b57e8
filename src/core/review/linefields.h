// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// The line format shared by the review files: fields separated by tabs, one record per line ended
// by LF, text in UTF-8 with backslash, tab and line breaks escaped so a word never splits a line.
namespace linefields {

void appendEscaped(QByteArray& out, const QString& text);
// nullopt when the escapes are not ones appendEscaped writes.
std::optional<QString> unescaped(QByteArrayView field);

// Splits a line into its tab-separated fields; false when there are not exactly count of them.
bool split(QByteArrayView line, QByteArrayView* fields, int count);
// Reads count decimal integers, each ended by a tab, from the start of a line; returns where the
// next field begins, or nullptr when the line does not start so. Large files are read this way,
// without splitting the line first.
const char* leadingIntegers(const char* p, const char* end, qint64* out, int count);
// A decimal integer with an optional leading minus; nullopt for anything else.
std::optional<qint64> integer(QByteArrayView field);

// Appends whole lines to the log at path, creating it, and returns its size after them. A line a
// crash cut short is the last one and has no line end: it is cut away first, so the new lines
// never glue onto it. Raises RuntimeFailure when it cannot; the log then holds the lines or not.
qint64 appendLines(const QString& path, const QByteArray& lines);

} // namespace linefields
