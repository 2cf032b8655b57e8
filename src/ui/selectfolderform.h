// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The book chooser: choose, create and delete books, edit a book's language set.
class SelectFolderForm : public QDialog {
    Q_OBJECT
public:
    explicit SelectFolderForm(QWidget* parent = nullptr);

    QLabel* Label1;
    QComboBox* cboFldName;
    QLabel* Label2;
    QLineEdit* Text1;
    QPushButton* cmdOKFolder;
    QPushButton* cmdCancelFolder;
    QPushButton* cmdAddFolder;
    QPushButton* cmdDelFolder;
    QPushButton* cmdModLangSet;
};
