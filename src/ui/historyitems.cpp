// SPDX-License-Identifier: GPL-3.0-or-later
#include "historyitems.h"

#include "formparts.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QStatusBar>

HistoryItems HistoryItems::add(QMainWindow* window, QMenu* edit, QMenu* book, QAction* after,
                               QStatusBar* status) {
    HistoryItems items;
    edit->addSeparator()->setObjectName(QStringLiteral("SeparatorHistory"));
    // Ctrl+Z belongs to other commands already, and the text boxes keep their own undo.
    items.IdmUndo = formparts::action(edit, "IdmUndo", QStringLiteral("元に戻す(&U)"),
                                      QKeySequence(Qt::ALT | Qt::Key_Backspace));
    items.IdmRedo = formparts::action(edit, "IdmRedo", QStringLiteral("やり直し(&R)"),
                                      QKeySequence(Qt::SHIFT | Qt::ALT | Qt::Key_Backspace));
    for (QAction* a : {items.IdmUndo, items.IdmRedo}) {
        a->setShortcutContext(Qt::WidgetShortcut);
        a->setEnabled(false);
    }
    if (book) {
        items.IdmRestoreBackup =
            formparts::action(book, "IdmRestoreBackup", QStringLiteral("バックアップから戻す…"));
        if (after) {
            const QList<QAction*> actions = book->actions();
            const qsizetype i = actions.indexOf(after);
            if (i >= 0 && i + 1 < actions.size()) {
                book->removeAction(items.IdmRestoreBackup);
                book->insertAction(actions[i + 1], items.IdmRestoreBackup);
            }
        }
    }
    items.status =
        status ? status : window->findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly);
    if (!items.status) {
        items.status = new QStatusBar(window);
        items.status->setObjectName(QStringLiteral("stbHistory"));
        items.status->setSizeGripEnabled(false);
        window->setStatusBar(items.status);
    }
    return items;
}
