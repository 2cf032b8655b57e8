// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <vector>

// Text brought to the form the glossary compares: case folded, full-width Latin letters and
// half-width katakana in their ordinary forms (compatibility normalisation, a voiced-sound mark
// joined to the kana before it). Each folded character remembers where its source begins and ends
// in the original text, so a match can be shown and highlighted where the user sees it.
struct FoldedText {
    QString text;
    std::vector<int> sourceStart; // per folded UTF-16 unit
    std::vector<int> sourceEnd;

    static FoldedText fold(QStringView original);
};

// The folded form of a single word, without the position map.
QString foldedWord(QStringView word);

namespace glossarychars {
// Scripts written without spaces between words: matched by substring.
bool isUnspaced(QChar c);
// A character of a word of a spaced script: letters, digits and marks that are not unspaced.
bool isWordChar(QChar c);
// A single space or a line break, which a multi-word entry's space stands for.
bool isSpace(QChar c);
} // namespace glossarychars
