// SPDX-License-Identifier: GPL-3.0-or-later
#include "benchhome.h"
#include "bookgen.h"
#include "core/projects/projectfiles.h"
#include "core/richtext/rtfwriter.h"
#include "core/settings/session.h"
#include "projects/editorcommands.h"
#include "projects/recovery.h"
#include "translator/frmtranslatorl.h"
#include "translator/frmtrsplash.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"

#include <QFileInfo>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>
#include <memory>

// The copy of unsaved work, taken on the window's thread while the user types: it must not be
// felt as a stall.

namespace {

constexpr qsizetype TargetBytes = 1024 * 1024;

// Japanese prose in runs of changing format, the way a translation looks after some editing.
void fillFormatted(QTextDocument* document, const QString& text) {
    QTextCursor c(document);
    const QList<QColor> colors = {QColor(0, 0, 0), QColor(0, 0, 255), QColor(255, 0, 0)};
    int run = 0;
    for (qsizetype at = 0; at < text.size(); ++run) {
        const qsizetype length = std::min<qsizetype>(30 + run % 50, text.size() - at);
        QTextCharFormat f;
        f.setFontPointSize(run % 3 == 0 ? 10.5 : 12);
        f.setFontWeight(run % 4 == 1 ? QFont::Bold : QFont::Normal);
        f.setFontItalic(run % 5 == 2);
        f.setForeground(colors[run % colors.size()]);
        c.insertText(text.mid(at, length), f);
        if (run % 8 == 7)
            c.insertBlock();
        at += length;
    }
}

// The bench home with a project whose translation is a formatted document of about 1 MB as RTF.
struct RecoveryHome : BenchHome {
    RecoveryHome() : BenchHome(1000, false) {
        WriteDisplaySettings(dir.path(), SetDefaultDisplaySettings());
        PlanInfo plan;
        plan.planName = QStringLiteral("bench");
        plan.transFilePath = dir.path() + QStringLiteral("/translation.rtf");
        plan.transFileName = QStringLiteral("translation.rtf");
        plan.useOrgFile = false;
        plan.useCmnt = false;

        QString text = bookgen::japaneseText(int(TargetBytes / 4));
        RichTextPane writer;
        fillFormatted(writer.document(), text);
        const double ratio =
            double(TargetBytes) / double(richtext::writeRtf(*writer.document()).size());
        text.truncate(qsizetype(double(text.size()) * ratio));
        writer.clear();
        fillFormatted(writer.document(), text);
        writer.saveFile(plan.transFilePath);
        projectfiles::saveCurrentPlan(dir.path(), plan);
        becomeSession();
    }
};

} // namespace

// One copy of a modified 1 MB translation pane: the document written as RTF and the copy file
// replaced atomically.
static void BM_RecoveryCopy1MB(benchmark::State& state) {
    AnsweringDialogs dialogs(Answer::No);
    setDialogService(&dialogs);
    RecoveryHome home;
    std::unique_ptr<FrmTranslatorL> editor = frmtrsplash::openEditor();
    if (!editor) {
        state.SkipWithError("the editor did not start");
        return;
    }
    EditorCommands* commands = EditorCommands::attach(*editor);
    RichTextPane* pane = editor->form()->Rtxt2;
    qint64 bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        pane->moveCursor(QTextCursor::End);
        pane->insertPlainText(QStringLiteral("。"));
        state.ResumeTiming();
        commands->recovery()->copyNow();
    }
    bytes = QFileInfo(Recovery::copyFile(home.dir.path(), Recovery::Translation)).size();
    state.counters["rtf_bytes"] = double(bytes);
    editor.reset();
}
BENCHMARK(BM_RecoveryCopy1MB)->Unit(benchmark::kMillisecond);
