// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

// Runs body in a child process that sees folder as the root of an empty read-only file system,
// as on a disk mounted read-only, and returns what body returned. nullopt when this machine lets
// no process mount one (no user namespaces); a body that crashes returns "crashed".
inline std::optional<QByteArray> runOnReadOnlyFolder(const QString& folder,
                                                     const std::function<QByteArray()>& body) {
    int channel[2];
    if (::pipe(channel) != 0)
        return std::nullopt;
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    const pid_t child = ::fork();
    if (child < 0)
        return std::nullopt;
    if (child == 0) {
        ::close(channel[0]);
        auto writeTo = [](const char* path, const QByteArray& text) {
            const int fd = ::open(path, O_WRONLY);
            const bool written =
                fd >= 0 && ::write(fd, text.constData(), text.size()) == text.size();
            if (fd >= 0)
                ::close(fd);
            return written;
        };
        const QByteArray native = QFile::encodeName(folder);
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0 ||
            !writeTo("/proc/self/setgroups", "deny") ||
            !writeTo("/proc/self/uid_map", "0 " + QByteArray::number(uid) + " 1") ||
            !writeTo("/proc/self/gid_map", "0 " + QByteArray::number(gid) + " 1") ||
            ::mount("none", native.constData(), "tmpfs", MS_RDONLY, nullptr) != 0)
            ::_exit(77);
        const QByteArray result = body();
        const bool sent = ::write(channel[1], result.constData(), result.size()) == result.size();
        ::_exit(sent ? 0 : 1);
    }
    ::close(channel[1]);
    QByteArray result;
    char buffer[4096];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) != 0;) {
        if (n > 0)
            result.append(buffer, n);
        else if (errno != EINTR)
            break;
    }
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
        return std::nullopt;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return QByteArray("crashed");
    return result;
}
