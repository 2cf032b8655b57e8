// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/failure.h"
#include "core/review/answerlog.h"
#include "core/review/linefields.h"
#include "core/review/progress.h"
#include "core/review/reviewsettings.h"
#include "core/review/reviewstore.h"
#include "core/review/scheduler.h"
#include "core/store/book.h"
#include "support/bookbuilder.h"
#include "support/failingdisk.h"
#include "support/tempappfolder.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <cmath>
#include <gtest/gtest.h>

namespace {

const QDate Day1(2026, 3, 2);

QDateTime at(QDate day, int hour = 12) {
    return QDateTime(day, QTime(hour, 0));
}

std::vector<int> intervalsAfter(std::initializer_list<Grade> grades) {
    Schedule s;
    std::vector<int> out;
    QDate day = Day1;
    for (Grade g : grades) {
        s = sm2::answer(s, g, day);
        out.push_back(s.intervalDays);
        day = s.due;
    }
    return out;
}

QStringList queuedWords(const std::vector<ReviewItem>& items) {
    QStringList out;
    for (const ReviewItem& i : items)
        out << i.word;
    return out;
}

// Every field of every entry, sorted; stability and difficulty to the given decimals.
QStringList everything(const ReviewStore& store, int decimals = 17) {
    QStringList out;
    for (const ReviewEntry& e : store.entries())
        out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10 %11 %12 %13")
                   .arg(e.word)
                   .arg(e.recordNo)
                   .arg(e.schedule.due.toJulianDay())
                   .arg(e.schedule.intervalDays)
                   .arg(e.schedule.easeMillis)
                   .arg(e.schedule.repetitions)
                   .arg(e.schedule.lapses)
                   .arg(e.lastGrade)
                   .arg(e.lastTime)
                   .arg(e.failStreak)
                   .arg(e.introduced.toJulianDay())
                   .arg(e.schedule.stability, 0, 'f', decimals)
                   .arg(e.schedule.difficulty, 0, 'f', decimals);
    out.sort();
    return out;
}

} // namespace

TEST(ReviewScheduler, FollowsTheSuperMemo2Formulas) {
    using G = Grade;
    // Quality 4 keeps the E-Factor at 2.5: 1, 6, 6 x 2.5 = 15, 15 x 2.5 = 37.5 -> 38 days.
    EXPECT_EQ(intervalsAfter({G::Good, G::Good, G::Good, G::Good}), (std::vector{1, 6, 15, 38}));
    // Quality 5 raises it by 0.1 each time: 2.6, 2.7, 2.8; 6 x 2.8 = 16.8 -> 17.
    EXPECT_EQ(intervalsAfter({G::Easy, G::Easy, G::Easy}), (std::vector{1, 6, 17}));
    // Quality 3 lowers it by 0.14: 2.36, 2.22, 2.08; 6 x 2.08 = 12.48 -> 13.
    EXPECT_EQ(intervalsAfter({G::Hard, G::Hard, G::Hard}), (std::vector{1, 6, 13}));
    // A miss starts the intervals again and leaves the E-Factor as it was.
    EXPECT_EQ(intervalsAfter({G::Good, G::Good, G::Good, G::Again, G::Good, G::Good, G::Good}),
              (std::vector{1, 6, 15, 1, 1, 6, 15}));

    Schedule s;
    for (int k = 0; k < 12; ++k)
        s = sm2::answer(s, Grade::Hard, Day1);
    EXPECT_EQ(s.easeMillis, sm2::MinimumEaseMillis);
    s = sm2::answer(s, Grade::Again, Day1);
    EXPECT_EQ(s.easeMillis, sm2::MinimumEaseMillis);
    EXPECT_EQ(s.lapses, 1);
    EXPECT_EQ(s.repetitions, 0);
    EXPECT_EQ(s.due, Day1.addDays(1));
    // Forgetting a word that was never learnt is no lapse.
    EXPECT_EQ(sm2::answer(Schedule{}, Grade::Again, Day1).lapses, 0);
}

class ReviewStoreTest : public ::testing::Test {
protected:
    TempAppFolder app;
    QString folder() const { return app.file(QStringLiteral("book")); }

    std::unique_ptr<Book> openBook(const QStringList& words) {
        BookBuilder b(folder());
        for (const QString& w : words)
            b.add(w, QStringLiteral("m:") + w, QStringLiteral("e:") + w);
        b.write();
        // These books are scheduled by SM-2, as books reviewed before FSRS are.
        BookSchedule sm2Book;
        sm2Book.method = ScheduleMethod::Sm2;
        sm2Book.write(folder());
        return reopen();
    }
    std::unique_ptr<Book> reopen() {
        auto book = std::make_unique<Book>(folder());
        book->open();
        return book;
    }
    qint32 recordOf(const Book& book, const QString& word) const {
        return book.index().at(book.index().find(word)).recordNo;
    }
    void answer(ReviewStore& store, const Book& book, const QString& word, Grade g, QDate day) {
        store.answer(word, recordOf(book, word), g, at(day), 3);
    }
};

TEST_F(ReviewStoreTest, QueueTakesDueWordsFirstThenNewWordsUpToTheDailyLimit) {
    auto book = openBook({"e", "d", "c", "b", "a"}); // records 1..5 in this order
    ReviewStore store(folder());
    store.load(book->index());
    EXPECT_EQ(queuedWords(store.queue(book->index(), Day1, 2)), (QStringList{"e", "d"}));

    answer(store, *book, "c", Grade::Good, Day1);              // due day 2
    answer(store, *book, "a", Grade::Good, Day1);              // due day 2
    answer(store, *book, "a", Grade::Good, Day1.addDays(1));   // due day 8
    answer(store, *book, "b", Grade::Again, Day1.addDays(-3)); // begun earlier, due day -2
    // Day 1: b is overdue; c and a, begun that day, leave one new word of a limit of 3 (b was
    // begun before). Day 2: b is the longest overdue, then c; a is not due yet.
    const QDate day2 = Day1.addDays(1);
    EXPECT_EQ(queuedWords(store.queue(book->index(), Day1, 3)), (QStringList{"b", "e"}));
    EXPECT_EQ(queuedWords(store.queue(book->index(), day2, 3)), (QStringList{"b", "c", "e", "d"}));
    EXPECT_EQ(queuedWords(store.queue(book->index(), day2, 1)), (QStringList{"b", "c", "e"}));
    EXPECT_EQ(queuedWords(store.queue(book->index(), day2, 0)), (QStringList{"b", "c"}));
}

TEST_F(ReviewStoreTest, StateFollowsCompactionModificationAndDeletion) {
    auto book = openBook({"alpha", "beta", "gamma", "delta"});
    {
        ReviewStore store(folder());
        store.load(book->index());
        answer(store, *book, "beta", Grade::Good, Day1);
        answer(store, *book, "gamma", Grade::Good, Day1);
        answer(store, *book, "gamma", Grade::Good, Day1.addDays(1));
        answer(store, *book, "delta", Grade::Easy, Day1);
        store.flush();
    }
    // Deleting alpha and compacting renumbers every other word; gamma gets a new meaning, which
    // moves it to a new record; delta leaves the book.
    book->deleteWord(book->index().find("alpha"));
    book->modifyWord(book->index().find("gamma"), "gamma", "new meaning", "e");
    book->deleteWord(book->index().find("delta"));
    book->writeBack();
    book = reopen();
    ASSERT_EQ(recordOf(*book, "beta"), 1);

    ReviewStore store(folder());
    store.load(book->index());
    ASSERT_EQ(store.entries().size(), 2u);
    const ReviewEntry* beta = store.find("beta", recordOf(*book, "beta"));
    const ReviewEntry* gamma = store.find("gamma", recordOf(*book, "gamma"));
    ASSERT_TRUE(beta && gamma);
    EXPECT_EQ(beta->recordNo, 1);
    EXPECT_EQ(gamma->recordNo, recordOf(*book, "gamma"));
    EXPECT_EQ(gamma->schedule.repetitions, 2);
    EXPECT_EQ(gamma->schedule.intervalDays, 6);
    EXPECT_EQ(store.find("delta", 4), nullptr);

    // What was matched again is written, and reads back the same.
    store.flush();
    ReviewStore again(folder());
    again.load(book->index());
    EXPECT_EQ(again.entries().size(), 2u);
    EXPECT_EQ(again.find("gamma", recordOf(*book, "gamma"))->schedule.intervalDays, 6);
    EXPECT_EQ(again.find("beta", 1)->recordNo, 1);
}

TEST_F(ReviewStoreTest, AnswersLoggedAfterTheStateFileAreReplayed) {
    auto book = openBook({"a", "b"});
    {
        ReviewStore store(folder());
        store.load(book->index());
        answer(store, *book, "a", Grade::Good, Day1);
        store.flush();
        answer(store, *book, "a", Grade::Good, Day1.addDays(1)); // only in the log
        answer(store, *book, "b", Grade::Hard, Day1.addDays(1)); // only in the log
    }
    ReviewStore store(folder());
    store.load(book->index());
    EXPECT_EQ(store.find("a", 1)->schedule.intervalDays, 6);
    EXPECT_EQ(store.find("b", 2)->schedule.easeMillis, 2360);
    EXPECT_EQ(answerlog::parse(answerlog::read(store.logPath())).answers.size(), 3u);
}

TEST_F(ReviewStoreTest, DamagedStateFileIsSetAsideAndRebuiltFromTheLog) {
    auto book = openBook({"a", "b"});
    {
        ReviewStore store(folder());
        store.load(book->index());
        answer(store, *book, "a", Grade::Good, Day1);
        answer(store, *book, "a", Grade::Good, Day1.addDays(1));
        store.flush();
    }
    const QString state = folder() + u'/' + ReviewStore::FileName;
    QByteArray bytes = app.read(QStringLiteral("book/") + ReviewStore::FileName);
    bytes.chop(8); // the end of the file lost
    app.write(QStringLiteral("book/") + ReviewStore::FileName, bytes);

    ReviewStore store(folder());
    const ReviewStore::LoadReport report = store.load(book->index());
    ASSERT_TRUE(report.setAside.startsWith(bookfile::SetAsidePrefix));
    EXPECT_TRUE(QFile::exists(folder() + u'/' + report.setAside));
    EXPECT_EQ(app.read(QStringLiteral("book/") + report.setAside), bytes);
    EXPECT_FALSE(QFile::exists(state));
    EXPECT_EQ(store.find("a", 1)->schedule.intervalDays, 6);

    // Garbage, and a log that is gone too: a fresh start.
    app.write(QStringLiteral("book/") + ReviewStore::FileName, "\x81\x40garbage");
    QFile::remove(store.logPath());
    ReviewStore fresh(folder());
    EXPECT_FALSE(fresh.load(book->index()).setAside.isEmpty());
    EXPECT_TRUE(fresh.entries().empty());
    EXPECT_EQ(fresh.queue(book->index(), Day1, 20).size(), 2u);
}

TEST_F(ReviewStoreTest, AnAnswerCutShortLeavesTheOldStateAndAReadableLog) {
    auto book = openBook({"a", "b"});
    ReviewStore store(folder());
    store.load(book->index());
    answer(store, *book, "a", Grade::Good, Day1);
    const QByteArray logBefore = answerlog::read(store.logPath());
    {
        FailingDisk disk(5); // the disk fills up five bytes into the answer's line
        disk.onlyFor(answerlog::FileName);
        EXPECT_THROW(answer(store, *book, "a", Grade::Good, Day1.addDays(1)), RuntimeFailure);
    }
    EXPECT_EQ(store.find("a", 1)->schedule.intervalDays, 1);
    const QByteArray torn = answerlog::read(store.logPath());
    ASSERT_EQ(torn.size(), logBefore.size() + 5);

    // Read as it is: the torn line is not an answer.
    ReviewStore reread(folder());
    EXPECT_EQ(reread.load(book->index()).damagedLogLines, 0);
    EXPECT_EQ(reread.find("a", 1)->schedule.intervalDays, 1);

    // The next answer cuts the torn line away first.
    answer(reread, *book, "b", Grade::Easy, Day1.addDays(1));
    const answerlog::Parsed parsed = answerlog::parse(answerlog::read(store.logPath()));
    EXPECT_EQ(parsed.damagedLines, 0);
    ASSERT_EQ(parsed.answers.size(), 2u);
    EXPECT_EQ(parsed.answers[1].word, "b");

    // The state file is rewritten whole or not at all.
    {
        FailingDisk disk(10);
        disk.onlyFor(ReviewStore::FileName);
        EXPECT_THROW(reread.flush(), RuntimeFailure);
    }
    EXPECT_FALSE(QFile::exists(reread.statePath()));
    reread.flush();
    ReviewStore last(folder());
    EXPECT_TRUE(last.load(book->index()).setAside.isEmpty());
    EXPECT_EQ(last.entries().size(), 2u);
}

TEST(ReviewLog, WordsWithAnyCharactersSurviveTheLine) {
    const LoggedAnswer a{1772400000, QStringLiteral("a\tb\\n\nc 日本"), 7, Grade::Hard, 12};
    const QByteArray bytes = answerlog::line(a) + "garbage line\n" + answerlog::line(a) + "17724";
    const answerlog::Parsed parsed = answerlog::parse(bytes);
    EXPECT_EQ(parsed.damagedLines, 1);
    ASSERT_EQ(parsed.answers.size(), 2u);
    EXPECT_EQ(parsed.answers[0].word, a.word);
    EXPECT_EQ(parsed.answers[0].recordNo, 7);
    EXPECT_EQ(parsed.answers[0].grade, Grade::Hard);
    EXPECT_EQ(parsed.answers[0].seconds, 12);
}

TEST_F(ReviewStoreTest, ProgressCountsAnswersPerDayDueDaysAndStates) {
    auto book = openBook({"a", "b", "c", "d"});
    ReviewStore store(folder());
    store.load(book->index());
    const QDate today(2026, 4, 10);
    answer(store, *book, "a", Grade::Good, today.addDays(-40)); // outside the 30 days
    answer(store, *book, "a", Grade::Good, today.addDays(-29));
    answer(store, *book, "a", Grade::Good, today.addDays(-23)); // interval 15, due -8
    answer(store, *book, "b", Grade::Again, today);
    answer(store, *book, "b", Grade::Hard, today); // due tomorrow
    answer(store, *book, "c", Grade::Easy, today.addDays(-1));
    store.answer("c", recordOf(*book, "c"), Grade::Easy, QDateTime(today, QTime(23, 59, 59)), 1);

    const ProgressData p =
        progress::compute(answerlog::read(store.logPath()), store, book->index(), today);
    EXPECT_EQ(p.answers[0], (std::array<int, 4>{0, 0, 1, 0}));
    EXPECT_EQ(p.answers[6], (std::array<int, 4>{0, 0, 1, 0}));
    EXPECT_EQ(p.answers[28], (std::array<int, 4>{0, 0, 0, 1}));
    EXPECT_EQ(p.answers[29], (std::array<int, 4>{1, 1, 0, 1}));
    int total = 0;
    for (const auto& day : p.answers)
        for (int n : day)
            total += n;
    EXPECT_EQ(total, 6);
    EXPECT_EQ(p.due[0], 1); // a, overdue
    EXPECT_EQ(p.due[1], 1); // b
    EXPECT_EQ(p.due[6], 1); // c: 6 days after today
    EXPECT_EQ(p.newWords, 1);
    EXPECT_EQ(p.learning, 3);
    EXPECT_EQ(p.known, 0);
}

TEST(ReviewSettingsFile, DefaultsForMissingOrDamagedFilesAndRoundTrip) {
    TempAppFolder app;
    ReviewSettings s = ReviewSettings::read(app.path());
    EXPECT_TRUE(s.enabled);
    EXPECT_EQ(s.newPerDay, 20);
    EXPECT_FALSE(s.checkAfterThreeFails);
    app.write(ReviewSettings::FileName, "newPerDay\t-4\nenabled\tmaybe\n\xff\xfe");
    s = ReviewSettings::read(app.path());
    EXPECT_TRUE(s.enabled);
    EXPECT_EQ(s.newPerDay, 20);
    s.enabled = false;
    s.newPerDay = 7;
    s.checkAfterThreeFails = true;
    s.meaningToWord = true;
    s.write(app.path());
    const ReviewSettings back = ReviewSettings::read(app.path());
    EXPECT_FALSE(back.enabled);
    EXPECT_EQ(back.newPerDay, 7);
    EXPECT_TRUE(back.checkAfterThreeFails);
    EXPECT_TRUE(back.meaningToWord);
}

TEST_F(ReviewStoreTest, TwoCopiesOfAWordKeepHistoriesOfTheirOwn) {
    auto book = openBook({"cat", "cat", "dog"}); // a merge keeps both copies
    {
        ReviewStore store(folder());
        store.load(book->index());
        store.answer("cat", 1, Grade::Good, at(Day1), 2);
        store.answer("cat", 1, Grade::Good, at(Day1.addDays(1)), 2);
        store.answer("cat", 2, Grade::Hard, at(Day1), 2);
    } // nothing but the log was written
    ReviewStore store(folder());
    store.load(book->index());
    ASSERT_EQ(store.entries().size(), 2u);
    EXPECT_EQ(store.find("cat", 1)->schedule.intervalDays, 6);
    EXPECT_EQ(store.find("cat", 2)->schedule.intervalDays, 1);
    EXPECT_EQ(store.find("cat", 2)->schedule.easeMillis, 2360);
    EXPECT_EQ(queuedWords(store.queue(book->index(), Day1.addDays(1), 20)),
              (QStringList{"cat", "dog"}));
}

// Words answered below "good" are asked again in the same session until they are answered
// "good"; those drills are no repetitions, so a lapse never leaves a word easier than before.
TEST_F(ReviewStoreTest, TheSameSessionsDrillAfterAMissOrAHardAnswerMovesNoSchedule) {
    auto book = openBook({"a", "b"});
    ReviewStore store(folder());
    store.load(book->index());
    // Two hard answers bring a to an E-Factor of 2.22 and 6 days.
    answer(store, *book, "a", Grade::Hard, Day1);
    answer(store, *book, "a", Grade::Hard, Day1.addDays(1));
    const QDate lapse = store.find("a", 1)->schedule.due;
    answer(store, *book, "a", Grade::Again, lapse);
    answer(store, *book, "a", Grade::Again, lapse);
    answer(store, *book, "a", Grade::Easy, lapse);
    const ReviewEntry* a = store.find("a", 1);
    EXPECT_EQ(a->schedule.easeMillis, 2220);
    EXPECT_EQ(a->schedule.intervalDays, 1);
    EXPECT_EQ(a->schedule.repetitions, 0);
    EXPECT_EQ(a->schedule.lapses, 1);
    EXPECT_EQ(a->schedule.due, lapse.addDays(1));
    EXPECT_EQ(a->lastGrade, int(Grade::Easy));
    // The next day's answer is the first repetition after the lapse.
    answer(store, *book, "a", Grade::Good, lapse.addDays(1));
    EXPECT_EQ(store.find("a", 1)->schedule.repetitions, 1);
    EXPECT_EQ(store.find("a", 1)->schedule.intervalDays, 1);

    // A hard answer is a repetition; its drill that day is not.
    answer(store, *book, "b", Grade::Good, Day1);
    answer(store, *book, "b", Grade::Hard, Day1.addDays(1));
    answer(store, *book, "b", Grade::Easy, Day1.addDays(1));
    EXPECT_EQ(store.find("b", 2)->schedule.easeMillis, 2360);
    EXPECT_EQ(store.find("b", 2)->schedule.intervalDays, 6);
    EXPECT_EQ(store.find("b", 2)->schedule.repetitions, 2);

    // Read back from the log alone, the drills count the same.
    ReviewStore replayed(folder());
    replayed.load(book->index());
    EXPECT_EQ(replayed.find("a", 1)->schedule.easeMillis, 2220);
    EXPECT_EQ(replayed.find("a", 1)->schedule.repetitions, 1);
    EXPECT_EQ(replayed.find("b", 2)->schedule.intervalDays, 6);
}

// A word counts as known from the day its interval reaches 21 days, that day included.
TEST_F(ReviewStoreTest, AWordWhoseIntervalJustReached21DaysIsKnown) {
    auto book = openBook({"a", "b"});
    ReviewStore store(folder());
    store.load(book->index());
    // Ten easy answers raise the E-Factor to 3.5 (b: eight, to 3.3); after a lapse two good
    // answers give 1 and 6 days, and the third 6 x 3.5 = 21 days (b: 6 x 3.3 = 19.8 -> 20).
    const auto learn = [&](const QString& word, int easy) {
        QDate day = Day1;
        std::vector<Grade> grades(size_t(easy), Grade::Easy);
        grades.insert(grades.end(), {Grade::Again, Grade::Good, Grade::Good, Grade::Good});
        for (Grade g : grades) {
            answer(store, *book, word, g, day);
            day = store.find(word, recordOf(*book, word))->schedule.due;
        }
        return store.find(word, recordOf(*book, word))->schedule.intervalDays;
    };
    ASSERT_EQ(learn("a", 10), ProgressData::KnownIntervalDays);
    ASSERT_EQ(learn("b", 8), ProgressData::KnownIntervalDays - 1);
    const ProgressData p =
        progress::compute(answerlog::read(store.logPath()), store, book->index(), Day1);
    EXPECT_EQ(p.known, 1);
    EXPECT_EQ(p.learning, 1);
}

TEST(ReviewLineFields, LeadingIntegersReadEveryLengthAndRejectWhatIsNoNumber) {
    // Numbers of every length at every alignment, with the word after them, read through both
    // the quick reading of whole lines and the careful one near the end of the bytes.
    for (int width = 1; width <= 18; ++width) {
        for (int shift = 0; shift < 8; ++shift) {
            const qint64 big = QByteArray(width, '9').toLongLong();
            // A minus sign takes the careful reading: only odd shifts have one.
            const qint64 values[5] = {big, 7, big / 3, 0, shift % 2 ? -big : big};
            QByteArray line(shift, 'x');
            for (qint64 v : values)
                line += QByteArray::number(v) + '\t';
            line += "word\n";
            for (const QByteArray& bytes : {line + QByteArray(100, '\n'), line}) {
                qint64 n[5] = {};
                const char* begin = bytes.constData() + shift;
                const char* next =
                    linefields::leadingIntegers(begin, bytes.constData() + bytes.size(), n, 5);
                ASSERT_NE(next, nullptr) << line.constData();
                EXPECT_EQ(QByteArrayView(next, 4), "word");
                for (int k = 0; k < 5; ++k)
                    EXPECT_EQ(n[k], values[k]) << line.constData();
            }
        }
    }
    const QByteArray padding(100, '\n');
    for (const QByteArray& bad : {QByteArray("12\t\t3\t"), QByteArray("12\t3x\t4\t"),
                                  QByteArray("1234567890123456789\t1\t1\t"), QByteArray("1\t2\t3"),
                                  QByteArray("-\t1\t2\t"), QByteArray("1\n2\t3\t")}) {
        for (const QByteArray& bytes : {bad + padding, bad}) {
            qint64 n[3] = {};
            EXPECT_EQ(linefields::leadingIntegers(bytes.constData(),
                                                  bytes.constData() + bytes.size(), n, 3),
                      nullptr)
                << bad.constData();
        }
    }
}

TEST(ReviewLocalDays, DaysOfTimesAcrossClockChangesAreTheLocalDates) {
    const QByteArray oldZone = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    // Around both clock changes of 2026 (29 March, 25 October), every 20 minutes, in an order
    // that goes back and forth between days.
    answerlog::LocalDays days;
    for (const QDate day : {QDate(2026, 3, 28), QDate(2026, 10, 24)}) {
        const qint64 start = QDateTime(day, QTime(0, 0)).toSecsSinceEpoch();
        for (qint64 t = 0; t < 3 * 86400; t += 1200) {
            for (qint64 time : {start + t, start + 3 * 86400 - t, start + t / 2}) {
                ASSERT_EQ(days.dayOf(time), QDateTime::fromSecsSinceEpoch(time).date())
                    << QDateTime::fromSecsSinceEpoch(time).toString(Qt::ISODate).toStdString();
            }
        }
    }
    if (oldZone.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", oldZone);
}

TEST_F(ReviewStoreTest, StateWithWordsNeverReviewedBetweenReadsBackTheSame) {
    QStringList words;
    for (int k = 0; k < 40; ++k)
        words << QStringLiteral("語%1").arg(k, 2, 10, QChar(u'0'));
    auto book = openBook(words);
    ReviewStore store(folder());
    store.load(book->index());
    // Two words together, a gap longer than a few words, the last word of the book.
    for (int k : {0, 1, 22, 23, 39})
        answer(store, *book, words[k], k % 2 ? Grade::Good : Grade::Hard, Day1.addDays(k % 3));
    store.flush();

    ReviewStore again(folder());
    again.load(book->index());
    ASSERT_EQ(again.entries().size(), store.entries().size());
    for (const ReviewEntry& e : store.entries()) {
        const ReviewEntry* read = again.find(e.word, e.recordNo);
        ASSERT_TRUE(read) << e.word.toStdString();
        EXPECT_EQ(read->schedule.due, e.schedule.due);
        EXPECT_EQ(read->schedule.easeMillis, e.schedule.easeMillis);
        EXPECT_EQ(read->lastTime, e.lastTime);
        EXPECT_EQ(read->introduced, e.introduced);
    }
    for (const QDate day : {Day1, Day1.addDays(2), Day1.addDays(9)})
        EXPECT_EQ(queuedWords(again.queue(book->index(), day, 3)),
                  queuedWords(store.queue(book->index(), day, 3)));
}

TEST_F(ReviewStoreTest, ATextStateFileReadsTheSameAndIsWrittenAnewInTheBinaryFormat) {
    QStringList words;
    for (int k = 0; k < 30; ++k)
        words << QStringLiteral("単語%1").arg(k);
    auto book = openBook(words);
    ReviewStore store(folder());
    store.load(book->index());
    for (int k = 0; k < 30; k += 2)
        answer(store, *book, words[k], Grade(1 + k % 4), Day1.addDays(k % 5));
    answer(store, *book, words[4], Grade::Again, Day1.addDays(6)); // a lapse and a fail streak
    store.switchMethod(ScheduleMethod::Fsrs);
    answer(store, *book, words[8], Grade::Good, Day1.addDays(9));
    answer(store, *book, words[9], Grade::Hard, Day1.addDays(9));
    store.flush();

    // The file as the text format held it: numbers and the word per line, FSRS memory in
    // thousandths, the log's size at the top and the count at the end.
    QByteArray text =
        "VerbantaReview\t2\t" + QByteArray::number(QFileInfo(store.logPath()).size()) + '\n';
    for (const ReviewEntry& e : store.entries())
        text += QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7\t%8\t%9\t%10\t%11\t%12\t%13\n")
                    .arg(e.recordNo)
                    .arg(e.schedule.due.toJulianDay())
                    .arg(e.schedule.intervalDays)
                    .arg(e.schedule.easeMillis)
                    .arg(e.schedule.repetitions)
                    .arg(e.schedule.lapses)
                    .arg(e.lastGrade)
                    .arg(e.lastTime)
                    .arg(e.failStreak)
                    .arg(e.introduced.toJulianDay())
                    .arg(std::llround(e.schedule.stability * 1000))
                    .arg(std::llround(e.schedule.difficulty * 1000))
                    .arg(e.word)
                    .toUtf8();
    text += "end\t" + QByteArray::number(qsizetype(store.entries().size())) + '\n';
    app.write(QStringLiteral("book/") + ReviewStore::FileName, text);

    ReviewStore migrated(folder());
    ASSERT_TRUE(migrated.load(book->index()).setAside.isEmpty());
    EXPECT_EQ(everything(migrated, 3), everything(store, 3));
    for (const QDate day : {Day1, Day1.addDays(3), Day1.addDays(12), Day1.addDays(40)})
        EXPECT_EQ(queuedWords(migrated.queue(book->index(), day, 5)),
                  queuedWords(store.queue(book->index(), day, 5)));

    // The next write turns it into the binary format, which reads back exactly.
    answer(migrated, *book, words[1], Grade::Easy, Day1.addDays(10));
    migrated.flush();
    EXPECT_TRUE(
        app.read(QStringLiteral("book/") + ReviewStore::FileName).startsWith("VerbantaReviewB"));
    ReviewStore reread(folder());
    ASSERT_TRUE(reread.load(book->index()).setAside.isEmpty());
    EXPECT_EQ(everything(reread), everything(migrated));
    EXPECT_EQ(queuedWords(reread.queue(book->index(), Day1.addDays(12), 5)),
              queuedWords(migrated.queue(book->index(), Day1.addDays(12), 5)));
}

TEST_F(ReviewStoreTest, ACutOrDamagedStateFileIsNoticedAndRebuiltFromTheLogWithNothingLost) {
    // More entries than the reader checks at a time, so damage far into the file counts too.
    QStringList words;
    for (int k = 0; k < 600; ++k)
        words << (k % 7 ? QStringLiteral("w%1").arg(k) : QStringLiteral("語%1").arg(k));
    auto book = openBook(words);
    BookSchedule fsrsBook;
    fsrsBook.method = ScheduleMethod::Fsrs;
    fsrsBook.write(folder());
    const WordIndex& index = book->index();
    // Written directly: answering this often through the store would sync the log each time.
    QByteArray log;
    for (int k = 0; k < 1500; ++k) {
        const IndexEntry& w = index.at(k % 600);
        log += answerlog::line({at(Day1.addDays(k / 600 * 4 + k % 3)).toSecsSinceEpoch(), w.word,
                                w.recordNo, Grade(1 + k * 7 / 3 % 4), 3});
    }
    app.write(QStringLiteral("book/") + answerlog::FileName, log);
    ReviewStore store(folder());
    store.load(index);
    store.flush();
    const QByteArray sound = app.read(QStringLiteral("book/") + ReviewStore::FileName);
    ASSERT_TRUE(sound.startsWith("VerbantaReviewB"));
    const QStringList expected = everything(store);
    const QStringList queued = queuedWords(store.queue(index, Day1.addDays(9), 20));
    ASSERT_EQ(expected.size(), 600);
    {
        ReviewStore again(folder());
        ASSERT_TRUE(again.load(index).setAside.isEmpty());
        ASSERT_EQ(everything(again), expected);
    }

    const auto flipped = [&](qsizetype at, char bit) {
        QByteArray bytes = sound;
        bytes[at] = char(bytes[at] ^ bit);
        return bytes;
    };
    const qsizetype header = 64, record = 64;
    const std::pair<const char*, QByteArray> damaged[] = {
        {"only the header", sound.left(header)},
        {"cut among the records", sound.left(header + 300 * record + 10)},
        {"without its check", sound.chopped(8)},
        {"with a byte more", sound + '\0'},
        // Each still a sound file but for the check: an interval one day off far into the
        // records, one character of a word, the check itself.
        {"an interval", flipped(header + 550 * record + 8, 1)},
        {"a word", flipped(sound.size() - 8 - 4, 1)},
        {"the check", flipped(sound.size() - 3, 0x40)},
    };
    for (const auto& [what, bytes] : damaged) {
        app.write(QStringLiteral("book/") + ReviewStore::FileName, bytes);
        ReviewStore rebuilt(folder());
        const ReviewStore::LoadReport report = rebuilt.load(index);
        ASSERT_FALSE(report.setAside.isEmpty()) << what;
        EXPECT_EQ(app.read(QStringLiteral("book/") + report.setAside), bytes) << what;
        EXPECT_EQ(everything(rebuilt), expected) << what;
        EXPECT_EQ(queuedWords(rebuilt.queue(index, Day1.addDays(9), 20)), queued) << what;
        QFile::remove(folder() + u'/' + report.setAside);
    }
}
