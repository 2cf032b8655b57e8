// SPDX-License-Identifier: GPL-3.0-or-later
#include "backupbeforechange.h"

#include "core/book.h"
#include "core/failure.h"
#include "core/history/bookbackup.h"
#include "core/history/historysettings.h"
#include "core/session.h"
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
