// SPDX-License-Identifier: GPL-3.0-or-later
#include "bookgen.h"
#include "core/projects/projectstate.h"
#include "core/store/book.h"
#include "support/cancellingdialogs.h"
#include "translator/quicksearch.h"
#include "translator/wordpane.h"

#include <QStringList>
#include <benchmark/benchmark.h>

namespace {

// Counts the boxes a run shows; a benchmark that shows one measured the wrong thing.
class CountingDialogs : public CancellingDialogs {
public:
    CountingDialogs() { setDialogService(this); }
    ~CountingDialogs() override { setDialogService(nullptr); }
    int boxes = 0;
    Answer message(const MessageRequest&) override {
        ++boxes;
        return Answer::Ok;
    }
};

// A generated book opened in the editor's order, with its word pane started.
struct EditorBook {
    explicit EditorBook(int n) : book(bookgen::book(n), WordIndex::Order::Ordinal), pane(book) {
        book.open(/*readOnly=*/true);
        pane.start();
    }
    Book book;
    WordPane pane;
};

QuickSearchOptions approximateWithFocus() {
    QuickSearchOptions o;
    o.approxSearch = true;
    o.focusWordPaneAfterSearch = true;
    return o;
}

} // namespace

// A selection that is a word of the book: look-up, the word's records read, the input box
// written (its incremental search runs too).
static void BM_QuickSearch_Exact(benchmark::State& state) {
    CountingDialogs dialogs;
    EditorBook editor(int(state.range(0)));
    const QStringList words = bookgen::words(int(state.range(0)));
    const QuickSearchOptions options = approximateWithFocus();
    int i = 0;
    for (auto _ : state) {
        const QString& word = words[(i++ * 7919) % words.size()];
        QuickSearch::run(editor.pane, options, true, word + u' ');
        benchmark::DoNotOptimize(editor.pane.currentPosition());
    }
    if (dialogs.boxes > 0)
        state.SkipWithError("a word of the book was not found");
}
BENCHMARK(BM_QuickSearch_Exact)
    ->Name("BM_QuickSearch/exact")
    ->Arg(200000)
    ->Unit(benchmark::kMicrosecond);

// A 12-character selection that is not in the book: the prefixes are shortened down to the four
// characters of a word, whose greatest run member is then shown.
static void BM_QuickSearch_Approximate(benchmark::State& state) {
    EditorBook editor(int(state.range(0)));
    const QStringList words = bookgen::words(int(state.range(0)));
    QStringList selections;
    for (const QString& w : words)
        if (w.size() >= 4 && selections.size() < 4096)
            selections << (w.left(4) + QStringLiteral("zqzqzqzqzq")).left(12);
    const QuickSearchOptions options = approximateWithFocus();
    CountingDialogs dialogs;
    int i = 0;
    for (auto _ : state) {
        QuickSearch::run(editor.pane, options, true, selections[i++ % selections.size()]);
        benchmark::DoNotOptimize(editor.pane.currentPosition());
    }
    if (dialogs.boxes > 0)
        state.SkipWithError("a shortened selection found nothing");
}
BENCHMARK(BM_QuickSearch_Approximate)
    ->Name("BM_QuickSearch/approximate12")
    ->Arg(200000)
    ->Unit(benchmark::kMicrosecond);

// One keystroke in the input box, without widgets: the incremental search and the records of the
// word it shows. Each iteration types the next letter of a word, starting again after eight.
static void BM_WordPaneInput(benchmark::State& state) {
    EditorBook editor(int(state.range(0)));
    const QStringList words = bookgen::words(int(state.range(0)));
    int i = 0;
    int letters = 0;
    for (auto _ : state) {
        letters = letters % 8 + 1;
        if (letters == 1)
            ++i;
        editor.pane.inputChanged(words[(i * 7919) % words.size()].left(letters));
        benchmark::DoNotOptimize(editor.pane.word());
    }
}
BENCHMARK(BM_WordPaneInput)->Arg(200000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
