#include "bookgen.h"

#include "core/cp932.h"
#include "core/textrecord.h"

#include <QCoreApplication>
#include <QFile>

#include <benchmark/benchmark.h>

// The floor every open of a book stands on: reading the word file and decoding it, nothing else.
static void BM_FloorReadWords(benchmark::State& state) {
    const QString path = bookgen::book(int(state.range(0))) + QStringLiteral("/words.vtd");
    for (auto _ : state) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        QString text = cp932::decode(f.readAll());
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_FloorReadWords)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
