// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;

// The appearance dialog: font, colours and input-method mode of the main window's four boxes, and
// the background and label colours of the main window and the two quiz windows.
class CustomForm : public QDialog {
    Q_OBJECT
public:
    explicit CustomForm(QWidget* parent = nullptr);

    QTabWidget* tabs;
    QGroupBox* fraBox;
    QLabel* lblT1;
    QLabel* lblT2;
    QLabel* lblT3;
    QLabel* lblL1;
    QPushButton* cmdText1;
    QPushButton* cmdText2;
    QPushButton* cmdText3;
    QPushButton* cmdList1;
    QPushButton* cmdT1Color;
    QPushButton* cmdT2Color;
    QPushButton* cmdT3Color;
    QPushButton* cmdL1Color;
    QComboBox* cboT1;
    QComboBox* cboT2;
    QComboBox* cboT3;
    QComboBox* cboL1;
    QGroupBox* fraColor;
    QPushButton* cmdBColor;
    QPushButton* cmdFColor;
    QPushButton* cmdJEBColor;
    QPushButton* cmdJEFColor;
    QPushButton* cmdEJBColor;
    QPushButton* cmdEJFColor;
    QLabel* lblSample;
    QLabel* lblSampleJE;
    QLabel* lblSampleEJ;
    QPushButton* Command1;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
};
