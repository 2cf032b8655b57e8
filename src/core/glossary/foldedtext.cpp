// SPDX-License-Identifier: GPL-3.0-or-later
#include "foldedtext.h"

namespace glossarychars {

bool isUnspaced(QChar c) {
    const ushort u = c.unicode();
    if ((u >= 0x3040 && u <= 0x30FF) || (u >= 0x3005 && u <= 0x3007) ||
        (u >= 0x31F0 && u <= 0x31FF))
        return true; // kana, the iteration and prolonged-sound marks
    switch (c.script()) {
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Thai:
    case QChar::Script_Lao:
    case QChar::Script_Khmer:
    case QChar::Script_Myanmar:
        return true;
    default:
        return false;
    }
}

bool isWordChar(QChar c) {
    if (c.unicode() < 0x80)
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
    return (c.isLetterOrNumber() || c.isMark()) && !isUnspaced(c) && !c.isSurrogate();
}

bool isSpace(QChar c) {
    return c == u' ' || c == u'\n' || c == u'\r' || c == QChar::LineSeparator ||
           c == QChar::ParagraphSeparator || c == QChar::Nbsp;
}

} // namespace glossarychars

namespace {

bool isHalfWidthKana(ushort u) {
    return u >= 0xFF61 && u <= 0xFF9F;
}

bool isSoundMark(ushort u) {
    return u == 0xFF9E || u == 0xFF9F;
}

// How many source units one folded piece comes from: a surrogate pair, or a half-width kana with
// its voiced-sound mark, fold together.
qsizetype pieceLength(QStringView s, qsizetype i) {
    const ushort u = s[i].unicode();
    if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
        return 2;
    if (isHalfWidthKana(u) && !isSoundMark(u) && i + 1 < s.size() &&
        isSoundMark(s[i + 1].unicode()))
        return 2;
    return 1;
}

QString foldPiece(QStringView piece) {
    if (piece.size() == 1) {
        const ushort u = piece[0].unicode();
        if (u < 0x80)
            return QString(u >= 'A' && u <= 'Z' ? QChar(u + 32) : piece[0]);
        if (u >= 0xFF01 && u <= 0xFF5E) // full-width ASCII
            return QString(QChar(u - 0xFEE0)).toCaseFolded();
    }
    return piece.toString().normalized(QString::NormalizationForm_KC).toCaseFolded();
}

} // namespace

FoldedText FoldedText::fold(QStringView original) {
    FoldedText out;
    out.text.reserve(original.size());
    out.sourceStart.reserve(original.size());
    out.sourceEnd.reserve(original.size());
    for (qsizetype i = 0; i < original.size();) {
        const qsizetype n = pieceLength(original, i);
        const ushort u = original[i].unicode();
        if (n == 1 && u < 0x80)
            out.text += QChar(u >= 'A' && u <= 'Z' ? u + 32 : u);
        else
            out.text += foldPiece(original.mid(i, n));
        while (out.sourceStart.size() < size_t(out.text.size())) {
            out.sourceStart.push_back(int(i));
            out.sourceEnd.push_back(int(i + n));
        }
        i += n;
    }
    return out;
}

QString foldedWord(QStringView word) {
    bool plain = true;
    for (QChar c : word)
        plain = plain && c.unicode() < 0x80;
    if (plain)
        return word.toString().toLower();
    return FoldedText::fold(word).text;
}
