#include "incrementalsearch.h"

#include "likepattern.h"
#include "wordindex.h"

#include <algorithm>

void IncrementalSearch::reset() {
    *this = IncrementalSearch();
}

int IncrementalSearch::searchFrom(const WordIndex& index, int from) const {
    const LikePattern pattern(m_typed + u'*', index.compareMode());
    if (LikePattern::isPlain(m_typed)) {
        // Words beginning with a plain text sort together, from the text's own place onwards.
        const int candidate = std::max(index.lowerBound(m_typed), from);
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

int IncrementalSearch::textChanged(const WordIndex& index, const QString& text) {
    if (index.isEmpty())
        return -1;
    m_typed = text;
    const int typedLength = int(text.size());
    if (m_previousLength < typedLength) {
        m_previousLength = typedLength;
        const int found = searchFrom(index, m_start);
        if (found >= 0) {
            m_start = found;
            if (typedLength == 1)
                m_firstLetter = found;
        }
        return found;
    }
    if (typedLength == 0) {
        m_previousLength = 0;
        m_start = 0;
        return -1;
    }
    if (typedLength == 1)
        return m_firstLetter < index.size() ? m_firstLetter : -1;
    m_previousLength = typedLength;
    m_start = m_firstLetter;
    return searchFrom(index, m_firstLetter);
}
