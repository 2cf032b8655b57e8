// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats.h"
#include "safexml.h"

#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace exchange::detail {

namespace {

// Every byte of a character past ASCII counts: XML allows most of them in names, and the
// names we look for are ASCII.
constexpr std::array<bool, 256> nameChars() {
    std::array<bool, 256> is{};
    for (int u = 0; u < 256; ++u)
        is[size_t(u)] = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') ||
                        (u >= '0' && u <= '9') || u == ':' || u == '_' || u == '-' || u == '.' ||
                        u >= 0x80;
    return is;
}
constexpr std::array<bool, 256> NameChars = nameChars();

inline bool isNameChar(char c) {
    return NameChars[uchar(c)];
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// How many line feeds the bytes hold, eight bytes at a time.
qsizetype lineFeeds(const char* from, const char* to) {
    constexpr std::uint64_t Ones = 0x0101010101010101ULL;
    constexpr std::uint64_t Low7 = 0x7F7F7F7F7F7F7F7FULL;
    qsizetype count = 0;
    for (; to - from >= 8; from += 8) {
        std::uint64_t chunk;
        std::memcpy(&chunk, from, 8);
        const std::uint64_t x = chunk ^ (Ones * '\n');
        // The top bit of each byte that was a line feed (and of no other), summed into the
        // top byte.
        const std::uint64_t zero = ~(((x & Low7) + Low7) | x | Low7);
        count += qsizetype(((zero >> 7) * Ones) >> 56);
    }
    return count + std::count(from, to, '\n');
}

void appendUtf8(QByteArray& out, char32_t code) {
    char bytes[4];
    int n;
    if (code < 0x80) {
        bytes[0] = char(code);
        n = 1;
    } else if (code < 0x800) {
        bytes[0] = char(0xC0 | code >> 6);
        bytes[1] = char(0x80 | (code & 0x3F));
        n = 2;
    } else if (code < 0x10000) {
        bytes[0] = char(0xE0 | code >> 12);
        bytes[1] = char(0x80 | (code >> 6 & 0x3F));
        bytes[2] = char(0x80 | (code & 0x3F));
        n = 3;
    } else {
        bytes[0] = char(0xF0 | code >> 18);
        bytes[1] = char(0x80 | (code >> 12 & 0x3F));
        bytes[2] = char(0x80 | (code >> 6 & 0x3F));
        bytes[3] = char(0x80 | (code & 0x3F));
        n = 4;
    }
    out.append(bytes, n);
}

// The encoding the XML declaration names, lower case, or empty.
QByteArray declaredEncoding(QByteArrayView bytes) {
    const QByteArray head = bytes.first(std::min<qsizetype>(bytes.size(), 200)).toByteArray();
    if (!head.startsWith("<?xml"))
        return {};
    const qsizetype end = head.indexOf("?>");
    const QByteArray decl = end > 0 ? head.first(end) : head;
    const qsizetype at = decl.indexOf("encoding");
    if (at < 0)
        return {};
    qsizetype quote = at + 8;
    while (quote < decl.size() && decl[quote] != '"' && decl[quote] != '\'')
        ++quote;
    if (quote >= decl.size())
        return {};
    const qsizetype close = decl.indexOf(decl[quote], quote + 1);
    return close > quote ? decl.sliced(quote + 1, close - quote - 1).toLower() : QByteArray();
}

} // namespace

SafeXmlReader::SafeXmlReader(const QByteArray& bytes, QString formatName)
    : m_formatName(std::move(formatName)) {
    m_error = htmlPageMessage(bytes, m_formatName);
    if (failed())
        return;
    QByteArrayView view(bytes);
    if (view.startsWith("\xFF\xFE") || view.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(QStringDecoder::Utf16, QStringDecoder::Flag::Default);
        m_bytes = QString(utf16.decode(view)).toUtf8();
        m_text = m_bytes;
        return;
    }
    const QByteArray encoding =
        declaredEncoding(view.startsWith("\xEF\xBB\xBF") ? view.sliced(3) : view);
    if (!encoding.isEmpty() && encoding != "utf-8" && encoding != "utf8") {
        m_error = QStringLiteral("このﾌｧｲﾙの文字ｺｰﾄﾞは %1 です。取込めるのは UTF-8 のﾌｧｲﾙ"
                                 "だけです。\r\nUTF-8 で保存し直してから取込んでください。")
                      .arg(QString::fromLatin1(encoding));
        return;
    }
    QString error;
    m_bytes = bytes;
    if (!utf8Bytes(m_bytes, &m_text, &error))
        m_error = error;
}

bool SafeXmlReader::fail(const QString& reason) {
    if (!failed())
        m_error = QStringLiteral("%1 ﾌｧｲﾙとして読めません。%2行目に XML の誤りがあります"
                                 "（%3）。\r\n取込みを中止しました。")
                      .arg(m_formatName)
                      .arg(line())
                      .arg(reason);
    m_token = Token::None;
    return false;
}

int SafeXmlReader::line() {
    // Line ends are counted only up to where they are asked for: a document is gone through once.
    const qsizetype upTo = std::min(m_tokenStart, m_text.size());
    if (upTo > m_counted) {
        m_line += int(lineFeeds(m_text.data() + m_counted, m_text.data() + upTo));
        m_counted = upTo;
    }
    return m_line;
}

bool SafeXmlReader::skipPast(QByteArrayView end, const QString& what) {
    const qsizetype at = m_text.indexOf(end, m_pos);
    if (at < 0)
        return fail(QStringLiteral("%1が閉じていません").arg(what));
    m_pos = at + end.size();
    return true;
}

// Declarations, comments and processing instructions before the root; a document type is
// passed over unless its internal subset declares something.
bool SafeXmlReader::skipProlog() {
    const QByteArrayView text(m_text);
    for (;;) {
        while (m_pos < text.size() && isSpace(text[m_pos]))
            ++m_pos;
        m_tokenStart = m_pos;
        if (text.sliced(m_pos).startsWith("<?")) {
            if (!skipPast("?>", QStringLiteral("処理命令")))
                return false;
        } else if (text.sliced(m_pos).startsWith("<!--")) {
            if (!skipPast("-->", QStringLiteral("ｺﾒﾝﾄ")))
                return false;
        } else if (text.sliced(m_pos).startsWith("<!DOCTYPE")) {
            qsizetype i = m_pos + 9;
            while (i < text.size() && text[i] != '>' && text[i] != '[')
                ++i;
            if (i < text.size() && text[i] == '[') {
                const qsizetype close = text.indexOf(']', i);
                const QByteArrayView subset =
                    text.sliced(i, close < 0 ? text.size() - i : close - i);
                if (subset.contains("<!ENTITY") || subset.contains("<!NOTATION")) {
                    m_error = QStringLiteral("このﾌｧｲﾙは文書型宣言（DTD）で実体を宣言しています。"
                                             "外部のﾌｧｲﾙを読ませたり、展開して巨大になったりする"
                                             "おそれがあるため、取込みません。");
                    return false;
                }
                i = close < 0 ? text.size() : close;
            }
            m_pos = i;
            if (!skipPast(">", QStringLiteral("文書型宣言")))
                return false;
        } else {
            return true;
        }
    }
}

bool SafeXmlReader::next() {
    if (failed())
        return false;
    const QByteArrayView text(m_text);
    if (m_pendingEnd) {
        m_pendingEnd = false;
        m_token = Token::End;
        m_open.pop_back();
        return true;
    }
    if (m_open.empty()) {
        if (m_seenRoot) {
            // Only comments, processing instructions and white space may follow the root.
            if (!skipProlog())
                return false;
            if (m_pos < text.size())
                return fail(QStringLiteral("ﾙｰﾄ要素の後に内容があります"));
            m_token = Token::None;
            return false;
        }
        if (!skipProlog())
            return false;
        if (m_pos >= text.size())
            return fail(QStringLiteral("要素がありません"));
        if (text[m_pos] != '<')
            return fail(QStringLiteral("ﾙｰﾄ要素の前に文字があります"));
        m_seenRoot = true;
        return readStartTag();
    }
    for (;;) {
        m_tokenStart = m_pos;
        if (m_pos >= text.size())
            return fail(QStringLiteral("<%1> が閉じられないままﾌｧｲﾙが終わっています")
                            .arg(QString::fromUtf8(m_open.back())));
        if (text[m_pos] != '<')
            return readText();
        // Most tags are start and end tags; only "<!" and "<?" need a closer look.
        const char second = m_pos + 1 < text.size() ? text[m_pos + 1] : 0;
        if (second == '/')
            return readEndTag();
        if (second != '!' && second != '?')
            return readStartTag();
        const QByteArrayView rest = text.sliced(m_pos);
        if (rest.startsWith("<!--")) {
            if (!skipPast("-->", QStringLiteral("ｺﾒﾝﾄ")))
                return false;
            continue;
        }
        if (rest.startsWith("<?")) {
            if (!skipPast("?>", QStringLiteral("処理命令")))
                return false;
            continue;
        }
        if (rest.startsWith("<![CDATA[")) {
            const qsizetype end = text.indexOf("]]>", m_pos + 9);
            if (end < 0)
                return fail(QStringLiteral("CDATA が閉じていません"));
            m_chars = text.sliced(m_pos + 9, end - m_pos - 9);
            m_pos = end + 3;
            m_token = Token::Text;
            return true;
        }
        if (rest.startsWith("<!"))
            return fail(QStringLiteral("ここには宣言を書けません"));
        return readStartTag();
    }
}

bool SafeXmlReader::readStartTag() {
    const QByteArrayView text(m_text);
    m_tokenStart = m_pos;
    qsizetype i = m_pos + 1;
    const qsizetype nameStart = i;
    while (i < text.size() && isNameChar(text[i]))
        ++i;
    if (i == nameStart)
        return fail(QStringLiteral("「<」の後に要素名がありません"));
    m_name = text.sliced(nameStart, i - nameStart);
    const qsizetype attributesStart = i;
    char quote = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            if (c == quote)
                quote = 0;
            else if (c == '<')
                return fail(QStringLiteral("属性値に「<」があります"));
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            break;
        }
    }
    if (i >= text.size())
        return fail(QStringLiteral("<%1> のﾀｸﾞが閉じていません").arg(QString::fromUtf8(m_name)));
    const bool empty = text[i - 1] == '/' && !quote;
    m_attributes = text.sliced(attributesStart, i - attributesStart - (empty ? 1 : 0));
    m_pos = i + 1;
    m_open.push_back(m_name);
    m_pendingEnd = empty;
    m_token = Token::Start;
    return true;
}

bool SafeXmlReader::readEndTag() {
    const QByteArrayView text(m_text);
    const QByteArrayView open = m_open.back();
    // Nearly every end tag is "</name>" for the element open, and needs no search for its end.
    const qsizetype guess = m_pos + 2 + open.size();
    const qsizetype close =
        guess < text.size() && text[guess] == '>' && text.sliced(m_pos + 2, open.size()) == open
            ? guess
            : text.indexOf('>', m_pos);
    if (close < 0)
        return fail(QStringLiteral("終了ﾀｸﾞが閉じていません"));
    m_name = text.sliced(m_pos + 2, close - m_pos - 2).trimmed();
    if (m_name != m_open.back())
        return fail(QStringLiteral("<%1> を </%2> で閉じています")
                        .arg(QString::fromUtf8(m_open.back()), QString::fromUtf8(m_name)));
    m_open.pop_back();
    m_pos = close + 1;
    m_token = Token::End;
    return true;
}

bool SafeXmlReader::readText() {
    const QByteArrayView text(m_text);
    qsizetype end = text.indexOf('<', m_pos);
    if (end < 0)
        end = text.size();
    const QByteArrayView raw = text.sliced(m_pos, end - m_pos);
    if (!raw.contains('&') && !raw.contains('\r')) {
        m_chars = raw;
    } else {
        m_resolved.resize(0);
        if (!appendResolved(m_resolved, raw))
            return false;
        m_chars = m_resolved;
    }
    m_pos = end;
    m_token = Token::Text;
    return true;
}

// Text with its references resolved and line ends as XML reads them (CR LF and CR as LF).
bool SafeXmlReader::appendResolved(QByteArray& out, QByteArrayView raw) {
    qsizetype from = 0;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c != '\r' && c != '&')
            continue;
        out.append(raw.sliced(from, i - from));
        if (c == '\r') {
            out.append('\n');
            if (i + 1 < raw.size() && raw[i + 1] == '\n')
                ++i;
            from = i + 1;
            continue;
        }
        const qsizetype semicolon = raw.indexOf(';', i);
        if (semicolon < 0)
            return fail(QStringLiteral("「&」の後に「;」がありません"));
        const QByteArrayView name = raw.sliced(i + 1, semicolon - i - 1);
        if (name.startsWith('#')) {
            bool ok = false;
            const bool hex = name.startsWith("#x");
            const uint code =
                QString::fromUtf8(name.sliced(hex ? 2 : 1)).toUInt(&ok, hex ? 16 : 10);
            if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
                return fail(QStringLiteral("文字参照 &%1; が正しくありません")
                                .arg(QString::fromUtf8(name)));
            appendUtf8(out, char32_t(code));
        } else if (name == "amp") {
            out.append('&');
        } else if (name == "lt") {
            out.append('<');
        } else if (name == "gt") {
            out.append('>');
        } else if (name == "quot") {
            out.append('"');
        } else if (name == "apos") {
            out.append('\'');
        } else {
            m_error = QStringLiteral("%1行目に宣言されていない実体参照（&%2;）があります。"
                                     "\r\n取込みを中止しました。")
                          .arg(line())
                          .arg(QString::fromUtf8(name));
            return false;
        }
        i = semicolon;
        from = i + 1;
    }
    out.append(raw.sliced(from));
    return true;
}

QString SafeXmlReader::attribute(QByteArrayView name) const {
    return QString::fromUtf8(attributeBytes(name));
}

QByteArrayView SafeXmlReader::attributeBytes(QByteArrayView name) const {
    const QByteArrayView a = m_attributes;
    qsizetype i = 0;
    while (i < a.size()) {
        while (i < a.size() && isSpace(a[i]))
            ++i;
        const qsizetype nameStart = i;
        while (i < a.size() && isNameChar(a[i]))
            ++i;
        const QByteArrayView found = a.sliced(nameStart, i - nameStart);
        while (i < a.size() && (isSpace(a[i]) || a[i] == '='))
            ++i;
        if (i >= a.size() || (a[i] != '"' && a[i] != '\''))
            return {};
        const qsizetype close = a.indexOf(a[i], i + 1);
        if (close < 0)
            return {};
        const QByteArrayView value = a.sliced(i + 1, close - i - 1);
        if (found == name) {
            if (!value.contains('&'))
                return value;
            m_attributeValue.resize(0);
            // A value with a bad reference reads as empty; the attributes we read are ids and
            // language codes.
            return const_cast<SafeXmlReader*>(this)->appendResolved(m_attributeValue, value)
                       ? QByteArrayView(m_attributeValue)
                       : QByteArrayView();
        }
        i = close + 1;
    }
    return {};
}

QString SafeXmlReader::elementText() {
    m_joined.resize(0);
    readToEnd(&m_joined);
    return QString::fromUtf8(m_joined);
}

void SafeXmlReader::readToEnd(QByteArray* text) {
    int depth = 1;
    while (depth > 0 && next()) {
        if (isStartElement())
            ++depth;
        else if (isEndElement())
            --depth;
        else if (text && isCharacters())
            text->append(m_chars);
    }
}

bool XmlWordListReader::readRoot(QByteArrayView root) {
    while (m_xml.next()) {
        if (!m_xml.isStartElement())
            continue;
        if (m_xml.name() == root)
            return true;
        m_result.error = QStringLiteral("%1 ﾌｧｲﾙではありません（最初の要素が <%2> "
                                        "です）。\r\n取込みを中止しました。")
                             .arg(m_formatName, QString::fromUtf8(m_xml.name()));
        return false;
    }
    return false;
}

void XmlWordListReader::noteLeftOut(const QString& what) {
    if (!m_leftOut.contains(what)) {
        m_leftOut.insert(what);
        m_result.leftOut << what;
    }
}

ReadResult XmlWordListReader::finish() {
    if (m_result.error.isEmpty() && m_xml.failed())
        m_result.error = m_xml.error();
    if (!m_result.error.isEmpty()) {
        m_result.rows.clear();
        m_result.leftOut.clear();
    }
    return std::move(m_result);
}

} // namespace exchange::detail
