// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QPushButton;
class QTreeView;

// The book folder picker: the mounted volumes, a folder tree of the chosen one, the folder's name.
class GetDirForm : public QDialog {
    Q_OBJECT
public:
    explicit GetDirForm(QWidget* parent = nullptr);

    QComboBox* Drive1;
    QTreeView* Dir1;
    QFileSystemModel* Dir1Model;
    QLabel* lblBookName;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
};
