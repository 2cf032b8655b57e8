// SPDX-License-Identifier: GPL-3.0-or-later
#include "backupviewform.h"

#include "formparts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

using formparts::named;

BackupViewForm::BackupViewForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmBackupView"));
    setWindowTitle(QStringLiteral("ブックのバックアップ（読み取り専用）"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    lblBackup = named(new QLabel(this), "lblBackup");
    lblBackup->setWordWrap(true);
    layout->addWidget(lblBackup);
    tblWords = named(new QTableView(this), "tblWords");
    tblWords->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblWords->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblWords->verticalHeader()->setVisible(false);
    tblWords->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(tblWords);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdClose = named(new QPushButton(QStringLiteral("閉じる(&C)"), this), "cmdClose");
    buttons->addWidget(cmdClose);
    layout->addLayout(buttons);
    resize(640, 420);
    tblWords->setAccessibleName(QStringLiteral("単語"));
    formparts::nameForScreenReaders(this);
}
