// SPDX-License-Identifier: GPL-3.0-or-later
#include "bookgen.h"
#include "core/store/book.h"
#include "platform/qtprintsurface.h"
#include "support/recordingprintsurface.h"
#include "tools/wordlistprint.h"

#include <QPrinter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

WordListPrintSettings defaultSettings() {
    WordListPrintSettings s;
    s.wordFont = {QStringLiteral("ＭＳ Ｐゴシック"), 11, false, false};
    s.meaningFont = {QStringLiteral("ＭＳ Ｐゴシック"), 11, false, false};
    s.bookName = QStringLiteral("英単語");
    return s;
}

// The first n words of a generated book, opened read-only.
struct OpenBook {
    explicit OpenBook(int n) : book(bookgen::book(n)) { book.open(/*readOnly=*/true); }
    std::vector<IndexEntry> words() const { return book.index().entries(); }
    PrintRecords records() const {
        return {[this](qint32 r) { return book.meaning(r); },
                [this](qint32 r) { return book.example(r); }};
    }
    Book book;
};

} // namespace

// Laying the whole list out with the default settings, onto the recording surface.
static void BM_PrintLayout(benchmark::State& state) {
    const OpenBook open(int(state.range(0)));
    const std::vector<IndexEntry> words = open.words();
    const PrintRecords records = open.records();
    const WordListPrintSettings settings = defaultSettings();
    for (auto _ : state) {
        RecordingPrintSurface surface;
        benchmark::DoNotOptimize(printWordList(surface, settings, words, records));
        state.counters["pages"] = surface.pages();
    }
}
BENCHMARK(BM_PrintLayout)->Arg(10000)->Unit(benchmark::kMillisecond);

// The list printed to a PDF file through QPrinter.
static void BM_PrintPdf(benchmark::State& state) {
    const OpenBook open(int(state.range(0)));
    const std::vector<IndexEntry> words = open.words();
    const PrintRecords records = open.records();
    const WordListPrintSettings settings = defaultSettings();
    QTemporaryDir dir;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("list.pdf")));
        QtPrintSurface surface(printer);
        benchmark::DoNotOptimize(printWordList(surface, settings, words, records));
    }
}
BENCHMARK(BM_PrintPdf)->Arg(1000)->Unit(benchmark::kMillisecond);
