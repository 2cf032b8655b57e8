// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exchange.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QSet>
#include <QString>
#include <vector>

namespace exchange::detail {

// Reads the XML of a word list from memory, as the import needs it, and nothing more: elements,
// attributes, text, comments, processing instructions and CDATA. No entity but XML's own five
// and character references is known, so nothing can be expanded into something large or fetched
// from outside: a document type that declares entities or notations is refused, as is a
// reference to any other entity. The document must be well formed and UTF-8 (or UTF-16 with its
// byte-order mark). The messages are for the user. The document is read as the UTF-8 bytes it is,
// and only the text the caller asks for becomes a string: a word list of a hundred thousand
// entries is mostly markup nobody keeps.
class SafeXmlReader {
public:
    SafeXmlReader(const QByteArray& bytes, QString formatName);

    // The next start tag, end tag or text; false at the end of the document or on an error,
    // error() then says why.
    bool next();
    bool isStartElement() const { return m_token == Token::Start; }
    bool isEndElement() const { return m_token == Token::End; }
    bool isCharacters() const { return m_token == Token::Text; }
    // The element's qualified name as UTF-8, for a start or an end tag.
    QByteArrayView name() const { return m_name; }
    // An attribute of the start tag just read, by its qualified name ("xml:lang").
    QString attribute(QByteArrayView name) const;
    // The same as UTF-8, good until the next call.
    QByteArrayView attributeBytes(QByteArrayView name) const;
    // The text just read, references resolved.
    QString text() const { return QString::fromUtf8(m_chars); }

    // The text of the element just started, up to its end; child elements give their text.
    QString elementText();
    // Reads past the end of the element just started.
    void skipElement() { readToEnd(nullptr); }

    // The line the last token started on, from 1.
    int line();
    bool failed() const { return !m_error.isEmpty(); }
    const QString& error() const { return m_error; }

private:
    enum class Token { None, Start, End, Text };
    bool fail(const QString& reason);
    bool skipProlog();
    bool readStartTag();
    bool readEndTag();
    bool readText();
    bool skipPast(QByteArrayView end, const QString& what);
    bool appendResolved(QByteArray& out, QByteArrayView raw);
    // Reads up to the end of the element just started, gathering its text where asked.
    void readToEnd(QByteArray* text);

    QString m_formatName;
    QString m_error;
    QByteArray m_bytes;
    QByteArrayView m_text; // the document after its byte-order mark, as UTF-8
    qsizetype m_pos = 0;
    qsizetype m_tokenStart = 0;
    qsizetype m_counted = 0;
    int m_line = 1;
    Token m_token = Token::None;
    QByteArrayView m_name;
    QByteArrayView m_attributes;
    QByteArrayView m_chars; // in the document, or in m_resolved where references were resolved
    QByteArray m_resolved;
    QByteArray m_joined; // elementText's pieces
    mutable QByteArray m_attributeValue;
    std::vector<QByteArrayView> m_open;
    bool m_pendingEnd = false;
    bool m_seenRoot = false;
};

// What the kvtml and TBX readers share: the document, the rows, and the kinds of data the book
// has no place for, each named once.
class XmlWordListReader {
protected:
    XmlWordListReader(const QByteArray& bytes, const QString& formatName)
        : m_xml(bytes, formatName), m_formatName(formatName) {}
    // Reads up to the root element; false, with the message for the user, where the document
    // is not the format's.
    bool readRoot(QByteArrayView root);
    // Names data left out, once however often it comes.
    void noteLeftOut(const QString& what);
    // The rows, or only the message where the document could not be read.
    ReadResult finish();

    SafeXmlReader m_xml;
    ReadResult m_result;

private:
    QString m_formatName;
    QSet<QString> m_leftOut;
};

} // namespace exchange::detail
