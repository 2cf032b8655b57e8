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

} // namespace

QList<WordSpan> latinWords(QStringView text) {
    QList<WordSpan> words;
    const int n = int(text.size());
    int i = 0;
    while (i < n) {
        if (!isLatinLetter(text[i])) {
            ++i;
            continue;
        }
        const int start = i;
        while (i < n && (isLatinLetter(text[i]) ||
                         (isApostrophe(text[i]) && i + 1 < n && isLatinLetter(text[i + 1]) &&
                          isLatinLetter(text[i - 1]))))
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
