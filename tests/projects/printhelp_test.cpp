// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/richtext/paragraphstyle.h"
#include "editor/editor_fixture.h"
#include "projects/editorcommands.h"
#include "projects/panepprint.h"
#include "support/pdffiles.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextLayout>

namespace {

// The print dialog's answer: print to a PDF file, the selection when selection is set.
std::function<void(QPrinter&)> toPdf(const QString& path, bool selection = false) {
    return [path, selection](QPrinter& printer) {
        printToA4Pdf(printer, path);
        if (selection)
            printer.setPrintRange(QPrinter::Selection);
    };
}

class PrintHelpTest : public EditorTest {
protected:
    QTemporaryDir out;
    std::unique_ptr<EditorCommands> commands;

    void TearDown() override {
        commands.reset();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == u"helpWindow")
                delete w;
        EditorTest::TearDown();
    }
    // A translation of 300 numbered paragraphs, several pages long.
    void startLong() {
        const QString trans = app.file(QStringLiteral("訳文.rtf"));
        QString rtf = QStringLiteral("{\\rtf1\\ansi ");
        for (int i = 0; i < 300; ++i)
            rtf += QStringLiteral("Paragraph %1 of the translation.\\par ").arg(i);
        writeDocument(trans, rtf + u'}');
        writeCurrentProject(QStringLiteral("長文"), {}, trans, false);
        start();
        commands = std::make_unique<EditorCommands>(*editor);
    }
    QString pdf(const char* name) const { return out.filePath(QLatin1String(name)); }
};

TEST_F(PrintHelpTest, ThePaneLastWorkedInPrintsWhollyOrItsSelection) {
    startLong();
    TranslatorLForm* f = form();
    f->Rtxt2->setFocus();

    dialogs.expectPrint(toPdf(pdf("all.pdf")));
    f->mnuPrint->trigger();
    EXPECT_FALSE(dialogs.lastPrintChoices().selection) << "no selection, no selection choice";
    EXPECT_FALSE(dialogs.lastPrintChoices().pageRange);
    EXPECT_TRUE(dialogs.lastPrintChoices().printToFile);
    const int allPages = pdfPageCount(pdf("all.pdf"));
    EXPECT_GE(allPages, 4);

    f->Rtxt2->setSelStart(0);
    f->Rtxt2->setSelLength(60);
    dialogs.expectPrint(toPdf(pdf("selection.pdf"), true));
    f->toolButton(QStringLiteral("print"))->trigger();
    EXPECT_TRUE(dialogs.lastPrintChoices().selection);
    EXPECT_EQ(pdfPageCount(pdf("selection.pdf")), 1);

    // With a selection the user may still print everything.
    dialogs.expectPrint(toPdf(pdf("all-again.pdf")));
    f->mnuPrint->trigger();
    EXPECT_EQ(pdfPageCount(pdf("all-again.pdf")), allPages);

    dialogs.expectPrint(false);
    f->mnuPrint->trigger();
    EXPECT_TRUE(dialogs.done());
    EXPECT_TRUE(dialogs.boxes().isEmpty());
}

TEST_F(PrintHelpTest, PrintingNeedsAPaneLastWorkedIn) {
    startLong();
    form()->txtInput->setFocus();
    form()->mnuPrint->trigger(); // no dialog is scripted: one would fail the test
    EXPECT_TRUE(dialogs.boxes().isEmpty());
}

TEST_F(PrintHelpTest, APrinterThatCannotStartIsToldAndNotTakenForPrinted) {
    startLong();
    const QString nowhere = out.filePath(QStringLiteral("missing/folder/out.pdf"));
    dialogs.expectPrint(toPdf(nowhere)).expectMessage(Answer::Ok);
    EXPECT_FALSE(panepprint::printPane(*form()->Rtxt2));
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("印刷"));
    EXPECT_FALSE(QFile::exists(nowhere));
}

TEST_F(PrintHelpTest, HelpOpensAtItsContentsAndEveryPageIsThere) {
    startLong();
    form()->toolButton(QStringLiteral("help"))->trigger();
    QWidget* help = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == u"helpWindow" && w->isVisible())
            help = w;
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->windowTitle(), QStringLiteral("Dualscribe ﾍﾙﾌﾟ"));
    auto* contents = help->findChild<QListWidget*>(QStringLiteral("helpContents"));
    auto* page = help->findChild<QTextBrowser*>(QStringLiteral("helpPage"));
    ASSERT_TRUE(contents && page);
    EXPECT_EQ(contents->currentRow(), 0);
    EXPECT_EQ(page->source().toString(), QStringLiteral("index.html"));
    EXPECT_TRUE(page->toPlainText().contains(QStringLiteral("目次")));
    ASSERT_GE(contents->count(), 8);
    for (int row = 1; row < contents->count(); ++row) {
        contents->setCurrentRow(row);
        const QString text = page->toPlainText();
        EXPECT_TRUE(text.contains(contents->item(row)->text()))
            << "page " << row << " has its title";
        EXPECT_GT(text.size(), 200) << contents->item(row)->text().toStdString();
    }
    // Opened again while it stands at another page, it comes back at the contents.
    form()->mnuHelpOpen->trigger();
    EXPECT_EQ(contents->currentRow(), 0);
    EXPECT_EQ(page->source().toString(), QStringLiteral("index.html"));

    // Esc puts it away, from the page as from the contents, and it opens again afterwards.
    QPointer<QWidget> shown = help;
    QTest::keyClick(page, Qt::Key_Escape);
    EXPECT_TRUE(!shown || !shown->isVisible());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    form()->mnuHelpOpen->trigger();
    help = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == u"helpWindow" && w->isVisible())
            help = w;
    ASSERT_NE(help, nullptr);
    shown = help;
    QTest::keyClick(help->findChild<QListWidget*>(QStringLiteral("helpContents")), Qt::Key_Escape);
    EXPECT_TRUE(!shown || !shown->isVisible());
}

// Runs one of poppler's tools to its end; false, with the test failed, when it is missing or fails.
bool runPoppler(const QString& tool, const QStringList& arguments, QByteArray* output = nullptr) {
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty()) {
        ADD_FAILURE() << tool.toStdString()
                      << " (poppler-utils) is missing; scripts/install-deps.sh installs it";
        return false;
    }
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        ADD_FAILURE() << tool.toStdString()
                      << " failed: " << process.readAllStandardError().toStdString();
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return true;
}

// Where each word of a PDF's first page starts, in points from the page's left edge, and the
// band of the page its line takes.
struct PrintedWord {
    double left = 0;
    double top = 0;
    double bottom = 0;
};
QHash<QString, PrintedWord> printedWords(const QString& pdf) {
    QByteArray html;
    if (!runPoppler(QStringLiteral("pdftotext"), {"-bbox", "-f", "1", "-l", "1", pdf, "-"}, &html))
        return {};
    static const QRegularExpression word(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    QHash<QString, PrintedWord> words;
    for (const QRegularExpressionMatch& m : word.globalMatch(QString::fromUtf8(html)))
        words.insert(m.captured(5), {m.captured(1).toDouble(), m.captured(2).toDouble(),
                                     m.captured(4).toDouble()});
    return words;
}

// Where the character at position starts in the pane, in its layout's pixels.
double paneX(const RichTextPane& pane, int block, int position = 0) {
    const QTextBlock b = pane.document()->findBlockByNumber(block);
    return b.layout()->position().x() + b.layout()->lineAt(0).cursorToX(position);
}

// The leftmost dark pixel of an image between two rows, or -1.
int leftmostInk(const QImage& image, int top, int bottom, int before) {
    for (int x = 0; x < std::min(before, image.width()); ++x)
        for (int y = std::max(top, 0); y < std::min(bottom, image.height()); ++y)
            if (qGray(image.pixel(x, y)) < 128)
                return x;
    return -1;
}

TEST(PanePrint, IndentsBulletsAndTabsPrintWhereThePaneShowsThem) {
    QTemporaryDir out;
    RichTextPane pane;
    pane.resize(700, 400);
    pane.setPlainText(
        QStringLiteral("Plain\nIndented\nBulleted\nFirstline\nTab\tStop\nDeep\tTabbed"));
    const auto selectBlock = [&](int block) {
        pane.setTextCursor(QTextCursor(pane.document()->findBlockByNumber(block)));
    };
    selectBlock(1);
    pane.setSelIndent(480);
    selectBlock(2);
    pane.setBulletIndent(480);
    pane.setSelBullet(true);
    selectBlock(3);
    QTextCursor first = pane.textCursor();
    richtext::setFirstLineIndent(first, 720);
    selectBlock(4);
    pane.setSelTabs({1440});
    selectBlock(5);
    pane.setSelIndent(480);
    pane.setSelTabs({1440, 2880});
    pane.moveCursor(QTextCursor::End);
    pane.show();
    const QImage shown = pane.viewport()->grab().toImage();

    const QString pdf = out.filePath(QStringLiteral("indents.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printToA4Pdf(printer, pdf);
    ASSERT_TRUE(panepprint::printPaneTo(pane, printer, false));
    const QHash<QString, PrintedWord> words = printedWords(pdf);
    for (const char* w : {"Plain", "Indented", "Bulleted", "Firstline", "Stop", "Deep", "Tabbed"})
        ASSERT_TRUE(words.contains(QLatin1String(w))) << w << " is not on the page";

    // Each word stands as far from the page's text edge as it stands from the pane's, a pixel of
    // the pane being 3/4 of a point; a 480-twip indent is 24 points.
    const double edge = words["Plain"].left;
    const double paneEdge = paneX(pane, 0);
    const struct {
        const char* word;
        int block;
        int position;
        double points;
    } expected[] = {{"Indented", 1, 0, 24},
                    {"Bulleted", 2, 0, 24},
                    {"Firstline", 3, 0, 36},
                    {"Stop", 4, 4, 72},
                    {"Deep", 5, 0, 24}};
    for (const auto& e : expected) {
        const double printed = words[QLatin1String(e.word)].left - edge;
        EXPECT_NEAR(printed, e.points, 0.5) << e.word;
        EXPECT_NEAR(printed, (paneX(pane, e.block, e.position) - paneEdge) * 0.75, 0.5) << e.word;
    }
    EXPECT_NEAR(words["Tabbed"].left - edge, (paneX(pane, 5, 5) - paneEdge) * 0.75, 0.5);

    // The bullet hangs before its text inside the text area, as far before it as in the pane.
    ASSERT_TRUE(runPoppler(QStringLiteral("pdftoppm"),
                           {"-r", "144", "-gray", "-png", "-f", "1", "-l", "1", "-singlefile", pdf,
                            out.filePath(QStringLiteral("page"))}));
    const QImage page(out.filePath(QStringLiteral("page.png")));
    ASSERT_FALSE(page.isNull());
    const PrintedWord& bulleted = words["Bulleted"];
    const int ink =
        leftmostInk(page, int(bulleted.top * 2), int(bulleted.bottom * 2), int(bulleted.left * 2));
    ASSERT_GE(ink, 0) << "no bullet printed";
    const double bulletGap = bulleted.left - ink / 2.0;
    EXPECT_GE(ink / 2.0, edge - 0.5) << "the bullet stands in the page margin";
    const QTextBlock paneBlock = pane.document()->findBlockByNumber(2);
    const QRectF paneLine = pane.document()->documentLayout()->blockBoundingRect(paneBlock);
    const int paneInk =
        leftmostInk(shown, int(paneLine.top()), int(paneLine.bottom()), int(paneX(pane, 2)));
    ASSERT_GE(paneInk, 0);
    EXPECT_NEAR(bulletGap, (paneX(pane, 2) - paneInk) * 0.75, 1.5);

    // A selection prints from a copy of its own, its first paragraph formatted as in the pane
    // too, whether it starts at the paragraph's start or within it.
    const auto printedSelection = [&](int block, int offset, int length) {
        QTextCursor c(pane.document()->findBlockByNumber(block));
        c.setPosition(c.position() + offset);
        c.setPosition(c.position() + length, QTextCursor::KeepAnchor);
        pane.setTextCursor(c);
        return panepprint::printedCopy(pane, true, 1200);
    };
    const double perTwip = 1200 / 1440.0;
    std::unique_ptr<QTextDocument> selection = printedSelection(1, 0, 12);
    EXPECT_EQ(selection->toPlainText(), QStringLiteral("Indented\nBul"));
    EXPECT_DOUBLE_EQ(selection->firstBlock().blockFormat().leftMargin(), 480 * perTwip);
    EXPECT_TRUE(richtext::hasBullet(selection->lastBlock()));
    selection = printedSelection(2, 4, 12);
    EXPECT_EQ(selection->toPlainText(), QStringLiteral("eted\nFirstli"));
    EXPECT_TRUE(richtext::hasBullet(selection->firstBlock()));
    EXPECT_DOUBLE_EQ(selection->firstBlock().blockFormat().leftMargin(), 480 * perTwip);
    EXPECT_DOUBLE_EQ(selection->lastBlock().blockFormat().textIndent(), 720 * perTwip);
    selection = printedSelection(4, 1, 5);
    EXPECT_EQ(richtext::tabStopsTwips(selection->firstBlock().blockFormat()), QList<int>{1440})
        << "tab stops are not scaled: the printer scales them itself";
    // The pane keeps its own.
    EXPECT_EQ(richtext::indentTwips(pane.document()->findBlockByNumber(1)), 480);
    EXPECT_TRUE(richtext::hasBullet(pane.document()->findBlockByNumber(2)));
}

} // namespace
