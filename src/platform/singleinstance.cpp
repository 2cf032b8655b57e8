// SPDX-License-Identifier: GPL-3.0-or-later
#include "singleinstance.h"

#include "core/files/systemerror.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

SingleInstance::SingleInstance(const QString& appFolder)
    : m_path(appFolder + QStringLiteral("/verbanta.lock")),
      m_lock(std::make_unique<QLockFile>(m_path)) {
    // Never treat a live holder's lock as stale by age; a dead holder is detected by its pid.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Result SingleInstance::acquire() {
    m_error.clear();
    if (m_lock->isLocked() || m_lock->tryLock(0))
        return Result::Acquired;
    if (m_lock->error() == QLockFile::LockFailedError) {
        // The lock of a process that is gone was already taken over by tryLock: a lock that
        // still names its holder belongs to a running instance.
        qint64 pid = 0;
        QString host, app;
        if (m_lock->getLockInfo(&pid, &host, &app)) {
            // Its process number means nothing here: the lock came with the folder from another
            // machine.
            if (!host.isEmpty() && host != QSysInfo::machineHostName()) {
                m_otherHost = host;
                return Result::HeldOnAnotherHost;
            }
            return Result::HeldByAnother;
        }
        // A lock file nobody wrote whole (a crash or a full disk while it was made) is no one's.
        if (!QFileInfo(m_path).isDir() && m_lock->removeStaleLockFile() && m_lock->tryLock(0))
            return Result::Acquired;
    }
    m_error = whyNoLock();
    return Result::Failed;
}

SingleInstance::Result SingleInstance::takeOver() {
    m_error.clear();
    if (m_lock->removeStaleLockFile() && m_lock->tryLock(0))
        return Result::Acquired;
    m_error = whyNoLock();
    return Result::Failed;
}

QString SingleInstance::whyNoLock() const {
    const QFileInfo lock(m_path);
    QString reason;
    if (lock.isDir()) {
        reason = QStringLiteral("同じ名前のﾌｫﾙﾀﾞがあります。");
    } else {
        // Let the file system say what is wrong: a file beside the lock meets the same fate.
        QFile probe(m_path + QStringLiteral(".probe"));
        if (!probe.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            reason = systemerror::fromSystemText(probe.errorString());
        } else {
            const QByteArray bytes(512, 'x');
            if (probe.write(bytes) != bytes.size() || !probe.flush())
                reason = systemerror::fromSystemText(probe.errorString());
            probe.close();
            probe.remove();
        }
        if (reason.isEmpty())
            reason = QStringLiteral("原因はわかりません。");
    }
    return QStringLiteral("ﾛｯｸﾌｧｲﾙ「") + m_path +
           QStringLiteral("」を作成できないため、Verbantaを起動できません。\r\n") + reason;
}
