// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/quiz.h"

#include "core/store/book.h"
#include "core/store/wordindex.h"
#include "core/text/likepattern.h"

namespace quiz {

int findWord(const WordIndex& index, const QuizWord& word) {
    // Most of the time nothing moved and the old place still holds the word.
    if (word.position >= 0 && word.position < index.size()) {
        const IndexEntry& there = index.at(word.position);
        if (there.recordNo == word.recordNo && there.word == word.word)
            return word.position;
    }
    // A book may hold the same word more than once (a merge keeps both copies); the copies sit
    // side by side, and the record number tells them apart.
    for (int p = index.find(word.word); p >= 0 && p < index.size() && index.at(p).word == word.word;
         ++p)
        if (index.at(p).recordNo == word.recordNo)
            return p;
    return -1;
}

bool wordAnswerIsRight(const QString& answer, const QString& word) {
    return answer == word;
}

bool meaningAnswerIsRight(const QString& answer, const QString& meaning) {
    // By character code, so letter case counts.
    const LikePattern pattern(u'*' + answer + u'*', collation::Mode::Binary);
    return pattern.matches(meaning);
}

int transferMisses(const QuizSnapshot& snapshot, const QuizHost& host) {
    const Book* book = host.book ? host.book() : nullptr;
    if (!book || !book->isOpen() || !host.setListedMark)
        return 0;
    int found = 0;
    for (const QuizWord& word : snapshot.words) {
        const int position = findWord(book->index(), word);
        if (position >= 0 && host.setListedMark(position, word.missed))
            ++found;
    }
    return found;
}

} // namespace quiz
