#include "benchhome.h"
#include "bookgen.h"
#include "core/book.h"
#include "core/projectfiles.h"
#include "core/session.h"
#include "platform/dialogservice.h"
#include "translator/frmtranslatorl.h"
#include "translator/frmtrsplash.h"
#include "ui/mainform.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"
#include "wordbook/frmmain.h"
#include "wordbook/program.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <memory>

// The translation editor on the offscreen platform: its start from the hand-over, a keystroke in
// its word pane, and the return to the word book.

namespace {

// The bench home with the display settings written and a project of two 100 KB RTF documents
// in use.
struct EditorHome : BenchHome {
    EditorHome(int n, bool copy) : BenchHome(n, copy) {
        WriteDisplaySettings(dir.path(), SetDefaultDisplaySettings());

        PlanInfo plan;
        plan.planName = QStringLiteral("bench");
        plan.orgFilePath = dir.path() + QStringLiteral("/original.rtf");
        plan.orgFileName = QStringLiteral("original.rtf");
        plan.transFilePath = dir.path() + QStringLiteral("/translation.rtf");
        plan.transFileName = QStringLiteral("translation.rtf");
        plan.useCmnt = false;
        RichTextPane writer;
        writer.setPlainText(bookgen::japaneseText(100 * 1024));
        writer.saveFile(plan.orgFilePath);
        writer.saveFile(plan.transFilePath);
        projectfiles::saveCurrentPlan(dir.path(), plan);

        Session& s = session();
        s = Session();
        s.appFolder = dir.path();
        s.display = SetDefaultDisplaySettings();
        s.current = readCurrentBook(dir.path());
        s.bookInUse = true;
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
