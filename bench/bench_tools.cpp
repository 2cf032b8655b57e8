// SPDX-License-Identifier: GPL-3.0-or-later
// Export, import, merge and CSV import of generated books, against the floor of copying a book's
// record files (BM_FloorCopyBooks in bench_store).
#include "bookgen.h"
#include "core/files/atomicfile.h"
#include "core/store/book.h"
#include "core/store/booktransfer.h"
#include "core/exchange/exchange.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

std::vector<IndexEntry> allWords(const QString& folder) {
    return readWordList(folder);
}

// A second book of n words sharing a tenth of the first book's words.
QString overlappingBook(int n) {
    static QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/B%1").arg(n);
    if (QDir(folder).exists())
        return folder;
    QDir().mkpath(folder);
    const QString source = bookgen::book(n);
    std::vector<IndexEntry> words = allWords(source);
    for (size_t i = 0; i < words.size(); ++i)
        if (i % 10 != 0)
            words[i].word += QStringLiteral("-b");
    booktransfer::exportOwnFormat(source, words, folder);
    return folder;
}

void BM_ExportOwn(benchmark::State& state) {
    const QString source = bookgen::book(int(state.range(0)));
    const std::vector<IndexEntry> words = allWords(source);
    for (auto _ : state) {
        QTemporaryDir dir;
        booktransfer::exportOwnFormat(source, words, dir.path());
    }
}
BENCHMARK(BM_ExportOwn)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ExportCsv(benchmark::State& state) {
    const QString source = bookgen::book(int(state.range(0)));
    const std::vector<IndexEntry> words = allWords(source);
    QTemporaryDir dir;
    for (auto _ : state)
        booktransfer::exportCsv(source, words, dir.path() + QStringLiteral("/out.csv"),
                                QStringLiteral(" / "), CsvEncoding::Cp932);
}
BENCHMARK(BM_ExportCsv)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_Import(benchmark::State& state) {
    const QString source = bookgen::book(int(state.range(0)));
    for (auto _ : state) {
        QTemporaryDir dir;
        booktransfer::importBook(source, dir.path());
    }
}
BENCHMARK(BM_Import)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_Merge(benchmark::State& state) {
    const int n = int(state.range(0));
    const QString a = bookgen::book(n);
    const QString b = overlappingBook(n);
    for (auto _ : state) {
        QTemporaryDir dir;
        BookMerge merge(a, b, dir.path(), BookMerge::Policy::Both);
        merge.run();
    }
}
BENCHMARK(BM_Merge)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ImportCsv(benchmark::State& state) {
    const QString source = bookgen::book(int(state.range(0)));
    QTemporaryDir csvDir;
    const QString csv = csvDir.path() + QStringLiteral("/in.csv");
    booktransfer::exportCsv(source, allWords(source), csv, QStringLiteral(" / "),
                            CsvEncoding::Cp932);
    for (auto _ : state) {
        QTemporaryDir dir;
        booktransfer::importCsv(csv, dir.path());
    }
}
BENCHMARK(BM_ImportCsv)->Arg(100000)->Unit(benchmark::kMillisecond);

// The other programs' formats, measured in the same run as the comma-separated file.
const exchange::BookInfo BenchInfo =
    exchange::infoFor(QStringLiteral("bench"), QStringLiteral("英語ｾｯﾄ"));

void exportAs(benchmark::State& state, exchange::Format format) {
    const QString source = bookgen::book(int(state.range(0)));
    const std::vector<IndexEntry> words = allWords(source);
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/out.") + exchange::suffixOf(format);
    for (auto _ : state)
        exchange::exportFile(format, source, words, path, BenchInfo);
}

// Reads the file and adds its words to an empty book, as the dialog does.
void importAs(benchmark::State& state, exchange::Format format) {
    const QString source = bookgen::book(int(state.range(0)));
    QTemporaryDir fileDir;
    const QString path = fileDir.path() + QStringLiteral("/in.") + exchange::suffixOf(format);
    exchange::exportFile(format, source, allWords(source), path, BenchInfo);
    for (auto _ : state) {
        QTemporaryDir dir;
        const exchange::ReadResult read = exchange::readFile(format, path);
        if (!read.error.isEmpty() || read.rows.size() != size_t(state.range(0)))
            state.SkipWithError("the file did not read back");
        exchange::importRows(read.rows, dir.path());
    }
}

void BM_ExportAnki(benchmark::State& state) {
    exportAs(state, exchange::Format::Anki);
}
BENCHMARK(BM_ExportAnki)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ExportKvtml(benchmark::State& state) {
    exportAs(state, exchange::Format::Kvtml);
}
BENCHMARK(BM_ExportKvtml)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ExportTbx(benchmark::State& state) {
    exportAs(state, exchange::Format::Tbx);
}
BENCHMARK(BM_ExportTbx)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ImportAnki(benchmark::State& state) {
    importAs(state, exchange::Format::Anki);
}
BENCHMARK(BM_ImportAnki)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ImportKvtml(benchmark::State& state) {
    importAs(state, exchange::Format::Kvtml);
}
BENCHMARK(BM_ImportKvtml)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ImportTbx(benchmark::State& state) {
    importAs(state, exchange::Format::Tbx);
}
BENCHMARK(BM_ImportTbx)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
