// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "memorystore.h"

#include <QThread>
#include <atomic>
#include <functional>
#include <memory>

// The translation memory on a thread of its own, so that look-ups, saves and imports never keep
// the interface waiting. Jobs run there one after another, in the order they were posted, on the
// one store the thread opened; a job hands its result back by posting to an object of the
// interface thread (which drops it when that object is gone).
class MemoryThread {
public:
    explicit MemoryThread(QString path);
    // Waits for the job that is running; the jobs still queued are dropped.
    ~MemoryThread();
    MemoryThread(const MemoryThread&) = delete;
    MemoryThread& operator=(const MemoryThread&) = delete;

    // The first job opens the store; openState() says how that went.
    void post(std::function<void(MemoryStore& store)> job);
    // For jobs that only the latest request matters for (the look-up as the caret moves): a
    // number that a job compares with the one it was posted with.
    unsigned nextTicket() { return ++m_ticket; }
    bool isLatest(unsigned ticket) const { return ticket == m_ticket.load(); }

    // How opening went; valid inside jobs.
    MemoryStore::OpenState openState() const { return m_state; }

private:
    QString m_path;
    QThread m_thread;
    QObject* m_home; // lives on m_thread; jobs are delivered to it
    std::unique_ptr<MemoryStore> m_store;
    MemoryStore::OpenState m_state = MemoryStore::OpenState::Failed;
    std::atomic<unsigned> m_ticket{0};
    std::atomic<bool> m_closing{false};
};
