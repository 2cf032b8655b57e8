// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "wordpane.h"

#include <QObject>
#include <memory>

class Book;
class BookFollower;
class FrmTranslatorL;
class QKeyEvent;
class QWidget;

// Binds the word pane's controls of the editor window to the word-pane logic: the controls'
// events, buttons, menu items and keys go to the logic, and the logic's state comes back into
// the fields, labels, spinner, stock box and buttons.
class WordPaneBinding : public QObject {
    Q_OBJECT
public:
    explicit WordPaneBinding(FrmTranslatorL& window);
    ~WordPaneBinding() override;

    // Window start: the pane over the book, showing its first word.
    void start(Book& book);
    WordPane* pane() const { return m_pane.get(); }
    WordPane::Mode mode() const;
    // Moves the focus into the word pane where its mode wants it; false for a mode it does not
    // know.
    bool focusByMode();
    // Enter in the input box, seen before the box: the look-up. True when the key was used.
    bool handleKey(QKeyEvent* event);
    // txtWord or txtMean got the focus.
    void displayFieldGotFocus(QWidget* field);

    // Handlers of the buttons and the stock box.
    void cmdModifyClick();
    void cmdDelClick();
    void cmdDoClick();
    void cmdCancelClick();
    void cmdAddClick();
    void cmdCLClick();
    void cmdACClick();
    void lblFClick(int slot);
    void lblStockClick(int slot);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectEvents();
    void applyState();
    void focusField(WordPane::Field field, bool selectAll);
    void focusInput(bool selectAll);
    // Text still being composed in a box becomes what is carried out, exactly as shown.
    void settleCompositions();

    FrmTranslatorL& m_window;
    std::unique_ptr<WordPane> m_pane;
    std::unique_ptr<BookFollower> m_follower;
};
