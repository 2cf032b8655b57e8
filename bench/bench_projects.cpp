// SPDX-License-Identifier: GPL-3.0-or-later
#include "benchhome.h"
#include "bookgen.h"
#include "core/projects/projectfiles.h"
#include "core/projects/projectstate.h"
#include "core/settings/session.h"
#include "core/settings/settings.h"
#include "platform/dialogservice.h"
#include "projects/editorcommands.h"
#include "projects/frmplanset.h"
#include "projects/projectcommands.h"
#include "translator/frmtranslatorl.h"
#include "translator/frmtrsplash.h"
#include "ui/plansetform.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <benchmark/benchmark.h>
#include <memory>

// Opening and saving projects with 1 MB documents in the translation editor, on the offscreen
// platform.

namespace {

// The bench home with two projects, "A" in use and "B", each with a 1 MB original and a 1 MB
// translation.
struct ProjectsHome : BenchHome {
    ProjectsHome() : BenchHome(1000, false) {
        WriteDisplaySettings(dir.path(), SetDefaultDisplaySettings());
        RichTextPane writer;
        writer.setPlainText(bookgen::japaneseText(1024 * 1024));
        PlanList plans;
        for (const QString name : {QStringLiteral("A"), QStringLiteral("B")}) {
            PlanInfo plan;
            plan.planName = name;
            plan.orgFileName = name + QStringLiteral("-original.rtf");
            plan.orgFilePath = dir.path() + u'/' + plan.orgFileName;
            plan.transFileName = name + QStringLiteral("-translation.rtf");
            plan.transFilePath = dir.path() + u'/' + plan.transFileName;
            plan.useCmnt = false;
            writer.saveFile(plan.orgFilePath);
            writer.saveFile(plan.transFilePath);
            plans.push_back(plan);
        }
        projectfiles::savePlanList(dir.path(), plans);
        projectfiles::saveCurrentPlan(dir.path(), plans.front());
        becomeSession();
    }
};

// Every question answered No, from before the home is built.
struct AnswersNo {
    AnsweringDialogs dialogs{Answer::No};
    AnswersNo() { setDialogService(&dialogs); }
};

// The editor open on project "A" of the projects home.
struct OpenEditor : AnswersNo {
    ProjectsHome home;
    std::unique_ptr<FrmTranslatorL> editor = frmtrsplash::openEditor();
    EditorCommands* commands = editor ? EditorCommands::attach(*editor) : nullptr;
};

} // namespace

// From OK in the project dialog to the other project's original and translation painted.
static void BM_OpenProject1MB(benchmark::State& state) {
    OpenEditor open;
    if (!open.editor) {
        state.SkipWithError("the editor did not start");
        return;
    }
    TranslatorLForm* f = open.editor->form();
    bool toB = true;
    for (auto _ : state) {
        state.PauseTiming();
        f->mnuOpen->trigger();
        PlanSetForm* d = open.commands->projects()->planSet()->form();
        d->Combo1->setCurrentIndex(toB ? 1 : 0);
        toB = !toB;
        state.ResumeTiming();
        d->cmdOK->click();
        f->repaint();
    }
    if (f->Rtxt2->document()->isEmpty())
        state.SkipWithError("no translation was loaded");
}
BENCHMARK(BM_OpenProject1MB)->Unit(benchmark::kMillisecond);

// Save of the project in use with a changed 1 MB translation. The comment window is not part of
// the editor yet, so only the translation is saved.
static void BM_SaveProject1MB(benchmark::State& state) {
    OpenEditor open;
    if (!open.editor) {
        state.SkipWithError("the editor did not start");
        return;
    }
    TranslatorLForm* f = open.editor->form();
    for (auto _ : state) {
        state.PauseTiming();
        f->Rtxt2->moveCursor(QTextCursor::End);
        f->Rtxt2->insertPlainText(QStringLiteral("。"));
        state.ResumeTiming();
        f->mnuSave->trigger();
    }
    if (f->mnuSave->isEnabled())
        state.SkipWithError("Save did not finish");
}
BENCHMARK(BM_SaveProject1MB)->Unit(benchmark::kMillisecond);
