// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/review/fsrsoptimiser.h"

#include <QObject>
#include <QPointer>
#include <QThread>
#include <atomic>

// Fits a book's FSRS parameters to its answer log on a thread of its own, so the window stays
// responsive; the window polls the progress and hears the result through finished().
class ReviewFit : public QObject {
    Q_OBJECT
public:
    explicit ReviewFit(QObject* parent = nullptr);
    ~ReviewFit() override;

    // Reads the log at logPath and fits from it; false when a fit is running already.
    bool start(const QString& logPath, const fsrs::Parameters& current);
    void cancel() { m_cancel = true; }
    bool running() const { return m_thread && !m_thread->isFinished(); }
    int done() const { return m_done; }
    int total() const { return m_total; }

signals:
    // The fit ended (or was cancelled); answers is how many the log held.
    void finished(const fsrs::FitReport& report, qint64 answers);

private:
    QPointer<QThread> m_thread;
    std::atomic<bool> m_cancel{false};
    std::atomic<int> m_done{0};
    std::atomic<int> m_total{1};
};
