#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// A file of fixed-length records, space padded, numbered from 1: the meaning file (200 bytes) and
// the example file (400 bytes) of a book. A short last record (a file cut short elsewhere) is read
// padded with spaces and counts as a record, so new records always go after it.
class RecordFile {
public:
    RecordFile(QString path, int recordSize);

    void open(bool readOnly = false); // creates the file when it does not exist
    void close();
    bool isOpen() const { return m_file.isOpen(); }
    const QString& path() const { return m_path; }
    int recordSize() const { return m_recordSize; }

    int recordCount() const;
    bool hasPartialRecord() const;

    QByteArray readBytes(int recordNo) const { return readRange(recordNo, 1); }
    // count records from first on, in one read, padded with spaces past the end of the file.
    QByteArray readRange(int first, int count) const;
    // The record's text, trailing spaces included. *ok is cleared when its bytes are not CP932.
    QString read(int recordNo, bool* ok = nullptr) const;
    void write(int recordNo, const QString& text);
    void writeBytes(int recordNo, const QByteArray& bytes);
    // Makes every write so far durable.
    void sync();

private:
    QString m_path;
    int m_recordSize;
    mutable QFile m_file;
};

// Flushes a file's data to the disk; raises a RuntimeFailure when the system refuses.
void syncToDisk(QFile& file);
// Makes renames inside a folder durable.
void syncFolder(const QString& folder);
