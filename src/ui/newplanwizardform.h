// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QList>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

// The new-project wizard: three pages stacked in one place (the project's name, the original
// file, the translation and comment files) with the paging buttons below them.
class NewPlanWizardForm : public QDialog {
    Q_OBJECT
public:
    explicit NewPlanWizardForm(QWidget* parent = nullptr);

    // Shows page 1, 2 or 3 and hides the others.
    void showPage(int page);
    int page() const { return m_page; }

    QFrame* Frame1;
    QLabel* Label1;
    QLineEdit* txtNewPlanName;
    QLabel* Label2;
    QListWidget* List1;

    QFrame* Frame2;
    QLabel* Label4;
    QList<QRadioButton*> Option1; // 0: use an original file, 1: none
    QPushButton* cmdSelectOrgFile;
    QLabel* Label9;
    QLabel* lblOrgFileName;

    QFrame* Frame3;
    QLabel* Label7;
    QPushButton* cmdSaveTransFile;
    QLabel* Label10;
    QLabel* lblTransFileName;
    QCheckBox* Check1;
    QLabel* Label12;
    QLabel* lblCmntFileName;

    QPushButton* cmdBack;
    QPushButton* cmdNext;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

private:
    int m_page = 1;
};
