#pragma once

#include <QString>

class WordIndex;

// Quick search looks the text selected in a translation pane up in the book. This part is the
// look-up itself, over the word index alone: the exact word, or, when asked for, the nearest word
// of a shortened form of the text (walked finds walker or walk...). The word pane carries out
// what it finds.
namespace quicksearch {

// The key of a selection: trailing blanks and line ends cut off, leading ones kept.
QString keyOf(const QString& selection);

struct Match {
    int position = -1; // -1: nothing found
    bool exact = false;
};

// The exact word key; failing that, with approximate set, for n from (length of key - 1) down to
// 2 the greatest word in index order that begins with the first n characters of key (pattern
// characters in them act as in the incremental search). Keys of two characters or fewer are only
// looked up exactly.
Match find(const WordIndex& index, const QString& key, bool approximate);

} // namespace quicksearch
