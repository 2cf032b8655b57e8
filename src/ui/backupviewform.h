// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTableView;

// A backup of a book shown read-only: which backup it is, and its words with their meanings and
// examples.
class BackupViewForm : public QDialog {
    Q_OBJECT
public:
    explicit BackupViewForm(QWidget* parent = nullptr);

    QLabel* lblBackup;
    // Columns: word, meaning, example.
    QTableView* tblWords;
    QPushButton* cmdClose;
};
