// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QStringView>

namespace spelling {

// A word found in a text: its start and length in UTF-16 code units.
struct WordSpan {
    int start = 0;
    int length = 0;
    bool operator==(const WordSpan&) const = default;
};

// The words of Latin script in text: runs of Latin letters, joined by an apostrophe between two
// letters ("don't"). A run that touches an underscore or a Greek or Cyrillic letter is no word to
// check, nor one that touches a digit unless digitsInWords is set: then digits belong to the word
// ("x86", "3rd"). Japanese is never a word here, but a Latin word beside it is.
QList<WordSpan> latinWords(QStringView text, bool digitsInWords = false);

} // namespace spelling
