// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "formcontrols.h"

#include <QDialog>
#include <QList>

// The language-set editor: 26 rows of enabled flag, caption (range start) and range end, the set's
// name, and the palette font.
class LangSetForm : public QDialog {
    Q_OBJECT
public:
    explicit LangSetForm(QWidget* parent = nullptr);

    QLabel* Label1;
    QComboBox* Combo1;
    QGroupBox* Frame1;
    QList<QCheckBox*> Check1;
    QList<QLabel*> lblRow;
    QList<QLineEdit*> Text1;
    QList<QLabel*> lblTilde;
    QList<QLineEdit*> Text2;
    QPushButton* cmdNewSet;
    QPushButton* cmdSave;
    QPushButton* cmdFontSet;
    QPushButton* cmdFontDefault;
    QPushButton* cmdExit;
};
