// SPDX-License-Identifier: GPL-3.0-or-later
#include "benchhome.h"
#include "bookgen.h"
#include "core/settings/session.h"
#include "core/store/book.h"
#include "platform/dialogservice.h"
#include "tools/frmtrysetting.h"
#include "ui/limitedtextedit.h"
#include "ui/mainform.h"
#include "ui/trysettingform.h"
#include "ui/wordlistmodel.h"
#include "wordbook/frmmain.h"
#include "wordbook/program.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

std::unique_ptr<Program> startProgram() {
    session() = Session();
    auto program = std::make_unique<Program>();
    if (!program->start())
        return nullptr;
    return program;
}

} // namespace

// The load step through the first paint of the main window, in one process: settings read, book
// opened and sorted, list filled, window shown and painted.
static void BM_StartToPaint(benchmark::State& state) {
    AnsweringDialogs dialogs(Answer::Yes);
    setDialogService(&dialogs);
    BenchHome home(int(state.range(0)), false);
    for (auto _ : state) {
        std::unique_ptr<Program> program = startProgram();
        program->main()->form()->repaint();
        state.PauseTiming();
        program.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartToPaint)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);

static void BM_KeystrokeToPaint(benchmark::State& state) {
    AnsweringDialogs dialogs(Answer::Yes);
    setDialogService(&dialogs);
    BenchHome home(int(state.range(0)), false);
    std::unique_ptr<Program> program = startProgram();
    MainForm* form = program->main()->form();
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    int i = 0;
    for (auto _ : state) {
        // A word of two letters typed, then taken back: growing and shrinking searches alike.
        const bool grow = form->txtInput->text().size() < 2;
        if (grow)
            QTest::keyClick(form->txtInput, letters[i++ % 26].toLatin1());
        else
            QTest::keyClick(form->txtInput, Qt::Key_Backspace);
        form->repaint();
    }
}
BENCHMARK(BM_KeystrokeToPaint)->Arg(200000)->Unit(benchmark::kMicrosecond);

static void BM_PaletteClick(benchmark::State& state) {
    AnsweringDialogs dialogs(Answer::Yes);
    setDialogService(&dialogs);
    BenchHome home(int(state.range(0)), false);
    std::unique_ptr<Program> program = startProgram();
    MainForm* form = program->main()->form();
    int i = 0;
    for (auto _ : state) {
        // A letter, then back to all words.
        QRadioButton* button = form->Option1[(i++ % 2) ? 26 : (i / 2) % 26];
        QTest::mouseClick(button, Qt::LeftButton);
        form->repaint();
    }
}
BENCHMARK(BM_PaletteClick)->Arg(200000)->Unit(benchmark::kMillisecond);

// From the confirming Yes to the list refreshed with the new word selected.
static void BM_RegisterEndToEnd(benchmark::State& state) {
    AnsweringDialogs dialogs(Answer::Yes);
    setDialogService(&dialogs);
    BenchHome home(int(state.range(0)), true);
    std::unique_ptr<Program> program = startProgram();
    FrmMain* main = program->main();
    MainForm* form = main->form();
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        form->txtInput->setText(QStringLiteral("zzbench%1").arg(i++));
        QTest::keyClick(form->txtInput, Qt::Key_Return);
        form->txtMean->setText(QStringLiteral("意味"));
        state.ResumeTiming();
        main->cmdDoClick();
        form->repaint();
    }
}
BENCHMARK(BM_RegisterEndToEnd)->Arg(100000)->Unit(benchmark::kMillisecond);

static void BM_FloorEmptyWindowPaint(benchmark::State& state) {
    for (auto _ : state) {
        QWidget window;
        window.resize(614, 461);
        window.show();
        window.repaint();
    }
}
BENCHMARK(BM_FloorEmptyWindowPaint)->Unit(benchmark::kMillisecond);

// The quiz menu to the settings window shown and painted: the snapshot of the listed words, the
// settings loaded, the window on screen.
static void BM_QuizSetup(benchmark::State& state) {
    AnsweringDialogs dialogs(Answer::Yes);
    setDialogService(&dialogs);
    BenchHome home(int(state.range(0)), false);
    std::unique_ptr<Program> program = startProgram();
    FrmMain* main = program->main();
    for (auto _ : state) {
        main->form()->IdmTrial->trigger();
        FrmTrySetting* settings = main->quizSettings();
        settings->form()->repaint();
        state.PauseTiming();
        settings->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_QuizSetup)->Arg(200000)->Unit(benchmark::kMillisecond);
