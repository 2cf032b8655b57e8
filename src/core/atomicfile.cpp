#include "atomicfile.h"

#include "failure.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

void writeFileAtomically(const QString& path, const QByteArray& bytes) {
    const QString name = QFileInfo(path).fileName();
    if (!QFileInfo(path).absoluteDir().exists())
        throw RuntimeFailure(failure::PathNotFound, name);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw RuntimeFailure(failure::PermissionDenied, name);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        throw RuntimeFailure(failure::DiskFull, name);
    }
    // QSaveFile flushes and syncs to disk before it renames.
    if (!file.commit())
        throw RuntimeFailure(failure::DeviceIo, name);
}
