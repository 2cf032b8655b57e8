// SPDX-License-Identifier: GPL-3.0-or-later
// Kills a process in the middle of review answers and checks what the next reading finds: a sound
// state file, a log whose only flaw may be a torn last line, and the same state that replaying the
// whole log gives, so no answer was half counted.
#include "core/review/answerlog.h"
#include "core/review/reviewstore.h"
#include "core/store/wordindex.h"
#include "support/tempappfolder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>
#include <random>
#include <thread>

namespace {

WordIndex childIndex() {
    WordIndex index;
    std::vector<IndexEntry> words;
    for (int k = 0; k < 2000; ++k)
        words.push_back({QStringLiteral("w%1").arg(k), k + 1, false});
    index.assign(std::move(words));
    return index;
}

QStringList summary(const ReviewStore& store) {
    QStringList out;
    for (const ReviewEntry& e : store.entries())
        out << QStringLiteral("%1 %2 %3 %4 %5 %6")
                   .arg(e.word)
                   .arg(e.recordNo)
                   .arg(e.schedule.due.toJulianDay())
                   .arg(e.schedule.intervalDays)
                   .arg(e.schedule.easeMillis)
                   .arg(e.failStreak);
    out.sort();
    return out;
}

} // namespace

TEST(ReviewCrash, AKillLeavesEveryAnswerWholeOrAbsent) {
    TempAppFolder app;
    const QString folder = app.path();
    const WordIndex index = childIndex();
    std::mt19937 random(std::random_device{}());
    int answersBefore = 0;
    for (int trial = 0; trial < 8; ++trial) {
        QProcess child;
        child.start(QStringLiteral(REVIEW_CHILD_PATH), {folder});
        ASSERT_TRUE(child.waitForReadyRead(10000));
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + random() % 150));
        child.kill();
        child.waitForFinished();

        ReviewStore store(folder);
        const ReviewStore::LoadReport report = store.load(index);
        EXPECT_TRUE(report.setAside.isEmpty()) << "trial " << trial;
        EXPECT_EQ(report.damagedLogLines, 0) << "trial " << trial;
        const int answers = int(answerlog::parse(answerlog::read(store.logPath())).answers.size());
        EXPECT_GT(answers, answersBefore) << "the child answered before it was killed";
        answersBefore = answers;

        // The whole log replayed from nothing gives the same state.
        const QString state = folder + u'/' + ReviewStore::FileName;
        ASSERT_TRUE(QFile::rename(state, state + QStringLiteral(".kept")));
        ReviewStore replayed(folder);
        replayed.load(index);
        EXPECT_EQ(summary(store), summary(replayed)) << "trial " << trial;
        ASSERT_TRUE(QFile::rename(state + QStringLiteral(".kept"), state));
    }
}
