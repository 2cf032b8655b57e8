// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class EditorSpelling;
class SpellOptionPage;
class QTabWidget;

// The spelling check's page of the editor's options. Like the quick-search boxes, its choices act
// at once and stay when the dialog is cancelled; they are kept in the spelling check's own file.
class SpellingOptions : public QObject {
    Q_OBJECT
public:
    // Adds the page to the options' tabs.
    SpellingOptions(EditorSpelling& spelling, QTabWidget* tabs);

    SpellOptionPage* page() const { return m_page; }

    static QString noDictionaryText();

private:
    void fill();

    EditorSpelling& m_spelling;
    SpellOptionPage* m_page;
};
