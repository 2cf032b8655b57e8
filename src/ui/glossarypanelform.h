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
// is in, each with the first line of its meaning (the words inside a phrase indented below it), a
// switch for marking them in the original, the menu entries that show the panel and put a word's
// meaning into the translation, and the pop-up menu of a meaning's terms. Behaviour lives in
// GlossaryPanel.
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
    QAction* mnuGlossaryPick;   // the pop-up menu of the chosen meaning's terms
    QMenu* popGlossaryTerms;    // filled by the behaviour each time it is shown

signals:
    // Enter or a double click on an item.
    void itemChosen();
    // A right click on an item, which is then the current one (global position).
    void termsRequested(const QPoint& at);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
