// SPDX-License-Identifier: GPL-3.0-or-later
// Typing through an input method: each box keeps the input-method mode of its font group however
// the focus reaches it, and what a box shows when the user carries out is what is stored.
#include "mainwindow_fixture.h"
#include "ui/limitedtextedit.h"

#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>

namespace {

// Whether the box takes composed text: asked as an input method asks, and as Qt's own focus
// handling reads it.
bool composes(QWidget* box) {
    QInputMethodQueryEvent query(Qt::ImEnabled);
    QCoreApplication::sendEvent(box, &query);
    return query.value(Qt::ImEnabled).toBool() || box->testAttribute(Qt::WA_InputMethodEnabled);
}

void preedit(QWidget* box, const QString& text) {
    QInputMethodEvent event(text, {});
    QCoreApplication::sendEvent(box, &event);
}

void commit(QWidget* box, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(box, &event);
}

// The input and word boxes are "使用不可" by default, the meaning box "ひらがな".
TEST_F(MainWindowTest, TheInputBoxTakesNoCompositionOnAnyWayBack) {
    startWith({"apple", "cherry"});
    QLineEdit* input = form()->txtInput;
    EXPECT_FALSE(composes(input)) << "at start-up";

    type("banana");
    dialogs.expectMessage(Answer::Yes);
    enter();
    EXPECT_TRUE(composes(form()->txtMean));
    EXPECT_FALSE(composes(form()->txtWord));
    form()->txtMean->setText(QStringLiteral("バナナ"));
    dialogs.expectMessage(Answer::Yes);
    QTest::keyClick(form()->txtMean, Qt::Key_F5);
    ASSERT_EQ(main()->editMode(), FrmMain::Normal);
    EXPECT_EQ(QApplication::focusWidget(), input);
    EXPECT_FALSE(composes(input)) << "after a registration";

    // Modify mode makes the input box read-only and gives it back.
    click(form()->cmdModify);
    EXPECT_FALSE(composes(form()->txtWord));
    QTest::keyClick(form()->txtWord, Qt::Key_Escape);
    ASSERT_EQ(main()->editMode(), FrmMain::Normal);
    input->setFocus();
    EXPECT_FALSE(composes(input)) << "after a mode change";
    // Qt's boxes switch their input method back on when they become editable again.
    input->setReadOnly(true);
    input->setReadOnly(false);
    EXPECT_FALSE(composes(input)) << "editable again";

    TranslatorLForm* editor = goToEditor();
    ASSERT_NE(editor, nullptr);
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor));
    editor->txtInput->setFocus();
    EXPECT_FALSE(composes(editor->txtInput)) << "in the editor";
    editor->mnuExit->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_NE(program->main(), nullptr);
    form()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form()));
    form()->txtInput->setFocus();
    EXPECT_FALSE(composes(form()->txtInput)) << "after the editor handed back";
}

TEST_F(MainWindowTest, WhatTheBoxShowsOnExecuteIsWhatIsStoredInBothWindows) {
    startWith({"apple", "cherry"});
    // Composed text still shown when the user executes is stored as shown.
    type("banana");
    dialogs.expectMessage(Answer::Yes);
    enter();
    LimitedTextEdit* meaning = form()->txtMean;
    commit(meaning, QStringLiteral("ひ"));
    preedit(meaning, QStringLiteral("あ"));
    dialogs.expectMessage(Answer::Yes);
    QTest::keyClick(meaning, Qt::Key_F5);
    ASSERT_EQ(main()->editMode(), FrmMain::Normal);
    EXPECT_EQ(form()->txtMean->text().trimmed(), QStringLiteral("ひあ"));
    preedit(meaning, QString());

    // A composition cancelled before executing leaves nothing behind.
    type("date");
    dialogs.expectMessage(Answer::Yes);
    enter();
    commit(meaning, QStringLiteral("ひ"));
    preedit(meaning, QStringLiteral("あ"));
    preedit(meaning, QString());
    dialogs.expectMessage(Answer::Yes);
    QTest::keyClick(meaning, Qt::Key_F5);
    ASSERT_EQ(main()->editMode(), FrmMain::Normal);
    EXPECT_EQ(form()->txtMean->text().trimmed(), QStringLiteral("ひ"));

    // The editor's word pane, carried out through its menu.
    TranslatorLForm* editor = goToEditor();
    ASSERT_NE(editor, nullptr);
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor));
    editor->txtInput->setFocus();
    editor->txtInput->clear();
    QTest::keyClicks(editor->txtInput, QStringLiteral("fig"));
    dialogs.expectMessage(Answer::Yes);
    QTest::keyClick(editor->txtInput, Qt::Key_Return);
    ASSERT_EQ(QApplication::focusWidget(), editor->txtMean);
    commit(editor->txtMean, QStringLiteral("い"));
    preedit(editor->txtMean, QStringLiteral("ちじく"));
    dialogs.expectMessage(Answer::Yes);
    editor->mnuDo->trigger();
    editor->mnuExit->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_NE(program->main(), nullptr);
    form()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form()));
    type("fig");
    enter();
    EXPECT_EQ(form()->txtMean->text().trimmed(), QStringLiteral("いちじく"));
    EXPECT_TRUE(dialogs.done());
}

} // namespace
