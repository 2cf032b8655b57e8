#include "singleinstance.h"

#include <QLockFile>

SingleInstance::SingleInstance(const QString& appFolder)
    : m_lock(std::make_unique<QLockFile>(appFolder + QStringLiteral("/verbanta.lock"))) {
    // Never treat a live holder's lock as stale by age; a dead holder is detected by its pid.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire() {
    if (m_lock->isLocked())
        return true;
    if (m_lock->tryLock(0))
        return true;
    if (m_lock->error() == QLockFile::LockFailedError && m_lock->removeStaleLockFile())
        return m_lock->tryLock(0);
    return false;
}
