// SPDX-License-Identifier: GPL-3.0-or-later
#include "safexml.h"

#include "formats.h"

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
    qsizetype from = 0;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        const char* escaped = nullptr;
        switch (c) {
        case '&':
            escaped = "&amp;";
            break;
        case '<':
            escaped = "&lt;";
            break;
        case '>':
            escaped = "&gt;";
            break;
        case '"':
            escaped = "&quot;";
            break;
        default:
            if (uchar(c) >= 0x20 || c == '\t' || c == '\n')
                continue;
            escaped = "";
            ++*dropped;
        }
        out.put(utf8.data() + from, i - from);
        out.put(escaped);
        from = i + 1;
    }
    out.put(utf8.data() + from, utf8.size() - from);
}

} // namespace exchange::detail
