// SPDX-License-Identifier: GPL-3.0-or-later
#include "fuzzymatch.h"

#include <algorithm>
#include <numeric>

namespace fuzzymatch {

namespace {

bool standsAlone(char32_t c) {
    switch (QChar::script(c)) {
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Hangul:
        return true;
    default:
        return false;
    }
}

bool isWordCharacter(char32_t c) {
    return (QChar::isLetterOrNumber(c) || QChar::category(c) == QChar::Mark_NonSpacing) &&
           !standsAlone(c);
}

int percentOf(int distance, int longer) {
    return longer == 0 ? 100 : 100 * (longer - distance) / longer;
}

} // namespace

std::vector<Token> tokenize(QStringView text) {
    std::vector<Token> tokens;
    const int n = int(text.size());
    int i = 0;
    const auto codePointAt = [&](int at, int* width) -> char32_t {
        const QChar c = text[at];
        if (c.isHighSurrogate() && at + 1 < n && text[at + 1].isLowSurrogate()) {
            *width = 2;
            return QChar::surrogateToUcs4(c, text[at + 1]);
        }
        *width = 1;
        return c.unicode();
    };
    while (i < n) {
        int width = 1;
        const char32_t c = codePointAt(i, &width);
        if (QChar::isSpace(c)) {
            i += width;
            continue;
        }
        const int start = i;
        i += width;
        if (isWordCharacter(c)) {
            while (i < n) {
                const char32_t next = codePointAt(i, &width);
                if (!isWordCharacter(next))
                    break;
                i += width;
            }
        }
        tokens.push_back({start, i - start});
    }
    return tokens;
}

std::vector<QStringView> tokenViews(QStringView text) {
    std::vector<QStringView> views;
    for (const Token& t : tokenize(text))
        views.push_back(text.mid(t.start, t.length));
    return views;
}

int wordDistance(QStringView a, QStringView b) {
    const std::vector<QStringView> x = tokenViews(a);
    const std::vector<QStringView> y = tokenViews(b);
    std::vector<int> row(y.size() + 1);
    std::iota(row.begin(), row.end(), 0);
    for (size_t i = 1; i <= x.size(); ++i) {
        int diagonal = row[0];
        row[0] = int(i);
        for (size_t j = 1; j <= y.size(); ++j) {
            const int above = row[j];
            row[j] =
                std::min({above + 1, row[j - 1] + 1, diagonal + (x[i - 1] == y[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row.back();
}

int percent(const std::vector<QStringView>& sentence, QStringView candidate, int minimumPercent) {
    const std::vector<QStringView> y = tokenViews(candidate);
    const int n = int(sentence.size());
    const int m = int(y.size());
    const int longer = std::max(n, m);
    // The largest distance that still reaches the minimum: 100 * (longer - d) >= min * longer.
    const int allowed = longer - (minimumPercent * longer + 99) / 100;
    if (std::abs(n - m) > allowed)
        return -1;
    std::vector<int> row(size_t(m) + 1);
    std::iota(row.begin(), row.end(), 0);
    for (int i = 1; i <= n; ++i) {
        int diagonal = row[0];
        row[0] = i;
        int best = row[0];
        for (int j = 1; j <= m; ++j) {
            const int above = row[j];
            row[j] = std::min({above + 1, row[j - 1] + 1,
                               diagonal + (sentence[size_t(i - 1)] == y[size_t(j - 1)] ? 0 : 1)});
            diagonal = above;
            best = std::min(best, row[j]);
        }
        if (best > allowed)
            return -1;
    }
    const int distance = row.back();
    return distance > allowed ? -1 : percentOf(distance, longer);
}

Score score(QStringView sentence, QStringView candidate) {
    const std::vector<QStringView> x = tokenViews(sentence);
    const std::vector<Token> tokens = tokenize(candidate);
    std::vector<QStringView> y;
    for (const Token& t : tokens)
        y.push_back(candidate.mid(t.start, t.length));
    const size_t n = x.size();
    const size_t m = y.size();
    std::vector<std::vector<int>> d(n + 1, std::vector<int>(m + 1));
    for (size_t i = 0; i <= n; ++i)
        d[i][0] = int(i);
    for (size_t j = 0; j <= m; ++j)
        d[0][j] = int(j);
    for (size_t i = 1; i <= n; ++i)
        for (size_t j = 1; j <= m; ++j)
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                                d[i - 1][j - 1] + (x[i - 1] == y[j - 1] ? 0 : 1)});

    // Walk back along one cheapest alignment; every candidate token not kept as it is differs.
    std::vector<bool> differs(m, false);
    for (size_t i = n, j = m; j > 0;) {
        if (i > 0 && x[i - 1] == y[j - 1] && d[i][j] == d[i - 1][j - 1]) {
            --i;
            --j;
        } else if (i > 0 && d[i][j] == d[i - 1][j - 1] + 1) {
            differs[--j] = true;
            --i;
        } else if (d[i][j] == d[i][j - 1] + 1) {
            differs[--j] = true;
        } else {
            --i;
        }
    }

    Score s;
    const int longer = int(std::max(n, m));
    s.percent = sentence == candidate ? 100 : std::min(99, percentOf(d[n][m], longer));
    for (size_t j = 0; j < m; ++j) {
        if (!differs[j])
            continue;
        const Token& t = tokens[j];
        // Tokens that differ side by side make one mark, the space between them included.
        if (j > 0 && differs[j - 1] && !s.differences.empty())
            s.differences.back().length = t.start + t.length - s.differences.back().start;
        else
            s.differences.push_back({t.start, t.length});
    }
    return s;
}

} // namespace fuzzymatch
