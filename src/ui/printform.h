// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "formcontrols.h"

#include <QDialog>

// The word-list print dialog: margins, spacing, gaps, which words, the header and the two print
// fonts.
class PrintForm : public QDialog {
    Q_OBJECT
public:
    explicit PrintForm(QWidget* parent = nullptr);

    QLabel* lblRight;
    QLineEdit* Text1;
    QLabel* lblRightUnit;
    QLabel* lblLeft;
    QLineEdit* Text2;
    QLabel* lblLeftUnit;
    QLabel* lblSpacing;
    QComboBox* Combo1;
    QLabel* lblGap;
    QComboBox* Combo2;
    QCheckBox* Check1;
    QCheckBox* Check2;
    QCheckBox* Check3;
    QLabel* lblRule;
    QLineEdit* Text4;
    QSpinBox* ud_3;
    QLabel* lblRuleUnit;
    QGroupBox* fraFont;
    QPushButton* cmdFontWord;
    QPushButton* cmdFontImi;
    QPushButton* cmdPrint;
    QPushButton* cmdPreview;
    QPushButton* cmdPrintSetup;
    QPushButton* cmdCancel;
};
