// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/text/collation.h"

#include <QHash>
#include <QString>
#include <QStringView>
#include <vector>

// The pattern test of incremental search and of the initial palette: "*" any run of characters,
// "?" any one character, "#" one digit, "[list]" one character of a list or range ("[a-z]"),
// "[!list]" one character not in it. In text mode characters compare as the main window compares
// words, and a character is in a range when it sorts between the range's ends; in binary mode
// both go by character code. A "[" without its "]" stands for itself.
class LikePattern {
public:
    LikePattern(const QString& pattern, collation::Mode mode);

    bool matches(QStringView text) const;

    // True when the pattern holds no special character: a plain text to look for.
    static bool isPlain(QStringView text);
    // The plain characters the pattern begins with; every match begins with them too.
    const QString& literalPrefix() const { return m_literalPrefix; }

private:
    struct Range {
        char32_t low;
        char32_t high;
    };
    struct Token {
        enum Kind { Literal, AnyOne, Digit, AnyRun, Set } kind;
        char32_t ch = 0;
        char32_t folded = 0;
        bool negated = false;
        std::vector<Range> ranges; // a single character is a range of one
    };

    bool matchOne(const Token& t, char32_t c) const;
    bool inSet(const Token& t, char32_t c) const;
    bool sameChar(char32_t patternChar, char32_t folded, char32_t c) const;

    std::vector<Token> m_tokens;
    QString m_literalPrefix;
    collation::Mode m_mode;
    // Range tests in text mode go through the collator; the same characters come back often.
    mutable QHash<quint64, bool> m_rangeCache;
};
