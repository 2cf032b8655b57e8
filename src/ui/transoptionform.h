// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QTabWidget;

// The editor's options: on one page how the original pane is used, on the other the switches of
// the quick search.
class TransOptionForm : public QDialog {
    Q_OBJECT
public:
    explicit TransOptionForm(QWidget* parent = nullptr);

    QTabWidget* SSTab1;
    QGroupBox* Frame1;
    QCheckBox* Check1;
    QCheckBox* Check2;
    QCheckBox* Check3;
    QCheckBox* Check4;
    QCheckBox* Check5;
    QCheckBox* Check6;
    QPushButton* Command1;
    QPushButton* Command2;
};
