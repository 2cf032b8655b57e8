// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/settings/languageset.h"

#include <QObject>

class BookHost;
class LangSetForm;
class QWidget;

// The language-set editor: shows a set's 26 rows, creates and saves sets, and sets the palette
// font. The rows are edited here, apart from the palette of the book in use.
class FrmLangSet : public QObject {
    Q_OBJECT
public:
    // Modify: opened from the book chooser for the selected book's set. NewBook: from the new-book
    // dialog, to make or edit sets before one is picked.
    enum class Origin { Modify, NewBook };

    FrmLangSet(Origin origin, QString setName, BookHost* main, QWidget* parent);
    ~FrmLangSet() override;

    LangSetForm* form() const { return m_form; }
    int exec();
    // The set name shown when the editor closed.
    QString setName() const;

    void formLoad();
    void Combo1Click();
    void cmdNewSetClick();
    void cmdSaveClick();
    void cmdFontSetClick();
    void cmdFontDefaultClick();
    void cmdExitClick();
    void ApplyPaletteFontToSetEditor();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rowsToControls();
    bool controlsToRows();
    void setPending(bool pending);
    void applyPaletteFontEverywhere();

    Origin m_origin;
    QString m_setName;
    BookHost* m_main;
    LangSetForm* m_form;
    PaletteRows m_rows;
    bool m_pending = false;
};
