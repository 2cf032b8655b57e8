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
    chkSpellCheck->setGeometry(20, 8, 360, 24);
    lblSpellLanguage = new QLabel(QStringLiteral("言語:"), this);
    lblSpellLanguage->setObjectName(QStringLiteral("lblSpellLanguage"));
    lblSpellLanguage->setGeometry(20, 38, 56, 26);
    cboSpellLanguage = new QComboBox(this);
    cboSpellLanguage->setObjectName(QStringLiteral("cboSpellLanguage"));
    cboSpellLanguage->setGeometry(80, 36, 290, 28);
    chkIgnoreCapitals = new QCheckBox(QStringLiteral("大文字を含む語を無視"), this);
    chkIgnoreCapitals->setObjectName(QStringLiteral("chkIgnoreCapitals"));
    chkIgnoreCapitals->setGeometry(20, 70, 360, 24);
    chkIgnoreDigits = new QCheckBox(QStringLiteral("数字を含む語を無視"), this);
    chkIgnoreDigits->setObjectName(QStringLiteral("chkIgnoreDigits"));
    chkIgnoreDigits->setGeometry(20, 96, 360, 24);
    // Takes the place of the two switches, which mean nothing without a dictionary.
    lblNoDictionary = new QLabel(this);
    lblNoDictionary->setObjectName(QStringLiteral("lblNoDictionary"));
    lblNoDictionary->setGeometry(20, 70, 360, 54);
    lblNoDictionary->setWordWrap(true);
    lblNoDictionary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblSpellLanguage->setBuddy(cboSpellLanguage);
    formparts::nameForScreenReaders(this);
}
