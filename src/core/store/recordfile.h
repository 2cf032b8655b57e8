// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// A file of fixed-length records, space padded, numbered from 1: the meaning file (200 bytes) and
// the example file (400 bytes) of a book. A short last record (a file cut short elsewhere) is read
// padded with spaces and counts as a record, so new records always go after it. A record number
// below 1 or past the end reads as a blank record.
class RecordFile {
public:
    RecordFile(QString path, int recordSize);
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // Opens the file; a read-write open creates it when it does not exist.
    void open(bool readOnly = false);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    const QString& path() const { return m_path; }
    // Points a closed file at another path.
    void setPath(QString path) { m_path = std::move(path); }
    int recordSize() const { return m_recordSize; }

    int recordCount() const;
    bool hasPartialRecord() const;

    QByteArray readBytes(int recordNo) const { return readRange(recordNo, 1); }
    // count records from first on, in one read, padded with spaces outside the file.
    QByteArray readRange(int first, int count) const;
    // The record's text, trailing spaces included. *ok is cleared when its bytes are not CP932.
    QString read(int recordNo, bool* ok = nullptr) const;
    void write(int recordNo, const QString& text);
    // Writes one record. A record past the end first fills the gap with blank records; when the
    // write fails the file is cut back to its old length, so nothing half-written stays.
    void writeBytes(int recordNo, const QByteArray& bytes);
    // Makes every write so far durable.
    void sync();

private:
    qint64 size() const;

    QString m_path;
    int m_recordSize;
    int m_fd = -1;
};
