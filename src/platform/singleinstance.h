#pragma once

#include <QString>
#include <memory>

class QLockFile;

// Makes sure only one Verbanta runs on an application folder. The lock is a file that names the
// holding process; a lock left by a process that no longer runs is taken over, so a crash never
// keeps the program from starting.
class SingleInstance {
public:
    explicit SingleInstance(const QString& appFolder);
    ~SingleInstance();

    // True when this process now holds the lock; false when another running instance does.
    bool acquire();

private:
    std::unique_ptr<QLockFile> m_lock;
};
