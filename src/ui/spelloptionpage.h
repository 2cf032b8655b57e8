// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;

// The options' page of the spelling check: the switch, the language, the words left unchecked
// and, when no dictionary is installed, how to install one.
class SpellOptionPage : public QWidget {
    Q_OBJECT
public:
    explicit SpellOptionPage(QWidget* parent = nullptr);

    QCheckBox* chkSpellCheck;
    QLabel* lblSpellLanguage;
    QComboBox* cboSpellLanguage;
    QCheckBox* chkIgnoreCapitals;
    QCheckBox* chkIgnoreDigits;
    QLabel* lblNoDictionary;
};
