// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class BookHost;
class FrmSelectFolder;
class SelectPaletteSetForm;

// The new-book dialog: names a new book and picks its language set; the book is then listed in
// the chooser, which opens it on OK.
class FrmSelectPaletteSet : public QObject {
    Q_OBJECT
public:
    FrmSelectPaletteSet(FrmSelectFolder* chooser, BookHost* main);
    ~FrmSelectPaletteSet() override;

    SelectPaletteSetForm* form() const { return m_form; }
    int exec();

    void formLoad();
    void cmdSetteiClick();
    void cmdOKClick();
    void cmdCancelClick();

private:
    void fillSets(const QString& text);

    FrmSelectFolder* m_chooser;
    BookHost* m_main;
    SelectPaletteSetForm* m_form;
};
