// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QList>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The merge dialog: books A and B, the target, the duplicate policy, and the two entries of a
// duplicate waiting for the user.
class MergeForm : public QDialog {
    Q_OBJECT
public:
    explicit MergeForm(QWidget* parent = nullptr);

    QList<QLabel*> lblRow;
    QList<QPushButton*> cmdRead;
    QList<QLabel*> lblRead;
    QLabel* lblApathName;
    QLabel* lblBpathName;
    QLabel* lblMpathName;
    QLabel* lblPrio;
    QComboBox* cboPrio;
    QLabel* lblWordHeader;
    QLabel* lblMeanHeader;
    QLabel* lblReiHeader;
    QLabel* lblAword;
    QPlainTextEdit* txtAmean;
    QPlainTextEdit* txtArei;
    QLabel* lblBword;
    QPlainTextEdit* txtBmean;
    QPlainTextEdit* txtBrei;
    QPushButton* cmdAchoice;
    QPushButton* cmdBchoice;
    QPushButton* cmdMerge;
    QPushButton* cmdExit;
};
