// SPDX-License-Identifier: GPL-3.0-or-later
#include "appfolder.h"

#include "core/files/failure.h"

#include <QDir>
#include <QStandardPaths>

namespace appfolder {

QString path() {
    QString folder = qEnvironmentVariable("VERBANTA_HOME");
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    folder = QDir::cleanPath(QDir(folder).absolutePath());
    if (!QDir().mkpath(folder))
        throw RuntimeFailure(failure::PathNotFound, folder);
    return folder;
}

QString bookFolder(const QString& bookName) {
    return path() + u'/' + bookName;
}

} // namespace appfolder
