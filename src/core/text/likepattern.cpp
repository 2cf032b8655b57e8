// SPDX-License-Identifier: GPL-3.0-or-later
#include "likepattern.h"

namespace {

// Reads one code point at i and advances i past it.
char32_t takeChar(QStringView s, qsizetype& i) {
    const QChar c = s[i++];
    if (c.isHighSurrogate() && i < s.size() && s[i].isLowSurrogate())
        return QChar::surrogateToUcs4(c, s[i++]);
    return c.unicode();
}

QString fromUcs4(char32_t c) {
    return QString::fromUcs4(&c, 1);
}

} // namespace

LikePattern::LikePattern(const QString& pattern, collation::Mode mode) : m_mode(mode) {
    qsizetype i = 0;
    while (i < pattern.size()) {
        const char32_t c = takeChar(pattern, i);
        Token t{Token::Literal};
        switch (c) {
        case U'*':
            if (m_tokens.empty() || m_tokens.back().kind != Token::AnyRun)
                m_tokens.push_back({Token::AnyRun});
            continue;
        case U'?':
            t.kind = Token::AnyOne;
            break;
        case U'#':
            t.kind = Token::Digit;
            break;
        case U'[': {
            const qsizetype close = pattern.indexOf(u']', i);
            if (close < 0) {
                t.ch = c;
                break;
            }
            t.kind = Token::Set;
            QStringView body = QStringView(pattern).mid(i, close - i);
            i = close + 1;
            qsizetype j = 0;
            if (!body.isEmpty() && body[0] == u'!') {
                t.negated = true;
                ++j;
            }
            while (j < body.size()) {
                const char32_t low = takeChar(body, j);
                if (j + 1 < body.size() && body[j] == u'-') {
                    ++j;
                    const char32_t high = takeChar(body, j);
                    t.ranges.push_back({low, high});
                } else {
                    t.ranges.push_back({low, low});
                }
            }
            break;
        }
        default:
            t.ch = c;
        }
        t.folded = collation::fold(t.ch);
        m_tokens.push_back(std::move(t));
    }
    for (const Token& t : m_tokens) {
        if (t.kind != Token::Literal)
            break;
        m_literalPrefix += fromUcs4(t.ch);
    }
}

bool LikePattern::isPlain(QStringView text) {
    for (QChar c : text)
        if (c == u'*' || c == u'?' || c == u'#' || c == u'[')
            return false;
    return true;
}

bool LikePattern::sameChar(char32_t p, char32_t folded, char32_t c) const {
    if (p == c)
        return true;
    if (m_mode != collation::Mode::Text)
        return false;
    if (c < 0x80) // most words are plain ASCII: fold without a call
        return folded == ((c >= U'A' && c <= U'Z') ? c + 0x20 : c);
    return folded == collation::fold(c);
}

bool LikePattern::inSet(const Token& t, char32_t c) const {
    bool found = false;
    for (size_t r = 0; r < t.ranges.size() && !found; ++r) {
        const Range& range = t.ranges[r];
        if (range.low == range.high) {
            found = sameChar(range.low, collation::fold(range.low), c);
        } else if (m_mode == collation::Mode::Binary) {
            found = c >= range.low && c <= range.high;
        } else {
            const quint64 cacheKey = (quint64(&t - m_tokens.data()) << 48) ^ (quint64(r) << 40) ^ c;
            auto hit = m_rangeCache.constFind(cacheKey);
            if (hit != m_rangeCache.constEnd()) {
                found = *hit;
            } else {
                const QString ch = fromUcs4(c);
                found = collation::compare(fromUcs4(range.low), ch) <= 0 &&
                        collation::compare(ch, fromUcs4(range.high)) <= 0;
                m_rangeCache.insert(cacheKey, found);
            }
        }
    }
    return found != t.negated;
}

bool LikePattern::matchOne(const Token& t, char32_t c) const {
    switch (t.kind) {
    case Token::Literal:
        return sameChar(t.ch, t.folded, c);
    case Token::Digit:
        return (c >= U'0' && c <= U'9') ||
               (m_mode == collation::Mode::Text && c >= 0xFF10 && c <= 0xFF19);
    case Token::Set:
        return inSet(t, c);
    case Token::AnyOne:
    case Token::AnyRun:
        break;
    }
    return true;
}

// Every token but "*" takes exactly one character, so the classic two-pointer match with a
// single backtracking point per "*" is exact, and needs no recursion.
bool LikePattern::matches(QStringView text) const {
    const size_t tokenCount = m_tokens.size();
    size_t token = 0;
    qsizetype pos = 0;
    size_t starToken = SIZE_MAX;
    qsizetype starPos = 0;
    while (pos < text.size()) {
        if (token < tokenCount && m_tokens[token].kind == Token::AnyRun) {
            starToken = token++;
            starPos = pos;
            if (token == tokenCount)
                return true;
            continue;
        }
        if (starToken != SIZE_MAX && token == starToken + 1 &&
            m_tokens[token].kind == Token::Literal) {
            // Right after a "*": skip straight to the next place the literal can match.
            const Token& t = m_tokens[token];
            const char16_t* chars = text.utf16();
            if (t.ch < 0x80 && m_mode == collation::Mode::Text) {
                const char16_t lower = char16_t(t.folded);
                const char16_t upper =
                    (lower >= u'a' && lower <= u'z') ? char16_t(lower - 0x20) : lower;
                while (pos < text.size() && chars[pos] != lower && chars[pos] != upper &&
                       (chars[pos] < 0x80 || !sameChar(t.ch, t.folded, chars[pos])))
                    ++pos;
                if (pos == text.size())
                    return false;
                starPos = pos;
            }
        }
        qsizetype next = pos;
        const char32_t c = takeChar(text, next);
        if (token < tokenCount && matchOne(m_tokens[token], c)) {
            ++token;
            pos = next;
            continue;
        }
        if (starToken == SIZE_MAX)
            return false;
        // Let the last "*" take one more character and try again after it.
        token = starToken + 1;
        takeChar(text, starPos);
        pos = starPos;
    }
    while (token < tokenCount && m_tokens[token].kind == Token::AnyRun)
        ++token;
    return token == tokenCount;
}
