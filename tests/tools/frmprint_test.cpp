// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/book.h"
#include "platform/qtprintsurface.h"
#include "support/recordingprintsurface.h"
#include "support/widgets.h"
#include "tools/frmprint.h"
#include "ui/printform.h"
#include "wordbook/mainwindow_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QTemporaryDir>

namespace {

class PrintDialogTest : public MainWindowTest {
protected:
    FrmPrint* openPrint() {
        form()->IdmPrint->trigger();
        FrmPrint* print = main()->printDialog();
        EXPECT_NE(print, nullptr);
        if (print)
            EXPECT_TRUE(print->form()->isVisible());
        return print;
    }
    static QStringList wordsOf(const std::vector<IndexEntry>& list) {
        QStringList out;
        for (const IndexEntry& e : list)
            out << e.word;
        return out;
    }
    static QStringList printed(const RecordingPrintSurface& surface) {
        QStringList out;
        for (const auto& c : surface.texts())
            out << c.text;
        return out;
    }
};

TEST_F(PrintDialogTest, OpensWithTheDefaultsAndPrintsTheBook) {
    startWith({QStringLiteral("apple"), QStringLiteral("banana")});
    FrmPrint* print = openPrint();
    ASSERT_NE(print, nullptr);
    PrintForm* f = print->form();
    EXPECT_EQ(f->windowTitle(), QStringLiteral("印刷"));
    EXPECT_EQ(f->Text1->text(), QStringLiteral("10"));
    EXPECT_EQ(f->Text2->text(), QStringLiteral("10"));
    EXPECT_EQ(f->Combo1->currentText(), QStringLiteral("標準"));
    EXPECT_EQ(f->Combo2->currentText(), QStringLiteral("１行"));
    EXPECT_FALSE(f->Check1->isChecked());
    EXPECT_FALSE(f->Check2->isEnabled()) << "the whole book is listed";
    EXPECT_TRUE(f->Check3->isChecked());
    EXPECT_EQ(f->Text4->text(), QStringLiteral("3"));
    EXPECT_TRUE(f->Text4->isVisible());
    EXPECT_EQ(f->cmdPreview->text(), QStringLiteral("ﾌﾟﾚﾋﾞｭｰ"));

    const WordListPrintSettings s = print->settings();
    EXPECT_EQ(s.wordFont.name, session().display.word.name);
    EXPECT_EQ(s.meaningFont.size, session().display.meaning.size);
    EXPECT_EQ(s.spacing, 15);
    EXPECT_EQ(s.gapLines, 1);

    RecordingPrintSurface surface;
    EXPECT_TRUE(print->printOn(surface));
    EXPECT_EQ(printed(surface),
              (QStringList{QStringLiteral("英単語"), QStringLiteral("- 1 -"),
                           QStringLiteral("apple"), QStringLiteral("m:apple"),
                           QStringLiteral("e:apple"), QString(), QStringLiteral("banana"),
                           QStringLiteral("m:banana"), QStringLiteral("e:banana"), QString()}));

    // The header switch shows and hides the rule width with its label and spinner.
    click(f->Check3);
    EXPECT_FALSE(f->Text4->isVisible());
    EXPECT_FALSE(f->ud_3->isVisible());
    click(f->Check3);
    EXPECT_TRUE(f->Text4->isVisible());
    f->ud_3->setValue(5);
    EXPECT_EQ(f->Text4->text(), QStringLiteral("5"));
    EXPECT_TRUE(dialogs.boxes().isEmpty());
}

TEST_F(PrintDialogTest, FilteredListPrintsItsInitialOrAllWithTheSwitch) {
    startWith({QStringLiteral("apple"), QStringLiteral("banana"), QStringLiteral("bird")});
    main()->Option1Click(1);
    ASSERT_EQ(listed(), (QStringList{QStringLiteral("banana"), QStringLiteral("bird")}));
    FrmPrint* print = openPrint();
    ASSERT_NE(print, nullptr);
    EXPECT_TRUE(print->form()->Check2->isEnabled());
    EXPECT_FALSE(print->form()->Check2->isChecked());
    EXPECT_EQ(wordsOf(print->printList()), listed());
    print->form()->Check2->setChecked(true);
    EXPECT_EQ(
        wordsOf(print->printList()),
        (QStringList{QStringLiteral("apple"), QStringLiteral("banana"), QStringLiteral("bird")}));
}

TEST_F(PrintDialogTest, WordsChangedWhileTheDialogIsOpenAreFoundAgain) {
    startWith({QStringLiteral("apple"), QStringLiteral("banana"), QStringLiteral("cherry")});
    FrmPrint* print = openPrint();
    ASSERT_NE(print, nullptr);
    Book* book = main()->book();
    book->deleteWord(book->index().find(QStringLiteral("banana")));
    book->index().setCheckMark(book->index().find(QStringLiteral("cherry")), true);
    book->registerWord(QStringLiteral("avocado"), QStringLiteral("m"), QStringLiteral("e"));
    const std::vector<IndexEntry> list = print->printList();
    EXPECT_EQ(wordsOf(list), (QStringList{QStringLiteral("apple"), QStringLiteral("avocado"),
                                          QStringLiteral("cherry")}))
        << "the whole book as it is now";
    EXPECT_TRUE(list[2].checkMark) << "the mark as it is now";
}

TEST_F(PrintDialogTest, CopiesOfOneWordInTheListAreAllPrinted) {
    // A merge can leave one word twice in a book; both copies are listed under their initial.
    startWith({QStringLiteral("cat"), QStringLiteral("cat"), QStringLiteral("dog")});
    main()->Option1Click(2); // C
    ASSERT_EQ(listed(), (QStringList{QStringLiteral("cat"), QStringLiteral("cat")}));
    FrmPrint* print = openPrint();
    ASSERT_NE(print, nullptr);
    const std::vector<IndexEntry> list = print->printList();
    ASSERT_EQ(wordsOf(list), listed());
    EXPECT_NE(list[0].recordNo, list[1].recordNo);
}

TEST_F(PrintDialogTest, PrintGoesThroughThePrintDialogToAPdf) {
    startWith({QStringLiteral("apple")});
    FrmPrint* print = openPrint();
    ASSERT_NE(print, nullptr);
    QPointer<PrintForm> f = print->form();

    // A cancelled print dialog leaves the dialog open.
    dialogs.expectPrint(false);
    click(f->cmdPrint);
    EXPECT_TRUE(dialogs.done());
    ASSERT_TRUE(f && f->isVisible());

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.pdf"));
    print->printer().setOutputFormat(QPrinter::PdfFormat);
    print->printer().setOutputFileName(path);
    dialogs.expectPrint(true);
    click(f->cmdPrint);
    QCoreApplication::processEvents();
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_TRUE(!f || !f->isVisible()) << "the dialog goes after printing";
    EXPECT_TRUE(dialogs.boxes().isEmpty());
}

TEST_F(PrintDialogTest, NothingToPrintAndBadNumbersAreToldBeforeThePrintDialog) {
    startWith({QStringLiteral("apple")});
    FrmPrint* print = openPrint();
    ASSERT_NE(print, nullptr);
    PrintForm* f = print->form();
    // The only word went while the dialog was open.
    main()->book()->deleteWord(0);
    dialogs.expectMessage(Answer::Ok);
    click(f->cmdPrint);
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("印刷する単語がありません"));
    EXPECT_EQ(dialogs.lastBox().title, AppTitle);

    // Only digits go into the margins, and no input method; an emptied box is not a number.
    for (QLineEdit* box : {f->Text1, f->Text2, f->Text4})
        EXPECT_FALSE(box->testAttribute(Qt::WA_InputMethodEnabled))
            << box->objectName().toStdString();
    f->Text1->clear();
    QTest::keyClicks(f->Text1, QStringLiteral("1a-2"));
    EXPECT_EQ(f->Text1->text(), QStringLiteral("12"));
    f->Text2->clear();
    dialogs.expectMessage(Answer::Ok);
    click(f->cmdPrint);
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("Error262"));
    EXPECT_TRUE(dialogs.lastBox().text.contains(QStringLiteral("「印刷開始時」")));
    EXPECT_TRUE(dialogs.done());
}

TEST_F(PrintDialogTest, FontButtonsTakeTheChosenFontOrTheSettingsOnCancel) {
    startWith({QStringLiteral("apple")});
    FrmPrint* print = openPrint();
    ASSERT_NE(print, nullptr);
    QFont chosen(QStringLiteral("Serif"));
    chosen.setPointSize(14);
    chosen.setBold(true);
    dialogs.expectFont(chosen);
    click(print->form()->cmdFontWord);
    EXPECT_EQ(print->settings().wordFont.size, 14);
    EXPECT_TRUE(print->settings().wordFont.bold);
    dialogs.expectFont(std::nullopt);
    click(print->form()->cmdFontWord);
    EXPECT_EQ(print->settings().wordFont.size, session().display.word.size);
    EXPECT_FALSE(print->settings().wordFont.bold);
}

TEST_F(PrintDialogTest, PreviewShowsAndTheDialogClosesWithTheMainWindow) {
    startWith({QStringLiteral("apple")});
    FrmPrint* print = openPrint();
    ASSERT_NE(print, nullptr);
    QPointer<PrintForm> f = print->form();
    click(f->cmdPreview);
    auto* preview = f->findChild<QPrintPreviewDialog*>(QStringLiteral("dlgPreview"));
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isVisible());
    preview->close();
    QCoreApplication::processEvents();

    form()->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(!f || !f->isVisible());
}

TEST_F(PrintDialogTest, TheMenuRaisesAnOpenDialogAndReplacesAClosedOne) {
    startWith({QStringLiteral("apple")});
    FrmPrint* first = openPrint();
    ASSERT_NE(first, nullptr);
    form()->IdmPrint->trigger();
    EXPECT_EQ(main()->printDialog(), first) << "one dialog at a time";
    // Closed, and not yet gone: the menu at once still brings a dialog up.
    click(first->form()->cmdCancel);
    FrmPrint* second = openPrint();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->form()->isVisible());
}

TEST_F(PrintDialogTest, ClosingTheBookClosesTheDialog) {
    startWith({QStringLiteral("apple")});
    FrmPrint* print = openPrint();
    ASSERT_NE(print, nullptr);
    QPointer<PrintForm> f = print->form();
    main()->closeBook();
    QCoreApplication::processEvents();
    EXPECT_TRUE(!f || !f->isVisible());
}

} // namespace

namespace {

// With nothing checked there is nothing to print: no print dialog comes, and a file chosen to
// print to is never opened, so an existing one keeps its contents.
TEST_F(PrintDialogTest, CheckedOnlyWithNoneCheckedNeverTouchesTheOutputFile) {
    startWith({QStringLiteral("apple"), QStringLiteral("banana")});
    FrmPrint* print = openPrint();
    ASSERT_NE(print, nullptr);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.pdf"));
    {
        QFile existing(path);
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
        existing.write("an earlier print");
    }
    print->printer().setOutputFormat(QPrinter::PdfFormat);
    print->printer().setOutputFileName(path);
    print->form()->Check1->setChecked(true);
    dialogs.expectMessage(Answer::Ok, QStringLiteral("ﾁｪｯｸ語はひとつもなかったようです"));
    click(print->form()->cmdPrint);
    EXPECT_TRUE(dialogs.done());
    EXPECT_EQ(dialogs.boxes().size(), 1);
    EXPECT_TRUE(print->form()->isVisible());
    QFile after(path);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), "an earlier print");
}

} // namespace
