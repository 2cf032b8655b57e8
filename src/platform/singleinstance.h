// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <memory>

class QLockFile;

// Makes sure only one Verbanta runs on an application folder. The lock is a file that names the
// holding process; a lock left by a process that no longer runs is taken over, so a crash never
// keeps the program from starting.
class SingleInstance {
public:
    enum class Result {
        Acquired,      // this process now holds the lock
        HeldByAnother, // another running instance holds it
        // The lock names another machine: the folder is synchronised or shared, and may be open
        // there. Whether that program still runs cannot be told from here; takeOver() goes on.
        HeldOnAnotherHost,
        Failed, // the lock file cannot be made: errorString() says why
    };

    explicit SingleInstance(const QString& appFolder);
    ~SingleInstance();

    Result acquire();
    // The machine named in the lock after acquire() returned HeldOnAnotherHost.
    const QString& otherHost() const { return m_otherHost; }
    // Takes the lock another machine left, once the user said to go on.
    Result takeOver();
    // Why the lock could not be taken, for the user, after acquire() failed.
    const QString& errorString() const { return m_error; }

private:
    QString whyNoLock() const;

    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    QString m_error;
    QString m_otherHost;
};
