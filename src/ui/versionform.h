// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The version box: product name, version, the maker's notice and an OK button.
class VersionForm : public QDialog {
    Q_OBJECT
public:
    explicit VersionForm(QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Image1;
    QPushButton* Command1;
};
