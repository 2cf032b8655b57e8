// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/review/reviewsettings.h"
#include "core/review/reviewstore.h"
#include "tools/quiz.h"
#include "tools/reviewfit.h"
#include "ui/reviewform.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <deque>
#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

// What the review needs of the main window: the open book, the review state matched to it, the
// application folder for the settings, and setting a word's check mark in the main list.
struct ReviewHost {
    std::function<Book*()> book;
    std::shared_ptr<ReviewStore> store;
    QString appFolder;
    std::function<bool(int position, bool checked)> setListedMark;
    // The day the review runs on; the clock's date unless a test says otherwise.
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
};

// The review window: asks today's due words and a day's share of new ones, shows the answer when
// asked, and schedules each word by the grade given. A word answered "again" or "hard" comes back
// before the review ends, until it is answered "good" or "easy". Modal: the book does not change
// while it runs.
class FrmReview : public QObject {
    Q_OBJECT
public:
    FrmReview(ReviewHost host, QWidget* parent = nullptr);
    ~FrmReview() override;

    ReviewForm* form() const { return m_form; }
    // Loads the settings and the day's words and shows the window without waiting.
    void show();
    void close();
    // The words still to ask, the one on show first.
    const std::deque<ReviewItem>& remaining() const { return m_queue; }

    void cmdRevealClick();
    void grade(Grade grade);
    void cboDirectionClick();
    void spnNewPerDayChange();
    void chkCheckFailsClick();
    void cboMethodClick();
    void spnRetentionChange();
    // Fits the parameters to the book's log in the background, with progress, then shows the fit
    // before and after and keeps the new parameters only when they predict better.
    void cmdOptimiseClick();
    ReviewFit* fit() const { return m_fit; }
    // The fit needs this many answers in the log.
    static constexpr qint64 MinimumAnswersToFit = 200;

signals:
    // An answer was recorded: the count of due words changed.
    void answered();

private:
    bool meaningToWord() const;
    void rebuildQueue();
    void showQuestion();
    void saveSettings();
    void markChecked(const ReviewItem& item);
    void showFitState();
    void startFit(bool asked);
    void fitFinished(const fsrs::FitReport& report, qint64 answers);

    ReviewHost m_host;
    ReviewSettings m_settings;
    QPointer<ReviewForm> m_form;
    std::deque<ReviewItem> m_queue;
    QString m_answer;
    bool m_revealed = false;
    bool m_loading = false;
    QElapsedTimer m_clock;
    ReviewFit* m_fit;
    QPointer<QProgressDialog> m_fitProgress;
    bool m_fitAsked = false; // the learner pressed the button, rather than the monthly fit
};
