// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/review/answerlog.h"
#include "core/review/fsrsparameters.h"
#include "core/review/reviewsettings.h"
#include "core/review/reviewstore.h"
#include "tools/frmprogress.h"
#include "tools/frmreview.h"
#include "ui/progressform.h"
#include "ui/reviewform.h"
#include "wordbook/mainwindow_fixture.h"
#include "wordbook/mainwindowreview.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QPieSeries>
#include <QPieSlice>
#include <QSpinBox>
#include <QStackedBarSeries>

namespace {

const QDate Today(2026, 5, 20);

class ReviewTest : public MainWindowTest {
protected:
    void startReview(const QStringList& words) {
        startWith(words);
        main()->review()->setClock([] { return QDateTime(Today, QTime(10, 0)); });
        QCoreApplication::processEvents();
    }
    FrmReview* openReview() {
        key(Qt::Key_F6);
        FrmReview* r = main()->review()->reviewWindow();
        EXPECT_NE(r, nullptr);
        if (r)
            EXPECT_TRUE(r->form()->isVisible());
        return r;
    }
    QString question(FrmReview* r) const { return r->form()->lblQuestion->text(); }
    // Reveals the answer and grades it with a digit key.
    void answer(FrmReview* r, int digit) {
        click(r->form()->cmdReveal);
        QTest::keyClick(r->form(), Qt::Key(Qt::Key_0 + digit));
    }
    QList<LoggedAnswer> logged() const {
        const auto parsed =
            answerlog::parse(app.read(QStringLiteral("英単語/") + answerlog::FileName));
        return {parsed.answers.begin(), parsed.answers.end()};
    }
    QString dueLabel() const {
        return form()->lblDue->isVisible() ? form()->lblDue->text() : QString();
    }
};

TEST_F(ReviewTest, ReviewAsksRevealsAndSchedulesByButtonAndKey) {
    startReview({"cat", "bird", "ant"}); // records 1, 2, 3: asked in that order when new
    EXPECT_EQ(dueLabel(), QStringLiteral("今日の復習 3語"));
    EXPECT_TRUE(form()->IdmReview->isVisible());
    EXPECT_EQ(form()->IdmReview->shortcut(), QKeySequence(Qt::Key_F6));

    FrmReview* r = openReview();
    ASSERT_NE(r, nullptr);
    ReviewForm* f = r->form();
    EXPECT_EQ(question(r), QStringLiteral("cat"));
    EXPECT_EQ(f->lblLeft->text(), QStringLiteral(" 3"));
    EXPECT_TRUE(f->lblAnswer->text().isEmpty());
    EXPECT_FALSE(f->cmdGood->isEnabled());
    // No grade before the answer was seen.
    QTest::keyClick(f, Qt::Key_3);
    EXPECT_TRUE(logged().isEmpty());

    click(f->cmdReveal);
    EXPECT_EQ(f->lblAnswer->text(), QStringLiteral("m:cat"));
    click(f->cmdGood);
    EXPECT_EQ(question(r), QStringLiteral("bird"));
    answer(r, 1); // again: bird comes back at the end
    EXPECT_EQ(question(r), QStringLiteral("ant"));
    EXPECT_EQ(f->lblLeft->text(), QStringLiteral(" 2"));

    // The other direction asks the meaning; the choice is kept.
    f->cboDirection->setCurrentIndex(1);
    emit f->cboDirection->activated(1);
    EXPECT_EQ(question(r), QStringLiteral("m:ant"));
    answer(r, 4);
    EXPECT_EQ(question(r), QStringLiteral("m:bird"));
    answer(r, 2); // hard: asked once more, until it is answered "good"
    EXPECT_EQ(question(r), QStringLiteral("m:bird"));
    answer(r, 3);
    EXPECT_EQ(question(r), QStringLiteral("今日の復習はこれで終わりです"));
    EXPECT_FALSE(f->cmdReveal->isEnabled());
    EXPECT_TRUE(ReviewSettings::read(app.path()).meaningToWord);

    const QList<LoggedAnswer> log = logged();
    ASSERT_EQ(log.size(), 5);
    const std::pair<QString, Grade> expected[] = {{"cat", Grade::Good},
                                                  {"bird", Grade::Again},
                                                  {"ant", Grade::Easy},
                                                  {"bird", Grade::Hard},
                                                  {"bird", Grade::Good}};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(log[k].word, expected[k].first);
        EXPECT_EQ(log[k].grade, expected[k].second);
        EXPECT_EQ(log[k].time, QDateTime(Today, QTime(10, 0)).toSecsSinceEpoch());
    }
    EXPECT_EQ(log[0].recordNo, 1);

    click(f->cmdClose);
    QCoreApplication::processEvents();
    EXPECT_TRUE(app.exists(QStringLiteral("英単語/") + ReviewStore::FileName));
    EXPECT_EQ(dueLabel(), QStringLiteral("今日の復習 0語"));
    // The book's own files are not touched by a review.
    EXPECT_EQ(checked(), QStringList());

    // A new book is scheduled by FSRS: the word missed today comes back tomorrow, the one
    // answered "good" the day after, the easy one in eight days.
    main()->review()->setClock([] { return QDateTime(Today.addDays(1), QTime(8, 0)); });
    main()->review()->refresh();
    EXPECT_EQ(dueLabel(), QStringLiteral("今日の復習 1語"));
    main()->review()->setClock([] { return QDateTime(Today.addDays(2), QTime(8, 0)); });
    main()->review()->refresh();
    EXPECT_EQ(dueLabel(), QStringLiteral("今日の復習 2語"));
    main()->review()->setClock([] { return QDateTime(Today.addDays(8), QTime(8, 0)); });
    main()->review()->refresh();
    EXPECT_EQ(dueLabel(), QStringLiteral("今日の復習 3語"));
}

TEST_F(ReviewTest, SchedulingSettingsSwitchTheMethodKeepTheRetentionAndFitInTheBackground) {
    startReview({"a", "b", "c"});
    FrmReview* r = openReview();
    ASSERT_NE(r, nullptr);
    ReviewForm* f = r->form();
    EXPECT_EQ(f->cboMethod->currentText(), QStringLiteral("FSRS"));
    EXPECT_EQ(f->spnRetention->value(), 90);
    EXPECT_EQ(f->lblFit->text(), QStringLiteral("FSRS のパラメーター: 既定値"));
    f->spnRetention->setValue(80);
    EXPECT_EQ(ReviewSettings::read(app.path()).retentionPercent, 80);
    answer(r, 4); // easy: 8.3 days of stability, planned at 80 %
    const QString book = app.path() + QStringLiteral("/英単語");
    f->cboMethod->setCurrentIndex(1);
    emit f->cboMethod->activated(1);
    EXPECT_EQ(BookSchedule::read(book).method, ScheduleMethod::Sm2);

    dialogs.expectMessage(
        Answer::Ok, QStringLiteral("最適化には回答の記録が200件以上必要です（今は1件です）。"));
    click(f->cmdOptimise);
    EXPECT_TRUE(dialogs.done());

    // A log of 400 words' answers, from a learner who forgets everything after three days.
    QByteArray log = app.read(QStringLiteral("英単語/") + answerlog::FileName);
    for (int k = 0; k < 400; ++k) {
        int day = -100 + k % 50;
        for (int gap : {0, 1, 3, 6, 2, 5, 9}) {
            day += gap;
            const Grade g = gap > 3 ? Grade::Again : Grade::Good;
            log += answerlog::line({QDateTime(Today.addDays(day), QTime(9, 0)).toSecsSinceEpoch(),
                                    QStringLiteral("x%1").arg(k), 100 + k, g, 2});
        }
    }
    app.write(QStringLiteral("英単語/") + answerlog::FileName, log);
    dialogs.expectMessage(Answer::Ok,
                          QStringLiteral("予測が良くなったため、新しいパラメーターを使います。"));
    click(f->cmdOptimise);
    EXPECT_FALSE(f->cmdOptimise->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(dialogs.done(), 120000);
    EXPECT_TRUE(dialogs.lastBox().text.contains(QStringLiteral("対数損失: ")));
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("最適化"));
    EXPECT_TRUE(f->cmdOptimise->isEnabled());
    const BookSchedule fitted = BookSchedule::read(book);
    EXPECT_EQ(fitted.fittedOn, Today);
    EXPECT_NE(fitted.w, fsrs::defaults());
    EXPECT_EQ(f->lblFit->text(), QStringLiteral("FSRS のパラメーター: 2026/05/20 に最適化"));
}

TEST_F(ReviewTest, ThreeMissesInARowCheckTheWordOnlyWithTheOptionOn) {
    startReview({"a", "b"});
    FrmReview* r = openReview();
    ASSERT_NE(r, nullptr);
    EXPECT_FALSE(r->form()->chkCheckFails->isChecked());
    for (int k = 0; k < 5; ++k) // a, b, a, b, a: a missed three times
        answer(r, 1);
    EXPECT_EQ(checked(), QStringList());
    EXPECT_EQ(question(r), QStringLiteral("b"));

    click(r->form()->chkCheckFails);
    EXPECT_TRUE(ReviewSettings::read(app.path()).checkAfterThreeFails);
    answer(r, 1); // b's third miss in a row
    EXPECT_EQ(checked(), QStringList{"b"});
    answer(r, 3); // a right at last
    answer(r, 1); // b again
    EXPECT_EQ(checked(), QStringList{"b"});
}

// A right answer ends a run of misses: the next day's miss is the first of a new run.
TEST_F(ReviewTest, ARightAnswerEndsARunOfMisses) {
    startReview({"a"});
    FrmReview* r = openReview();
    ASSERT_NE(r, nullptr);
    click(r->form()->chkCheckFails);
    answer(r, 1);
    answer(r, 1);
    answer(r, 3);
    EXPECT_EQ(question(r), QStringLiteral("今日の復習はこれで終わりです"));
    click(r->form()->cmdClose);
    QCoreApplication::processEvents();

    main()->review()->setClock([] { return QDateTime(Today.addDays(1), QTime(8, 0)); });
    r = openReview();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(question(r), QStringLiteral("a"));
    answer(r, 1);
    EXPECT_EQ(logged().size(), 4);
    EXPECT_EQ(checked(), QStringList());
}

TEST_F(ReviewTest, TurnedOffTheWindowIsAsBefore) {
    ReviewSettings off;
    off.enabled = false;
    off.write(app.path());
    startReview({"a", "b"});
    EXPECT_FALSE(form()->IdmReview->isVisible());
    EXPECT_FALSE(form()->IdmProgress->isVisible());
    EXPECT_FALSE(form()->lblDue->isVisible());
    key(Qt::Key_F6);
    key(Qt::Key_F7);
    EXPECT_EQ(main()->review()->reviewWindow(), nullptr);
    EXPECT_EQ(main()->review()->progressWindow(), nullptr);
    EXPECT_EQ(app.entries(QStringLiteral("英単語")),
              (QStringList{"means.vtd", "reis.vtd", "words.vtd"}));
}

TEST_F(ReviewTest, DamagedStateIsReportedAndTheBookOpens) {
    writeSettings();
    writeBook({"a", "b"});
    app.write(QStringLiteral("英単語/") + ReviewStore::FileName, "VerbantaReview\t1\t0\n1\tx\n");
    dialogs.expectMessage(Answer::Ok, QStringLiteral("壊れていた"));
    ASSERT_TRUE(start());
    QCoreApplication::processEvents();
    EXPECT_TRUE(dialogs.done());
    EXPECT_EQ(listed(), (QStringList{"a", "b"}));
    EXPECT_EQ(dueLabel(), QStringLiteral("今日の復習 2語"));
    const QStringList files = app.entries(QStringLiteral("英単語"));
    EXPECT_EQ(files.filter(QStringLiteral("Stray-")).size(), 1);
}

TEST_F(ReviewTest, ProgressChartsShowTheLogsFiguresAndSaveAsPng) {
    writeSettings();
    writeBook({"a", "b", "c"});
    QByteArray log;
    auto add = [&](int daysAgo, const char* word, qint32 record, Grade g) {
        log += answerlog::line({QDateTime(Today.addDays(-daysAgo), QTime(9, 0)).toSecsSinceEpoch(),
                                QString::fromLatin1(word), record, g, 5});
    };
    add(2, "a", 1, Grade::Good); // due 2 days ago + 1
    add(2, "b", 2, Grade::Again);
    add(0, "b", 2, Grade::Good); // due tomorrow
    add(0, "a", 1, Grade::Easy); // 6 days from today
    app.write(QStringLiteral("英単語/") + answerlog::FileName, log + "1779");
    ASSERT_TRUE(start());
    main()->review()->setClock([] { return QDateTime(Today, QTime(18, 0)); });
    key(Qt::Key_F7);
    FrmProgress* p = main()->review()->progressWindow();
    ASSERT_NE(p, nullptr);
    ProgressForm* f = p->form();
    EXPECT_TRUE(f->isVisible());

    auto* answers = qobject_cast<QStackedBarSeries*>(f->chartAnswers->chart()->series().value(0));
    ASSERT_NE(answers, nullptr);
    ASSERT_EQ(answers->barSets().size(), 4);
    auto day = [&](int index) {
        QList<int> out;
        for (QBarSet* set : answers->barSets())
            out << int(set->at(index));
        return out;
    };
    EXPECT_EQ(day(27), (QList<int>{1, 0, 1, 0}));
    EXPECT_EQ(day(28), (QList<int>{0, 0, 0, 0}));
    EXPECT_EQ(day(29), (QList<int>{0, 0, 1, 1}));
    auto* due = qobject_cast<QAbstractBarSeries*>(f->chartDue->chart()->series().value(0));
    ASSERT_NE(due, nullptr);
    EXPECT_EQ(due->barSets()[0]->at(1), 1);
    EXPECT_EQ(due->barSets()[0]->at(6), 1);
    auto* states = qobject_cast<QPieSeries*>(f->chartStates->chart()->series().value(0));
    ASSERT_NE(states, nullptr);
    QList<int> stateCounts;
    for (QPieSlice* slice : states->slices())
        stateCounts << int(slice->value());
    EXPECT_EQ(stateCounts, (QList<int>{1, 2, 0}));

    emit answers->hovered(true, 29, answers->barSets()[2]);
    EXPECT_EQ(f->lblFigures->text(),
              QStringLiteral("5/20  回答 2 回（もう一度 0・難しい 0・正解 1・簡単 1）"));
    emit due->hovered(true, 1, due->barSets()[0]);
    EXPECT_EQ(f->lblFigures->text(), QStringLiteral("5/21  復習予定 1 語"));

    // Both words were answered today on a later day than before, and recalled. The book has a
    // history from before FSRS, so SM-2 forecasts: b tomorrow, six days later and fifteen after
    // that, a in six days and sixteen after that.
    auto* retention = qobject_cast<QBarSeries*>(f->chartRetention->chart()->series().value(0));
    ASSERT_NE(retention, nullptr);
    EXPECT_EQ(retention->barSets()[0]->at(11), 100);
    EXPECT_EQ(retention->barSets()[0]->at(10), 0);
    emit retention->hovered(true, 11, retention->barSets()[0]);
    EXPECT_EQ(f->lblFigures->text(),
              QStringLiteral("5/14 〜 5/20  記憶率 100.0 %（2 回中、目標 90 %）"));
    emit retention->hovered(true, 10, retention->barSets()[0]);
    EXPECT_EQ(f->lblFigures->text(), QStringLiteral("5/7 〜 5/13  復習なし（目標 90 %）"));
    auto* forecast = qobject_cast<QBarSeries*>(f->chartForecast->chart()->series().value(0));
    ASSERT_NE(forecast, nullptr);
    QList<int> forecastDays;
    for (int d = 0; d < 30; ++d)
        if (forecast->barSets()[0]->at(d) > 0)
            forecastDays << d;
    EXPECT_EQ(forecastDays, (QList<int>{1, 6, 7, 22}));
    EXPECT_EQ(forecast->barSets()[0]->at(22), 2);
    emit forecast->hovered(true, 7, forecast->barSets()[0]);
    EXPECT_EQ(f->lblFigures->text(), QStringLiteral("5/27  復習の見込み 1 回"));

    const QString png = app.file(QStringLiteral("chart.png"));
    dialogs.expectSaveFile(png);
    click(f->cmdSave);
    const QByteArray bytes = app.read(QStringLiteral("chart.png"));
    EXPECT_TRUE(bytes.startsWith("\x89PNG"));
    EXPECT_FALSE(QImage::fromData(bytes).isNull());
}

} // namespace
