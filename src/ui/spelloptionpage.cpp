// SPDX-License-Identifier: GPL-3.0-or-later
#include "spelloptionpage.h"

#include "formparts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

SpellOptionPage::SpellOptionPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("SpellOptionPage"));
    chkSpellCheck = new QCheckBox(QStringLiteral("入力中にｽﾍﾟﾙをﾁｪｯｸする"), this);
    chkSpellCheck->setObjectName(QStringLiteral("chkSpellCheck"));
    chkSpellCheck->setGeometry(20, 12, 360, 26);
    lblSpellLanguage = new QLabel(QStringLiteral("言語:"), this);
    lblSpellLanguage->setObjectName(QStringLiteral("lblSpellLanguage"));
    lblSpellLanguage->setGeometry(20, 48, 56, 26);
    cboSpellLanguage = new QComboBox(this);
    cboSpellLanguage->setObjectName(QStringLiteral("cboSpellLanguage"));
    cboSpellLanguage->setGeometry(80, 46, 290, 28);
    lblNoDictionary = new QLabel(this);
    lblNoDictionary->setObjectName(QStringLiteral("lblNoDictionary"));
    lblNoDictionary->setGeometry(20, 80, 360, 54);
    lblNoDictionary->setWordWrap(true);
    lblNoDictionary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblSpellLanguage->setBuddy(cboSpellLanguage);
    formparts::nameForScreenReaders(this);
}
