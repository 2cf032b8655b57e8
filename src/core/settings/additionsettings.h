// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The small settings files the additions keep of their own. They are read leniently: a missing,
// unreadable or damaged file, or a value out of place, leaves the defaults, so such a file never
// stops the program.
namespace additionsettings {

// The first 64 KiB of the file fileName in folder; empty when it is missing or cannot be read.
QByteArray read(const QString& folder, const QString& fileName);

// Splits a "key=value" line at its first '=', both sides trimmed; false for a line without one.
bool keyValue(const QString& line, QString& key, QString& value);

// "1" switches flag on and "0" off; any other value leaves it as it was.
void readFlag(QStringView value, bool& flag);
void readFlag(QByteArrayView value, bool& flag);

// "key=1\n" or "key=0\n".
QByteArray flagLine(const char* key, bool on);

// An addition that is on unless its file holds "enabled=0": the file exists only while it is
// off, so a folder that never turned it off stays as it was.
bool enabled(const QString& folder, const QString& fileName);
// Writes "enabled=0" atomically when off and removes the file when on; raises RuntimeFailure
// when it cannot.
void writeEnabled(const QString& folder, const QString& fileName, bool on);

} // namespace additionsettings
