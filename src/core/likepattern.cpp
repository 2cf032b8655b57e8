#include "likepattern.h"

namespace {

// Reads one code point at i and advances i past it.
char32_t takeChar(QStringView s, qsizetype& i) {
    const QChar c = s[i++];
    if (c.isHighSurrogate() && i < s.size() && s[i].isLowSurrogate())
        return QChar::surrogateToUcs4(c, s[i++]);
    return c.unicode();
}

QString fromUcs4(char32_t c) { return QString::fromUcs4(&c, 1); }

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
        case U'?': t.kind = Token::AnyOne; break;
        case U'#': t.kind = Token::Digit; break;
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
        default: t.ch = c;
        }
        m_tokens.push_back(std::move(t));
    }
}

bool LikePattern::isPlain(QStringView text) {
    for (QChar c : text)
        if (c == u'*' || c == u'?' || c == u'#' || c == u'[')
            return false;
    return true;
}

bool LikePattern::sameChar(char32_t p, char32_t c) const {
    if (p == c)
        return true;
    return m_mode == collation::Mode::Text && collation::fold(p) == collation::fold(c);
}

bool LikePattern::inSet(const Token& t, char32_t c) const {
    bool found = false;
    for (size_t r = 0; r < t.ranges.size() && !found; ++r) {
        const Range& range = t.ranges[r];
        if (range.low == range.high) {
            found = sameChar(range.low, c);
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

bool LikePattern::matches(QStringView text) const { return matchFrom(0, text, 0); }

bool LikePattern::matchFrom(size_t token, QStringView text, qsizetype pos) const {
    while (token < m_tokens.size()) {
        const Token& t = m_tokens[token];
        if (t.kind == Token::AnyRun) {
            if (token + 1 == m_tokens.size())
                return true;
            for (qsizetype p = pos; p <= text.size(); ++p) {
                if (p < text.size() && text[p].isLowSurrogate())
                    continue;
                if (matchFrom(token + 1, text, p))
                    return true;
            }
            return false;
        }
        if (pos >= text.size())
            return false;
        const char32_t c = takeChar(text, pos);
        switch (t.kind) {
        case Token::Literal:
            if (!sameChar(t.ch, c))
                return false;
            break;
        case Token::Digit:
            if (!(c >= U'0' && c <= U'9') && !(c >= 0xFF10 && c <= 0xFF19 && m_mode == collation::Mode::Text))
                return false;
            break;
        case Token::Set:
            if (!inSet(t, c))
                return false;
            break;
        case Token::AnyOne:
        case Token::AnyRun: break;
        }
        ++token;
    }
    return pos == text.size();
}
