// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmrestorebackup.h"

#include "core/files/failure.h"
#include "core/history/historysettings.h"
#include "core/settings/session.h"
#include "library/bookhost.h"
#include "platform/appfolder.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "ui/restorebackupform.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

namespace {

BookBackups backupsOfThisRun() {
    const QString app = session().appFolder;
    return BookBackups(app, HistorySettings::read(app).backupsKept);
}

} // namespace

FrmRestoreBackup::FrmRestoreBackup(BookHost* host, QWidget* parent)
    : m_host(host), m_form(new RestoreBackupForm(parent)) {
    connect(m_form->cmdRestore, &QPushButton::clicked, this, [this] {
        guarded(reportOnly(u"バックアップから戻す時", "Error302"), [this] { cmdRestoreClick(); });
    });
    connect(m_form->cmdClose, &QPushButton::clicked, m_form, &QDialog::reject);
    connect(m_form->lstBackups, &QTableWidget::itemDoubleClicked, this, [this] {
        guarded(reportOnly(u"バックアップから戻す時", "Error302"), [this] { cmdRestoreClick(); });
    });
}

FrmRestoreBackup::~FrmRestoreBackup() {
    delete m_form;
}

int FrmRestoreBackup::exec() {
    fill();
    return m_form->exec();
}

void FrmRestoreBackup::fill() {
    RestoreBackupForm* f = m_form;
    const QString book = session().current.bookName;
    f->lblBook->setText(QStringLiteral("ブック：") + book);
    m_backups = backupsOfThisRun().list(book);
    f->lstBackups->setRowCount(int(m_backups.size()));
    for (int row = 0; row < int(m_backups.size()); ++row) {
        const BookBackup& b = m_backups[size_t(row)];
        const QString cells[] = {b.when.toString(QStringLiteral("yyyy/MM/dd")),
                                 b.when.toString(QStringLiteral("HH:mm:ss")),
                                 QString::number(b.wordCount), b.operation};
        for (int column = 0; column < 4; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column == 2)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            f->lstBackups->setItem(row, column, item);
        }
    }
    f->lstBackups->resizeColumnsToContents();
    f->lstBackups->setVisible(!m_backups.empty());
    f->lblNone->setVisible(m_backups.empty());
    f->cmdRestore->setEnabled(!m_backups.empty());
    if (!m_backups.empty())
        f->lstBackups->selectRow(0);
}

void FrmRestoreBackup::cmdRestoreClick() {
    const int row = m_form->lstBackups->currentRow();
    if (row < 0 || row >= int(m_backups.size())) {
        showMessage(QStringLiteral("戻すバックアップを選んで下さい"));
        return;
    }
    const BookBackup backup = m_backups[size_t(row)];
    const QString when = backup.when.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    if (showMessage(QStringLiteral("ブックを %1 のバックアップ（%2語）の内容に戻します。\r\n"
                                   "今の内容はバックアップしてから置き換えます。よろしいですか？")
                        .arg(when)
                        .arg(backup.wordCount),
                    QStringLiteral("バックアップから戻す"), MessageButtons::YesNo,
                    MessageIcon::Question) != Answer::Yes)
        return;
    const QString book = session().current.bookName;
    if (m_host)
        m_host->closeBook();
    QString failure;
    try {
        backupsOfThisRun().restore(backup, book, appfolder::bookFolder(book));
    } catch (const RuntimeFailure& e) {
        failure = e.description();
    }
    if (m_host)
        m_host->ReopenBook();
    fill();
    if (!failure.isEmpty())
        showMessage(QStringLiteral("バックアップから戻せませんでした。ブックは変更していません。"
                                   "\r\n\r\n") +
                        failure,
                    QStringLiteral("バックアップから戻す"), MessageButtons::Ok,
                    MessageIcon::Exclamation);
    else
        showMessage(QStringLiteral("%1 のバックアップから戻しました").arg(when),
                    QStringLiteral("バックアップから戻す"));
}
