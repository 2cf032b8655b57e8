// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDockWidget>

class QAction;
class QCheckBox;
class QLabel;
class QMainWindow;
class QMenu;
class QTreeWidget;

// The panel "文中の登録語" of the editor window: the book words found in the sentence the caret
// is in, each with the first line of its meaning, a switch for marking them in the original, and
// the menu entries that show the panel and put a word's meaning into the translation. Behaviour
// lives in GlossaryPanel.
class GlossaryPanelForm : public QDockWidget {
    Q_OBJECT
public:
    // Docks the panel (hidden) on the right of window and adds its entries at the end of menu.
    GlossaryPanelForm(QMainWindow& window, QMenu& menu);

    QTreeWidget* lstGlossary;
    QCheckBox* chkGlossaryHighlight;
    QLabel* lblGlossaryState;
    QAction* mnuGlossary;       // shows and hides the panel
    QAction* mnuGlossaryInsert; // the chosen word's meaning into the translation

signals:
    // Enter or a double click on an item.
    void itemChosen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
