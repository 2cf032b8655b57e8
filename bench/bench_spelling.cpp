// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spelling/spellchecker.h"
#include "platform/hunspellengine.h"
#include "translator/spellhighlighter.h"
#include "ui/richtextpane.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTextCursor>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

// English prose of about 1 MB in paragraphs of some 80 words, one word in 40 misspelt.
QString megabyteOfEnglish() {
    static const QStringList words =
        QString(
            "the translator reads each sentence of the original carefully and writes a faithful "
            "version in her own language keeping the tone of the author while the meaning stays "
            "clear for readers who never saw the source text before they opened this book about "
            "travel history science and the quiet work of people whose names are seldom printed "
            "teh recieve langauge occured wich")
            .split(u' ');
    QString text;
    text.reserve(1100 * 1024);
    for (int i = 0; text.size() < 1024 * 1024; ++i) {
        text += words[(i * 7 + i / 13) % words.size()];
        text += (i % 80 == 79) ? u'\n' : u' ';
    }
    return text;
}

std::unique_ptr<HunspellEngine> englishEngine() {
    for (const SpellDictionary& d : hunspelldictionaries::installed())
        if (d.code == hunspelldictionaries::defaultCode({d}))
            return std::make_unique<HunspellEngine>(d);
    return nullptr;
}

struct SpellPane {
    RichTextPane pane;
    spelling::SpellChecker checker;
    std::unique_ptr<HunspellEngine> engine = englishEngine();
    SpellHighlighter highlighter{pane, checker};

    SpellPane() {
        checker.setEngine(engine.get());
        pane.resize(800, 600);
        pane.show();
        pane.setPlainText(megabyteOfEnglish());
        QApplication::processEvents();
    }
};

// Checking all of a loaded document, in the slices the event loop would run; reports the longest
// slice.
void BM_SpellDocument1MB(benchmark::State& state) {
    SpellPane p;
    if (!p.engine) {
        state.SkipWithError("no English (US) Hunspell dictionary installed");
        return;
    }
    qint64 longest = 0;
    int slices = 0;
    for (auto _ : state) {
        p.highlighter.setActive(false);
        p.checker.setEngine(p.engine.get()); // forgets the remembered answers
        p.highlighter.setActive(true);
        QElapsedTimer slice;
        bool more = true;
        for (slices = 0; more; ++slices) {
            slice.start();
            more = p.highlighter.checkSlice();
            longest = std::max(longest, slice.elapsed());
        }
    }
    state.counters["longest_slice_ms"] = double(longest);
    state.counters["slices"] = slices;
}
BENCHMARK(BM_SpellDocument1MB)->Unit(benchmark::kMillisecond)->Iterations(3);

// One keystroke in the middle of a checked 1 MB translation, to the pane repainted; the argument
// turns the checking on (1) or off (0).
void BM_SpellKeystroke1MB(benchmark::State& state) {
    SpellPane p;
    if (!p.engine) {
        state.SkipWithError("no English (US) Hunspell dictionary installed");
        return;
    }
    p.highlighter.setActive(state.range(0) == 1);
    while (p.highlighter.checkSlice(1000)) {
    }
    QTextCursor middle(p.pane.document());
    middle.setPosition(p.pane.document()->characterCount() / 2);
    p.pane.setTextCursor(middle);
    p.pane.ensureCursorVisible();
    QApplication::processEvents();
    bool typed = false;
    for (auto _ : state) {
        const int key = typed ? int(Qt::Key_Backspace) : int(Qt::Key_X);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, typed ? QString() : "x");
        QApplication::sendEvent(&p.pane, &press);
        p.pane.viewport()->repaint();
        typed = !typed;
    }
}
BENCHMARK(BM_SpellKeystroke1MB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
