// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/projects/projectstate.h"
#include "core/text/likepattern.h"
#include "support/indexbuilder.h"
#include "translator/quicksearch.h"
#include "wordpane_fixture.h"

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

namespace {

using Field = WordPane::Field;
const QString NotFound = QStringLiteral("選択された単語では見つかりませんでした");

QuickSearchOptions options(bool approx, bool focus, bool registerMissing) {
    QuickSearchOptions o;
    o.approxSearch = approx;
    o.focusWordPaneAfterSearch = focus;
    o.registerWhenMissing = registerMissing;
    return o;
}

TEST(QuickSearch, AnExactMatchShowsTheWordWithoutMovingTheSpinner) {
    PaneFixture f;
    f.open({"apple", "run", "running", "zoo"});
    WordPane& p = *f.pane;
    p.spinnerChanged(3);
    QuickSearch::run(p, options(false, false, false), true, "run ");
    EXPECT_EQ(p.word(), "run");
    EXPECT_EQ(p.meaning(), "m:run");
    EXPECT_EQ(p.example(), "e:run");
    EXPECT_EQ(p.currentPosition(), 1);
    EXPECT_EQ(p.input(), "");
    EXPECT_TRUE(p.canModify() && p.canDelete());
    EXPECT_EQ(p.spinnerValue(), 3);
    p.stepDown(); // steps from the spinner's own value
    EXPECT_EQ(p.word(), "running");

    // With the focus option the text goes into the input box, which takes the focus.
    f.focused.clear();
    QuickSearch::run(p, options(false, true, false), true, "run");
    EXPECT_EQ(p.input(), "run");
    EXPECT_EQ(p.word(), "run");
    EXPECT_EQ(p.meaning(), "m:run");
    EXPECT_TRUE(p.canModify());
    EXPECT_EQ(f.focused, QList<Field>({Field::Input}));
    EXPECT_TRUE(f.dialogs.boxes().isEmpty());

    // Modify acts on the word found.
    p.modify();
    p.meaningEdited("m:run2");
    f.dialogs.expectMessage(Answer::Yes);
    p.carryOut();
    EXPECT_EQ(f.trimmedMeaning(f.book->index().at(f.book->index().find("run")).recordNo), "m:run2");
}

TEST(QuickSearch, AnApproximateMatchMakesTheShownWordCurrent) {
    PaneFixture f;
    f.open({"apple", "walk", "walker", "walking"});
    WordPane& p = *f.pane;
    // An exact match leaves the input box empty with Modify and Delete enabled; the next search
    // then causes no change event that would disable them.
    QuickSearch::run(p, options(false, false, false), true, "apple");
    ASSERT_TRUE(p.canModify() && p.input().isEmpty());
    QuickSearch::run(p, options(true, false, false), true, "walked");
    EXPECT_EQ(p.word(), "walker");
    EXPECT_EQ(p.meaning(), "m:walker");
    EXPECT_EQ(p.currentPosition(), 2);
    EXPECT_EQ(p.spinnerValue(), 0);
    // Whatever stays enabled acts on walker, never on apple.
    p.modify();
    EXPECT_EQ(p.word(), "walker");
    p.cancel();
    f.dialogs.expectMessage(Answer::Yes);
    p.deleteWord();
    EXPECT_EQ(f.indexWords(), QStringList({"apple", "walk", "walking"}));

    // Only walk and walking: walk shows walking. With the focus option the selected text goes
    // into the input box.
    f.focused.clear();
    const qsizetype boxes = f.dialogs.boxes().size();
    QuickSearch::run(p, options(true, true, false), true, "walked");
    EXPECT_EQ(p.word(), "walking");
    EXPECT_EQ(p.input(), "walked");
    EXPECT_EQ(p.currentPosition(), 2);
    EXPECT_FALSE(p.canModify());
    EXPECT_EQ(f.focused, QList<Field>({Field::Input}));
    EXPECT_EQ(f.dialogs.boxes().size(), boxes);
}

TEST(QuickSearch, NothingFoundSaysSoAndMayStartARegistration) {
    PaneFixture f;
    f.open({"apple", "of"});
    WordPane& p = *f.pane;
    // Two characters are not shortened.
    f.dialogs.expectMessage(Answer::Ok, NotFound);
    QuickSearch::run(p, options(true, true, true), true, "ox");
    EXPECT_EQ(f.lastBoxTitle(), QStringLiteral("未登録情報"));
    EXPECT_EQ(p.mode(), WordPane::Mode::Register);
    EXPECT_EQ(p.word(), "ox");
    EXPECT_TRUE(p.canCarryOut() && p.canCancel());
    p.meaningEdited(QStringLiteral("雄牛"));
    f.dialogs.expectMessage(Answer::Yes);
    p.carryOut();
    EXPECT_EQ(f.indexWords(), QStringList({"apple", "of", "ox"}));

    // The register option needs the focus option.
    f.dialogs.expectMessage(Answer::Ok, NotFound);
    QuickSearch::run(p, options(false, false, true), true, "pear");
    EXPECT_EQ(p.mode(), WordPane::Mode::Normal);
    EXPECT_EQ(p.word(), "ox");
    // Focus only: the input box is emptied and focused.
    f.focused.clear();
    f.dialogs.expectMessage(Answer::Ok, NotFound);
    QuickSearch::run(p, options(false, true, false), true, "pear");
    EXPECT_EQ(p.mode(), WordPane::Mode::Normal);
    EXPECT_EQ(p.input(), "");
    EXPECT_EQ(f.focused, QList<Field>({Field::Input}));

    // From the word pane's own box there is nothing to look up; an empty selection does nothing.
    f.dialogs.expectMessage(Answer::Ok, NotFound);
    QuickSearch::run(p, options(false, false, false), false, "apple");
    const qsizetype boxes = f.dialogs.boxes().size();
    QuickSearch::run(p, options(true, true, true), true, "");
    EXPECT_EQ(f.dialogs.boxes().size(), boxes);
    // Nor does a search while a word is being edited.
    p.spinnerChanged(0);
    p.modify();
    QuickSearch::run(p, options(true, true, true), true, "apple");
    EXPECT_EQ(p.mode(), WordPane::Mode::Modify);
    EXPECT_EQ(f.dialogs.boxes().size(), boxes);
}

TEST(QuickSearch, AnEmptyBookFindsNothingSafely) {
    PaneFixture f;
    f.open({"apple"});
    WordPane& p = *f.pane;
    f.dialogs.expectMessage(Answer::Yes).expectMessage(Answer::Ok);
    p.deleteWord();
    f.dialogs.expectMessage(Answer::Ok, NotFound);
    QuickSearch::run(p, options(true, true, false), true, "apple");
    EXPECT_FALSE(p.canModify() || p.canDelete());
    EXPECT_EQ(p.word(), "");
}

} // namespace

TEST(QuickSearch, AConjugatedJapaneseSelectionFindsItsDictionaryForm) {
    PaneFixture f;
    f.open({"学ぶ", "用いる", "勉強する", "行く"});
    WordPane& p = *f.pane;
    QuickSearch::run(p, options(false, false, false), true, QStringLiteral("学びます"));
    EXPECT_EQ(p.word(), QStringLiteral("学ぶ"));
    EXPECT_EQ(p.meaning(), QStringLiteral("m:学ぶ"));
    EXPECT_TRUE(p.canModify());
    // With the focus option the input box shows the word found.
    QuickSearch::run(p, options(false, true, false), true, QStringLiteral("勉強しました"));
    EXPECT_EQ(p.word(), QStringLiteral("勉強する"));
    EXPECT_EQ(p.input(), QStringLiteral("勉強する"));
    // Approximate search alone would find 用いる through 用い, but not 行く from 行かなければ.
    QuickSearch::run(p, options(false, false, false), true, QStringLiteral("行かなければ"));
    EXPECT_EQ(p.word(), QStringLiteral("行く"));
    EXPECT_TRUE(f.dialogs.boxes().isEmpty());

    // Without the analyser the selection is looked up as it is.
    qputenv("VERBANTA_MECAB_DICDIR", "/nonexistent/mecab-dictionary");
    f.dialogs.expectMessage(Answer::Ok, NotFound);
    QuickSearch::run(p, options(false, false, false), true, QStringLiteral("学びます"));
    qunsetenv("VERBANTA_MECAB_DICDIR");
    EXPECT_EQ(p.word(), QStringLiteral("行く"));
}
