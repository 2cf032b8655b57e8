// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <memory>

class MorphAnalyser;
class WordIndex;

// Looking a word the user names up in the book by its exact spelling, and, for a conjugated
// Japanese word, by its dictionary form. Shared by the quick search and the word pane, so a
// selection and a typed word are matched the same way.
namespace wordlookup {

struct Found {
    int position = -1; // -1: nothing found
    QString word;      // what was found: the key itself, or its dictionary form
};

// The shared Japanese analyser when key holds Japanese text, null otherwise or when it is not
// installed. Only Japanese text needs it, and it takes a moment to open.
std::shared_ptr<const MorphAnalyser> analyserFor(const QString& key);

// The exact word key; failing that, given an analyser, the dictionary form of a key that is one
// inflected Japanese word (用いて finds 用いる).
Found exactOrDictionaryForm(const WordIndex& index, const QString& key,
                            const MorphAnalyser* analyser);

} // namespace wordlookup
