// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "formcontrols.h"

#include <QDialog>

// The quiz settings: which order, how many questions, checked words only, and which way to ask.
class TrySettingForm : public QDialog {
    Q_OBJECT
public:
    explicit TrySettingForm(QWidget* parent = nullptr);

    QLabel* lblScopeCaption;
    QLabel* lblScope;
    QLabel* lblScopeTail;
    QLabel* lblStyleCaption;
    QComboBox* Combo1;
    QGroupBox* Frame1;
    QCheckBox* chkCount;
    QLabel* lblCountCaption;
    QLineEdit* txtCount;
    QSpinBox* Ud1;
    QLabel* lblCount;
    QCheckBox* chkWord;
    QPushButton* cmdJtoE;
    QPushButton* cmdEtoJ;
    QPushButton* cmdCancel;
};
