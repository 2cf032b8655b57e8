// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Text records: the line format of every sequential file the program keeps. Fields are separated
// by commas, records end with CR LF; strings are quoted without escaping, integers are plain
// decimal, booleans are #TRUE# / #FALSE#. A line end between fields is accepted, so a file written
// one field per line and one written one record per line read the same.

// Reads fields in order from the decoded text of a whole file. Every malformed input raises a
// RuntimeFailure; nothing is read past the data.
class TextRecordReader {
public:
    explicit TextRecordReader(QString text, QString fileName = {});

    // Reads a whole file (CP932). A missing file raises failure 53.
    static TextRecordReader fromFile(const QString& path);

    QString readString();
    qint16 readInt16();
    qint32 readInt32();
    bool readBool();

    // True when only line ends and blanks remain.
    bool atEnd();

private:
    QString nextField(bool* quoted);
    qint64 readInteger(qint64 min, qint64 max);
    void skipBlanks();

    QString m_text;
    QString m_fileName;
    qsizetype m_pos = 0;
};

// Builds the bytes of a text-record file (CP932).
class TextRecordWriter {
public:
    TextRecordWriter& addString(const QString& value);
    TextRecordWriter& addInt(qint64 value);
    TextRecordWriter& addBool(bool value);
    // Ends the current record with CR LF.
    TextRecordWriter& endRecord();
    // Writes one value as a whole line: the shape of files kept one field per line.
    TextRecordWriter& lineString(const QString& value) { return addString(value).endRecord(); }
    TextRecordWriter& lineInt(qint64 value) { return addInt(value).endRecord(); }
    TextRecordWriter& lineBool(bool value) { return addBool(value).endRecord(); }

    QByteArray bytes() const;

private:
    void separate();

    QString m_text;
    bool m_fieldOnLine = false;
};
