// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>
#include <vector>

// How closely an earlier original matches the sentence being translated, the way translation
// memories commonly measure it: the word-level Levenshtein distance (insertions, deletions and
// substitutions of whole tokens, each costing one) over the longer token count. Words, numbers
// and each other visible character are tokens; every CJK character is a token of its own, since
// Japanese and Chinese text has no spaces between words.
namespace fuzzymatch {

struct Token {
    int start; // in the text
    int length;
};

std::vector<Token> tokenize(QStringView text);

// The number of token edits between a and b.
int wordDistance(QStringView a, QStringView b);

struct Span {
    int start;
    int length;
};

struct Score {
    int percent = 0; // 100 only when the texts are identical
    // Where candidate differs from the sentence: its tokens that were substituted or are not in
    // the sentence, in text order, neighbours merged. When a word of the sentence is missing from
    // candidate, nothing of candidate shows it; the percentage does.
    std::vector<Span> differences;
};

// The match percentage of candidate against sentence, rounded down (so 69.9 % never passes a
// 70 % threshold), with the differences marked in candidate.
Score score(QStringView sentence, QStringView candidate);

// The percentage alone, for ranking many candidates; stops early and returns -1 once the
// distance makes minimumPercent unreachable.
int percent(const std::vector<QStringView>& sentenceTokens, QStringView candidate,
            int minimumPercent);

std::vector<QStringView> tokenViews(QStringView text);

} // namespace fuzzymatch
