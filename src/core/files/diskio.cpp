// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskio.h"

#include "core/files/failure.h"
#include "core/files/systemerror.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

DiskGate* g_gate = nullptr;

QByteArray nativePath(const QString& path) {
    return QFile::encodeName(path);
}

} // namespace

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

void removeIfPresent(const QString& path) {
    if (::unlink(nativePath(path).constData()) != 0 && errno != ENOENT)
        fail(errno, path);
}

void rename(const QString& from, const QString& to, const QString& failurePath) {
    if (::rename(nativePath(from).constData(), nativePath(to).constData()) != 0)
        fail(errno, failurePath);
}

void installLinkOf(const QString& source, const QString& target) {
    const QString next = target + QStringLiteral(".next");
    removeIfPresent(next);
    if (::link(nativePath(source).constData(), nativePath(next).constData()) != 0)
        copyFile(source, next);
    keepPermissionsOf(target, next);
    rename(next, target, target);
    // Renaming a link onto the file it already is (a roll-forward of a set whose file was put in
    // place before the kill) does nothing and leaves the link behind.
    removeIfPresent(next);
}

} // namespace diskio

void syncFolder(const QString& folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}
