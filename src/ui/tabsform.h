// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QList>

class QLabel;
class QLineEdit;
class QPushButton;

// The four tab stops of the editor's panes, in units of about one character.
class TabsForm : public QDialog {
    Q_OBJECT
public:
    explicit TabsForm(QWidget* parent = nullptr);

    QList<QLabel*> Label1;   // Label1_0 .. Label1_3
    QList<QLineEdit*> Text1; // Text1_0 .. Text1_3
    QLabel* Label2;
    QPushButton* cmdOKSave;
    QPushButton* cmdCancel;
};
