// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QAction;
class QMainWindow;
class QMenu;
class QStatusBar;

// The undo, redo and restore items the history adds to a window's menus, and the status line it
// reports on.
struct HistoryItems {
    QAction* IdmUndo = nullptr;
    QAction* IdmRedo = nullptr;
    QAction* IdmRestoreBackup = nullptr; // null where a window has no book menu
    QStatusBar* status = nullptr;

    // Undo and redo at the end of the edit menu; restore after `after` in the book menu when
    // given; the status line given, or one at the window's foot. The items' keys are shown
    // only: the window passes them to the items itself, before its controls see them.
    static HistoryItems add(QMainWindow* window, QMenu* edit, QMenu* book = nullptr,
                            QAction* after = nullptr, QStatusBar* status = nullptr);
};
