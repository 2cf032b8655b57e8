// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/spelling/spellchecker.h"
#include "core/spelling/spellingfiles.h"
#include "platform/hunspellengine.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <memory>

class FrmTranslatorL;
class QAction;
class QMenu;
class QPoint;
class RichTextPane;
class SpellHighlighter;

// The editor's spelling check: the dictionary of the language chosen in the options, the marks in
// the translation pane, in the original pane while its editing is allowed and in the comment
// window, the menu switch (F7) and the pop-up's suggestions. Its settings and the personal word
// list are files of its own; with the check switched off or no dictionary installed, the panes
// are exactly as they would be without it.
class EditorSpelling : public QObject {
    Q_OBJECT
public:
    explicit EditorSpelling(FrmTranslatorL& window);
    ~EditorSpelling() override;

    const QList<SpellDictionary>& dictionaries() const { return m_dictionaries; }
    // The code of the dictionary in use; empty when no language is checked.
    QString language() const;
    void setLanguage(const QString& code);
    // The menu switch.
    bool isEnabled() const { return m_settings.enabled; }
    void setEnabled(bool on);
    // True when marks are being shown.
    bool isChecking() const;
    // Words with an upper-case letter after the first, and words with digits, are left unmarked.
    bool ignoresInnerCapitals() const { return m_settings.ignoreInnerCapitals; }
    void setIgnoreInnerCapitals(bool on);
    bool ignoresDigits() const { return m_settings.ignoreDigits; }
    void setIgnoreDigits(bool on);

    // Marks a further pane (the comment window's) for as long as it lives, with the suggestions
    // at the top of its standard menu on a misspelt word.
    void attach(RichTextPane* pane);
    // Follows the word pane of the book the editor has just opened.
    void watchBook();
    // The original pane is marked only while its editing is allowed.
    void followOriginalPaneEditing();
    SpellHighlighter* highlighter(const RichTextPane* pane) const;
    spelling::SpellChecker& checker() { return m_checker; }
    QAction* toggleAction() const { return m_toggle; }

    // Puts the suggestions for the misspelt word at pos (viewport coordinates) at the top of menu,
    // then "辞書に追加" and "無視"; returns the items put there (none for a correct word), which
    // the caller removes once the menu has closed.
    QList<QAction*> addPopupItems(QMenu* menu, RichTextPane* pane, const QPoint& pos);

private:
    void loadDictionary();
    void applyExemptions();
    void applyToPanes();
    void recheckPanes();
    void saveSettings();
    void addToWordList(const QString& word);
    void bookWordsChanged();

    FrmTranslatorL& m_window;
    QList<SpellDictionary> m_dictionaries;
    spelling::SpellSettings m_settings;
    std::unique_ptr<SpellEngine> m_engine;
    spelling::SpellChecker m_checker;
    QList<QPointer<SpellHighlighter>> m_highlighters;
    QAction* m_toggle;
    bool m_recheckQueued = false;
};
