// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>

namespace exchange::detail {

// Reads XML from memory as the import needs it: a document type with entity or notation
// declarations is refused (no entity is ever expanded, no outside file ever fetched), as is any
// reference to an entity that was not declared. The messages are for the user.
class SafeXmlReader {
public:
    SafeXmlReader(const QByteArray& bytes, QString formatName);

    // The next token; false at the end of the document or on an error, error() then says why.
    bool next();
    // The text of the element just started, up to its end; child elements give their text.
    QString elementText();
    // Reads past the end of the element just started.
    void skipElement();

    QXmlStreamReader& reader() { return m_reader; }
    int line() const { return int(m_reader.lineNumber()); }
    bool failed() const { return !m_error.isEmpty(); }
    const QString& error() const { return m_error; }

private:
    QXmlStreamReader m_reader;
    QString m_formatName;
    QString m_error;
};

} // namespace exchange::detail
