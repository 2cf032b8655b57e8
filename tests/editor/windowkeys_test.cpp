// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor_fixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace {

// The window's keys act whatever control has the focus, a rich-text pane included; the stock
// box's keys are the numeric pad's only.
TEST_F(EditorTest, WindowKeysActFromARichTextPane) {
    start({"apple", "banana", "cherry"});
    TranslatorLForm* f = form();
    RichTextPane* pane = f->Rtxt2;
    pane->setFocus();
    QTest::keyClick(pane, Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(f->txtWord->text(), QStringLiteral("banana"));
    QTest::keyClick(pane, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(f->lblStock[0]->text(), QStringLiteral("banana"));
    QTest::keyClick(pane, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(f->txtWord->text(), QStringLiteral("apple"));

    // Ctrl+1 of the main keyboard is the pane's; the numeric pad's recalls slot 0.
    QTest::keyClick(pane, Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(f->txtWord->text(), QStringLiteral("apple"));
    QTest::keyClick(pane, Qt::Key_1, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(f->txtWord->text(), QStringLiteral("banana"));
    QTest::keyClick(pane, Qt::Key_3, Qt::AltModifier | Qt::KeypadModifier);
    EXPECT_EQ(f->lblF[2]->palette().color(QPalette::Window), QColor(255, 255, 192));
    QTest::keyClick(pane, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(f->lblStock[0]->text(), QStringLiteral("banana"));

    // F3 starts modifying from the pane, even with Shift held.
    QTest::keyClick(pane, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(f->lblMode->text(), QStringLiteral("修正ﾓｰﾄﾞ"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(f->lblMode->text(), QStringLiteral("通常ﾓｰﾄﾞ"));
}

} // namespace
