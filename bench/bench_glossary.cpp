// SPDX-License-Identifier: GPL-3.0-or-later
#include "bookgen.h"
#include "core/dictionary/dictionaryfiles.h"
#include "core/glossary/glossary.h"
#include "core/glossary/irregularforms.h"

#include <QRandomGenerator>
#include <QStringList>
#include <benchmark/benchmark.h>

namespace {

// The generated book's words with record numbers, and, for Japanese text, a tenth as many
// Japanese words beside them.
std::vector<Glossary::Word> bookWords(int n, bool withJapanese) {
    std::vector<Glossary::Word> out;
    const QStringList words = bookgen::words(n);
    for (int i = 0; i < words.size(); ++i)
        out.push_back({words[i], i + 1});
    if (withJapanese) {
        const QStringList japanese = bookgen::japaneseWords(n / 10);
        for (int i = 0; i < japanese.size(); ++i)
            out.push_back({japanese[i], n + i + 1});
    }
    return out;
}

// The glossary as the editor builds it: with the installed English dictionary's irregular forms,
// which every word that matches nothing is looked up in.
Glossary editorGlossary(const std::vector<Glossary::Word>& words) {
    Glossary g(words);
    const DictionaryFiles files = DictionaryFiles::locate(DictionaryFiles::defaultRoot());
    g.setIrregularForms(
        std::make_shared<const IrregularForms>(IrregularForms::read(files.wordnetExceptions)));
    return g;
}

} // namespace

static void BM_GlossaryBuild(benchmark::State& state) {
    const std::vector<Glossary::Word> words = bookWords(int(state.range(0)), false);
    for (auto _ : state) {
        Glossary g(words);
        benchmark::DoNotOptimize(g.size());
    }
}
BENCHMARK(BM_GlossaryBuild)->Arg(200000)->Unit(benchmark::kMillisecond);

// The list for the caret's sentence: 300 characters, each word once.
static void BM_GlossarySentence(benchmark::State& state, bool japanese) {
    const int n = int(state.range(0));
    const Glossary g = editorGlossary(bookWords(n, japanese));
    const QString text =
        japanese ? bookgen::japaneseText(600).left(300) : bookgen::englishText(n, 300);
    size_t found = 0;
    for (auto _ : state) {
        found = g.distinctMatches(text).size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["words"] = double(found);
    if (found == 0)
        state.SkipWithError("the sentence holds no book word");
}
BENCHMARK_CAPTURE(BM_GlossarySentence, english, false)->Arg(200000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_GlossarySentence, japanese, true)->Arg(200000)->Unit(benchmark::kMicrosecond);

// The panel's list for the caret's sentence: each word once, a phrase's parts behind it.
static void BM_GlossarySentenceWithParts(benchmark::State& state) {
    const int n = int(state.range(0));
    const Glossary g = editorGlossary(bookWords(n, false));
    const QString text = bookgen::englishText(n, 300);
    size_t found = 0;
    for (auto _ : state) {
        found = g.distinctMatchesWithParts(text).size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["words"] = double(found);
}
BENCHMARK(BM_GlossarySentenceWithParts)->Arg(200000)->Unit(benchmark::kMicrosecond);

// One registration reflected, and taken back so the glossary keeps its size.
static void BM_GlossaryUpdate(benchmark::State& state) {
    const int n = int(state.range(0));
    Glossary g(bookWords(n, false));
    int i = 0;
    for (auto _ : state) {
        const QString word = QStringLiteral("registered") + QString::number(i++);
        g.add(word, n + 1);
        g.remove(word);
    }
    benchmark::DoNotOptimize(g.size());
}
BENCHMARK(BM_GlossaryUpdate)->Arg(200000)->Unit(benchmark::kMicrosecond);

// Every match of a 1 MB original, as the highlight needs them.
static void BM_GlossaryDocument1MB(benchmark::State& state, bool japanese) {
    const int n = int(state.range(0));
    const Glossary g = editorGlossary(bookWords(n, japanese));
    const QString text =
        japanese ? bookgen::japaneseText(1 << 20) : bookgen::englishText(n, 1 << 20);
    size_t found = 0;
    for (auto _ : state) {
        found = g.matches(text).size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["matches"] = double(found);
}
BENCHMARK_CAPTURE(BM_GlossaryDocument1MB, english, false)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GlossaryDocument1MB, japanese, true)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
