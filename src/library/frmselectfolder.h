// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/settings/booklist.h"

#include <QObject>

class BookHost;
class SelectFolderForm;
class QWidget;

// The book chooser: choose the book to use, create and delete books, edit a book's language set.
class FrmSelectFolder : public QObject {
    Q_OBJECT
public:
    // main is the main window whose book is closed and reopened; it may be null in tests.
    FrmSelectFolder(BookHost* main, QWidget* parent);
    ~FrmSelectFolder() override;

    SelectFolderForm* form() const { return m_form; }
    int exec();
    // The user chose to end the program from here.
    bool endRequested() const { return m_endRequested; }

    // The new-book dialog created a book: record it and list it. Raises, changing nothing, when
    // the list file cannot be written.
    void addCreatedBook(const BookEntry& book);

    void formLoad();
    void cboFldNameClick();
    void cboFldNameKeyDown();
    void cmdOKFolderClick();
    void cmdCancelFolderClick();
    void cmdAddFolderClick();
    void cmdDelFolderClick();
    void cmdModLangSetClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillCombo();
    void selectCurrentBook();

    BookHost* m_main;
    SelectFolderForm* m_form;
    QList<BookEntry> m_books;
    bool m_endRequested = false;
    // A deletion closed the open book: only OK (or ending the program) may leave now.
    bool m_mustChoose = false;
};
