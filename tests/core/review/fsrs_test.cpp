// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/book.h"
#include "core/review/answerlog.h"
#include "core/review/fsrs.h"
#include "core/review/fsrsoptimiser.h"
#include "core/review/fsrsparameters.h"
#include "core/review/progress.h"
#include "core/review/reviewstore.h"
#include "support/bookbuilder.h"
#include "support/tempappfolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace {

const QDate Day1(2026, 3, 2);

// The published FSRS-6 defaults, written out again so that a changed default shows.
const double W[21] = {0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194,
                      0.001,  1.8722, 0.1666, 0.796,  1.4835, 0.0614, 0.2629,
                      1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542};

// The formulas as the FSRS-6 description gives them, one line each.
const double F = std::pow(0.9, -1 / W[20]) - 1;
double R(double t, double s) {
    return std::pow(1 + F * t / s, -W[20]);
}
int I(double s, double r) {
    return int(std::round(s / F * (std::pow(r, -1 / W[20]) - 1)));
}
double D0(int g) {
    return W[4] - std::exp(W[5] * (g - 1)) + 1;
}
double nextD(double d, int g) {
    const double moved = d - W[6] * (g - 3) * (10 - d) / 9;
    return std::clamp(W[7] * D0(4) + (1 - W[7]) * moved, 1.0, 10.0);
}
double recallS(double s, double d, double r, int g) {
    const double hard = g == 2 ? W[15] : 1, easy = g == 4 ? W[16] : 1;
    return s * (1 + std::exp(W[8]) * (11 - d) * std::pow(s, -W[9]) *
                        (std::exp(W[10] * (1 - r)) - 1) * hard * easy);
}
double lapseS(double s, double d, double r) {
    return std::min(W[11] * std::pow(d, -W[12]) * (std::pow(s + 1, W[13]) - 1) *
                        std::exp(W[14] * (1 - r)),
                    s / std::exp(W[17] * W[18]));
}
double sameDayS(double s, int g) {
    double inc = std::exp(W[17] * (g - 3 + W[18])) * std::pow(s, -W[19]);
    return s * (g >= 3 ? std::max(inc, 1.0) : inc);
}

TEST(FsrsScheduler, FollowsThePublishedFormulasToTheDay) {
    for (int k = 0; k < 21; ++k)
        EXPECT_DOUBLE_EQ(fsrs::defaults()[size_t(k)], W[k]) << "w" << k;
    const fsrs::Parameters& w = fsrs::defaults();
    // Good on day 1, then on each due day: good, again, good the same day, hard, easy.
    double s = W[2], d = D0(3);
    Schedule sched = fsrs::answer({}, Grade::Good, 0, Day1, w, 0.9);
    EXPECT_NEAR(sched.stability, s, 1e-3);
    EXPECT_NEAR(sched.difficulty, d, 1e-3);
    EXPECT_EQ(sched.due, Day1.addDays(I(s, 0.9)));

    struct Step {
        Grade grade;
        bool sameDay;
    };
    const Step steps[] = {{Grade::Good, false}, {Grade::Again, false}, {Grade::Good, true},
                          {Grade::Hard, false}, {Grade::Easy, false},  {Grade::Good, false}};
    QDate day = Day1;
    std::vector<int> expectedDays, actualDays;
    for (const Step& step : steps) {
        const int g = int(step.grade);
        const QDate today = step.sameDay ? day : sched.due;
        const int elapsed = int(day.daysTo(today));
        if (step.sameDay)
            s = sameDayS(s, g);
        else if (g == 1)
            s = lapseS(s, d, R(elapsed, s));
        else
            s = recallS(s, d, R(elapsed, s), g);
        d = nextD(d, g);
        sched = fsrs::answer(sched, step.grade, elapsed, today, w, 0.9);
        day = today;
        // The scheduler keeps the memory in thousandths.
        EXPECT_NEAR(sched.stability, s, 2e-3 + 2e-3 * s) << "grade " << g;
        EXPECT_NEAR(sched.difficulty, d, 2e-3) << "grade " << g;
        expectedDays.push_back(int(Day1.daysTo(today.addDays(std::max(1, I(s, 0.9))))));
        actualDays.push_back(int(Day1.daysTo(sched.due)));
    }
    EXPECT_EQ(actualDays, expectedDays);
    EXPECT_EQ(sched.lapses, 1);
    // The first answers' stabilities and difficulties come straight from w0..w3 and D0.
    for (int g = 1; g <= 4; ++g) {
        const fsrs::Memory m = fsrs::first(Grade(g), w);
        EXPECT_DOUBLE_EQ(m.stability, W[g - 1]);
        EXPECT_NEAR(m.difficulty, std::clamp(D0(g), 1.0, 10.0), 1e-12);
    }
}

TEST(FsrsScheduler, DesiredRetentionSetsTheIntervals) {
    const fsrs::Parameters& w = fsrs::defaults();
    EXPECT_EQ(fsrs::intervalDays(40, 0.9, w), 40); // stability is the interval at 90 %
    for (double r : {0.7, 0.8, 0.85, 0.95, 0.97})
        EXPECT_EQ(fsrs::intervalDays(40, r, w), I(40, r)) << r;
    EXPECT_GT(I(40, 0.8), 100); // the curve's long tail: 80 % is far more than twice as long
    EXPECT_LT(I(40, 0.97), 12);
    EXPECT_EQ(fsrs::intervalDays(0.01, 0.97, w), 1);   // never the same day
    EXPECT_EQ(fsrs::intervalDays(1e6, 0.7, w), 36500); // nor past a hundred years
    EXPECT_NEAR(fsrs::retrievability(40, 40, w), 0.9, 1e-12);

    // The store plans by the retention it is given, and keeps it in range.
    TempAppFolder app;
    const QString folder = app.file(QStringLiteral("book"));
    BookBuilder(folder).add(QStringLiteral("w"), QStringLiteral("m"), {}).write();
    Book book(folder);
    book.open();
    std::vector<int> intervals;
    for (double r : {0.97, 0.9, 0.7, 0.5}) {
        QDir(folder).remove(ReviewStore::FileName);
        QDir(folder).remove(answerlog::FileName);
        QDir(folder).remove(BookSchedule::FileName);
        ReviewStore store(folder);
        store.setDesiredRetention(r);
        store.load(book.index());
        ASSERT_EQ(store.schedule().method, ScheduleMethod::Fsrs);
        const qint32 rec = book.index().at(0).recordNo;
        store.answer(QStringLiteral("w"), rec, Grade::Easy, QDateTime(Day1, QTime(9, 0)), 2);
        const ReviewEntry* e = store.find(QStringLiteral("w"), rec);
        ASSERT_NE(e, nullptr);
        intervals.push_back(e->schedule.intervalDays);
    }
    EXPECT_EQ(intervals,
              (std::vector<int>{I(W[3], 0.97), I(W[3], 0.9), I(W[3], 0.7), I(W[3], 0.7)}));
}

class FsrsBookTest : public ::testing::Test {
protected:
    TempAppFolder app;
    QString folder() const { return app.file(QStringLiteral("book")); }
    std::unique_ptr<Book> book;
    void SetUp() override {
        BookBuilder b(folder());
        for (int k = 0; k < 40; ++k)
            b.add(QStringLiteral("w%1").arg(k), QStringLiteral("m"), {});
        b.write();
        book = std::make_unique<Book>(folder());
        book->open();
    }
    QByteArray bytesOf(const QString& name) const {
        QFile f(folder() + u'/' + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
    }
    // Answers every word on a few days under the store's method, by a fixed pattern.
    void answerForAMonth(ReviewStore& store) {
        for (int day = 0; day < 30; ++day)
            for (int k = 0; k < book->index().size(); ++k) {
                const IndexEntry& e = book->index().at(k);
                const ReviewEntry* r = store.find(e.word, e.recordNo);
                const QDate today = Day1.addDays(day);
                if (r && r->schedule.due > today)
                    continue;
                const Grade g = Grade(1 + (k * 7 + day) % 4);
                store.answer(e.word, e.recordNo, g, QDateTime(today, QTime(10, 0)), 2);
            }
    }
};

TEST_F(FsrsBookTest, SwitchingConvertsEveryWordWithoutJumpingAndKeepsTheLog) {
    {
        // A book reviewed before FSRS came has a log and no scheduling file: it stays SM-2.
        BookSchedule sm2Book;
        sm2Book.method = ScheduleMethod::Sm2;
        sm2Book.write(folder());
        ReviewStore store(folder());
        store.load(book->index());
        answerForAMonth(store);
        store.flush();
        QDir(folder()).remove(BookSchedule::FileName);
    }
    ReviewStore store(folder());
    store.setDesiredRetention(0.8);
    store.load(book->index());
    ASSERT_EQ(store.schedule().method, ScheduleMethod::Sm2);
    const std::vector<ReviewEntry> before = store.entries();
    const QByteArray log = bytesOf(answerlog::FileName);

    store.switchMethod(ScheduleMethod::Fsrs);
    ASSERT_EQ(store.entries().size(), before.size());
    int moved = 0;
    for (size_t k = 0; k < before.size(); ++k) {
        const Schedule& was = before[k].schedule;
        const Schedule& now = store.entries()[k].schedule;
        EXPECT_LE(std::abs(was.due.daysTo(now.due)), was.intervalDays)
            << before[k].word.toStdString();
        EXPECT_DOUBLE_EQ(now.stability, was.intervalDays);
        EXPECT_NEAR(now.difficulty, std::clamp(5 + (2500 - was.easeMillis) / 240.0, 1.0, 10.0),
                    1e-3);
        moved += was.due != now.due;
    }
    EXPECT_GT(moved, 0) << "at 80 % the intervals grow";
    EXPECT_EQ(bytesOf(answerlog::FileName), log);
    {
        ReviewStore reread(folder());
        reread.load(book->index());
        EXPECT_EQ(reread.schedule().method, ScheduleMethod::Fsrs);
        ASSERT_EQ(reread.entries().size(), before.size());
        for (size_t k = 0; k < before.size(); ++k) {
            EXPECT_EQ(reread.entries()[k].schedule.due, store.entries()[k].schedule.due);
            EXPECT_EQ(reread.entries()[k].schedule.stability,
                      store.entries()[k].schedule.stability);
        }
    }
    // And back: the days stay, the difficulty becomes an ease again.
    const std::vector<ReviewEntry> asFsrs = store.entries();
    store.switchMethod(ScheduleMethod::Sm2);
    for (size_t k = 0; k < asFsrs.size(); ++k) {
        EXPECT_EQ(store.entries()[k].schedule.due, asFsrs[k].schedule.due);
        if (before[k].schedule.easeMillis <= 3460) // difficulty 1: the easiest FSRS knows
            EXPECT_NEAR(store.entries()[k].schedule.easeMillis, before[k].schedule.easeMillis, 1);
    }
    EXPECT_EQ(BookSchedule::read(folder()).method, ScheduleMethod::Sm2);
}

TEST_F(FsrsBookTest, ANewBookIsFsrsAndADamagedFileFallsBackToTheDefaults) {
    {
        ReviewStore store(folder());
        const ReviewStore::LoadReport report = store.load(book->index());
        EXPECT_TRUE(report.scheduleSetAside.isEmpty());
        EXPECT_EQ(store.schedule().method, ScheduleMethod::Fsrs);
        // Opening a book never reviewed writes nothing into it.
        EXPECT_FALSE(QFile::exists(folder() + u'/' + BookSchedule::FileName));
        answerForAMonth(store);
        store.flush();
    }
    // The choice is written, so the history the book now has does not turn it into SM-2.
    EXPECT_EQ(BookSchedule::read(folder()).method, ScheduleMethod::Fsrs);
    BookSchedule fitted = BookSchedule::read(folder());
    fitted.w[2] = 4.5;
    fitted.write(folder());
    const QByteArray good = bytesOf(BookSchedule::FileName);
    for (const QByteArray& bad :
         {good.left(good.size() - 3), QByteArray(good).replace("4.5 ", "4.5x"),
          QByteArray(good).replace("4.5 ", "-4.5 "), QByteArray(good).replace("4.5 ", "nan ")}) {
        QFile f(folder() + u'/' + BookSchedule::FileName);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bad);
        f.close();
        ReviewStore store(folder());
        const ReviewStore::LoadReport report = store.load(book->index());
        EXPECT_FALSE(report.scheduleSetAside.isEmpty()) << bad.constData();
        EXPECT_EQ(store.schedule().w, fsrs::defaults());
        // Its words carry FSRS memories, so the book stays FSRS.
        EXPECT_EQ(store.schedule().method, ScheduleMethod::Fsrs);
        EXPECT_EQ(bytesOf(report.scheduleSetAside), bad);
        EXPECT_EQ(BookSchedule::read(folder()).w, fsrs::defaults());
    }
    BookSchedule::ReadResult result;
    fitted.write(folder());
    EXPECT_EQ(BookSchedule::read(folder(), &result).w[2], 4.5);
    EXPECT_EQ(result, BookSchedule::ReadResult::Read);
}

TEST_F(FsrsBookTest, ProgressMeasuresRetentionPerWeekAndForecastsTheReviews) {
    ReviewStore store(folder());
    store.setDesiredRetention(0.85);
    store.load(book->index());
    const QDate today = Day1.addDays(30);
    auto answer = [&](int word, int day, Grade g, int hour = 10) {
        const IndexEntry& e = book->index().at(word);
        store.answer(e.word, e.recordNo, g, QDateTime(today.addDays(day), QTime(hour, 0)), 2);
    };
    // Week 11 ends today, week 10 the week before.
    answer(0, -20, Grade::Good); // first answers count no retention
    answer(1, -20, Grade::Good);
    answer(0, -10, Grade::Good);     // week 10: recalled
    answer(1, -10, Grade::Again);    // week 10: forgotten
    answer(1, -10, Grade::Good, 11); // the same day's drill: not counted
    answer(0, -2, Grade::Hard);      // week 11: recalled
    answer(2, -2, Grade::Easy);      // first answer
    answer(3, 0, Grade::Again);      // today's new word, missed
    const ProgressData p =
        progress::compute(answerlog::read(store.logPath()), store, book->index(), today);
    EXPECT_EQ(p.retentionAnswers[10], 2);
    EXPECT_DOUBLE_EQ(p.retention[10], 0.5);
    EXPECT_EQ(p.retentionAnswers[11], 1);
    EXPECT_DOUBLE_EQ(p.retention[11], 1.0);
    EXPECT_EQ(p.retention[9], -1);
    EXPECT_DOUBLE_EQ(p.targetRetention, 0.85);

    // Word 3 is reviewed tomorrow; answered "good" it comes back when its new stability says,
    // forgotten (one time in seven at 85 %) it comes back after its lapse interval.
    const ReviewEntry* w3 = store.find(book->index().at(3).word, book->index().at(3).recordNo);
    ASSERT_NE(w3, nullptr);
    const int firstReview = int(today.daysTo(w3->schedule.due));
    EXPECT_EQ(firstReview, std::max(1, I(W[0], 0.85)));
    const double s = w3->schedule.stability, d = w3->schedule.difficulty;
    const double r = R(firstReview, s);
    const int good = firstReview + I(recallS(s, d, r, 3), 0.85);
    const int lapse = firstReview + std::max(1, I(lapseS(s, d, r), 0.85));
    std::array<double, ProgressData::Days> expected{};
    for (const ReviewEntry& e : store.entries())
        if (&e != w3 && e.schedule.due >= today && today.daysTo(e.schedule.due) < 30)
            expected[size_t(today.daysTo(e.schedule.due))] += 1;
    EXPECT_GE(p.forecast[size_t(firstReview)], expected[size_t(firstReview)] + 1);
    EXPECT_NEAR(p.forecast[size_t(lapse)] - expected[size_t(lapse)], 0.15, 1e-9);
    ASSERT_LT(good, 30);
    EXPECT_GE(p.forecast[size_t(good)] - expected[size_t(good)], 1);
}

// A learner whose memory follows FSRS with the parameters w, reviewing at intervals scattered
// around those planned for 90 %, so that answers come at many chances of recall.
std::vector<LoggedAnswer> simulatedLog(const fsrs::Parameters& w, int words, int days,
                                       unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> uniform(0, 1);
    std::vector<LoggedAnswer> log;
    for (int k = 0; k < words; ++k) {
        const QString word = QStringLiteral("w%1").arg(k);
        int day = k % 30;
        fsrs::Memory m;
        int lastDay = day;
        while (day < days) {
            const qint64 time = QDateTime(Day1.addDays(day), QTime(10, 0)).toSecsSinceEpoch();
            Grade g;
            if (m.stability == 0) {
                const double u = uniform(random);
                g = u < 0.25   ? Grade::Again
                    : u < 0.35 ? Grade::Hard
                    : u < 0.9  ? Grade::Good
                               : Grade::Easy;
                m = fsrs::first(g, w);
            } else {
                const double r = fsrs::retrievability(day - lastDay, m.stability, w);
                const double u = uniform(random);
                g = uniform(random) >= r ? Grade::Again
                    : u < 0.1            ? Grade::Hard
                    : u < 0.9            ? Grade::Good
                                         : Grade::Easy;
                m = fsrs::next(m, g, day - lastDay, w);
            }
            log.push_back({time, word, k + 1, g, 3});
            if (g == Grade::Again) {
                m = fsrs::next(m, Grade::Good, 0, w);
                log.push_back({time + 60, word, k + 1, Grade::Good, 3});
            }
            lastDay = day;
            const double planned = fsrs::intervalDays(m.stability, 0.9, w);
            day += std::max(1, int(std::lround(planned * (0.3 + 1.4 * uniform(random)))));
        }
    }
    return log;
}

fsrs::Parameters learner() {
    fsrs::Parameters w = fsrs::defaults();
    w[0] = 0.6, w[1] = 1.8, w[2] = 5.0, w[3] = 20.0;
    w[8] = 1.3, w[11] = 2.2, w[20] = 0.5;
    return w;
}

TEST(FsrsOptimiser, RecoversTheParametersALogWasMadeWith) {
    const fsrs::Parameters truth = learner();
    const fsrs::Histories h = fsrs::historiesOf(simulatedLog(truth, 3000, 365, 7));
    int calls = 0;
    fsrs::FitOptions options;
    options.progress = [&](int done, int total) {
        EXPECT_LE(done, total);
        ++calls;
        return true;
    };
    const fsrs::FitReport fit = fsrs::optimise(h, fsrs::defaults(), options);
    EXPECT_GT(calls, 1);
    const fsrs::FitScore ideal = fsrs::score(h, truth, fsrs::heldOut);
    EXPECT_TRUE(fit.better);
    EXPECT_GT(fit.after.answers, 3000);
    EXPECT_LT(fit.after.logLoss, fit.before.logLoss - 0.003);
    EXPECT_LT(fit.after.logLoss, ideal.logLoss + 0.002);
    EXPECT_LT(fit.after.rmse, fit.before.rmse);
    // The first stabilities are what the log tells most plainly.
    EXPECT_NEAR(fit.fitted[2], truth[2], 0.2 * truth[2]);
    EXPECT_NEAR(fit.fitted[3], truth[3], 0.25 * truth[3]);
    EXPECT_NEAR(fit.fitted[20], truth[20], 0.1);
}

TEST_F(FsrsBookTest, AFitThatPredictsWorseIsRefused) {
    const fsrs::Parameters truth = learner();
    const fsrs::Histories h = fsrs::historiesOf(simulatedLog(truth, 800, 200, 11));
    ReviewStore store(folder());
    store.load(book->index());
    fsrs::FitReport learnt;
    learnt.fitted = truth;
    learnt.better = true;
    ASSERT_TRUE(store.keepFit(learnt, Day1, 5000));
    const QByteArray kept = bytesOf(BookSchedule::FileName);

    // A fit stopped before it learnt anything leaves the defaults, which predict worse than the
    // parameters the book already has.
    fsrs::FitOptions none;
    none.epochs = 0;
    none.fitFirstStabilities = false;
    const fsrs::FitReport worse = fsrs::optimise(h, store.schedule().w, none);
    EXPECT_FALSE(worse.better);
    EXPECT_GT(worse.after.logLoss, worse.before.logLoss);
    EXPECT_FALSE(store.keepFit(worse, Day1.addDays(40), 9000));
    EXPECT_EQ(bytesOf(BookSchedule::FileName), kept);
    EXPECT_EQ(store.schedule().w, truth);
    EXPECT_EQ(store.schedule().fittedOn, Day1);
    // A month and a thousand answers after the fit, the next one is due.
    EXPECT_FALSE(store.schedule().fitDue(Day1.addDays(30), 7000));
    EXPECT_FALSE(store.schedule().fitDue(Day1.addMonths(1), 5999));
    EXPECT_TRUE(store.schedule().fitDue(Day1.addMonths(1), 6000));
}

} // namespace
