// SPDX-License-Identifier: GPL-3.0-or-later
#include "syncsettings.h"

#include "core/files/atomicfile.h"
#include "core/files/diskio.h"

#include <QFile>

SyncSettings SyncSettings::read(const QString& appFolder) {
    SyncSettings s;
    QFile file(appFolder + u'/' + FileName);
    if (!file.open(QIODevice::ReadOnly))
        return s;
    // Only a plain "enabled=0" turns the safety off; anything else read leaves it on.
    for (const QByteArray& line : file.read(64 * 1024).split('\n'))
        if (line.trimmed() == "enabled=0")
            s.enabled = false;
    return s;
}

void SyncSettings::write(const QString& appFolder) const {
    const QString path = appFolder + u'/' + FileName;
    if (enabled)
        diskio::removeIfPresent(path);
    else
        writeFileAtomically(path, QByteArrayLiteral("enabled=0\n"));
}
