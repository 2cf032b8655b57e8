// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "formcontrols.h"

#include <QDialog>

// The import and export dialog: a page that replaces a book with another book folder's data, and
// a page that writes the current book's words into another book or a comma-separated file.
class InportForm : public QDialog {
    Q_OBJECT
public:
    explicit InportForm(QWidget* parent = nullptr);

    QTabWidget* tabs;
    // Import page.
    QLabel* lblBooks;
    QComboBox* cboBooks;
    QLabel* lblSource;
    QPushButton* cmdRead;
    QPushButton* cmdReadCsv;
    QLabel* lblSourceBook;
    QPushButton* cmdInport;
    // Export page.
    QLabel* lblExSourceCaption;
    QLabel* lblExSource;
    QGroupBox* fraFormat;
    QComboBox* Combo1;
    QPushButton* cmdRead2;
    QCheckBox* chkWord;
    QLabel* lblCRLF;
    QLineEdit* txtCRLF;
    QPushButton* cmdExport;
    // Both pages.
    QLabel* lblSourcePath;
    QPushButton* cmdClose;
};
