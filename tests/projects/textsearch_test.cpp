// SPDX-License-Identifier: GPL-3.0-or-later
#include "projects/textsearch.h"
#include "ui/richtextpane.h"

#include <QSignalSpy>
#include <QTextCursor>
#include <gtest/gtest.h>

namespace {

using textsearch::indexIn;

TEST(TextSearch, ComparesExactlyOrByUnicodeCaseFolding) {
    const QString text = QStringLiteral("The Cat sat. ＣＡＴ and ΣΟΦΟΣ.");
    EXPECT_EQ(indexIn(text, u"cat", 0, Qt::CaseSensitive), -1);
    EXPECT_EQ(indexIn(text, u"cat", 0, Qt::CaseInsensitive), 4);
    EXPECT_EQ(indexIn(text, u"Cat", 5, Qt::CaseSensitive), -1);
    // Full-width letters and Greek fold too; the final sigma folds to the plain one, which
    // lower-casing alone would miss.
    EXPECT_EQ(indexIn(text, u"ｃａｔ", 0, Qt::CaseInsensitive), 13);
    EXPECT_EQ(indexIn(QStringLiteral("σοφος"), u"ΣΟΦΟΣ", 0, Qt::CaseInsensitive), 0);
    EXPECT_EQ(indexIn(QStringLiteral("σοφος"), u"ς", 0, Qt::CaseInsensitive), 0);
    // The Kelvin sign is a capital K by folding.
    EXPECT_EQ(indexIn(QStringLiteral("5 \u212A"), u"k", 0, Qt::CaseInsensitive), 2);
    // An empty search text and a start beyond the text find nothing.
    EXPECT_EQ(indexIn(text, u"", 0, Qt::CaseSensitive), -1);
    EXPECT_EQ(indexIn(text, u"T", text.size() + 1, Qt::CaseSensitive), -1);
}

TEST(TextSearch, FindsWhatQtsOwnCaseFoldingSearchFinds) {
    const QString text = QStringLiteral("aAbBaab ÄäÅ ΣσςΣ ＡａＢ \U00010400\U00010428 K\u212AK ß aab");
    const QStringList needles = {"a",   "ab",  "AAB",        "bA", "äÄ", "σς", "ΣΣ", "ａｂ",
                                 "k k", "KKK", "\U00010428", "ß",  "SS", "x",  "b a"};
    for (const QString& needle : needles)
        for (qsizetype from = 0; from <= text.size(); ++from)
            ASSERT_EQ(indexIn(text, needle, from, Qt::CaseInsensitive),
                      text.indexOf(needle, from, Qt::CaseInsensitive))
                << needle.toStdString() << " from " << from;
}

TEST(TextSearch, SelectNextSelectsTheHitOrLeavesTheSelection) {
    RichTextPane pane;
    pane.setPlainText(QStringLiteral("one two\nthree two"));
    ASSERT_TRUE(textsearch::selectNext(pane, QStringLiteral("two"), 5, Qt::CaseSensitive));
    EXPECT_EQ(pane.selStart(), 14); // the line break counts as one character
    EXPECT_EQ(pane.selText(), QStringLiteral("two"));
    EXPECT_FALSE(textsearch::selectNext(pane, QStringLiteral("two"), 15, Qt::CaseSensitive));
    EXPECT_EQ(pane.selStart(), 14);
    EXPECT_EQ(pane.selLength(), 3);
}

TEST(TextSearch, ReplaceAllIsOneEditThatDoesNotSearchItsOwnReplacements) {
    RichTextPane pane;
    pane.setPlainText(QStringLiteral("aaa"));
    pane.document()->clearUndoRedoStacks();
    QSignalSpy changes(&pane, &QTextEdit::textChanged);
    EXPECT_EQ(textsearch::replaceAll(pane, QStringLiteral("a"), QStringLiteral("aa"), 0,
                                     Qt::CaseSensitive),
              3);
    EXPECT_EQ(pane.toPlainText(), QStringLiteral("aaaaaa"));
    EXPECT_EQ(changes.count(), 1);
    pane.undo();
    EXPECT_EQ(pane.toPlainText(), QStringLiteral("aaa"));
    EXPECT_FALSE(pane.document()->isUndoAvailable());
}

TEST(TextSearch, ReplaceAllStartsWhereAskedAndKeepsTheFormatAround) {
    RichTextPane pane;
    pane.setPlainText(QStringLiteral("Cat cat CAT\ncat"));
    QTextCursor bold(pane.document());
    bold.setPosition(12);
    bold.setPosition(15, QTextCursor::KeepAnchor);
    QTextCharFormat f;
    f.setFontWeight(QFont::Bold);
    bold.mergeCharFormat(f);
    pane.setSelStart(3);
    EXPECT_EQ(textsearch::replaceAll(pane, QStringLiteral("cat"), QStringLiteral("dog"), 1,
                                     Qt::CaseInsensitive),
              3);
    EXPECT_EQ(pane.toPlainText(), QStringLiteral("Cat dog dog\ndog"));
    EXPECT_EQ(pane.selStart(), 3); // the caret keeps its place
    pane.setSelStart(12);
    pane.setSelLength(3);
    EXPECT_EQ(pane.selBold(), true);
    // Nothing to replace: no edit at all.
    pane.document()->clearUndoRedoStacks();
    EXPECT_EQ(textsearch::replaceAll(pane, QStringLiteral("bird"), QStringLiteral("x"), 0,
                                     Qt::CaseSensitive),
              0);
    EXPECT_FALSE(pane.document()->isUndoAvailable());
    EXPECT_EQ(textsearch::replaceAll(pane, QString(), QStringLiteral("x"), 0, Qt::CaseSensitive),
              0);
}

} // namespace
