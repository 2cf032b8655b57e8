// SPDX-License-Identifier: GPL-3.0-or-later
// Word-processor documents through LibreOffice: what LibreOffice itself needs to convert a 1 MB
// document (the floor), opening it as an original the first time and again unchanged, and
// exporting a 1 MB translation as .docx and .odt.
#include "core/richtext/rtfwriter.h"
#include "platform/documentconverter.h"
#include "translator/documentexport.h"
#include "translator/documentimport.h"
#include "ui/richtextpane.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <benchmark/benchmark.h>

namespace {

// A 1 MB Japanese document with marked runs, written by the editor, and LibreOffice's .docx of
// it; made once per run in a folder that also holds the per-user cache.
struct Documents {
    QTemporaryDir folder;
    QByteArray rtf;
    QString docx;
    QString error;

    Documents() {
        qputenv("XDG_CACHE_HOME", folder.filePath(QStringLiteral("cache")).toUtf8());
        QTextDocument document;
        QTextCursor c(&document);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        for (int i = 0; rtf.size() < 1024 * 1024; ++i) {
            c.insertText(QStringLiteral("第%1段落。吾輩は猫である。名前はまだ無い。どこで生れたか"
                                        "とんと見当がつかぬ。The quick brown fox ")
                             .arg(i));
            c.insertText(QStringLiteral("太字の語"), bold);
            c.insertText(QStringLiteral("で終わる。"), QTextCharFormat());
            c.insertBlock();
            if (i % 500 == 0)
                rtf = richtext::writeRtf(document);
        }
        rtf = richtext::writeRtf(document);
        DocumentConverter converter;
        converter.start(rtf, QStringLiteral("rtf"), QStringLiteral("docx"), QStringLiteral("docx"));
        if (converter.waitForEnd() != DocumentConverter::Outcome::Converted) {
            error = converter.errorText();
            return;
        }
        docx = folder.filePath(QStringLiteral("original.docx"));
        QFile out(docx);
        if (!out.open(QIODevice::WriteOnly) || out.write(converter.output()) < 0)
            error = QStringLiteral("cannot write the .docx");
    }
};

Documents& documents() {
    static Documents made;
    return made;
}

bool ready(benchmark::State& state) {
    if (DocumentConverter::program().isEmpty()) {
        state.SkipWithError("LibreOffice (soffice) is not installed");
        return false;
    }
    if (!documents().error.isEmpty()) {
        state.SkipWithError(documents().error.toStdString().c_str());
        return false;
    }
    return true;
}

// LibreOffice alone, as the converter starts it: a fresh profile, .docx to RTF.
void BM_FloorLibreOfficeConvert(benchmark::State& state) {
    if (!ready(state))
        return;
    for (auto _ : state) {
        QTemporaryDir run;
        QProcess soffice;
        soffice.start(DocumentConverter::program(),
                      {QStringLiteral("--headless"), QStringLiteral("--norestore"),
                       QStringLiteral("-env:UserInstallation=") +
                           QUrl::fromLocalFile(run.filePath(QStringLiteral("profile"))).toString(),
                       QStringLiteral("--convert-to"), QStringLiteral("rtf"),
                       QStringLiteral("--outdir"), run.path(), documents().docx});
        soffice.waitForFinished(-1);
        if (!QFile::exists(run.filePath(QStringLiteral("original.rtf"))))
            state.SkipWithError("LibreOffice made no RTF");
    }
}
BENCHMARK(BM_FloorLibreOfficeConvert)->Unit(benchmark::kMillisecond)->Iterations(1);

void openOriginal(benchmark::State& state, bool cached) {
    if (!ready(state))
        return;
    RichTextPane pane;
    pane.resize(800, 600);
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    QString error;
    if (cached)
        documentimport::loadDocument(&pane, documents().docx, &error);
    for (auto _ : state) {
        if (!cached) {
            state.PauseTiming();
            QDir(cache).removeRecursively();
            state.ResumeTiming();
        }
        if (documentimport::loadDocument(&pane, documents().docx, &error) !=
            documentimport::Read::Loaded)
            state.SkipWithError(error.toStdString().c_str());
    }
}
BENCHMARK_CAPTURE(openOriginal, first, false)
    ->Name("BM_OpenDocxOriginal/1MB/first")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(openOriginal, reopen, true)
    ->Name("BM_OpenDocxOriginal/1MB/reopen")
    ->Unit(benchmark::kMillisecond);

void exportTranslation(benchmark::State& state, const QString& suffix) {
    if (!ready(state))
        return;
    RichTextPane pane;
    pane.loadBytes(documents().rtf);
    const QString path = documents().folder.filePath(QStringLiteral("訳文.") + suffix);
    QString error;
    for (auto _ : state) {
        if (documentexport::exportDocument(*pane.document(), path, &pane, &error) !=
            documentexport::Written::Done)
            state.SkipWithError(error.toStdString().c_str());
    }
}
BENCHMARK_CAPTURE(exportTranslation, docx, QStringLiteral("docx"))
    ->Name("BM_ExportTranslationDocx/1MB")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(exportTranslation, odt, QStringLiteral("odt"))
    ->Name("BM_ExportTranslationOdt/1MB")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace
