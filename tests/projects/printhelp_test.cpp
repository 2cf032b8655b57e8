#include "editor/editor_fixture.h"
#include "projects/editorcommands.h"
#include "projects/panepprint.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBrowser>

namespace {

int pdfPageCount(const QString& path) {
    QFile pdf(path);
    if (!pdf.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = pdf.readAll();
    if (!bytes.startsWith("%PDF"))
        return -1;
    return int(QString::fromLatin1(bytes).count(
        QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

// The print dialog's answer: print to a PDF file, the selection when selection is set.
std::function<void(QPrinter&)> toPdf(const QString& path, bool selection = false) {
    return [path, selection](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(QPageSize(QPageSize::A4));
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

} // namespace
