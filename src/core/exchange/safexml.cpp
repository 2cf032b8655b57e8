// SPDX-License-Identifier: GPL-3.0-or-later
#include "safexml.h"

#include "formats.h"

#include <cstring>

namespace exchange::detail {

namespace {

// An XML file without an encoding declaration (or declaring UTF-8) that is not valid UTF-8 was
// saved in another encoding: said plainly, rather than as the parser's complaint.
QString encodingMessage(const QByteArray& bytes) {
    QByteArrayView view(bytes);
    if (view.startsWith("\xFF\xFE") || view.startsWith("\xFE\xFF"))
        return {};
    const QByteArray head =
        view.first(std::min<qsizetype>(view.size(), 200)).toByteArray().toLower();
    const qsizetype declEnd = head.indexOf("?>");
    const QByteArray decl =
        head.startsWith("<?xml") && declEnd > 0 ? head.first(declEnd) : QByteArray();
    const qsizetype at = decl.indexOf("encoding");
    if (at >= 0 && !decl.sliced(at).contains("utf-8") && !decl.sliced(at).contains("utf8"))
        return {};
    QString text;
    QString error;
    return utf8Text(bytes, &text, &error) ? QString() : error;
}

} // namespace

SafeXmlReader::SafeXmlReader(const QByteArray& bytes, QString formatName)
    : m_formatName(std::move(formatName)) {
    m_error = htmlPageMessage(bytes, m_formatName);
    if (m_error.isEmpty())
        m_error = encodingMessage(bytes);
    // No entity is ever declared in a file we take, so none may grow beyond a few characters.
    m_reader.setEntityExpansionLimit(64);
    m_reader.addData(bytes);
}

bool SafeXmlReader::next() {
    if (failed())
        return false;
    for (;;) {
        const QXmlStreamReader::TokenType token = m_reader.readNext();
        switch (token) {
        case QXmlStreamReader::Invalid:
            m_error = QStringLiteral("%1 ﾌｧｲﾙとして読めません。%2行目に XML の誤りがあります"
                                     "（%3）。\r\n取込みを中止しました。")
                          .arg(m_formatName)
                          .arg(m_reader.lineNumber())
                          .arg(m_reader.errorString());
            return false;
        case QXmlStreamReader::EndDocument:
            return false;
        case QXmlStreamReader::DTD:
            if (!m_reader.entityDeclarations().isEmpty() ||
                !m_reader.notationDeclarations().isEmpty()) {
                m_error = QStringLiteral("このﾌｧｲﾙは文書型宣言（DTD）で実体を宣言しています。"
                                         "外部のﾌｧｲﾙを読ませたり、展開して巨大になったりする"
                                         "おそれがあるため、取込みません。");
                return false;
            }
            continue;
        case QXmlStreamReader::EntityReference:
            m_error = QStringLiteral("%1行目に宣言されていない実体参照（&%2;）があります。"
                                     "\r\n取込みを中止しました。")
                          .arg(m_reader.lineNumber())
                          .arg(m_reader.name());
            return false;
        default:
            return true;
        }
    }
}

QString SafeXmlReader::elementText() {
    QString text;
    int depth = 1;
    while (depth > 0 && next()) {
        if (m_reader.isStartElement())
            ++depth;
        else if (m_reader.isEndElement())
            --depth;
        else if (m_reader.isCharacters())
            text += m_reader.text();
    }
    return text;
}

void SafeXmlReader::skipElement() {
    int depth = 1;
    while (depth > 0 && next()) {
        if (m_reader.isStartElement())
            ++depth;
        else if (m_reader.isEndElement())
            --depth;
    }
}

void appendXmlText(ByteSink& out, QStringView text, int* dropped) {
    appendXmlText(out, QByteArrayView(text.toUtf8()), dropped);
}

void appendXmlText(ByteSink& out, QByteArrayView utf8, int* dropped) {
    // "&quot;" is the longest a byte grows.
    char* p = out.reserve(utf8.size() * 6);
    const auto put = [&p](const char* text, int size) {
        std::memcpy(p, text, size_t(size));
        p += size;
    };
    for (const char c : utf8) {
        switch (c) {
        case '&':
            put("&amp;", 5);
            break;
        case '<':
            put("&lt;", 4);
            break;
        case '>':
            put("&gt;", 4);
            break;
        case '"':
            put("&quot;", 6);
            break;
        default:
            if (uchar(c) >= 0x20 || c == '\t' || c == '\n')
                *p++ = c;
            else
                ++*dropped;
        }
    }
    out.commit(p);
}

} // namespace exchange::detail
