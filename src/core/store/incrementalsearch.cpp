// SPDX-License-Identifier: GPL-3.0-or-later
#include "incrementalsearch.h"

#include "core/store/wordindex.h"
#include "core/text/likepattern.h"

#include <algorithm>
#include <utility>

void IncrementalSearch::reset() {
    *this = IncrementalSearch();
}

int IncrementalSearch::searchFrom(const WordIndex& index, const QString& typed, int from) {
    const LikePattern pattern(typed + u'*', index.compareMode());
    if (LikePattern::isPlain(typed)) {
        // Words beginning with a plain text sort together, from the text's own place onwards.
        const int candidate = std::max(index.lowerBound(typed), from);
        if (candidate < index.size() && pattern.matches(index.at(candidate).word))
            return candidate;
        return -1;
    }
    const QString& prefix = pattern.literalPrefix();
    if (prefix.isEmpty()) {
        for (int s = std::max(from, 0); s < index.size(); ++s)
            if (pattern.matches(index.at(s).word))
                return s;
        return -1;
    }
    // Only the words that begin with the pattern's plain start can match, and they sort together.
    const LikePattern start(prefix + u'*', index.compareMode());
    for (int s = std::max(index.lowerBound(prefix), from); s < index.size(); ++s) {
        const QString& word = index.at(s).word;
        if (!start.matches(word))
            break;
        if (pattern.matches(word))
            return s;
    }
    return -1;
}

int IncrementalSearch::searchAfresh(const WordIndex& index, const QString& text) {
    // The first letter is a whole character, two code units when outside the basic plane.
    const qsizetype letter = text.size() > 1 && text[0].isHighSurrogate() ? 2 : 1;
    m_firstLetter = searchFrom(index, text.left(letter), 0);
    const int found = searchFrom(index, text, 0);
    m_start = std::max(found, 0);
    return found;
}

int IncrementalSearch::textChanged(const WordIndex& index, const QString& text) {
    if (index.isEmpty())
        return -1;
    const QString previous = std::exchange(m_typed, text);
    if (text.isEmpty()) {
        m_start = 0;
        return -1;
    }
    // A "[" may turn what came before it into a character list once its "]" is typed, so text
    // with one is not narrowed from an earlier match.
    const bool grew = !previous.isEmpty() && text.startsWith(previous) && !previous.contains(u'[');
    const bool shrank = previous.startsWith(text) && text[0] != u'[';
    if (grew) {
        const int found = searchFrom(index, text, m_start);
        if (found >= 0)
            m_start = found;
        return found;
    }
    if (shrank) {
        // Every word beginning with the text begins with its first letter.
        if (m_firstLetter < 0 || m_firstLetter >= index.size())
            return -1;
        const int found = searchFrom(index, text, m_firstLetter);
        m_start = found >= 0 ? found : m_firstLetter;
        return found;
    }
    return searchAfresh(index, text);
}
