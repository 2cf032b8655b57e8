// SPDX-License-Identifier: GPL-3.0-or-later
#include "documentsettings.h"

#include "core/files/atomicfile.h"
#include "core/files/failure.h"

#include <QFile>
#include <QFileInfo>

DocumentSettings DocumentSettings::read(const QString& appFolder) {
    DocumentSettings s;
    QFile file(appFolder + u'/' + FileName);
    if (!file.open(QIODevice::ReadOnly))
        return s;
    // Only a plain "enabled=0" turns the documents off; anything else read leaves them on.
    const QString text = QString::fromUtf8(file.read(64 * 1024));
    for (const QString& line : text.split(u'\n')) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq >= 0 && line.left(eq).trimmed() == u"enabled")
            s.enabled = line.mid(eq + 1).trimmed() != u"0";
    }
    return s;
}

void DocumentSettings::write(const QString& appFolder) const {
    const QString path = appFolder + u'/' + FileName;
    if (!enabled) {
        writeFileAtomically(path, QByteArrayLiteral("enabled=0\n"));
        return;
    }
    if (QFile::exists(path) && !QFile::remove(path))
        throw RuntimeFailure(failure::PermissionDenied, QFileInfo(path).fileName());
}
