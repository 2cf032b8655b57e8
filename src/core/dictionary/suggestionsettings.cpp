// SPDX-License-Identifier: GPL-3.0-or-later
#include "suggestionsettings.h"

#include "core/files/atomicfile.h"

#include <QFile>

namespace suggestionsettings {

QString fileName() {
    return QStringLiteral("DictSug.vtd");
}

bool read(const QString& appFolder) {
    QFile file(appFolder + u'/' + fileName());
    if (!file.open(QIODevice::ReadOnly))
        return true;
    return file.read(64).trimmed() != "#FALSE#";
}

void write(const QString& appFolder, bool on) {
    writeFileAtomically(appFolder + u'/' + fileName(), on ? "#TRUE#\r\n" : "#FALSE#\r\n");
}

} // namespace suggestionsettings
