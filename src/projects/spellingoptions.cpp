// SPDX-License-Identifier: GPL-3.0-or-later
#include "spellingoptions.h"

#include "translator/editorspelling.h"
#include "ui/spelloptionpage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTabWidget>

QString SpellingOptions::noDictionaryText() {
    return QStringLiteral("ｽﾍﾟﾙﾁｪｯｸ用の辞書 (Hunspell) がｲﾝｽﾄｰﾙされていません。端末で "
                          "sudo apt install hunspell-en-us を実行すると英語 (米国) の辞書が"
                          "入ります。");
}

SpellingOptions::SpellingOptions(EditorSpelling& spelling, QTabWidget* tabs)
    : QObject(tabs), m_spelling(spelling), m_page(new SpellOptionPage) {
    tabs->addTab(m_page, QStringLiteral("ｽﾍﾟﾙﾁｪｯｸ"));
    fill();
    connect(m_page->chkSpellCheck, &QCheckBox::clicked, this,
            [this](bool on) { m_spelling.setEnabled(on); });
    connect(m_page->cboSpellLanguage, &QComboBox::activated, this, [this](int index) {
        m_spelling.setLanguage(m_page->cboSpellLanguage->itemData(index).toString());
    });
    connect(m_page->chkIgnoreCapitals, &QCheckBox::clicked, this,
            [this](bool on) { m_spelling.setIgnoreInnerCapitals(on); });
    connect(m_page->chkIgnoreDigits, &QCheckBox::clicked, this,
            [this](bool on) { m_spelling.setIgnoreDigits(on); });
}

void SpellingOptions::fill() {
    const QList<SpellDictionary>& dictionaries = m_spelling.dictionaries();
    QComboBox* languages = m_page->cboSpellLanguage;
    languages->addItem(QStringLiteral("(ﾁｪｯｸしない)"), QString());
    for (const SpellDictionary& d : dictionaries)
        languages->addItem(d.displayName(), d.code);
    languages->setCurrentIndex(std::max(0, languages->findData(m_spelling.language())));
    m_page->chkSpellCheck->setChecked(m_spelling.isEnabled());
    m_page->chkIgnoreCapitals->setChecked(m_spelling.ignoresInnerCapitals());
    m_page->chkIgnoreDigits->setChecked(m_spelling.ignoresDigits());

    const bool none = dictionaries.isEmpty();
    m_page->chkSpellCheck->setEnabled(!none);
    languages->setEnabled(!none);
    m_page->chkIgnoreCapitals->setVisible(!none);
    m_page->chkIgnoreDigits->setVisible(!none);
    m_page->lblNoDictionary->setVisible(none);
    if (none)
        m_page->lblNoDictionary->setText(noDictionaryText());
}
