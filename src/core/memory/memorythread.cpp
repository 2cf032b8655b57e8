// SPDX-License-Identifier: GPL-3.0-or-later
#include "memorythread.h"

MemoryThread::MemoryThread(QString path) : m_path(std::move(path)), m_home(new QObject) {
    m_thread.setObjectName(QStringLiteral("translation memory"));
    m_home->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_home, &QObject::deleteLater);
    m_thread.start(QThread::LowPriority);
}

MemoryThread::~MemoryThread() {
    m_closing = true;
    // The store's connection belongs to the thread: close it there, after the running job.
    QMetaObject::invokeMethod(
        m_home, [this] { m_store.reset(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

void MemoryThread::post(std::function<void(MemoryStore&)> job) {
    QMetaObject::invokeMethod(
        m_home,
        [this, job = std::move(job)] {
            if (m_closing)
                return;
            if (!m_store) {
                m_store = std::make_unique<MemoryStore>(m_path);
                m_state = m_store->open();
            }
            job(*m_store);
        },
        Qt::QueuedConnection);
}
