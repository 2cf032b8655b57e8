// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

class FrmMain;
class FrmProgress;
class FrmReview;
class ReviewStore;

// The review's part of the main window: the menu items "復習" and "学習の記録", and the count of
// words due today beside the word count. It keeps the open book's review state, follows the book
// as its words change, and shows nothing when the review is turned off in its settings file.
class MainWindowReview : public QObject {
    Q_OBJECT
public:
    explicit MainWindowReview(FrmMain* main);
    ~MainWindowReview() override;

    void IdmReviewClick();
    void IdmProgressClick();
    // Reads the settings and shows the items and the due count, or hides them when off.
    void refresh();
    int dueToday() const { return m_due; }

    FrmReview* reviewWindow() const;
    FrmProgress* progressWindow() const;
    // The clock the review goes by; tests set the day.
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }

private:
    // The open book's review state matched to its words; null without an open book.
    std::shared_ptr<ReviewStore> openStore();
    void flushStore();
    void followTrialItem();

    FrmMain* m_main;
    std::shared_ptr<ReviewStore> m_store;
    QTimer m_refresh;
    int m_due = -1;
    std::function<QDateTime()> m_now = [] { return QDateTime::currentDateTime(); };
    QPointer<QObject> m_review;   // a FrmReview
    QPointer<QObject> m_progress; // a FrmProgress
};
