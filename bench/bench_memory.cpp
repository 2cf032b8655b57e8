// SPDX-License-Identifier: GPL-3.0-or-later
#include "bookgen.h"
#include "core/memory/harvest.h"
#include "core/memory/memorystore.h"
#include "core/memory/tmx.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

namespace {

// A generated bilingual text: English-looking sentences of 6 to 40 words, a third of them
// common words, each with a Japanese-looking translation. The same n always gives the same pairs.
std::vector<MemoryPair> bilingualPairs(int n) {
    static const QStringList english = bookgen::words(20000);
    static const QStringList japanese = bookgen::japaneseWords(5000);
    static const QStringList common = {"the", "of", "and", "a", "to", "in", "is", "for", "with"};
    QRandomGenerator rng{quint32(n)};
    std::vector<MemoryPair> pairs;
    pairs.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
        const int length = 6 + int(rng.bounded(35));
        QStringList source;
        QString target;
        for (int w = 0; w < length; ++w) {
            source << (rng.bounded(3) == 0 ? common[int(rng.bounded(int(common.size())))]
                                           : english[int(rng.bounded(int(english.size())))]);
            if (w % 2 == 0)
                target += japanese[int(rng.bounded(int(japanese.size())))];
        }
        pairs.push_back({source.join(u' ') + u'.', target + QStringLiteral("。"), {}});
    }
    return pairs;
}

struct Memory {
    QTemporaryDir dir;
    std::unique_ptr<MemoryStore> store;
    std::vector<MemoryPair> pairs;
};

std::map<int, std::unique_ptr<Memory>>& madeMemories() {
    static std::map<int, std::unique_ptr<Memory>> made;
    return made;
}

// A memory of n generated pairs, made once per size. The memories are closed while the
// application still exists: a database connection closed after it, at the program's exit,
// crashes in Qt SQL's teardown.
Memory& memoryOf(int n) {
    static const bool closedAtQuit = [] {
        qAddPostRoutine([] { madeMemories().clear(); });
        return true;
    }();
    (void)closedAtQuit;
    std::unique_ptr<Memory>& m = madeMemories()[n];
    if (!m) {
        m = std::make_unique<Memory>();
        m->store = std::make_unique<MemoryStore>(m->dir.filePath(MemoryStore::FileName));
        m->store->open();
        m->pairs = bilingualPairs(n);
        m->store->add(QStringLiteral("generated"), QStringLiteral("en"), QStringLiteral("ja"),
                      m->pairs);
    }
    return *m;
}

} // namespace

// The five best matches of a 200-character sentence: one of the memory's originals with two
// words changed.
static void BM_MemoryLookup(benchmark::State& state) {
    Memory& m = memoryOf(int(state.range(0)));
    QString sentence;
    for (const MemoryPair& p : m.pairs)
        if (p.source.size() >= 190 && p.source.size() <= 210) {
            sentence = p.source;
            break;
        }
    QStringList words = sentence.split(u' ');
    words[1] = QStringLiteral("changed");
    words[words.size() / 2] = QStringLiteral("altered");
    sentence = words.join(u' ');
    size_t found = 0;
    for (auto _ : state) {
        const std::vector<MemoryMatch> matches =
            m.store->lookup(sentence, QStringLiteral("en"), QStringLiteral("ja"), 70, 5);
        found = matches.size();
        benchmark::DoNotOptimize(matches.data());
    }
    state.counters["matches"] = double(found);
    if (found == 0)
        state.SkipWithError("the changed sentence was not found");
}
BENCHMARK(BM_MemoryLookup)->Arg(100000)->Unit(benchmark::kMillisecond);

// Saving a numbered project of 1 MB (original and translation together): its pairs taken and
// every translation replaced in the memory, which already holds 100,000 other pairs.
static void BM_MemoryHarvest1MB(benchmark::State& state) {
    Memory& m = memoryOf(100000);
    const std::vector<MemoryPair> pairs = bilingualPairs(4000);
    QString original[2];
    QString translation[2];
    int n = 0;
    for (const MemoryPair& p : pairs) {
        if ((original[0].size() + translation[0].size()) * 2 >= 1024 * 1024)
            break;
        ++n;
        for (int k = 0; k < 2; ++k) {
            original[k] += QStringLiteral("%1 : \n").arg(n) + p.source + QStringLiteral("\n\n");
            translation[k] += QStringLiteral("%1 : \n").arg(n) + p.target +
                              (k ? QStringLiteral("（改）") : QString()) + QStringLiteral("\n\n");
        }
    }
    // The project was saved before; this save changes every translation.
    m.store->add(QStringLiteral("project"), QStringLiteral("en"), QStringLiteral("ja"),
                 harvest::pairs(original[1], translation[1], {}).pairs);
    int round = 0;
    for (auto _ : state) {
        const int k = round++ % 2;
        const harvest::Result r = harvest::pairs(original[k], translation[k], {});
        const int changed = m.store->add(QStringLiteral("project"), QStringLiteral("en"),
                                         QStringLiteral("ja"), r.pairs);
        if (changed != n)
            state.SkipWithError("the pairs were not all replaced");
    }
    state.counters["pairs"] = n;
    state.SetBytesProcessed(state.iterations() * (original[0].size() + translation[0].size()) * 2);
}
BENCHMARK(BM_MemoryHarvest1MB)->Unit(benchmark::kMillisecond);

// Importing a TMX file of n units into an empty memory: reading, pairing and storing, with the
// progress asked for while reading and while storing (the editor shows the one and may show the
// other).
static void BM_TmxImport(benchmark::State& state) {
    const int n = int(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.tmx"));
    {
        std::vector<MemoryEntry> entries;
        for (const MemoryPair& p : bilingualPairs(n))
            entries.push_back({p.source, p.target, QStringLiteral("x"), QStringLiteral("en"),
                               QStringLiteral("ja"), QDateTime::currentDateTimeUtc()});
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(tmx::write(entries, QStringLiteral("en")));
    }
    int round = 0;
    int reports = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto store = std::make_unique<MemoryStore>(
            dir.filePath(QStringLiteral("memory%1.sqlite").arg(round++)));
        store->open();
        state.ResumeTiming();
        reports = 0;
        const tmx::Document doc = tmx::read(path, [&](qint64, qint64) { return ++reports > 0; });
        const int added =
            store->add(QStringLiteral("big.tmx"), QStringLiteral("en"), QStringLiteral("ja"),
                       tmx::pairsOf(doc, QStringLiteral("en"), QStringLiteral("ja")),
                       [&](int) { return ++reports > 0; });
        if (added != n)
            state.SkipWithError("not every unit was imported");
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
    state.counters["units"] = n;
    state.counters["progress"] = reports;
}
BENCHMARK(BM_TmxImport)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
