// SPDX-License-Identifier: GPL-3.0-or-later
#include "restorebackupform.h"

#include "formparts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using formparts::named;

RestoreBackupForm::RestoreBackupForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmRestoreBackup"));
    setWindowTitle(QStringLiteral("バックアップから戻す"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    lblBook = named(new QLabel(this), "lblBook");
    layout->addWidget(lblBook);
    lstBackups = named(new QTableWidget(0, 4, this), "lstBackups");
    lstBackups->setHorizontalHeaderLabels({QStringLiteral("日付"), QStringLiteral("時刻"),
                                           QStringLiteral("単語数"), QStringLiteral("操作")});
    lstBackups->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstBackups->setSelectionMode(QAbstractItemView::SingleSelection);
    lstBackups->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstBackups->verticalHeader()->setVisible(false);
    lstBackups->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(lstBackups);
    lblNone =
        named(new QLabel(QStringLiteral("このブックのバックアップはありません"), this), "lblNone");
    layout->addWidget(lblNone);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdRestore = named(new QPushButton(QStringLiteral("戻す(&R)"), this), "cmdRestore");
    cmdClose = named(new QPushButton(QStringLiteral("閉じる(&C)"), this), "cmdClose");
    buttons->addWidget(cmdRestore);
    buttons->addWidget(cmdClose);
    layout->addLayout(buttons);
    resize(460, 300);
    lstBackups->setAccessibleName(QStringLiteral("バックアップ"));
    formparts::nameForScreenReaders(this);
}
