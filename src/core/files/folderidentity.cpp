// SPDX-License-Identifier: GPL-3.0-or-later
#include "folderidentity.h"

#include <QDir>
#include <QFileInfo>

QString canonicalFolder(const QString& path) {
    if (path.isEmpty())
        return {};
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

bool sameFolder(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty())
        return false;
    return canonicalFolder(a) == canonicalFolder(b);
}
