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

// A fresh file beside path, named path + "." + six characters, created exclusively.
int createTemporaryBeside(const QString& path, QString& tempPath) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString suffix;
        for (int i = 0; i < 6; ++i)
            suffix += QLatin1Char(letters[QRandomGenerator::global()->bounded(62)]);
        tempPath = path + u'.' + suffix;
        const int fd =
            ::open(nativePath(tempPath).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
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

} // namespace diskio

void writeFileAtomically(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        throw RuntimeFailure(failure::PathNotFound, info.fileName());
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
