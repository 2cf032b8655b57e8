// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/incrementalsearch.h"
#include "core/store/wordindex.h"
#include "core/text/likepattern.h"
#include "support/indexbuilder.h"

#include <QRandomGenerator>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

QStringList wordsOf(const WordIndex& index) {
    QStringList out;
    for (int p = 0; p < index.size(); ++p)
        out << index.at(p).word;
    return out;
}

QStringList randomWords(int n, quint32 seed) {
    QRandomGenerator rng(seed);
    QStringList words;
    const QString alphabet = QStringLiteral("abcdeABCDE0あいアイｱｲ");
    for (int i = 0; i < n; ++i) {
        QString w;
        for (int j = 0, len = 1 + rng.bounded(5); j < len; ++j)
            w += alphabet[rng.bounded(int(alphabet.size()))];
        words << w;
    }
    return words;
}

TEST(WordIndex, SortsCaseInsensitivelyWithFixedTies) {
    EXPECT_EQ(wordsOf(indexOf({"banana", "Apple", "cherry"})),
              QStringList({"Apple", "banana", "cherry"}));
    // Spellings the comparison holds equal come in character-code order, whatever the file order.
    EXPECT_EQ(wordsOf(indexOf({"apple", "APPLE", "Apple"})),
              QStringList({"APPLE", "Apple", "apple"}));
    EXPECT_EQ(wordsOf(indexOf({"Apple", "apple", "APPLE"})),
              QStringList({"APPLE", "Apple", "apple"}));

    // A book of 101 words and the same book less one word keep the same order.
    QStringList words = randomWords(101, 7);
    QStringList all = wordsOf(indexOf(words));
    const QString extra = words.takeLast();
    all.removeOne(extra);
    EXPECT_EQ(wordsOf(indexOf(words)), all);
}

TEST(WordIndex, FindIgnoresCaseAndPrefersTheSameSpelling) {
    WordIndex index = indexOf({"apple", "Banana", "cherry", "APPLE"});
    EXPECT_EQ(index.at(index.find("banana")).word, QStringLiteral("Banana"));
    EXPECT_EQ(index.at(index.find("BANANA")).word, QStringLiteral("Banana"));
    EXPECT_EQ(index.at(index.find("apple")).word, QStringLiteral("apple"));
    EXPECT_EQ(index.at(index.find("APPLE")).word, QStringLiteral("APPLE"));
    EXPECT_EQ(index.find("date"), -1);
    EXPECT_EQ(index.find("appl"), -1);
    EXPECT_EQ(WordIndex().find("x"), -1);
}

TEST(WordIndex, OrdinalOrderGoesByCodeUnitAndMatchesCaseExactly) {
    const WordIndex::Order ordinal = WordIndex::Order::Ordinal;
    // Capitals before small letters; a surrogate pair (U+1F600) sorts by its first code unit,
    // between hiragana and half-width katakana.
    WordIndex index = indexOf(
        {"banana", "apple", "Zebra", "Apple", "ｱｲ", "\U0001F600", "あい", "apple pie"}, ordinal);
    EXPECT_EQ(index.order(), ordinal);
    EXPECT_EQ(wordsOf(index), QStringList({"Apple", "Zebra", "apple", "apple pie", "banana", "あい",
                                           "\U0001F600", "ｱｲ"}));
    EXPECT_EQ(index.find("apple"), 2);
    EXPECT_EQ(index.find("Apple"), 0);
    EXPECT_EQ(index.find("APPLE"), -1);
    EXPECT_EQ(index.find("アイ"), -1);
    EXPECT_EQ(index.lowerBound("a"), 2);
    EXPECT_EQ(index.lowerBound("zz"), 5);

    // Inserting and renaming keep the ordinal order.
    EXPECT_EQ(index.insert({"Mango", 9, false}), 1);
    const int moved = index.rename(index.find("banana"), "Banana");
    EXPECT_EQ(index.at(moved).word, "Banana");
    EXPECT_EQ(moved, 1);
    EXPECT_EQ(index.at(index.find("Banana")).recordNo, 1);
    EXPECT_EQ(WordIndex(ordinal).find("x"), -1);

    // The palette ranges go by character code too.
    QStringList initialA;
    for (int p : index.filterByInitial("a", "a"))
        initialA << index.at(p).word;
    EXPECT_EQ(initialA, QStringList({"apple", "apple pie"}));
}

TEST(WordIndex, CheckMarksFollowTheirWords) {
    WordIndex index = indexOf({"b", "d", "f"});
    index.setCheckMark(1, true); // d
    const int c = index.insert({"c", 4, false});
    EXPECT_EQ(c, 1);
    EXPECT_TRUE(index.at(index.find("d")).checkMark);
    const int moved = index.rename(index.find("d"), "a");
    EXPECT_EQ(moved, 0);
    EXPECT_TRUE(index.at(0).checkMark);
    EXPECT_EQ(index.checkedCount(), 1);
    index.removeAt(index.find("b"));
    EXPECT_TRUE(index.at(index.find("a")).checkMark);
}

TEST(WordIndex, PaletteFilterTakesWordsByTheirFirstCharacter) {
    WordIndex index =
        indexOf({"apple", "Avocado", "banana", "1st", "あめ", "アイス", "かめ", "ｲﾇ"});
    auto filtered = [&](const QString& from, const QString& to) {
        QStringList out;
        for (int p : index.filterByInitial(from, to))
            out << index.at(p).word;
        return out;
    };
    EXPECT_EQ(filtered("A", "A"), QStringList({"apple", "Avocado"}));
    EXPECT_TRUE(filtered("Q", "Q").isEmpty());
    EXPECT_EQ(filtered("a", "b"), QStringList({"apple", "Avocado", "banana"}));
    // Kana ranges hold hiragana, katakana and half-width katakana alike.
    EXPECT_EQ(filtered(QStringLiteral("あ"), QStringLiteral("お")).size(), 3);
}

TEST(LikePattern, WildcardsListsAndRanges) {
    auto like = [](const QString& text, const QString& pattern,
                   collation::Mode mode = collation::Mode::Text) {
        return LikePattern(pattern, mode).matches(text);
    };
    EXPECT_TRUE(like("Apple", "ap*"));
    EXPECT_FALSE(like("Apple", "ap*", collation::Mode::Binary));
    EXPECT_TRUE(like("apple", "a?ple"));
    EXPECT_FALSE(like("aple", "a?ple"));
    EXPECT_TRUE(like("3rd", "#*"));
    EXPECT_FALSE(like("third", "#*"));
    EXPECT_TRUE(like("cat", "[a-c]*"));
    EXPECT_TRUE(like("Cat", "[a-c]*"));
    EXPECT_FALSE(like("Cat", "[a-c]*", collation::Mode::Binary));
    EXPECT_FALSE(like("dog", "[a-c]*"));
    EXPECT_TRUE(like("dog", "[!a-c]*"));
    EXPECT_TRUE(like("x", "[xyz]"));
    EXPECT_TRUE(like("a*b", "a[*]b"));
    EXPECT_TRUE(like("abcxyz", "a*x*z"));
    EXPECT_FALSE(like("abcxy", "a*x*z"));
    EXPECT_TRUE(like("the Running", "*run*"));
    EXPECT_TRUE(like(QStringLiteral("ＲＵＮ"), "*run"));
    EXPECT_TRUE(like("abab", "*ab"));
    EXPECT_TRUE(like("aXbXcc", "*X?c"));
    EXPECT_FALSE(like("aXbXc", "*X?c"));
    EXPECT_FALSE(like("b", "*ab"));
    // A bracket that is never closed stands for itself.
    EXPECT_TRUE(like("[ab", "[ab*"));
    EXPECT_FALSE(like("ab", "[ab*"));
    // Width and kana type are ignored in text mode.
    EXPECT_TRUE(like(QStringLiteral("ＡＢＣ"), "abc"));
    EXPECT_TRUE(like(QStringLiteral("アイス"), QStringLiteral("あい*")));
}

TEST(IncrementalSearch, FollowsTheTyping) {
    WordIndex index = indexOf({"banana", "apricot", "apple", "7up", "Zebra"});
    IncrementalSearch search;
    auto shown = [&](const QString& text) {
        const int p = search.textChanged(index, text);
        return p < 0 ? QString() : index.at(p).word;
    };
    EXPECT_EQ(shown("a"), "apple");
    EXPECT_EQ(shown("ap"), "apple");
    EXPECT_EQ(shown("apr"), "apricot");
    EXPECT_EQ(shown("ap"), "apple");
    EXPECT_EQ(shown("a"), "apple");
    EXPECT_EQ(shown(""), QString());  // the last word stays shown
    EXPECT_EQ(shown("x"), QString()); // unknown prefix: nothing changes
    EXPECT_EQ(shown("xy"), QString());
    EXPECT_EQ(shown(""), QString());
    EXPECT_EQ(shown("#"), "7up");
    EXPECT_EQ(shown(""), QString());
    EXPECT_EQ(shown("Z"), "Zebra");
    EXPECT_EQ(shown("ze"), "Zebra");
    EXPECT_EQ(shown("z*a"), "Zebra");
}

TEST(IncrementalSearch, InTheOrdinalOrderCaseMatters) {
    WordIndex index = indexOf({"apple", "Apricot", "apricot", "banana"}, WordIndex::Order::Ordinal);
    IncrementalSearch search;
    auto shown = [&](const QString& text) {
        const int p = search.textChanged(index, text);
        return p < 0 ? QString() : index.at(p).word;
    };
    EXPECT_EQ(shown("A"), "Apricot");
    EXPECT_EQ(shown(""), QString());
    EXPECT_EQ(shown("a"), "apple");
    EXPECT_EQ(shown("ap"), "apple");
    EXPECT_EQ(shown("apr"), "apricot");
    EXPECT_EQ(shown("apR"), QString());
    search.reset();
    EXPECT_EQ(shown("[A]p*t"), "Apricot");
}

TEST(IncrementalSearch, RemembersPositionsOnlyWhileTheTextGrowsOrShrinks) {
    WordIndex index = indexOf({"aa", "ab", "open", "order", "yes"});
    IncrementalSearch search;
    auto shown = [&](const QString& text) {
        const int p = search.textChanged(index, text);
        return p < 0 ? QString() : index.at(p).word;
    };
    // Same length, other text.
    EXPECT_EQ(shown("a"), "aa");
    EXPECT_EQ(shown("ab"), "ab");
    EXPECT_EQ(shown("aa"), "aa");
    // A word chosen in the list, then a letter typed over the selected text.
    EXPECT_EQ(shown("yes"), "yes");
    EXPECT_EQ(shown("o"), "open");
    EXPECT_EQ(shown("or"), "order");
    // The box cleared, a word chosen, and the text typed again over it.
    EXPECT_EQ(shown("y"), "yes");
    EXPECT_EQ(shown(""), QString());
    EXPECT_EQ(shown("open"), "open");
    EXPECT_EQ(shown("o"), "open");
    EXPECT_EQ(shown("ord"), "order");
    // Back to a first letter no word begins with: nothing to show.
    EXPECT_EQ(shown("x"), QString());
    EXPECT_EQ(shown("xy"), QString());
    EXPECT_EQ(shown("x"), QString());
    // Positions found before the index changed are not trusted after it.
    EXPECT_EQ(shown("y"), "yes");
    index.removeAt(0);
    search.reset();
    EXPECT_EQ(shown("ye"), "yes");
}

TEST(IncrementalSearch, AnyRunOfEditsShowsTheFirstMatch) {
    // Whatever the user does to the text, the word shown is the first one that matches it.
    const QStringList words = randomWords(500, 21);
    WordIndex index = indexOf(words);
    const QString keys = QStringLiteral("abcAB0あア*?#[]!-");
    QRandomGenerator rng(22);
    auto firstMatch = [&](const QString& typed) {
        if (typed.isEmpty())
            return -1;
        const LikePattern pattern(typed + u'*', collation::Mode::Text);
        for (int p = 0; p < index.size(); ++p)
            if (pattern.matches(index.at(p).word))
                return p;
        return -1;
    };
    IncrementalSearch search;
    QString text;
    for (int step = 0; step < 3000; ++step) {
        const QChar key = keys[rng.bounded(int(keys.size()))];
        switch (rng.bounded(5)) {
        case 0:
            if (!text.isEmpty())
                text.chop(1);
            break;
        case 1:
            text = key; // typed over the whole text
            break;
        case 2:
            if (!text.isEmpty())
                text[rng.bounded(int(text.size()))] = key;
            break;
        default:
            text += key;
            break;
        }
        ASSERT_EQ(search.textChanged(index, text), firstMatch(text)) << text.toStdString();
    }
}

TEST(IncrementalSearch, BinarySearchFindsWhatAScanFinds) {
    // The fast path for plain text must agree with a word-by-word scan of the sorted index, in
    // both orders.
    const QStringList words = randomWords(3000, 11);
    const QStringList prefixes = randomWords(400, 12);
    for (WordIndex::Order order : {WordIndex::Order::Collation, WordIndex::Order::Ordinal}) {
        WordIndex index = indexOf(words, order);
        for (const QString& prefix : prefixes) {
            // Plain text, and a pattern with a plain start, which is narrowed the same way.
            for (const QString& typed : {prefix, prefix + u'?'}) {
                LikePattern pattern(typed + u'*', index.compareMode());
                int scanned = -1;
                for (int p = 0; p < index.size() && scanned < 0; ++p)
                    if (pattern.matches(index.at(p).word))
                        scanned = p;
                IncrementalSearch search;
                EXPECT_EQ(search.textChanged(index, typed), scanned) << typed.toStdString();
            }
        }
    }
}

} // namespace
