// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/reviewfit.h"

#include "core/review/answerlog.h"

ReviewFit::ReviewFit(QObject* parent) : QObject(parent) {}

ReviewFit::~ReviewFit() {
    if (m_thread) {
        m_cancel = true;
        m_thread->wait();
        delete m_thread.data();
    }
}

bool ReviewFit::start(const QString& logPath, const fsrs::Parameters& current) {
    if (running())
        return false;
    if (m_thread) {
        m_thread->wait();
        delete m_thread.data();
    }
    m_cancel = false;
    m_done = 0;
    m_total = 1;
    m_thread = QThread::create([this, logPath, current] {
        const answerlog::Parsed parsed = answerlog::parse(answerlog::read(logPath));
        const fsrs::Histories histories = fsrs::historiesOf(parsed.answers);
        fsrs::FitOptions options;
        options.progress = [this](int done, int total) {
            m_done = done;
            m_total = total;
            return !m_cancel.load();
        };
        const fsrs::FitReport report = fsrs::optimise(histories, current, options);
        const qint64 answers = qint64(parsed.answers.size());
        // Delivered on the window's thread; dropped if the window has gone by then.
        QMetaObject::invokeMethod(
            this, [this, report, answers] { emit finished(report, answers); },
            Qt::QueuedConnection);
    });
    m_thread->start(QThread::LowPriority);
    return true;
}
