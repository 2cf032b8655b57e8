// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

// The list of a book's backups, newest first, with the command that puts one back.
class RestoreBackupForm : public QDialog {
    Q_OBJECT
public:
    explicit RestoreBackupForm(QWidget* parent = nullptr);

    QLabel* lblBook;
    // Columns: date, time, word count, the operation the backup was taken before.
    QTableWidget* lstBackups;
    QLabel* lblNone;
    QPushButton* cmdRestore;
    QPushButton* cmdClose;
};
