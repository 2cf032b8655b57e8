// SPDX-License-Identifier: GPL-3.0-or-later
#include "bookgen.h"
#include "projects/panepprint.h"
#include "ui/richtextpane.h"

#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype TargetBytes = 1024 * 1024;

// Japanese prose in runs of changing font, size, weight and colour, as a translation looks after
// some editing.
void fillFormatted(QTextDocument* document, const QString& text) {
    QTextCursor c(document);
    const QStringList fonts = {QString::fromUtf8("ＭＳ Ｐゴシック"), QString::fromUtf8("ＭＳ 明朝"),
                               QStringLiteral("Arial")};
    const QList<QColor> colors = {QColor(0, 0, 0), QColor(0, 0, 255), QColor(255, 0, 0)};
    int run = 0;
    for (qsizetype at = 0; at < text.size(); ++run) {
        const qsizetype length = std::min<qsizetype>(30 + run % 50, text.size() - at);
        QTextCharFormat f;
        f.setFontFamilies({fonts[run % fonts.size()]});
        f.setFontPointSize(run % 3 == 0 ? 10.5 : 12);
        f.setFontWeight(run % 4 == 1 ? QFont::Bold : QFont::Normal);
        f.setForeground(colors[run % colors.size()]);
        c.insertText(text.mid(at, length), f);
        if (run % 8 == 7)
            c.insertBlock();
        at += length;
    }
}

// A pane holding 1 MB of text (as the code page stores it: two bytes a character), in runs of
// changing format.
void loadMegabyte(RichTextPane& pane) {
    fillFormatted(pane.document(), bookgen::japaneseText(int(TargetBytes)));
}

// The whole pane printed to a PDF file, from the printer set up to the file written.
void BM_PrintPane1MB(benchmark::State& state) {
    QTemporaryDir dir;
    RichTextPane pane;
    pane.resize(800, 600);
    loadMegabyte(pane);
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("pane.pdf")));
        printer.setPageSize(QPageSize(QPageSize::A4));
        if (!panepprint::printPaneTo(pane, printer, false))
            state.SkipWithError("the printer did not start");
    }
    QFile pdf(dir.filePath(QStringLiteral("pane.pdf")));
    pdf.open(QIODevice::ReadOnly);
    const QString bytes = QString::fromLatin1(pdf.readAll());
    state.counters["pages"] =
        double(bytes.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
    state.counters["pdf_kB"] = double(bytes.size()) / 1024;
    state.counters["chars"] = double(pane.document()->characterCount());
}
BENCHMARK(BM_PrintPane1MB)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
