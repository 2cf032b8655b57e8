// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exchange.h"
#include "utf8records.h"

#include <QByteArray>

// The writers and readers of each format, on bytes in memory.
namespace exchange {

QByteArray writeAnki(const ExportRows& rows, const BookInfo& info);
ReadResult readAnki(const QByteArray& bytes);

QByteArray writeKvtml(const ExportRows& rows, const BookInfo& info, int* dropped);
ReadResult readKvtml(const QByteArray& bytes);

QByteArray writeOmegaT(const ExportRows& rows);
ReadResult readOmegaT(const QByteArray& bytes);

QByteArray writeTbx(const ExportRows& rows, const BookInfo& info, int* dropped);
ReadResult readTbx(const QByteArray& bytes);

// Shared by the readers and writers.
namespace detail {
// UTF-8 text without its byte-order mark, or an error for a file in another encoding.
bool utf8Text(const QByteArray& bytes, QString* text, QString* error);
// The same as bytes, for a reader that decodes only the parts it keeps.
bool utf8Bytes(const QByteArray& bytes, QByteArrayView* utf8, QString* error);
// Appends text as XML character data (also fit for attribute values); characters XML 1.0
// cannot hold are left out and counted.
void appendXmlText(ByteSink& out, QStringView text, int* dropped);
// The same for a record as it is stored.
void appendXmlRecord(ByteSink& out, QByteArrayView cp932, int* dropped);
// The record between open and close; nothing where the record is empty.
void appendXmlRecordElement(ByteSink& out, const char* open, QByteArrayView cp932,
                            const char* close, int* dropped);
// A message for a file that begins like an HTML page, or empty.
QString htmlPageMessage(const QByteArray& bytes, const QString& formatName);
// The text of a line-based file: false, with the message, for a file in another encoding or a
// web page.
bool lineFileText(const QByteArray& bytes, const QString& formatName, QString* text,
                  QString* error);
} // namespace detail

} // namespace exchange
