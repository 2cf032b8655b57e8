// SPDX-License-Identifier: GPL-3.0-or-later
// The dictionary index from the installed EDICT and WordNet: building it (once, in the
// background), opening the cached index, and one word's suggestions.
#include "core/dictionary/dictionaryindex.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

DictionaryFiles installed() {
    return DictionaryFiles::locate(DictionaryFiles::defaultRoot());
}

bool skipWithoutDictionaries(benchmark::State& state, const DictionaryFiles& files) {
    if (files.hasEdict() && files.hasWordnet())
        return false;
    state.SkipWithError("edict and wordnet-base are not installed");
    return true;
}

// Built once for the look-up benchmarks.
const DictionaryIndex& installedIndex() {
    static const DictionaryIndex index = DictionaryIndex::build(installed());
    return index;
}

void BM_DictionaryIndexBuild(benchmark::State& state) {
    const DictionaryFiles files = installed();
    if (skipWithoutDictionaries(state, files))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(DictionaryIndex::build(files).keyCount());
}
BENCHMARK(BM_DictionaryIndexBuild)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DictionaryOpen(benchmark::State& state) {
    const DictionaryFiles files = installed();
    if (skipWithoutDictionaries(state, files))
        return;
    QTemporaryDir dir;
    const QString cache = dir.path() + QStringLiteral("/index.bin");
    DictionaryIndex::openOrBuild(files, cache);
    for (auto _ : state) {
        DictionaryIndex index;
        if (DictionaryIndex::open(cache, files, &index) != DictionaryIndex::OpenResult::Opened)
            state.SkipWithError("the cache did not open");
        benchmark::DoNotOptimize(index.keyCount());
    }
}
BENCHMARK(BM_DictionaryOpen)->Unit(benchmark::kMillisecond);

void BM_DictionaryLookup(benchmark::State& state) {
    const DictionaryFiles files = installed();
    if (skipWithoutDictionaries(state, files))
        return;
    const DictionaryIndex& index = installedIndex();
    // Plain words, inflected ones that go through their base forms, and a word with no entry.
    const QString words[] = {QStringLiteral("go"),      QStringLiteral("went"),
                             QStringLiteral("mice"),    QStringLiteral("running"),
                             QStringLiteral("apples"),  QStringLiteral("serendipitously"),
                             QStringLiteral("qwertyz"), QStringLiteral("take off")};
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(index.lookup(words[i++ % std::size(words)]).size());
}
BENCHMARK(BM_DictionaryLookup)->Unit(benchmark::kMicrosecond);

void BM_DictionaryLookupJapanese(benchmark::State& state) {
    const DictionaryFiles files = installed();
    if (skipWithoutDictionaries(state, files))
        return;
    const DictionaryIndex& index = installedIndex();
    // Headwords, readings shared by many entries, a verb made with する and a word with no entry.
    const QString words[] = {QStringLiteral("食べる"), QStringLiteral("見る"),
                             QStringLiteral("みる"),   QStringLiteral("日本語"),
                             QStringLiteral("図書館"), QStringLiteral("勉強する"),
                             QStringLiteral("こう"),   QStringLiteral("ぬぬぬぬ")};
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(index.lookup(words[i++ % std::size(words)]).size());
}
BENCHMARK(BM_DictionaryLookupJapanese)
    ->Name("BM_DictionaryLookup/japanese")
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
