// SPDX-License-Identifier: GPL-3.0-or-later
#include "bookgen.h"
#include "core/richtext/rtfreader.h"
#include "core/richtext/rtfwriter.h"
#include "ui/richtextpane.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype TargetBytes = 1024 * 1024;

// Japanese prose in runs of changing format (fonts, sizes, bold, italic, underline, colours),
// the way a translator's document looks after some editing.
void fillFormatted(QTextDocument* document, const QString& text) {
    QTextCursor c(document);
    const QStringList fonts = {QString::fromUtf8("ＭＳ Ｐゴシック"), QString::fromUtf8("ＭＳ 明朝"),
                               "Arial"};
    const QList<QColor> colors = {QColor(0, 0, 0), QColor(0, 0, 255), QColor(0, 128, 0),
                                  QColor(255, 0, 0)};
    int run = 0;
    for (qsizetype at = 0; at < text.size(); ++run) {
        const qsizetype length = std::min<qsizetype>(30 + run % 50, text.size() - at);
        QTextCharFormat f;
        f.setFontFamilies({fonts[run % fonts.size()]});
        f.setFontPointSize(run % 3 == 0 ? 10.5 : 12);
        f.setFontWeight(run % 4 == 1 ? QFont::Bold : QFont::Normal);
        f.setFontItalic(run % 5 == 2);
        f.setFontUnderline(run % 7 == 3);
        f.setForeground(colors[run % colors.size()]);
        c.insertText(text.mid(at, length), f);
        at += length;
    }
}

// A 1 MB RTF document made by the program's own writer.
const QByteArray& megabyteRtf() {
    static const QByteArray rtf = [] {
        QString text = bookgen::japaneseText(int(TargetBytes / 4));
        QTextDocument probe;
        fillFormatted(&probe, text);
        const double ratio = double(TargetBytes) / double(richtext::writeRtf(probe).size());
        text.truncate(qsizetype(double(text.size()) * ratio));
        QTextDocument document;
        fillFormatted(&document, text);
        return richtext::writeRtf(document);
    }();
    return rtf;
}

void loadInto(QTextDocument* document) {
    richtext::RtfReader reader;
    reader.read(megabyteRtf(), document);
}

void BM_RtfLoad1MB(benchmark::State& state) {
    for (auto _ : state) {
        QTextDocument document;
        loadInto(&document);
        benchmark::DoNotOptimize(document.characterCount());
    }
    state.counters["rtf_bytes"] = double(megabyteRtf().size());
}
BENCHMARK(BM_RtfLoad1MB)->Unit(benchmark::kMillisecond);

void BM_RtfSave1MB(benchmark::State& state) {
    QTextDocument document;
    loadInto(&document);
    for (auto _ : state) {
        const QByteArray rtf = richtext::writeRtf(document);
        benchmark::DoNotOptimize(rtf.data());
    }
}
BENCHMARK(BM_RtfSave1MB)->Unit(benchmark::kMillisecond);

void BM_PaneFirstPaint1MB(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath("doc.rtf");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(megabyteRtf());
    file.close();
    for (auto _ : state) {
        state.PauseTiming();
        RichTextPane pane;
        pane.resize(800, 600);
        pane.show();
        QApplication::processEvents();
        state.ResumeTiming();
        pane.loadFile(path);
        pane.viewport()->repaint();
        state.PauseTiming();
        pane.hide();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PaneFirstPaint1MB)->Unit(benchmark::kMillisecond);

// The floor under loading: the same text with no formats, set as plain text.
void BM_FloorPlainText1MB(benchmark::State& state) {
    QTextDocument formatted;
    loadInto(&formatted);
    const QString text = formatted.toPlainText();
    for (auto _ : state) {
        QTextDocument document;
        document.setPlainText(text);
        benchmark::DoNotOptimize(document.characterCount());
    }
}
BENCHMARK(BM_FloorPlainText1MB)->Unit(benchmark::kMillisecond);

} // namespace
