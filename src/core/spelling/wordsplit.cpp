// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordsplit.h"

#include <QChar>

namespace spelling {
namespace {

// Full-width Latin letters belong to Japanese typesetting and are left alone.
bool isLatinLetter(QChar c) {
    return c.isLetter() && c.script() == QChar::Script_Latin && c.unicode() < 0xFF00;
}

bool isApostrophe(QChar c) {
    return c == u'\'' || c == QChar(0x2019);
}

// Characters that make the run around them something other than a plain word: a code ("A4",
// "x_max") or a word in another alphabet. Japanese next to a Latin word does not: Japanese text
// writes English words without spaces around them.
bool spoilsWord(QChar c) {
    return c.isDigit() || c == u'_' || c.isMark() || c.script() == QChar::Script_Greek ||
           c.script() == QChar::Script_Cyrillic;
}

// Whether the word at i goes on through c: a letter, an apostrophe between two letters, or a
// digit when digits belong to words.
bool continuesWord(QStringView text, qsizetype i, bool digitsInWords) {
    const QChar c = text[i];
    if (isLatinLetter(c) || (digitsInWords && c.isDigit()))
        return true;
    return isApostrophe(c) && i > 0 && i + 1 < text.size() && isLatinLetter(text[i + 1]) &&
           isLatinLetter(text[i - 1]);
}

} // namespace

QList<WordSpan> latinWords(QStringView text, bool digitsInWords) {
    QList<WordSpan> words;
    const int n = int(text.size());
    int i = 0;
    while (i < n) {
        if (!isLatinLetter(text[i])) {
            ++i;
            continue;
        }
        int start = i;
        // Digits just before the first letter begin the word ("3rd").
        while (digitsInWords && start > 0 && text[start - 1].isDigit())
            --start;
        while (i < n && continuesWord(text, i, digitsInWords))
            ++i;
        const bool spoiltBefore = start > 0 && spoilsWord(text[start - 1]);
        bool spoiltAfter = i < n && spoilsWord(text[i]);
        // Skip the rest of a spoilt run so that its tail is not taken for a word of its own.
        if (spoiltBefore || spoiltAfter) {
            while (i < n && (isLatinLetter(text[i]) || spoilsWord(text[i])))
                ++i;
            continue;
        }
        words.append({start, i - start});
    }
    return words;
}

} // namespace spelling
