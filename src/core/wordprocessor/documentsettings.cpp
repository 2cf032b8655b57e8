// SPDX-License-Identifier: GPL-3.0-or-later
#include "documentsettings.h"

#include "core/files/atomicfile.h"
#include "core/files/failure.h"
#include "core/settings/additionsettings.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

DocumentSettings DocumentSettings::read(const QString& appFolder) {
    DocumentSettings s;
    // Only a plain "enabled=0" turns the documents off; anything else read leaves them on.
    const QString text = QString::fromUtf8(additionsettings::read(appFolder, FileName));
    QString key, value;
    for (const QString& line : text.split(u'\n'))
        if (additionsettings::keyValue(line, key, value) && key == u"enabled")
            s.enabled = value != u"0";
    return s;
}

void DocumentSettings::write(const QString& appFolder) const {
    const QString path = appFolder + u'/' + FileName;
    if (!enabled) {
        writeFileAtomically(path, additionsettings::flagLine("enabled", false));
        return;
    }
    if (QFile::exists(path) && !QFile::remove(path))
        throw RuntimeFailure(failure::PermissionDenied, QFileInfo(path).fileName());
}
