// SPDX-License-Identifier: GPL-3.0-or-later
#include "bookgen.h"
#include "core/dictionary/dictionaryfiles.h"
#include "core/glossary/glossary.h"
#include "core/glossary/irregularforms.h"
#include "platform/mecabanalyser.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QStringDecoder>
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

// A Japanese-headword book of n words: EDICT's headwords in file order, each once, then its
// readings where the headwords run out.
std::vector<Glossary::Word> edictBook(int n) {
    std::vector<Glossary::Word> out;
    QFile file(DictionaryFiles::locate(DictionaryFiles::defaultRoot()).edict);
    if (!file.open(QIODevice::ReadOnly))
        return out;
    QStringDecoder decode("EUC-JP");
    const QString text = decode(file.readAll());
    QSet<QString> seen;
    QStringList readings;
    const auto take = [&](const QString& word) {
        if (!word.isEmpty() && int(out.size()) < n && !seen.contains(word)) {
            seen.insert(word);
            out.push_back({word, int(out.size()) + 1});
        }
    };
    for (QStringView line : QStringView(text).split(u'\n')) {
        const qsizetype space = line.indexOf(u' ');
        if (space <= 0 || line.startsWith(u"\uFF1F\uFF1F\uFF1F"))
            continue;
        take(line.left(space).split(u';').front().split(u'(').front().toString());
        if (line.mid(space + 1).startsWith(u'['))
            readings << line.mid(space + 2, line.indexOf(u']') - space - 2)
                            .split(u';')
                            .front()
                            .split(u'(')
                            .front()
                            .toString();
    }
    for (const QString& r : readings)
        take(r);
    return out;
}

// Japanese prose of about `bytes` bytes in CP932: ordinary sentences with inflected verbs and
// adjectives, compounds, loanwords and a little Latin, in a shuffled order.
QString japaneseProse(int bytes) {
    static const QStringList sentences = {
        QStringLiteral("この方法を用いて、学生たちは日本語の文法を少しずつ学びます。"),
        QStringLiteral("明日までに報告書を書かなければならないので、今夜は早く帰れません。"),
        QStringLiteral("翻訳者は原文の意味を正確に伝えるために、辞書を何度も引いていた。"),
        QStringLiteral("来年の日本語能力試験を受けるつもりだが、まだ準備が足りないと感じている。"),
        QStringLiteral(
            "図書館で借りた本は、とても面白かったけれど、少し難しくなかったとは言えない。"),
        QStringLiteral("新しいコンピューターを買ったので、古いデータを移さなければいけない。"),
        QStringLiteral("彼女は毎朝六時に起きて、公園を散歩してから会社へ行きます。"),
        QStringLiteral("このソフトウェアはLinuxでもWindowsでも動くように作られている。"),
        QStringLiteral("雨が降っていたため、試合は中止され、選手たちは静かに会場を去った。"),
        QStringLiteral("先生に言われたとおりに練習すれば、必ず上手になれるでしょう。"),
        QStringLiteral("美しい景色を見ながら、私たちは山の上で温かいお茶を飲んだ。"),
        QStringLiteral("経済の専門家によると、来年の物価はさらに高くなると予想されている。"),
    };
    QRandomGenerator rng(11);
    QString text;
    int size = 0;
    while (size < bytes) {
        QString sentence = sentences[rng.bounded(int(sentences.size()))];
        if (rng.bounded(5) == 0)
            sentence += u'\n';
        size += int(sentence.size()) * 2;
        text += sentence;
    }
    return text;
}

// The Japanese-headword book read as words, or null with the benchmark skipped.
std::unique_ptr<Glossary> morphGlossary(benchmark::State& state) {
    const std::vector<Glossary::Word> words = edictBook(int(state.range(0)));
    auto analyser = japaneseanalyser::shared();
    if (words.size() < size_t(state.range(0)) || !analyser) {
        state.SkipWithError("edict or MeCab with mecab-ipadic-utf8 is not installed");
        return nullptr;
    }
    auto g = std::make_unique<Glossary>(words);
    g->setAnalyser(std::move(analyser));
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

// The panel's list for a 300-character sentence of a Japanese original, read as words, against a
// book of EDICT's headwords.
static void BM_GlossarySentenceMorph(benchmark::State& state) {
    const std::unique_ptr<Glossary> g = morphGlossary(state);
    if (!g)
        return;
    const QString text = japaneseProse(2000).left(300);
    size_t found = 0;
    for (auto _ : state) {
        found = g->distinctMatchesWithParts(text).size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["words"] = double(found);
}
BENCHMARK(BM_GlossarySentenceMorph)
    ->Name("BM_GlossarySentence/japanese-morph")
    ->Arg(200000)
    ->Unit(benchmark::kMicrosecond);

// The highlight of a 1 MB Japanese original read as words, paragraph by paragraph as the panel
// goes through it in slices.
static void BM_GlossaryDocument1MBMorph(benchmark::State& state) {
    const std::unique_ptr<Glossary> g = morphGlossary(state);
    if (!g)
        return;
    const QStringList paragraphs = japaneseProse(1 << 20).split(u'\n');
    size_t found = 0;
    for (auto _ : state) {
        found = 0;
        for (const QString& p : paragraphs)
            found += g->matches(p).size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["matches"] = double(found);
}
BENCHMARK(BM_GlossaryDocument1MBMorph)
    ->Name("BM_GlossaryDocument1MB/japanese-morph")
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
