// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/menukeys.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A text box as the Linux desktops configure it: Ctrl+E (line end) and Ctrl+D (delete) are its
// own editing keys, claimed before any shortcut. The offscreen test platform has no such keys.
class DesktopLineEdit : public QLineEdit {
protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_E || key == Qt::Key_D || key == Qt::Key_C) {
                event->accept();
                return true;
            }
        }
        return QLineEdit::event(event);
    }
};

struct Window {
    QMainWindow window;
    DesktopLineEdit* box = new DesktopLineEdit;
    QAction* comment = window.addAction(QStringLiteral("comment"));
    QAction* copy = window.addAction(QStringLiteral("copy"));
    QAction* selectAll = window.addAction(QStringLiteral("select all"));
    int comments = 0;
    int copies = 0;
    int selections = 0;

    Window() {
        window.setCentralWidget(box);
        comment->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
        copy->setShortcut(QKeySequence::Copy);
        QObject::connect(comment, &QAction::triggered, [this] { ++comments; });
        QObject::connect(copy, &QAction::triggered, [this] { ++copies; });
        selectAll->setShortcut(QKeySequence::SelectAll);
        QObject::connect(selectAll, &QAction::triggered, [this] { ++selections; });
        window.show();
        window.activateWindow();
        box->setFocus();
        QTest::qWaitForWindowActive(&window);
    }
};

TEST(MenuKeys, AMenuKeyReachesItsActionWhileATextBoxHasTheFocus) {
    Window w;
    QTest::keyClick(w.box, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(w.comments, 0) << "the box claims the key";

    menukeys::winOverTextBoxes(&w.window);
    QTest::keyClick(w.box, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(w.comments, 1);

    // A disabled action leaves the key to the box, and the clipboard keys stay the box's.
    w.comment->setEnabled(false);
    QTest::keyClick(w.box, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(w.comments, 1);
    QTest::keyClick(w.box, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(w.copies, 0);

    // Select all is the window's command, which picks its own target.
    w.box->setText(QStringLiteral("word"));
    QTest::keyClick(w.box, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(w.selections, 1);
    EXPECT_FALSE(w.box->hasSelectedText());
}

} // namespace
