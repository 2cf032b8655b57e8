// SPDX-License-Identifier: GPL-3.0-or-later
#include "atomicfile.h"

#include "core/files/failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray nativePath(const QString& path) {
    return QFile::encodeName(path);
}

const QLatin1StringView TempInfix(".verbanta-");
const QLatin1StringView TempSuffix(".tmp");
constexpr int TempRandomLength = 6;

// A fresh file beside path, named so that a leftover of an interrupted write can be recognised
// as ours (path + ".verbanta-" + six characters + ".tmp"), created exclusively.
int createTemporaryBeside(const QString& path, QString& tempPath) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString suffix;
        for (int i = 0; i < TempRandomLength; ++i)
            suffix += QLatin1Char(letters[QRandomGenerator::global()->bounded(62)]);
        tempPath = path + TempInfix + suffix + TempSuffix;
        const int fd =
            ::open(nativePath(tempPath).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// Whether name is a temporary file of ours, of the file named base when base is given.
bool isTemporaryName(const QString& name, const QString& base = {}) {
    if (!name.endsWith(TempSuffix))
        return false;
    const qsizetype infixAt = name.size() - TempSuffix.size() - TempRandomLength - TempInfix.size();
    if (infixAt <= 0 || QStringView(name).mid(infixAt, TempInfix.size()) != TempInfix)
        return false;
    return base.isEmpty() || QStringView(name).left(infixAt) == base;
}

// Removes the temporary files an interrupted write of the file named base left in dir.
void removeLeftoversOf(const QDir& dir, const QString& base) {
    const QStringList names = dir.entryList({base + TempInfix + u'*' + TempSuffix}, QDir::Files);
    for (const QString& name : names)
        if (isTemporaryName(name, base))
            QFile::remove(dir.filePath(name));
}

// The file a write to path must replace: path itself, or the end of the chain of symbolic links
// it starts, so that the link stays a link and the real document gets the new text.
QString writeTarget(const QString& path) {
    QString current = path;
    for (int hops = 0; hops < 40; ++hops) {
        const QFileInfo info(current);
        if (!info.isSymLink())
            return current;
        current = info.symLinkTarget();
    }
    diskio::fail(ELOOP, path);
}

// The error a rewrite of an existing file is refused with because the file is read-only (no write
// permission bit, or not writable by this user), or 0.
int readOnlyError(const QString& path) {
    struct stat old {};
    if (::stat(nativePath(path).constData(), &old) != 0)
        return 0;
    if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return EACCES;
    if (::access(nativePath(path).constData(), W_OK) != 0 && (errno == EACCES || errno == EROFS))
        return errno;
    return 0;
}

// A file the user marked read-only, or cannot write, is left as it is: renaming a new file over
// it would get round the protection the user chose.
void refuseReadOnly(const QString& path, const QString& shownPath) {
    if (const int error = readOnlyError(path))
        diskio::fail(error, shownPath);
}

} // namespace

void removeTemporaryLeftovers(const QString& folder) {
    const QDir dir(folder);
    const QStringList names = dir.entryList({u'*' + TempInfix + u'*' + TempSuffix}, QDir::Files);
    for (const QString& name : names)
        if (isTemporaryName(name))
            QFile::remove(dir.filePath(name));
}

bool isTemporaryLeftover(const QString& fileName) {
    return isTemporaryName(fileName);
}

bool isReadOnlyFile(const QString& path) {
    try {
        return !path.isEmpty() && readOnlyError(writeTarget(path)) != 0;
    } catch (const RuntimeFailure&) {
        return false;
    }
}

void removeLeftoversBeside(const QString& path) {
    if (path.isEmpty())
        return;
    try {
        const QFileInfo target(writeTarget(path));
        removeLeftoversOf(target.absoluteDir(), target.fileName());
    } catch (const RuntimeFailure&) {
        // A loop of links: no write of ours can have gone through it.
    }
}

void writeFileAtomically(const QString& requestedPath, const QByteArray& bytes) {
    const QString path = writeTarget(requestedPath);
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        throw RuntimeFailure(failure::PathNotFound, info.fileName());
    refuseReadOnly(path, requestedPath);
    removeLeftoversOf(info.absoluteDir(), info.fileName());
    QString tempPath;
    int fd = createTemporaryBeside(path, tempPath);
    if (fd < 0)
        diskio::fail(errno, path);
    try {
        // The new file keeps the old one's permissions.
        struct stat old {};
        if (::stat(nativePath(path).constData(), &old) == 0)
            ::fchmod(fd, old.st_mode & 07777);
        diskio::writeAll(fd, path, bytes.constData(), bytes.size());
        diskio::sync(fd, path);
        // Some file systems take a write and lose it; what counts is what the file holds.
        struct stat written {};
        if (::fstat(fd, &written) != 0)
            diskio::fail(errno, path);
        if (written.st_size != bytes.size())
            diskio::fail(ENOSPC, path);
        const int closing = ::close(fd);
        fd = -1;
        if (closing != 0)
            diskio::fail(errno, path);
        if (::rename(nativePath(tempPath).constData(), nativePath(path).constData()) != 0)
            diskio::fail(errno, path);
    } catch (...) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(nativePath(tempPath).constData());
        throw;
    }
    // The rename is made durable too; the new file is in place whether or not this succeeds.
    syncFolder(info.absolutePath());
}
