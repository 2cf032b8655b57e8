#pragma once

#include <QObject>

class Book;
class FrmTranslatorL;
class QKeyEvent;
class QWidget;

// Binds the word pane's controls of the editor window to the word-pane logic: its events, its
// keys, and the fields, labels and buttons that show the logic's state.
class WordPaneBinding : public QObject {
    Q_OBJECT
public:
    enum Mode { Normal = 0, Register = 1, Modify = 2, Deleting = 3, Reselecting = 9 };

    explicit WordPaneBinding(FrmTranslatorL& window);
    ~WordPaneBinding() override;

    // Shows the book's first word at window start.
    void start(Book& book);
    int mode() const;
    // Moves the focus into the word pane where its mode wants it; false for a mode it does not
    // know.
    bool focusByMode();
    // The word pane's keys of the window-wide key handler; true when the key was used.
    bool handleKey(QKeyEvent* event);
    // txtWord or txtMean got the focus.
    void displayFieldGotFocus(QWidget* field);

private:
    void focusInput();

    FrmTranslatorL& m_window;
    Book* m_book = nullptr;
    int m_mode = Normal;
};
