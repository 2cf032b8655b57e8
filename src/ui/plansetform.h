// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

// The project dialog: picks the project to work on, deletes projects and starts new ones.
class PlanSetForm : public QDialog {
    Q_OBJECT
public:
    explicit PlanSetForm(QWidget* parent = nullptr);

    QLabel* Label1;
    QComboBox* Combo1; // names can also be typed
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QPushButton* cmdDelete;
    QPushButton* cmdNew;
};
