// SPDX-License-Identifier: GPL-3.0-or-later
#include "listreport.h"

#include "platform/dialogservice.h"

void reportSkippedEntries(const QString& fileName, const QStringList& problems) {
    if (problems.isEmpty())
        return;
    showMessage(fileName + QStringLiteral("の次の項目は使えないため、飛ばしました。\r\n") +
                    problems.join(QStringLiteral("\r\n")),
                QStringLiteral("一覧ﾌｧｲﾙの確認"), MessageButtons::Ok, MessageIcon::Exclamation);
}
