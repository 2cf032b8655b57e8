// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>
#include <vector>

// One word of Japanese text as a morphological analyser splits it: where it stands (UTF-16
// positions of the text analysed), its dictionary form (empty where that is the word as written,
// or unknown), its reading in katakana (empty where unknown), and what part it plays.
struct Morpheme {
    enum class Kind {
        Content,     // nouns, verbs, adjectives, adverbs...: words a book lists
        Particle,    // は, が, を...
        Conjunctive, // て, で, ば: a conjunctive particle that ends a verb's inflection
        Auxiliary,   // ます, た, ない...
        Bound,       // a verb or adjective that only follows another (いる in 食べている)
        Symbol,
    };
    int start = 0;
    int end = 0;
    QString baseForm;
    QString reading;
    Kind kind = Kind::Content;

    // A word that may follow a verb or adjective as part of its inflection (学び|ます,
    // 行か|なけれ|ば, 食べ|て|い|ます).
    bool continuesInflection() const {
        return kind == Kind::Auxiliary || kind == Kind::Conjunctive || kind == Kind::Bound;
    }
};

// Splits Japanese text into words. Implementations may be used from several threads at once.
class MorphAnalyser {
public:
    virtual ~MorphAnalyser() = default;
    // Readings are filled in only when asked for: matching has no use for them.
    virtual std::vector<Morpheme> analyse(QStringView text, bool withReadings) const = 0;
};

namespace morphology {
// The dictionary form of a selection that is one inflected word (用いて -> 用いる,
// 勉強しました -> 勉強する); empty when the selection is not one word or is already in that form.
QString dictionaryForm(const MorphAnalyser& analyser, QStringView text);
// The reading of text in hiragana, empty when some word of it has no known reading or the reading
// says nothing the text does not (text in kana alone).
QString readingOf(const MorphAnalyser& analyser, QStringView text);
// Katakana turned into hiragana; everything else as it is.
QString toHiragana(QStringView katakana);
} // namespace morphology
