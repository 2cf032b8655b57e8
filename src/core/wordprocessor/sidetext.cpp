// SPDX-License-Identifier: GPL-3.0-or-later
#include "sidetext.h"

#include "core/richtext/rtfreader.h"

#include <QTextDocument>
#include <array>

namespace wordprocessor {
namespace {

struct Kind {
    QStringList words; // the destinations that hold this kind of text
    QString heading;
};

const std::array<Kind, 4>& kinds() {
    static const std::array<Kind, 4> all = {{
        {{"header", "headerl", "headerr", "headerf"}, QStringLiteral("【ヘッダー】")},
        {{"footer", "footerl", "footerr", "footerf"}, QStringLiteral("【フッター】")},
        {{"footnote"}, QStringLiteral("【脚注】")},
        {{"annotation"}, QStringLiteral("【コメント】")},
    }};
    return all;
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The index of the brace that closes the group opened at open, or -1 when the document ends
// first. Escaped braces and backslashes are text, not structure.
qsizetype groupEnd(const QByteArray& rtf, qsizetype open) {
    int depth = 0;
    for (qsizetype i = open; i < rtf.size(); ++i) {
        const char c = rtf[i];
        if (c == '\\') {
            ++i;
        } else if (c == '{') {
            ++depth;
        } else if (c == '}' && --depth == 0) {
            return i;
        }
    }
    return -1;
}

// The destination word a group opens with ("{\header", "{\*\annotation"), and where the group's
// content starts after it.
QByteArray destination(const QByteArray& rtf, qsizetype open, qsizetype* contentStart) {
    qsizetype i = open + 1;
    if (rtf.mid(i, 2) == "\\*")
        i += 2;
    while (i < rtf.size() && (rtf[i] == ' ' || rtf[i] == '\r' || rtf[i] == '\n'))
        ++i;
    if (i >= rtf.size() || rtf[i] != '\\')
        return {};
    const qsizetype start = ++i;
    while (i < rtf.size() && isLetter(rtf[i]))
        ++i;
    *contentStart = i;
    return rtf.mid(start, i - start);
}

// The document's opening up to the end of its font table, so that a group read on its own decodes
// its text in the fonts' code pages.
QByteArray preamble(const QByteArray& rtf) {
    const qsizetype table = rtf.indexOf("{\\fonttbl");
    const qsizetype end = table < 0 ? -1 : groupEnd(rtf, table);
    if (end < 0)
        return QByteArrayLiteral("{\\rtf1\\ansi");
    return rtf.left(end + 1);
}

QString plainTextOf(const QByteArray& preamble, QByteArrayView content) {
    QByteArray group = preamble;
    group += "\\pard\\plain ";
    group += content;
    group += '}';
    QTextDocument document;
    richtext::RtfReader().read(group, &document);
    return document.toPlainText().trimmed();
}

QByteArray rtfText(const QString& text) {
    QByteArray out;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}')
            out += '\\' + QByteArray(1, char(u));
        else if (u == '\n' || u == QChar::ParagraphSeparator)
            out += "\\par ";
        else if (u == '\t')
            out += "\\tab ";
        else if (u >= 0x20 && u < 0x80)
            out += char(u);
        else
            out += "\\u" + QByteArray::number(qint16(u)) + '?';
    }
    return out;
}

} // namespace

SideTexts withSideTexts(const QByteArray& rtf) {
    std::array<QStringList, 4> found;
    const QByteArray opening = preamble(rtf);
    for (qsizetype i = rtf.indexOf('{', 1); i >= 0; i = rtf.indexOf('{', i + 1)) {
        if (i > 0 && rtf[i - 1] == '\\')
            continue;
        qsizetype contentStart = 0;
        const QString word = QString::fromLatin1(destination(rtf, i, &contentStart));
        for (size_t k = 0; k < kinds().size() && !word.isEmpty(); ++k) {
            if (!kinds()[k].words.contains(word))
                continue;
            const qsizetype end = groupEnd(rtf, i);
            if (end < 0)
                break;
            // A page style and its section may both carry the same header: it is shown once.
            const QString text =
                plainTextOf(opening, QByteArrayView(rtf).sliced(contentStart, end - contentStart));
            if (!text.isEmpty() && !found[k].contains(text))
                found[k] << text;
            i = end;
            break;
        }
    }

    SideTexts result;
    QByteArray added;
    for (size_t k = 0; k < kinds().size(); ++k) {
        if (found[k].isEmpty())
            continue;
        result.headings << kinds()[k].heading;
        added += "\\par\\pard\\plain " + rtfText(kinds()[k].heading);
        for (const QString& text : found[k])
            added += "\\par " + rtfText(text);
    }
    const qsizetype close = rtf.lastIndexOf('}');
    result.rtf = rtf;
    if (!added.isEmpty() && close > 0)
        result.rtf.insert(close, added + '\n');
    return result;
}

} // namespace wordprocessor
