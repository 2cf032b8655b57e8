// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor_fixture.h"

#include <QLineEdit>

namespace {

class SentenceKeysTest : public EditorTest {
protected:
    RichTextPane* startWithTranslation(const QString& text) {
        const QString trans = app.file(QStringLiteral("訳文.txt"));
        writeDocument(trans, text);
        writeCurrentProject(QStringLiteral("文"), QString(), trans, false);
        start();
        RichTextPane* pane = form()->Rtxt2;
        pane->setFocus();
        pane->setSelStart(0);
        return pane;
    }
};

TEST_F(SentenceKeysTest, AltRightPutsTheCaretBehindTheNextSentenceEnd) {
    RichTextPane* pane = startWithTranslation(QStringLiteral("He came. She left."));
    QTest::keyClick(pane, Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(pane->selStart(), 8);
    EXPECT_EQ(pane->selLength(), 0);
    QTest::keyClick(pane, Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(pane->selStart(), 18);
    // At the end it stays there.
    QTest::keyClick(pane, Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(pane->selStart(), 18);
}

TEST_F(SentenceKeysTest, AltRightStopsBehindTheIdeographicFullStop) {
    RichTextPane* pane = startWithTranslation(QStringLiteral("吾輩は猫である。名前はまだ無い。"));
    QTest::keyClick(pane, Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(pane->selStart(), 8);
}

TEST_F(SentenceKeysTest, ShiftAltRightSelectsTheSentenceWithItsTerminator) {
    RichTextPane* pane = startWithTranslation(QStringLiteral("Yes! No."));
    QTest::keyClick(pane, Qt::Key_Right, Qt::ShiftModifier | Qt::AltModifier);
    EXPECT_EQ(pane->selText(), QStringLiteral("Yes!"));
}

TEST_F(SentenceKeysTest, ShiftAltRightIgnoresFullWidthTerminators) {
    RichTextPane* pane = startWithTranslation(QStringLiteral("吾輩は猫である。名前はまだ無い。"));
    QTest::keyClick(pane, Qt::Key_Right, Qt::ShiftModifier | Qt::AltModifier);
    EXPECT_EQ(pane->selText(), QStringLiteral("吾輩は猫である。名前はまだ無い。"));
}

TEST_F(SentenceKeysTest, AltRightDoesNothingWhenTheWordPaneWasLastUsed) {
    RichTextPane* pane = startWithTranslation(QStringLiteral("He came. She left."));
    form()->txtInput->setFocus();
    QTest::keyClick(form()->txtInput, Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(pane->selStart(), 0);
}

} // namespace
