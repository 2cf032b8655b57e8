// SPDX-License-Identifier: GPL-3.0-or-later
#include "atomicfile.h"

#include "failure.h"
#include "recordfile.h"
#include "systemerror.h"

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

DiskGate* g_gate = nullptr;

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

DiskGate* setDiskGate(DiskGate* gate) {
    DiskGate* previous = g_gate;
    g_gate = gate;
    return previous;
}

namespace diskio {

void fail(int error, const QString& path) {
    const QString name = QFileInfo(path).fileName();
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        throw RuntimeFailure(failure::DiskFull, name);
    case EACCES:
    case EPERM:
        throw RuntimeFailure(failure::PermissionDenied, name);
    case EROFS:
        // A folder on a read-only disk can't be put right by changing permissions: say so.
        throw RuntimeFailure(failure::PermissionDenied,
                             name + QStringLiteral("：") + systemerror::text(error));
    case ENOENT:
    case ENOTDIR:
        throw RuntimeFailure(failure::PathNotFound, name);
    case EIO:
        throw RuntimeFailure(failure::DeviceIo, name);
    default:
        throw RuntimeFailure(failure::DeviceIo,
                             name + QStringLiteral("：") + systemerror::text(error));
    }
}

void writeAll(int fd, const QString& path, const char* data, qint64 size, qint64 offset) {
    qint64 allowed = size;
    if (g_gate)
        allowed = std::clamp<qint64>(g_gate->admit(path, size), 0, size);
    qint64 done = 0;
    while (done < allowed) {
        const ssize_t n =
            offset < 0 ? ::write(fd, data + done, size_t(allowed - done))
                       : ::pwrite(fd, data + done, size_t(allowed - done), off_t(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno, path);
        }
        if (n == 0)
            fail(ENOSPC, path);
        done += n;
    }
    if (allowed < size)
        fail(ENOSPC, path);
}

void sync(int fd, const QString& path) {
    if (g_gate && !g_gate->syncs(path))
        fail(EIO, path);
    if (::fsync(fd) != 0)
        fail(errno, path);
}

void copyFile(const QString& from, const QString& to) {
    const int in = ::open(nativePath(from).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        fail(errno, from);
    const int out =
        ::open(nativePath(to).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (out < 0) {
        const int error = errno;
        ::close(in);
        fail(error, to);
    }
    try {
        QByteArray buffer(1 << 20, Qt::Uninitialized);
        for (;;) {
            const ssize_t n = ::read(in, buffer.data(), size_t(buffer.size()));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                fail(errno, from);
            if (n == 0)
                break;
            writeAll(out, to, buffer.constData(), n);
        }
        sync(out, to);
    } catch (...) {
        ::close(in);
        ::close(out);
        throw;
    }
    ::close(in);
    if (::close(out) != 0)
        fail(errno, to);
}

void keepPermissionsOf(const QString& model, const QString& path) {
    struct stat old {};
    if (::stat(nativePath(model).constData(), &old) != 0)
        return;
    if (::chmod(nativePath(path).constData(), old.st_mode & 07777) != 0)
        fail(errno, path);
}

} // namespace diskio

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
