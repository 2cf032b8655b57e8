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
    // given; a status line at the window's foot unless it has one.
    static HistoryItems add(QMainWindow* window, QMenu* edit, QMenu* book = nullptr,
                            QAction* after = nullptr);
};
