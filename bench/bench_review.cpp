// SPDX-License-Identifier: GPL-3.0-or-later
// The review: today's queue from a 200,000-word review state with a 1,000,000-answer log, one
// answer recorded, and the progress window drawn from that log.
#include "bookgen.h"
#include "core/review/answerlog.h"
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
    for (const QString& name : {ReviewStore::FileName, answerlog::FileName})
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
