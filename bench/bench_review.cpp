// SPDX-License-Identifier: GPL-3.0-or-later
// The review: today's queue from a 200,000-word review state with a 1,000,000-answer log, one
// answer recorded, and the progress window drawn from that log.
#include "bookgen.h"
#include "core/review/answerlog.h"
#include "core/review/fsrsoptimiser.h"
#include "core/review/progress.h"
#include "core/review/reviewstore.h"
#include "core/store/book.h"
#include "tools/frmprogress.h"
#include "ui/progressform.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <random>

namespace {

const QDate Today(2026, 6, 30);
constexpr int LoggedAnswers = 1000000;

Book& openBook(int words) {
    static std::map<int, std::unique_ptr<Book>> books;
    auto& book = books[words];
    if (!book) {
        book = std::make_unique<Book>(bookgen::book(words));
        book->open(true);
    }
    return *book;
}

// A folder holding the review state of every word of the book and a log of answers spread over
// the last 60 days, made once per run.
QString reviewedFolder(int words) {
    static QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/R%1").arg(words);
    if (QDir(folder).exists())
        return folder;
    QDir().mkpath(folder);
    const WordIndex& index = openBook(words).index();
    QByteArray log;
    log.reserve(qsizetype(LoggedAnswers) * 32);
    const qint64 start = QDateTime(Today.addDays(-60), QTime(8, 0)).toSecsSinceEpoch();
    for (int k = 0; k < LoggedAnswers; ++k) {
        const IndexEntry& e = index.at(k % index.size());
        const Grade grade = Grade(1 + (k * 7 / 3) % 4);
        log += answerlog::line(
            {start + qint64(k) * 60 * 60 * 24 * 60 / LoggedAnswers, e.word, e.recordNo, grade, 4});
    }
    QFile file(folder + u'/' + answerlog::FileName);
    file.open(QIODevice::WriteOnly);
    file.write(log);
    file.close();
    ReviewStore store(folder);
    store.load(index);
    store.flush();
    return folder;
}

QString copyOf(const QString& folder) {
    static QTemporaryDir dir;
    static int n = 0;
    const QString copy = dir.path() + QStringLiteral("/C%1").arg(++n);
    QDir().mkpath(copy);
    for (const QString& name : {ReviewStore::FileName, answerlog::FileName, BookSchedule::FileName})
        QFile::copy(folder + u'/' + name, copy + u'/' + name);
    return copy;
}

void BM_ReviewQueue(benchmark::State& state) {
    const int words = int(state.range(0));
    const WordIndex& index = openBook(words).index();
    const QString folder = reviewedFolder(words);
    size_t queued = 0;
    for (auto _ : state) {
        ReviewStore store(folder);
        store.load(index);
        queued = store.queue(index, Today, 20).size();
        benchmark::DoNotOptimize(queued);
    }
    state.counters["queued"] = double(queued);
}
BENCHMARK(BM_ReviewQueue)->Arg(200000)->Unit(benchmark::kMillisecond);

void BM_ReviewAnswer(benchmark::State& state) {
    const int words = int(state.range(0));
    const WordIndex& index = openBook(words).index();
    ReviewStore store(copyOf(reviewedFolder(words)));
    store.load(index);
    const QDateTime now(Today, QTime(12, 0));
    int k = 0;
    for (auto _ : state) {
        const IndexEntry& e = index.at((k++ * 7919) % index.size());
        store.answer(e.word, e.recordNo, Grade::Good, now, 3);
    }
}
// Every 500th answer rewrites the whole state file; enough answers run to include several.
BENCHMARK(BM_ReviewAnswer)->Arg(200000)->Iterations(1000)->Unit(benchmark::kMillisecond);

// One grade scheduled by FSRS and recorded, in a book switched from SM-2 to FSRS.
void BM_FsrsAnswer(benchmark::State& state) {
    const int words = int(state.range(0));
    const WordIndex& index = openBook(words).index();
    ReviewStore store(copyOf(reviewedFolder(words)));
    store.load(index);
    store.switchMethod(ScheduleMethod::Fsrs);
    const QDateTime now(Today, QTime(12, 0));
    int k = 0;
    for (auto _ : state) {
        const IndexEntry& e = index.at((k++ * 7919) % index.size());
        store.answer(e.word, e.recordNo, Grade(1 + k % 4), now, 3);
    }
}
BENCHMARK(BM_FsrsAnswer)->Arg(200000)->Iterations(1000)->Unit(benchmark::kMillisecond);

// The fit on a log of the given number of answers, read from the file as the window does: 5,000
// words answered over a year by a learner whose memory follows FSRS with other parameters.
void BM_FsrsOptimise(benchmark::State& state) {
    const int answers = int(state.range(0));
    static QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/log%1").arg(answers);
    if (!QFile::exists(path)) {
        fsrs::Parameters truth = fsrs::defaults();
        truth[2] = 4.0, truth[8] = 1.5, truth[20] = 0.4;
        std::mt19937 random(5);
        std::uniform_real_distribution<double> u(0, 1);
        QByteArray log;
        const int wordCount = std::max(1, answers / 20);
        for (int n = 0, k = 0; n < answers; ++k) {
            const QString word = QStringLiteral("w%1").arg(k % wordCount);
            fsrs::Memory m;
            int day = k % 60, last = day;
            for (int step = 0; step < 20 && n < answers; ++step, ++n) {
                const double r = m.stability > 0 ? fsrs::retrievability(day - last, m.stability, truth) : 0;
                const Grade g = m.stability > 0 && u(random) < r ? Grade::Good : Grade::Again;
                m = m.stability > 0 ? fsrs::next(m, g, day - last, truth) : fsrs::first(g, truth);
                log += answerlog::line({QDateTime(Today.addDays(day - 400), QTime(9, 0)).toSecsSinceEpoch(),
                                        word, k + 1, g, 3});
                last = day;
                day += std::max(1, int(fsrs::intervalDays(m.stability, 0.9, truth) * (0.5 + u(random))));
            }
        }
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(log);
    }
    double loss = 0;
    for (auto _ : state) {
        const answerlog::Parsed parsed = answerlog::parse(answerlog::read(path));
        const fsrs::FitReport fit =
            fsrs::optimise(fsrs::historiesOf(parsed.answers), fsrs::defaults());
        loss = fit.after.logLoss;
    }
    state.counters["logLoss"] = loss;
}
BENCHMARK(BM_FsrsOptimise)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

// The whole state file rewritten, as every 500th answer and the end of a review do.
void BM_ReviewStateRewrite(benchmark::State& state) {
    const int words = int(state.range(0));
    const WordIndex& index = openBook(words).index();
    ReviewStore store(copyOf(reviewedFolder(words)));
    store.load(index);
    const QDateTime now(Today, QTime(12, 0));
    int k = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const IndexEntry& e = index.at((k++ * 7919) % index.size());
        store.answer(e.word, e.recordNo, Grade::Good, now, 3);
        state.ResumeTiming();
        store.flush();
    }
}
BENCHMARK(BM_ReviewStateRewrite)->Arg(200000)->Unit(benchmark::kMillisecond);

void BM_ProgressCharts(benchmark::State& state) {
    const WordIndex& index = openBook(200000).index();
    const QString folder = reviewedFolder(200000);
    ReviewStore store(folder);
    store.load(index);
    for (auto _ : state) {
        const ProgressData data =
            progress::compute(answerlog::read(store.logPath()), store, index, Today);
        FrmProgress window(data);
        window.form()->resize(760, 620);
        QImage picture = window.form()->grab().toImage();
        benchmark::DoNotOptimize(picture);
    }
    state.counters["answers"] = double(state.range(0));
}
BENCHMARK(BM_ProgressCharts)->Arg(LoggedAnswers)->Unit(benchmark::kMillisecond);

} // namespace
