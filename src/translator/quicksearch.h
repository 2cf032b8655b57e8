// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class MorphAnalyser;
class WordIndex;
class WordPane;
struct QuickSearchOptions;

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
    QString word; // what was found exactly: the key, or its dictionary form
};

// The exact word key; failing that, given an analyser, the dictionary form of a key that is one
// inflected Japanese word (用いて finds 用いる); failing that, with approximate set, for n from
// (length of key - 1) down to 2 the greatest word in index order that begins with the first n
// characters of key (pattern characters in them act as in the incremental search). Keys of two
// characters or fewer are only looked up exactly.
Match find(const WordIndex& index, const QString& key, bool approximate,
           const MorphAnalyser* analyser = nullptr);

} // namespace quicksearch

// The quick-search command: the look-up above, carried out on the word pane. An exact match shows
// the word and makes it current without moving the spinner; an approximate match shows the word
// found and makes it current too, so Modify and Delete act on the word the user sees; nothing
// found says so and, with both focus and register options, starts registering the text.
class QuickSearch {
public:
    // selection: the selected text of the pane the user last worked in; textPaneActive is false
    // when that was the word pane's input box, which searches for nothing.
    static void run(WordPane& pane, const QuickSearchOptions& options, bool textPaneActive,
                    const QString& selection);

private:
    static void showExact(WordPane& pane, const QuickSearchOptions& options, int position,
                          const QString& key);
    static void showApproximate(WordPane& pane, const QuickSearchOptions& options, int position,
                                const QString& key);
    static void reportMissing(WordPane& pane, const QuickSearchOptions& options,
                              const QString& key);
};
