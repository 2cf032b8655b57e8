// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class WordIndex;

// The search as the user types in the input box: the first word that begins with the typed text
// is shown without moving the list. While the text grows, the search goes on from the last match;
// when it shrinks it starts again from the match of the first letter, so each keystroke looks only
// forward from a known place. Any other change (a different first letter, a letter replaced in
// the middle, text typed over a selection) starts afresh. A plain prefix is located by binary
// search over the sorted index; text with pattern characters is matched word by word.
class IncrementalSearch {
public:
    // Forgets the remembered positions; needed whenever the index changes.
    void reset();

    // The input box now holds text. Returns the index position of the word to show, or -1 when
    // the shown word stays as it is.
    int textChanged(const WordIndex& index, const QString& text);

private:
    static int searchFrom(const WordIndex& index, const QString& typed, int from);
    int searchAfresh(const WordIndex& index, const QString& text);

    QString m_typed;
    // At or before the first match of m_typed.
    int m_start = 0;
    // The first match of m_typed's first character, -1 when no word begins with it.
    int m_firstLetter = -1;
};
