// SPDX-License-Identifier: GPL-3.0-or-later
#include "backupbeforechange.h"

#include "core/files/failure.h"
#include "core/history/bookbackup.h"
#include "core/history/historysettings.h"
#include "core/settings/session.h"
#include "core/store/book.h"
#include "platform/dialogservice.h"

#include <QFileInfo>

bool backupBeforeChange(const QString& bookFolder, const QString& operation, int wordCount) {
    const HistorySettings settings = HistorySettings::read(session().appFolder);
    if (!settings.enabled || !QFileInfo::exists(bookFolder + u'/' + bookfile::Words))
        return true;
    try {
        BookBackups(session().appFolder, settings.backupsKept)
            .create(QFileInfo(bookFolder).fileName(), bookFolder, operation, wordCount);
    } catch (const RuntimeFailure& failure) {
        showMessage(QStringLiteral("ブックのバックアップを作れなかったため、処理を中止しました。"
                                   "ブックは変更していません。\r\n\r\n") +
                        failure.description(),
                    QStringLiteral("バックアップ"), MessageButtons::Ok, MessageIcon::Exclamation);
        return false;
    }
    return true;
}

void writeBackWithBackup(Book& book) {
    const qint64 records = book.meaningRecordCount();
    const qint64 dropped = records - book.index().size();
    if (book.deletionsPending() && records > 0 && dropped * 10 > records &&
        !backupBeforeChange(book.folder(), QStringLiteral("閉じる時の整理"), book.index().size())) {
        // The word file already names every word; the records no word uses stay until a later
        // write-back can compact them.
        if (!book.index().isEmpty())
            book.writeWordFile();
        book.close();
        return;
    }
    book.writeBack();
}
