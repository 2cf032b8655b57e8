// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/limitedtextedit.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QString repeated(const char16_t* piece, int times) {
    return QString::fromUtf16(piece).repeated(times);
}

void commit(LimitedTextEdit& box, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(&box, &event);
}

void drop(LimitedTextEdit& box, const QString& text) {
    QMimeData data;
    data.setText(text);
    const QPointF at = box.viewport()->rect().center();
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box.viewport(), &enter);
    QDragMoveEvent move(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box.viewport(), &move);
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box.viewport(), &dropped);
}

// Every way text reaches the box stops at the limit: typing, pasting by key, by menu and by the
// program's edit menu, dropping and input-method commits.
TEST(LimitedTextEdit, EveryWayInStopsAtTheLimit) {
    LimitedTextEdit box(10);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));

    QTest::keyClicks(&box, QStringLiteral("abcdefghijklmn"));
    EXPECT_EQ(box.toPlainText(), "abcdefghij");

    box.clear();
    QApplication::clipboard()->setText(QStringLiteral("0123456789xyz"));
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box.toPlainText(), "0123456789");
    box.clear();
    box.paste();
    EXPECT_EQ(box.toPlainText(), "0123456789");

    // The edit menu inserts through the box; a selection makes room for what replaces it.
    box.setPlainText(QStringLiteral("abcdefgh"));
    box.moveCursor(QTextCursor::End);
    box.insertPlainText(QStringLiteral("WXYZ"));
    EXPECT_EQ(box.toPlainText(), "abcdefghWX");
    box.selectAll();
    box.insertPlainText(QStringLiteral("0123456789abc"));
    EXPECT_EQ(box.toPlainText(), "0123456789");

    // An input method commits six full-width characters twice.
    box.clear();
    commit(box, repeated(u"あ", 6));
    commit(box, repeated(u"い", 6));
    EXPECT_EQ(box.toPlainText(), repeated(u"あ", 6) + repeated(u"い", 4));

    box.clear();
    drop(box, QStringLiteral("dropped text over the limit"));
    EXPECT_EQ(box.toPlainText(), "dropped te");
}

TEST(LimitedTextEdit, CutsNeitherProgramTextNorCharactersInHalf) {
    LimitedTextEdit box(4);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));

    // Text the program sets is shown whole, and nothing more can be typed into it.
    box.setText(QStringLiteral("one\r\ntwo\r\nthree"));
    EXPECT_EQ(box.text(), QStringLiteral("one\r\ntwo\r\nthree"));
    box.moveCursor(QTextCursor::End);
    QTest::keyClicks(&box, QStringLiteral("x"));
    commit(box, QStringLiteral("y"));
    EXPECT_EQ(box.text(), QStringLiteral("one\r\ntwo\r\nthree"));

    // A character outside the basic plane is two code units: it goes in whole or not at all.
    box.clear();
    box.insertPlainText(QStringLiteral("abc\U0001F600"));
    EXPECT_EQ(box.toPlainText(), "abc");
    // A pasted CR LF is one line break, one character.
    box.clear();
    box.insertPlainText(QStringLiteral("a\r\nbcd"));
    EXPECT_EQ(box.text(), QStringLiteral("a\r\nbc"));

    // A commit replacing characters beside the cursor may use their room.
    box.setPlainText(QStringLiteral("abcd"));
    box.moveCursor(QTextCursor::End);
    QInputMethodEvent replace(QStringLiteral("z"), {});
    replace.setCommitString(QStringLiteral("XYZ"), -2, 2);
    QApplication::sendEvent(&box, &replace);
    EXPECT_EQ(box.toPlainText(), "abXY");

    // A locked box takes nothing at all.
    box.clear();
    box.setReadOnly(true);
    box.insertPlainText(QStringLiteral("ab"));
    commit(box, QStringLiteral("cd"));
    EXPECT_TRUE(box.toPlainText().isEmpty());
}

} // namespace
