// SPDX-License-Identifier: GPL-3.0-or-later
#include "historysettings.h"

#include "core/files/failure.h"
#include "core/settings/textrecord.h"

#include <QFile>

HistorySettings HistorySettings::read(const QString& appFolder) {
    HistorySettings settings;
    const QString path = appFolder + u'/' + FileName;
    if (!QFile::exists(path))
        return settings;
    try {
        TextRecordReader reader = TextRecordReader::fromFile(path);
        const bool enabled = reader.readBool();
        const int kept = reader.readInt32();
        settings.enabled = enabled;
        if (kept >= 1)
            settings.backupsKept = kept;
    } catch (const RuntimeFailure&) {
        return HistorySettings{};
    }
    return settings;
}
