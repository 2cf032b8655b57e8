// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QList>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The editor's find and replace dialog: the search and replacement texts, the pane to search,
// the from-the-top and case switches and the four buttons. Shown modeless beside the editor.
class FindForm : public QDialog {
    Q_OBJECT
public:
    explicit FindForm(QWidget* parent = nullptr);

    QLabel* Label1;
    QLineEdit* txtFind;
    QLabel* Label2;
    QLineEdit* txtRewrite;
    QGroupBox* Frame1;
    QList<QRadioButton*> Option1; // 0: original pane, 1: translation pane
    QCheckBox* Check1;
    QCheckBox* Check2;
    QPushButton* cmdFind;
    QPushButton* cmdRewrite;
    QPushButton* cmdAllrewrite;
    QPushButton* cmdClose;
};
