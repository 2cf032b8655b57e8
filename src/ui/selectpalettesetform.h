// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The new-book dialog: the book's name, then the language set of its palette.
class SelectPaletteSetForm : public QDialog {
    Q_OBJECT
public:
    explicit SelectPaletteSetForm(QWidget* parent = nullptr);

    QGroupBox* Frame1;
    QLabel* Label1;
    QLineEdit* Text1;
    QGroupBox* Frame2;
    QLabel* Label2;
    QComboBox* Combo1;
    QPushButton* cmdSettei;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
};
