// SPDX-License-Identifier: GPL-3.0-or-later
#include "textrecord.h"

#include "core/files/failure.h"
#include "core/text/cp932.h"

#include <QFile>
#include <QFileInfo>

namespace {
bool isLineEnd(QChar c) {
    return c == u'\r' || c == u'\n';
}
} // namespace

TextRecordReader::TextRecordReader(QString text, QString fileName)
    : m_text(std::move(text)), m_fileName(std::move(fileName)) {}

TextRecordReader TextRecordReader::fromFile(const QString& path) {
    QFile file(path);
    if (!file.exists())
        throw RuntimeFailure(failure::FileNotFound, QFileInfo(path).fileName());
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeFailure(failure::PathFileAccess, QFileInfo(path).fileName());
    return TextRecordReader(cp932::decode(file.readAll()), QFileInfo(path).fileName());
}

void TextRecordReader::skipBlanks() {
    while (m_pos < m_text.size() && (m_text[m_pos] == u' ' || m_text[m_pos] == u'\t'))
        ++m_pos;
}

bool TextRecordReader::atEnd() {
    while (m_pos < m_text.size() &&
           (isLineEnd(m_text[m_pos]) || m_text[m_pos].isSpace() || m_text[m_pos] == QChar(0x1A)))
        ++m_pos;
    return m_pos >= m_text.size();
}

QString TextRecordReader::nextField(bool* quoted) {
    // A field may start on the next line: the previous one may have ended its record.
    while (m_pos < m_text.size() &&
           (isLineEnd(m_text[m_pos]) || m_text[m_pos] == u' ' || m_text[m_pos] == u'\t'))
        ++m_pos;
    if (m_pos >= m_text.size())
        throw RuntimeFailure(failure::InputPastEnd, m_fileName);

    QString value;
    if (m_text[m_pos] == u'"') {
        const qsizetype close = m_text.indexOf(u'"', m_pos + 1);
        if (close < 0)
            throw RuntimeFailure(failure::InputPastEnd, m_fileName);
        value = m_text.mid(m_pos + 1, close - m_pos - 1);
        m_pos = close + 1;
        *quoted = true;
        // Anything between the closing quote and the separator is not part of the value.
        while (m_pos < m_text.size() && m_text[m_pos] != u',' && !isLineEnd(m_text[m_pos]))
            ++m_pos;
    } else {
        const qsizetype begin = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] != u',' && !isLineEnd(m_text[m_pos]))
            ++m_pos;
        value = m_text.mid(begin, m_pos - begin).trimmed();
        *quoted = false;
    }
    // Consume one separator: a comma, or one line end (CR LF, CR or LF).
    if (m_pos < m_text.size()) {
        if (m_text[m_pos] == u',') {
            ++m_pos;
        } else if (m_text[m_pos] == u'\r') {
            ++m_pos;
            if (m_pos < m_text.size() && m_text[m_pos] == u'\n')
                ++m_pos;
        } else if (m_text[m_pos] == u'\n') {
            ++m_pos;
        }
    }
    return value;
}

QString TextRecordReader::readString() {
    bool quoted = false;
    return nextField(&quoted);
}

qint64 TextRecordReader::readInteger(qint64 min, qint64 max) {
    bool quoted = false;
    const QString field = nextField(&quoted);
    if (quoted)
        throw RuntimeFailure(failure::TypeMismatch, m_fileName);
    if (field.isEmpty())
        return 0;
    qsizetype i = 0;
    const bool negative = field[0] == u'-';
    if (negative || field[0] == u'+')
        ++i;
    if (i == field.size())
        throw RuntimeFailure(failure::TypeMismatch, m_fileName);
    qint64 value = 0;
    for (; i < field.size(); ++i) {
        const char16_t c = field[i].unicode();
        if (c < u'0' || c > u'9')
            throw RuntimeFailure(failure::TypeMismatch, m_fileName);
        value = value * 10 + (c - u'0');
        if (value > max + 1)
            throw RuntimeFailure(failure::Overflow, m_fileName);
    }
    if (negative)
        value = -value;
    if (value < min || value > max)
        throw RuntimeFailure(failure::Overflow, m_fileName);
    return value;
}

qint16 TextRecordReader::readInt16() {
    return static_cast<qint16>(readInteger(-32768, 32767));
}

qint32 TextRecordReader::readInt32() {
    return static_cast<qint32>(readInteger(-2147483648LL, 2147483647LL));
}

bool TextRecordReader::readBool() {
    bool quoted = false;
    const QString field = nextField(&quoted);
    if (!quoted) {
        if (field.compare(QLatin1String("#TRUE#"), Qt::CaseInsensitive) == 0)
            return true;
        if (field.compare(QLatin1String("#FALSE#"), Qt::CaseInsensitive) == 0)
            return false;
    }
    throw RuntimeFailure(failure::TypeMismatch, m_fileName);
}

void TextRecordWriter::separate() {
    if (m_fieldOnLine)
        m_text += u',';
    m_fieldOnLine = true;
}

TextRecordWriter& TextRecordWriter::addString(const QString& value) {
    separate();
    m_text += u'"';
    m_text += value;
    m_text += u'"';
    return *this;
}

TextRecordWriter& TextRecordWriter::addInt(qint64 value) {
    separate();
    m_text += QString::number(value);
    return *this;
}

TextRecordWriter& TextRecordWriter::addBool(bool value) {
    separate();
    m_text += value ? QLatin1String("#TRUE#") : QLatin1String("#FALSE#");
    return *this;
}

TextRecordWriter& TextRecordWriter::endRecord() {
    m_text += QLatin1String("\r\n");
    m_fieldOnLine = false;
    return *this;
}

QByteArray TextRecordWriter::bytes() const {
    return cp932::encode(m_text);
}
