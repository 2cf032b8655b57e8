// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "formcontrols.h"

#include <QDialog>

// The settings of the sentence split: numbered headings and their decorations, the characters
// that end a sentence and the space between blocks.
class BunkatuForm : public QDialog {
    Q_OBJECT
public:
    explicit BunkatuForm(QWidget* parent = nullptr);

    QCheckBox* Check1;
    QGroupBox* Frame1;
    QLabel* Label2;
    QLineEdit* Text1;
    QLabel* Label3;
    QLineEdit* Text2;
    QLabel* Label4;
    QLineEdit* Text3;
    QLabel* Label1;
    QLabel* Label5;
    QComboBox* Combo1;
    QLabel* Label6;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
};
