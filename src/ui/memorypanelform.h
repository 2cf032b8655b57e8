// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QDockWidget>

class QAction;
class QComboBox;
class QLabel;
class QMainWindow;
class QMenu;
class QSpinBox;
class QTextBrowser;
class QTreeWidget;

// The panel "過去の訳" of the editor window: earlier translations of originals like the sentence
// the caret is in, each with its match percentage and origin, the chosen one's earlier original
// with its differences marked, the lowest percentage listed, and the menu entries of the
// translation memory. Behaviour lives in MemoryPanel.
class MemoryPanelForm : public QDockWidget {
    Q_OBJECT
public:
    // Docks the panel (hidden) on the right of window and adds its entries at the end of menu.
    MemoryPanelForm(QMainWindow& window, QMenu& menu);

    QTreeWidget* lstMemory;
    QTextBrowser* txtMemorySource;
    QSpinBox* spnMemoryThreshold;
    QLabel* lblMemoryState;
    QAction* mnuMemory;       // shows and hides the panel
    QAction* mnuMemoryInsert; // the chosen translation into the translation pane
    QMenu* mnuMemoryMenu;     // "翻訳メモリ"
    QAction* mnuMemoryImport;
    QAction* mnuMemoryExport;
    QAction* mnuMemoryRemove;
    QAction* mnuMemoryCount;
    QAction* mnuMemoryRebuild;

signals:
    // Enter or a double click on an item.
    void itemChosen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// A small box of named choices, one drop-down list each: the languages of a TMX file to import,
// the part of the memory to export or remove.
class MemoryChoiceForm : public QDialog {
    Q_OBJECT
public:
    MemoryChoiceForm(const QString& title, QWidget* parent);
    // Adds a list under caption with items, current selected; returns it.
    QComboBox* addChoice(const QString& caption, const QStringList& items, int current);
};
