// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/projects/projectstate.h"
#include "projects/sentencesplit.h"
#include "projects/textsearch.h"
#include "ui/richtextpane.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QTextDocument>
#include <benchmark/benchmark.h>

// Find, replace all and the sentence split on a 1 MB document in a shown pane on the offscreen
// platform, each to the pane repainted.

namespace {

constexpr int Sentences = 10000;

// About 1 MB of text (a million characters): 10,000 sentences of about 100 characters, ten to
// a paragraph, each holding "cat" once.
QString megabyteText() {
    QString text;
    text.reserve(1 << 20);
    for (int i = 0; i < Sentences; ++i) {
        text += QStringLiteral("Sentence %1 tells how the cat walked along the quiet river bank "
                               "at dusk, looking for fish.")
                    .arg(i, 5, 10, QChar(u'0'));
        text += i % 10 == 9 ? QStringLiteral("\n") : QStringLiteral(" ");
    }
    return text;
}

// A pane of a usual editor size with the text in it, shown and laid out the way it is once the
// user has had it on screen.
struct ShownPane {
    RichTextPane pane;
    explicit ShownPane(const QString& text) {
        pane.resize(900, 500);
        pane.show();
        setText(text);
    }
    void setText(const QString& text) {
        pane.setPlainText(text);
        pane.document()->documentLayout()->documentSize();
        QCoreApplication::processEvents();
    }
};

void BM_FindNext1MB(benchmark::State& state) {
    QString text = megabyteText();
    // The one hit stands a hundred characters before the end.
    text.insert(text.size() - 100, QStringLiteral("Ｎｅｅｄｌｅ"));
    ShownPane shown(text);
    for (auto _ : state) {
        // The caret starts at the top, the pane painted there.
        state.PauseTiming();
        shown.pane.setSelStart(0);
        shown.pane.repaint();
        state.ResumeTiming();
        if (!textsearch::selectNext(shown.pane, QStringLiteral("ｎｅｅｄｌｅ"), 0,
                                    Qt::CaseInsensitive))
            state.SkipWithError("not found");
        shown.pane.repaint();
    }
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}
BENCHMARK(BM_FindNext1MB)->Unit(benchmark::kMillisecond);

void BM_ReplaceAll1MB(benchmark::State& state) {
    const QString text = megabyteText();
    ShownPane shown(text);
    for (auto _ : state) {
        state.PauseTiming();
        shown.setText(text);
        state.ResumeTiming();
        const int count = textsearch::replaceAll(shown.pane, QStringLiteral("cat"),
                                                 QStringLiteral("dog"), 0, Qt::CaseSensitive);
        shown.pane.repaint();
        if (count != Sentences)
            state.SkipWithError("wrong count");
    }
}
BENCHMARK(BM_ReplaceAll1MB)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Split1MB(benchmark::State& state) {
    const QString text = megabyteText();
    ShownPane shown(text);
    const SplitSettings settings;
    for (auto _ : state) {
        state.PauseTiming();
        shown.setText(text);
        shown.pane.setSelStart(0);
        state.ResumeTiming();
        sentencesplit::split(shown.pane, settings);
        shown.pane.repaint();
    }
}
BENCHMARK(BM_Split1MB)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
