#include "core/likepattern.h"
#include "support/indexbuilder.h"
#include "translator/quicksearch.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

WordIndex editorIndex(const QStringList& words) {
    return indexOf(words, WordIndex::Order::Ordinal);
}

QString shown(const WordIndex& index, const QString& selection, bool approximate) {
    const quicksearch::Match m =
        quicksearch::find(index, quicksearch::keyOf(selection), approximate);
    return m.position < 0 ? QString() : index.at(m.position).word;
}

TEST(QuickSearchLookUp, ExactWordsAndTheirKeys) {
    const WordIndex index = editorIndex({"run", "Run", "running", "run away"});
    EXPECT_EQ(quicksearch::keyOf("run \r\n"), "run");
    EXPECT_EQ(quicksearch::keyOf(" run"), " run");
    EXPECT_EQ(quicksearch::keyOf(QStringLiteral("run\u2029")), "run");
    EXPECT_EQ(shown(index, "run ", false), "run");
    EXPECT_EQ(shown(index, "Run", false), "Run");
    EXPECT_EQ(shown(index, "RUN", false), QString());
    EXPECT_EQ(shown(index, "run away", false), "run away");
    EXPECT_EQ(shown(index, " run", false), QString());
    const quicksearch::Match exact = quicksearch::find(index, "running", true);
    EXPECT_TRUE(exact.exact);
    EXPECT_EQ(index.at(exact.position).word, "running");
}

TEST(QuickSearchLookUp, ShortenedFormsFindTheGreatestWordOfTheLongestPrefix) {
    // walke is tried before walk: walker is the only word beginning with it.
    EXPECT_EQ(shown(editorIndex({"walk", "walker", "walking"}), "walked", true), "walker");
    // Nothing begins with walke; walking is the greatest word beginning with walk.
    EXPECT_EQ(shown(editorIndex({"walk", "walking", "walrus"}), "walked", true), "walking");
    EXPECT_FALSE(quicksearch::find(editorIndex({"walk", "walking"}), "walked", true).exact);
    // Without the option only the exact word counts.
    EXPECT_EQ(shown(editorIndex({"walk", "walker"}), "walked", false), QString());
    // Two characters are never shortened; three go down to two and no further.
    EXPECT_EQ(shown(editorIndex({"o", "of", "off"}), "ox", true), QString());
    EXPECT_EQ(shown(editorIndex({"o", "of", "off"}), "ofx", true), "off");
    EXPECT_EQ(shown(editorIndex({"o", "oz"}), "oxx", true), QString());
    // Case counts in the shortened forms too.
    EXPECT_EQ(shown(editorIndex({"Walker"}), "walked", true), QString());
    // Pattern characters in the prefix act as in the incremental search.
    EXPECT_EQ(shown(editorIndex({"abc1", "abc2", "abd"}), "a#c", true), QString());
    EXPECT_EQ(shown(editorIndex({"a1b", "a2b", "a2c", "b"}), "a#bq", true), "a2b");
    EXPECT_EQ(shown(editorIndex({"xa", "ya", "yb", "za"}), "?ab", true), "ya");
}

TEST(QuickSearchLookUp, NothingToFindInAnEmptyIndexOrForAnEmptyKey) {
    const WordIndex empty(WordIndex::Order::Ordinal);
    EXPECT_EQ(quicksearch::find(empty, "walked", true).position, -1);
    EXPECT_EQ(quicksearch::find(editorIndex({"a"}), "", true).position, -1);
}

TEST(QuickSearchLookUp, TheRunEndAgreesWithAScan) {
    QRandomGenerator rng(5);
    QStringList words;
    for (int i = 0; i < 2000; ++i) {
        QString w;
        for (int j = 0, len = 1 + rng.bounded(6); j < len; ++j)
            w += QStringLiteral("abAB")[rng.bounded(4)];
        words << w;
    }
    const WordIndex index = editorIndex(words);
    for (int i = 0; i < 300; ++i) {
        const QString key = words[rng.bounded(int(words.size()))] + u'x';
        int expected = -1;
        for (qsizetype n = key.size() - 1; n >= 2 && expected < 0; --n) {
            const LikePattern pattern(key.left(n) + u'*', collation::Mode::Binary);
            for (int p = 0; p < index.size(); ++p)
                if (pattern.matches(index.at(p).word))
                    expected = p;
        }
        EXPECT_EQ(quicksearch::find(index, key, true).position, expected) << key.toStdString();
    }
}

} // namespace
