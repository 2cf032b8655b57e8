// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The width the indent commands give a paragraph, in units of about one character.
class IndentForm : public QDialog {
    Q_OBJECT
public:
    explicit IndentForm(QWidget* parent = nullptr);

    QLabel* Label2;
    QLineEdit* Text1;
    QLabel* Label1;
    QPushButton* Command1;
};
