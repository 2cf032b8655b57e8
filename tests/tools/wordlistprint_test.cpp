// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/failure.h"
#include "platform/qtprintsurface.h"
#include "support/pdffiles.h"
#include "support/recordingprintsurface.h"
#include "support/scripteddialogs.h"
#include "tools/wordlistprint.h"

#include <QFile>
#include <QHash>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Kind = RecordingPrintSurface::Kind;

// Words with their records, numbered in the order they are added.
class PrintBook {
public:
    PrintBook& add(const QString& word, const QString& meaning, const QString& example = {},
                   bool checked = false) {
        const qint32 recordNo = qint32(m_words.size()) + 1;
        m_words.push_back({word, recordNo, checked});
        // Records come padded with spaces, the way they are stored.
        m_meanings.insert(recordNo, meaning.leftJustified(200));
        m_examples.insert(recordNo, example.leftJustified(400));
        return *this;
    }
    const std::vector<IndexEntry>& words() const { return m_words; }
    PrintRecords records() const {
        return {[this](qint32 r) { return m_meanings.value(r); },
                [this](qint32 r) { return m_examples.value(r); }};
    }

private:
    std::vector<IndexEntry> m_words;
    QHash<qint32, QString> m_meanings;
    QHash<qint32, QString> m_examples;
};

WordListPrintSettings defaults() {
    WordListPrintSettings s;
    s.wordFont = {QStringLiteral("WordFace"), 10, true, false};
    s.meaningFont = {QStringLiteral("MeaningFace"), 10, false, false};
    s.bookName = QStringLiteral("英単語");
    return s;
}

// The texts printed on one page, as "text@x,y".
QStringList placed(const RecordingPrintSurface& surface, int page = 0) {
    QStringList out;
    for (const auto& c : surface.texts())
        if (page == 0 || c.page == page)
            out << QStringLiteral("%1@%2,%3").arg(c.text).arg(c.at.x()).arg(c.at.y());
    return out;
}

TEST(WordListPrint, DefaultLayoutPlacesHeaderWordsMeaningsAndGaps) {
    PrintBook book;
    book.add(QStringLiteral("cat"), QStringLiteral("ねこ"))
        .add(QStringLiteral("elephant"), QStringLiteral("ぞう"), QStringLiteral("An elephant."));
    RecordingPrintSurface surface;
    ASSERT_TRUE(printWordList(surface, defaults(), book.words(), book.records()));
    EXPECT_TRUE(surface.millimetres());

    // Line height 5; meaning column 10 + 15 + width of "elephant" in the meaning font (20).
    EXPECT_EQ(placed(surface), (QStringList{
                                   QStringLiteral("英単語@10,0"),
                                   QStringLiteral("- 1 -@167.5,0"),
                                   QStringLiteral("cat@10,10"),
                                   QStringLiteral("ねこ@45,10"),
                                   QStringLiteral("@45,15"),
                                   QStringLiteral("elephant@10,20"),
                                   QStringLiteral("ぞう@45,20"),
                                   QStringLiteral("An elephant.@45,25"),
                                   QStringLiteral("@45,30"),
                               }));
    const auto texts = surface.texts();
    // The header is bold italic in the meaning face; the words keep the word font's own style.
    EXPECT_EQ(texts[0].font.name, QStringLiteral("MeaningFace"));
    EXPECT_TRUE(texts[1].font.bold && texts[1].font.italic);
    EXPECT_EQ(texts[2].font.name, QStringLiteral("WordFace"));
    EXPECT_TRUE(texts[2].font.bold);
    EXPECT_FALSE(texts[2].font.italic);
    EXPECT_EQ(texts[3].font.name, QStringLiteral("MeaningFace"));

    QList<RecordingPrintSurface::Call> lines;
    for (const auto& c : surface.calls())
        if (c.kind == Kind::Line)
            lines << c;
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].at, QPointF(10, 5));
    EXPECT_EQ(lines[0].to, QPointF(180, 5));
    EXPECT_EQ(lines[0].width, 3);
    EXPECT_EQ(surface.calls().constLast().kind, Kind::End);
}

TEST(WordListPrint, MeaningsBreakAtLineBreaksAndWrapAtTheRightLimit) {
    PrintBook book;
    // Column at 10 + 15 + 5 = 30; right limit 180: exactly 30 full-width characters fit.
    book.add(QStringLiteral("ab"), QStringLiteral("一行目\r\n二行目"), QString(40, QChar(u'あ')));
    WordListPrintSettings s = defaults();
    s.gapLines = 0;
    RecordingPrintSurface surface;
    ASSERT_TRUE(printWordList(surface, s, book.words(), book.records()));
    EXPECT_EQ(placed(surface).mid(3), (QStringList{
                                          QStringLiteral("一行目@30,10"),
                                          QStringLiteral("二行目@30,15"),
                                          QString(30, QChar(u'あ')) + QStringLiteral("@30,20"),
                                          QString(10, QChar(u'あ')) + QStringLiteral("@30,25"),
                                      }));
}

TEST(WordListPrint, AColumnTooNarrowForOneCharacterStillEnds) {
    PrintBook book;
    book.add(QStringLiteral("abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz"),
             QStringLiteral("長い意味"));
    WordListPrintSettings s = defaults();
    s.gapLines = 0;
    s.header = false;
    RecordingPrintSurface surface({150, 277});
    ASSERT_TRUE(printWordList(surface, s, book.words(), book.records()));
    QStringList meaningLines;
    for (const auto& c : surface.texts())
        if (c.font.name == QStringLiteral("MeaningFace"))
            meaningLines << c.text;
    EXPECT_EQ(meaningLines, (QStringList{QStringLiteral("長"), QStringLiteral("い"),
                                         QStringLiteral("意"), QStringLiteral("味")}));
}

TEST(WordListPrint, AMeaningRunningPastTheBottomGoesOnBelowTheNextHeader) {
    PrintBook book;
    // 40 mm printable: 8 lines of 5 mm; the words start at 10.
    QStringList lines;
    for (int i = 1; i <= 9; ++i)
        lines << QString::number(i);
    book.add(QStringLiteral("w"), lines.join(QStringLiteral("\r\n")));
    WordListPrintSettings s = defaults();
    s.gapLines = 0;
    RecordingPrintSurface surface({190, 40});
    ASSERT_TRUE(printWordList(surface, s, book.words(), book.records()));
    EXPECT_EQ(surface.pages(), 2);
    EXPECT_EQ(placed(surface, 2), (QStringList{
                                      QStringLiteral("英単語@10,0"),
                                      QStringLiteral("- 2 -@167.5,0"),
                                      QStringLiteral("8@27,10"),
                                      QStringLiteral("9@27,15"),
                                  }));
    EXPECT_EQ(placed(surface, 1).constLast(), QStringLiteral("7@27,40"));
}

TEST(WordListPrint, GapsNoneAndThreeLines) {
    PrintBook book;
    book.add(QStringLiteral("a"), QStringLiteral("エー"), QStringLiteral("ex"))
        .add(QStringLiteral("b"), QStringLiteral("ビー"))
        .add(QStringLiteral("c"), QString())
        .add(QStringLiteral("d"), QStringLiteral("ディー"));
    WordListPrintSettings s = defaults();
    s.header = false;

    s.gapLines = 0;
    RecordingPrintSurface none;
    printWordList(none, s, book.words(), book.records());
    // b directly below a's example; c without meaning or example still has a line of its own.
    EXPECT_EQ(placed(none), (QStringList{
                                QStringLiteral("a@10,10"),
                                QStringLiteral("エー@27,10"),
                                QStringLiteral("ex@27,15"),
                                QStringLiteral("b@10,20"),
                                QStringLiteral("ビー@27,20"),
                                QStringLiteral("c@10,25"),
                                QStringLiteral("d@10,30"),
                                QStringLiteral("ディー@27,30"),
                            }));

    s.gapLines = 3;
    RecordingPrintSurface three;
    printWordList(three, s, book.words(), book.records());
    const QStringList all = placed(three);
    EXPECT_EQ(all.mid(0, 6), (QStringList{
                                 QStringLiteral("a@10,10"),
                                 QStringLiteral("エー@27,10"),
                                 QStringLiteral("ex@27,15"),
                                 QStringLiteral("@27,20"),
                                 QStringLiteral("@27,25"),
                                 QStringLiteral("@27,30"),
                             }));
    EXPECT_EQ(all[6], QStringLiteral("b@10,35"));
}

TEST(WordListPrint, CheckedOnlyPrintsCheckedWordsOrTellsThatThereAreNone) {
    PrintBook book;
    book.add(QStringLiteral("apple"), QStringLiteral("りんご"))
        .add(QStringLiteral("banana"), QStringLiteral("バナナ"), {}, true);
    WordListPrintSettings s = defaults();
    s.checkedOnly = true;
    RecordingPrintSurface some;
    ASSERT_TRUE(printWordList(some, s, book.words(), book.records()));
    // The column follows the longest printed word.
    EXPECT_EQ(placed(some).mid(2),
              (QStringList{QStringLiteral("banana@10,10"), QStringLiteral("バナナ@40,10"),
                           QStringLiteral("@40,15")}));

    PrintBook unchecked;
    unchecked.add(QStringLiteral("apple"), QStringLiteral("りんご"));
    ScriptedDialogs dialogs;
    dialogs.expectMessage(Answer::Ok);
    RecordingPrintSurface none;
    EXPECT_FALSE(printWordList(none, s, unchecked.words(), unchecked.records()));
    ASSERT_EQ(dialogs.boxes().size(), 1);
    EXPECT_EQ(dialogs.lastBox().title, AppTitle);
    EXPECT_EQ(dialogs.lastBox().text,
              QStringLiteral("「ﾁｪｯｸされた単語のみ印刷する」を選択しましたが\r\n"
                             "ﾁｪｯｸ語はひとつもなかったようです"));
    EXPECT_EQ(none.calls().constLast().kind, Kind::Cancel);
    for (const auto& c : none.calls())
        EXPECT_NE(c.kind, Kind::End);
}

TEST(WordListPrint, AFailingRecordIsReportedAndThePrintCancelled) {
    PrintBook book;
    book.add(QStringLiteral("a"), QStringLiteral("x"));
    PrintRecords records = book.records();
    records.meaning = [](qint32) -> QString { throw RuntimeFailure(failure::DeviceIo); };
    ScriptedDialogs dialogs;
    dialogs.expectMessage(Answer::Ok);
    RecordingPrintSurface surface;
    EXPECT_FALSE(printWordList(surface, defaults(), book.words(), records));
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("Error266"));
    EXPECT_TRUE(dialogs.lastBox().text.contains(QStringLiteral("「意味ﾃﾞｰﾀ印刷処理時」")));
    EXPECT_EQ(dialogs.boxes().size(), 1);
    EXPECT_EQ(surface.calls().constLast().kind, Kind::Cancel);
}

// Passes every call on to the real surface and counts the pages begun.
class PageCounter : public PrintSurface {
public:
    explicit PageCounter(PrintSurface& inner) : m_inner(inner) {}
    int pages() const { return m_pages; }

    void setFont(const QString& n, double s, bool b, bool i) override {
        m_inner.setFont(n, s, b, i);
    }
    void useMillimetres() override { m_inner.useMillimetres(); }
    QSizeF textExtent(const QString& text) override { return m_inner.textExtent(text); }
    QSizeF printableSize() override { return m_inner.printableSize(); }
    QPointF position() const override { return m_inner.position(); }
    void setPosition(QPointF p) override { m_inner.setPosition(p); }
    void printText(const QString& text) override { m_inner.printText(text); }
    void drawLine(QPointF a, QPointF b, int w) override { m_inner.drawLine(a, b, w); }
    void newPage() override {
        ++m_pages;
        m_inner.newPage();
    }
    void endDocument() override { m_inner.endDocument(); }
    void cancelDocument() override { m_inner.cancelDocument(); }

private:
    PrintSurface& m_inner;
    int m_pages = 1;
};

// An A4 PDF file named name in a folder of its own, and a printer pointed at it.
struct PdfOut {
    QTemporaryDir dir;
    QString path;
    QPrinter printer{QPrinter::HighResolution};
    explicit PdfOut(const QString& name) : path(dir.filePath(name)) { printToA4Pdf(printer, path); }
};

// 120 words, "word0" to "word119", enough for more than one page.
void addManyWords(PrintBook& book) {
    for (int i = 0; i < 120; ++i)
        book.add(QStringLiteral("word%1").arg(i), QStringLiteral("意味%1").arg(i));
}

TEST(WordListPrint, PrintsAPdfThroughQPrinter) {
    PrintBook book;
    addManyWords(book);
    PdfOut pdf(QStringLiteral("list.pdf"));
    QtPrintSurface surface(pdf.printer);
    PageCounter counter(surface);
    WordListPrintSettings s = defaults();
    s.wordFont.size = s.meaningFont.size = 11;
    s.gapLines = 2;
    ASSERT_TRUE(printWordList(counter, s, book.words(), book.records()));
    EXPECT_GE(counter.pages(), 2);
    EXPECT_EQ(pdfPageCount(pdf.path), counter.pages());
}

TEST(WordListPrint, OnlyThePagesChosenInThePrintDialogArePrinted) {
    PrintBook book;
    addManyWords(book);
    PdfOut pdf(QStringLiteral("page2.pdf"));
    pdf.printer.setPrintRange(QPrinter::PageRange);
    pdf.printer.setFromTo(2, 2);
    QtPrintSurface surface(pdf.printer);
    PageCounter counter(surface);
    ASSERT_TRUE(printWordList(counter, defaults(), book.words(), book.records()));
    ASSERT_GE(counter.pages(), 3);
    EXPECT_EQ(pdfPageCount(pdf.path), 1);
}

TEST(WordListPrint, ACancelledPdfLeavesNoFile) {
    QTemporaryDir dir;
    PrintBook book;
    book.add(QStringLiteral("apple"), QStringLiteral("りんご"));
    const QString path = dir.filePath(QStringLiteral("none.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    QtPrintSurface surface(printer);
    WordListPrintSettings s = defaults();
    s.checkedOnly = true;
    ScriptedDialogs dialogs;
    dialogs.expectMessage(Answer::Ok);
    EXPECT_FALSE(printWordList(surface, s, book.words(), book.records()));
    EXPECT_FALSE(QFile::exists(path));
}

} // namespace
