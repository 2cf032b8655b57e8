// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/files/atomicfile.h"

#include <QString>
#include <algorithm>

// Stands in for a disk that fills up: while it lives, the program's writes succeed for budget
// bytes and then fail with "no space left", the bytes before that point reaching the file as on
// a real disk. Syncs can be made to fail instead.
class FailingDisk : public DiskGate {
public:
    // budget < 0: no limit (for a disk whose syncs fail).
    explicit FailingDisk(qint64 budget) : m_left(budget) { m_previous = setDiskGate(this); }
    ~FailingDisk() override { setDiskGate(m_previous); }
    FailingDisk(const FailingDisk&) = delete;
    FailingDisk& operator=(const FailingDisk&) = delete;

    void failSyncs() { m_syncFails = true; }
    // Only the files of this name are on the failing disk; the others are written as usual.
    void onlyFor(const QString& fileName) { m_only = fileName; }
    // Only syncs of files with this name fail (the temporary file of a rewrite included, whose
    // name is this one and a suffix).
    void failSyncsOf(const QString& fileName) { m_syncFailName = fileName; }

    qint64 admit(const QString& path, qint64 size) override {
        if (m_left < 0 || !affects(path))
            return size;
        const qint64 n = std::min(size, m_left);
        m_left -= n;
        return n;
    }
    bool syncs(const QString& path) override {
        if (!m_syncFailName.isEmpty())
            return !path.section(u'/', -1).startsWith(m_syncFailName);
        return !(m_syncFails && affects(path));
    }

private:
    bool affects(const QString& path) const {
        return m_only.isEmpty() || path.section(u'/', -1) == m_only;
    }

    QString m_only;
    qint64 m_left; // -1: no limit
    bool m_syncFails = false;
    QString m_syncFailName;
    DiskGate* m_previous = nullptr;
};
