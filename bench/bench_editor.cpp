// SPDX-License-Identifier: GPL-3.0-or-later
#include "benchhome.h"
#include "bookgen.h"
#include "core/glossary/glossarysettings.h"
#include "core/projects/projectfiles.h"
#include "core/richtext/documentfile.h"
#include "core/settings/session.h"
#include "core/store/book.h"
#include "platform/dialogservice.h"
#include "translator/frmtranslatorl.h"
#include "translator/frmtrsplash.h"
#include "translator/glossarypanel.h"
#include "ui/mainform.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"
#include "wordbook/frmmain.h"
#include "wordbook/program.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>
#include <memory>

// The translation editor on the offscreen platform: its start from the hand-over, a keystroke in
// its word pane, the return to the word book, and working in a large formatted translation.

namespace {

// Text of the given size in bytes as CP932 holds it, cut into runs that take turns at bold,
// italic, red and plain.
QTextDocument* formattedText(int bytes, int runs, QObject* parent) {
    auto* document = new QTextDocument(parent);
    document->setPlainText(bookgen::japaneseText(bytes));
    if (runs < 1)
        return document;
    const int length = document->characterCount() - 1;
    QTextCursor c(document);
    c.beginEditBlock();
    for (int run = 0; run < runs; ++run) {
        QTextCharFormat format;
        switch (run % 4) {
        case 0:
            format.setFontWeight(QFont::Bold);
            break;
        case 1:
            format.setFontItalic(true);
            break;
        case 2:
            format.setForeground(QColor(255, 0, 0));
            break;
        default:
            continue;
        }
        c.setPosition(int(qint64(length) * run / runs));
        c.setPosition(int(qint64(length) * (run + 1) / runs), QTextCursor::KeepAnchor);
        c.mergeCharFormat(format);
    }
    c.endEditBlock();
    return document;
}

// The bench home with the display settings written and a project of two RTF documents in use:
// 100 KB of plain text each unless given otherwise.
struct EditorHome : BenchHome {
    EditorHome(int n, bool copy, int documentBytes = 100 * 1024, int runs = 0)
        : BenchHome(n, copy) {
        WriteDisplaySettings(dir.path(), SetDefaultDisplaySettings());

        PlanInfo plan;
        plan.planName = QStringLiteral("bench");
        plan.orgFilePath = dir.path() + QStringLiteral("/original.rtf");
        plan.orgFileName = QStringLiteral("original.rtf");
        plan.transFilePath = dir.path() + QStringLiteral("/translation.rtf");
        plan.transFileName = QStringLiteral("translation.rtf");
        plan.useCmnt = false;
        QObject owner;
        const QTextDocument* text = formattedText(documentBytes, runs, &owner);
        richtext::saveDocument(plan.orgFilePath, *text);
        richtext::saveDocument(plan.transFilePath, *text);
        projectfiles::saveCurrentPlan(dir.path(), plan);
        becomeSession();
    }
};

// The editor on a 1 MB translation in 10,000 format runs, with the translation pane worked in.
struct LargeTranslation {
    AnsweringDialogs dialogs{Answer::No};
    EditorHome home;
    std::unique_ptr<FrmTranslatorL> editor;
    RichTextPane* pane = nullptr;

    LargeTranslation() : home(1000, false, 1 << 20, 10000) {
        setDialogService(&dialogs);
        editor = frmtrsplash::openEditor();
        if (!editor)
            return;
        pane = editor->form()->Rtxt2;
        pane->setFocus();
        pane->setSelStart(0);
        QCoreApplication::processEvents();
    }

    // False, and the benchmark skipped, when the editor did not start.
    bool started(benchmark::State& state) const {
        if (!pane)
            state.SkipWithError("the editor did not start");
        return pane != nullptr;
    }

    // The caret back at the start of the translation, outside the timing.
    void rewind(benchmark::State& state) {
        state.PauseTiming();
        pane->setSelStart(0);
        state.ResumeTiming();
    }
};

} // namespace

// From the hand-over (the main window has written the book back) to the editor painted: the
// book read and sorted in the editor's order, the font list, both documents loaded, the first
// word shown.
static void BM_EditorStart(benchmark::State& state) {
    AnsweringDialogs dialogs(Answer::No);
    setDialogService(&dialogs);
    EditorHome home(int(state.range(0)), false);
    for (auto _ : state) {
        std::unique_ptr<FrmTranslatorL> editor = frmtrsplash::openEditor();
        if (!editor) {
            state.SkipWithError("the editor did not start");
            break;
        }
        editor->form()->repaint();
        state.PauseTiming();
        editor.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EditorStart)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);

// The same with the book-words panel shown from the start: its matcher is built on a thread of
// its own, so the start itself only pays for handing the words over.
static void BM_EditorStartWithGlossary(benchmark::State& state) {
    AnsweringDialogs dialogs(Answer::No);
    setDialogService(&dialogs);
    EditorHome home(int(state.range(0)), false);
    GlossarySettings shown;
    shown.visible = true;
    shown.write(home.dir.path());
    for (auto _ : state) {
        std::unique_ptr<FrmTranslatorL> editor = frmtrsplash::openEditor();
        if (!editor) {
            state.SkipWithError("the editor did not start");
            break;
        }
        editor->form()->repaint();
        state.PauseTiming();
        editor.reset(); // waits for the matcher's thread
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EditorStartWithGlossary)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);

// The highlight of the book's words over a 1 MB original, worked out in slices between window
// events, up to the pane repainted with its marks. The counter gives the longest slice.
static void BM_GlossaryHighlight1MB(benchmark::State& state) {
    AnsweringDialogs dialogs(Answer::No);
    setDialogService(&dialogs);
    const int n = int(state.range(0));
    EditorHome home(n, false);
    std::unique_ptr<FrmTranslatorL> editor = frmtrsplash::openEditor();
    GlossaryPanel* panel = editor ? editor->glossary() : nullptr;
    if (!panel || !panel->form()) {
        state.SkipWithError("the editor or its panel did not start");
        return;
    }
    RichTextPane* original = editor->form()->Rtxt1;
    QString text = bookgen::englishText(n, 1 << 20);
    for (int i = 2000; i < text.size(); i += 2000)
        text[i] = u'\n'; // paragraphs of 2,000 characters
    original->setPlainText(text);
    panel->setPanelVisible(true);
    if (!QTest::qWaitFor([&] { return panel->isReady(); }, 10000)) {
        state.SkipWithError("the matcher was not built");
        return;
    }
    qint64 longest = 0;
    qsizetype marks = 0;
    for (auto _ : state) {
        panel->setHighlight(true);
        QElapsedTimer slice;
        while (!panel->isHighlightDone()) {
            slice.start();
            QCoreApplication::processEvents();
            longest = std::max(longest, slice.elapsed());
        }
        original->repaint();
        state.PauseTiming();
        marks = original->extraSelections().size();
        panel->setHighlight(false);
        state.ResumeTiming();
    }
    state.counters["marks_on_screen"] = double(marks);
    state.counters["longest_event_ms"] = double(longest);
}
BENCHMARK(BM_GlossaryHighlight1MB)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(3);

// A keystroke in the word pane's input box to the repainted pane.
static void BM_WordPaneKeystroke(benchmark::State& state) {
    AnsweringDialogs dialogs(Answer::No);
    setDialogService(&dialogs);
    EditorHome home(int(state.range(0)), false);
    std::unique_ptr<FrmTranslatorL> editor = frmtrsplash::openEditor();
    TranslatorLForm* form = editor->form();
    form->txtInput->clear();
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    int i = 0;
    for (auto _ : state) {
        // Two letters typed, then taken back: growing and shrinking searches alike.
        if (form->txtInput->text().size() < 2)
            QTest::keyClick(form->txtInput, letters[i++ % 26].toLatin1());
        else
            QTest::keyClick(form->txtInput, Qt::Key_Backspace);
        form->repaint();
    }
}
BENCHMARK(BM_WordPaneKeystroke)->Arg(200000)->Unit(benchmark::kMicrosecond);

// From the return command to the word book's main window painted: the word file written back,
// the display settings read, the book opened and listed again.
static void BM_ReturnToBook(benchmark::State& state) {
    AnsweringDialogs dialogs(Answer::No);
    setDialogService(&dialogs);
    EditorHome home(int(state.range(0)), true);
    auto program = std::make_unique<Program>();
    if (!program->start()) {
        state.SkipWithError("the word book did not start");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        program->main()->form()->IdmGotoTransL->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        FrmTranslatorL* editor = program->translator();
        if (!editor) {
            state.SkipWithError("the editor did not start");
            break;
        }
        state.ResumeTiming();
        editor->form()->mnuExit->trigger();
        program->main()->form()->repaint();
        state.PauseTiming();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReturnToBook)->Arg(100000)->Unit(benchmark::kMillisecond);

// Selecting the whole of a 1 MB translation in 10,000 format runs, to the formatting bar showing
// the selection.
static void BM_SelectionTracking1MB(benchmark::State& state) {
    LargeTranslation t;
    if (!t.started(state))
        return;
    const int length = int(t.pane->toPlainText().size());
    for (auto _ : state) {
        t.pane->setSelStart(0);
        t.pane->setSelLength(length);
        t.rewind(state);
    }
}
BENCHMARK(BM_SelectionTracking1MB)->Unit(benchmark::kMillisecond);

// One Alt+Right in a 1 MB translation: the key through the window's key table to the caret behind
// the next sentence end.
static void BM_SentenceJump1MB(benchmark::State& state) {
    LargeTranslation t;
    if (!t.started(state))
        return;
    const int end = t.pane->document()->characterCount() - 1;
    for (auto _ : state) {
        QTest::keyClick(t.pane, Qt::Key_Right, Qt::AltModifier);
        if (t.pane->selStart() >= end)
            t.rewind(state);
    }
}
BENCHMARK(BM_SentenceJump1MB)->Unit(benchmark::kMicrosecond);

// Bold on the whole of a 1 MB translation in 10,000 format runs, through the tool bar, to the bar
// showing it and the pane repainted.
static void BM_FormatAll1MB(benchmark::State& state) {
    LargeTranslation t;
    if (!t.started(state))
        return;
    QAction* bold = t.editor->form()->toolButton(QStringLiteral("bold"));
    for (auto _ : state) {
        state.PauseTiming();
        t.pane->selectAll();
        state.ResumeTiming();
        bold->trigger();
        t.pane->viewport()->repaint();
        state.PauseTiming();
        t.pane->document()->clearUndoRedoStacks();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FormatAll1MB)->Unit(benchmark::kMillisecond);
