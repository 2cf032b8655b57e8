// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/history/bookbackup.h"
#include "core/settings/booklist.h"
#include "core/settings/session.h"
#include "core/store/book.h"
#include "core/store/bookmanifest.h"
#include "core/text/cp932.h"
#include "library/bookhost.h"
#include "support/bookbuilder.h"
#include "support/failingdisk.h"
#include "support/scripteddialogs.h"
#include "support/tempappfolder.h"
#include "tools/frmgetdir.h"
#include "tools/frminport.h"
#include "tools/frmmerge.h"
#include "ui/getdirform.h"
#include "ui/inportform.h"
#include "ui/mergeform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <functional>
#include <gtest/gtest.h>
#include <utility>

namespace {

struct RecordingReceiver : PickReceiver {
    MergePicks picks;
    QStringList accepted;
    MergePicks mergePicks() const override { return picks; }
    void acceptPick(PickPurpose purpose, const QString& path, const QString& name) override {
        accepted << QStringLiteral("%1|%2|%3").arg(int(purpose)).arg(path, name);
    }
};

struct HostSpy : BookHost {
    int closes = 0;
    int reopens = 0;
    void closeBook() override { ++closes; }
    bool ReopenBook() override {
        ++reopens;
        return true;
    }
    void showChosenBook() override {}
    void ApplyPaletteFont() override {}
};

struct App {
    TempAppFolder app;
    App() {
        session() = Session();
        session().appFolder = app.path();
        session().current.bookName = QStringLiteral("cur");
    }
    ~App() { session() = Session(); }
    QString book(const QString& name, const QStringList& words) const {
        const QString folder = app.file(name);
        QDir().mkpath(folder);
        BookBuilder b(folder);
        for (const QString& w : words)
            b.add(w, name + u':' + w, QString());
        b.write();
        return folder;
    }
};

TEST(FrmGetDir, TakesOnlyBookFoldersWritesNothingAndAppliesTheMergeRules) {
    App a;
    ScriptedDialogs dialogs;
    QDir().mkpath(a.app.file("plain"));
    const QString bookA = a.book("bookA", {"x"});
    const QString noWords = a.app.file("nowords");
    QDir().mkpath(noWords);
    a.app.write("nowords/means.vtd", QByteArray());
    QFile::link(bookA, a.app.file("aliasA"));

    RecordingReceiver receiver;
    receiver.picks.bookA = bookA;
    {
        FrmGetDir picker(PickPurpose::BookB, &receiver);
        picker.formLoad();
        EXPECT_EQ(picker.path(), QDir(a.app.path()).canonicalPath());
        // Shown open, so the books in it are in view.
        EXPECT_TRUE(picker.form()->Dir1->isExpanded(picker.form()->Dir1->currentIndex()));
        picker.setFolder(a.app.file("plain"));
        EXPECT_EQ(picker.form()->lblBookName->text(), "plain");
        dialogs.expectMessage(Answer::Ok);
        picker.cmdOKClick();
        EXPECT_EQ(dialogs.lastBox().title, "ﾌﾞｯｸの選択ｴﾗｰ");
        EXPECT_EQ(dialogs.lastBox().text, "選択されたﾌｫﾙﾀﾞはVerbantaのﾌﾞｯｸではないようです。\r\n"
                                          "もう一度ﾌｫﾙﾀﾞを選択し直してください");
        EXPECT_EQ(a.app.entries("plain"), QStringList());

        // Book A again, reached through a link.
        picker.setFolder(a.app.file("aliasA"));
        dialogs.expectMessage(Answer::Ok);
        picker.cmdOKClick();
        EXPECT_EQ(dialogs.lastBox().text, "ﾌﾞｯｸＡと同じﾌﾞｯｸです。別のﾌﾞｯｸを選んでください");
        EXPECT_EQ(dialogs.lastBox().title, "Verbanta");
        EXPECT_TRUE(receiver.accepted.isEmpty());

        // A book without a words file is a book with no words; nothing is created in it.
        picker.setFolder(noWords);
        picker.cmdOKClick();
        EXPECT_EQ(receiver.accepted, QStringList({"1|" + noWords + "|nowords"}));
        EXPECT_EQ(a.app.entries("nowords"), QStringList({"means.vtd"}));
    }
    {
        FrmGetDir picker(PickPurpose::ImportSource, &receiver);
        picker.formLoad();
        picker.setFolder(bookA);
        picker.cmdCancelClick();
        EXPECT_EQ(picker.path(), QString());
        EXPECT_EQ(receiver.accepted.size(), 1);
    }
    EXPECT_TRUE(dialogs.done());
}

TEST(FrmGetDir, ABookWhoseFilesBelongToTwoVersionsIsNoSourceButMayBeReplaced) {
    App a;
    ScriptedDialogs dialogs;
    const QString book = a.book("synced", {"apple", "pear"});
    bookmanifest::endWrite(book);
    // Another machine's word file has arrived; its meanings have not.
    const QString other = a.book("other", {"apple", "pear", "plum"});
    QFile::remove(book + "/words.vtd");
    QFile::copy(other + "/words.vtd", book + "/words.vtd");
    ASSERT_EQ(bookmanifest::check(book).state, bookmanifest::State::Mixed);

    RecordingReceiver receiver;
    for (const PickPurpose purpose :
         {PickPurpose::BookA, PickPurpose::BookB, PickPurpose::ImportSource}) {
        FrmGetDir picker(purpose, &receiver);
        picker.formLoad();
        picker.setFolder(book);
        dialogs.expectMessage(Answer::Ok);
        picker.cmdOKClick();
        EXPECT_EQ(dialogs.lastBox().title, "ﾌﾞｯｸの選択ｴﾗｰ");
        EXPECT_EQ(dialogs.lastBox().text,
                  "このブックは同期中か、ファイルがそろっていません\r\nwords.vtd, manifest.vtm");
    }
    EXPECT_TRUE(receiver.accepted.isEmpty());
    // An export writes the whole set anew, which is how such a folder is mended.
    FrmGetDir picker(PickPurpose::ExportTarget, &receiver);
    picker.formLoad();
    picker.setFolder(book);
    picker.cmdOKClick();
    EXPECT_EQ(receiver.accepted, QStringList({"4|" + book + "|synced"}));
    EXPECT_TRUE(dialogs.done());
}

// Answers from the script, and runs an action once a box is shown (a medium put in).
struct DriveDialogs : ScriptedDialogs {
    std::function<void()> afterBox;
    Answer message(const MessageRequest& request) override {
        const Answer answer = ScriptedDialogs::message(request);
        if (afterBox)
            std::exchange(afterBox, {})();
        return answer;
    }
};

TEST(FrmGetDir, AVolumeThatCannotBeReadOffersRetryAndCancelGoesBack) {
    App a;
    DriveDialogs dialogs;
    const QString gone = a.app.file("gone");     // a volume no longer there
    const QString notReady = a.app.file("disc"); // there, but nothing to read
    a.app.write("disc", "x");
    RecordingReceiver receiver;
    FrmGetDir picker(PickPurpose::ImportSource, &receiver);
    picker.formLoad();
    QComboBox* drives = picker.form()->Drive1;
    const QString volume = drives->currentText();
    const QString start = picker.path();
    drives->addItems({gone, notReady});

    drives->setCurrentIndex(drives->findText(gone));
    dialogs.expectMessage(Answer::Retry).expectMessage(Answer::Cancel);
    picker.Drive1Change();
    ASSERT_EQ(dialogs.boxes().size(), 2);
    for (const ScriptedDialogs::Box& box : dialogs.boxes()) {
        EXPECT_EQ(box.title, "ﾃﾞﾊﾞｲｽｴﾗｰ");
        EXPECT_EQ(box.text, "ﾄﾞﾗｲﾌﾞの準備が出来ていません");
        EXPECT_EQ(box.buttons, MessageButtons::RetryCancel);
    }
    // Cancel: the list goes back to the volume the tree still shows.
    EXPECT_EQ(drives->currentText(), volume);
    EXPECT_EQ(picker.path(), start);

    drives->setCurrentIndex(drives->findText(notReady));
    dialogs.expectMessage(Answer::Cancel);
    picker.Drive1Change();
    EXPECT_EQ(dialogs.lastBox().title, "ﾃﾞｨｽｸｴﾗｰ");
    EXPECT_EQ(dialogs.lastBox().text, "ﾌﾛｯﾋﾟｰﾃﾞｨｽｸをﾄﾞﾗｲﾌﾞに挿入してください");
    EXPECT_EQ(dialogs.lastBox().buttons, MessageButtons::RetryCancel);
    EXPECT_EQ(drives->currentText(), volume);

    // Retry after the volume came back shows it.
    drives->setCurrentIndex(drives->findText(gone));
    dialogs.afterBox = [&] { QDir().mkpath(gone); };
    dialogs.expectMessage(Answer::Retry);
    picker.Drive1Change();
    EXPECT_EQ(dialogs.boxes().size(), 4);
    EXPECT_EQ(drives->currentText(), gone);
    EXPECT_EQ(picker.path(), gone);
    EXPECT_TRUE(dialogs.done());
    EXPECT_TRUE(receiver.accepted.isEmpty());
}

std::vector<IndexEntry> listOf(std::initializer_list<std::pair<const char*, bool>> words) {
    std::vector<IndexEntry> out;
    qint32 r = 0;
    for (const auto& [w, checked] : words)
        out.push_back({QString::fromUtf8(w), ++r, checked});
    return out;
}

TEST(FrmInport, LoadsThenExportsInBothFormatsAndRefusesTheSameBook) {
    App a;
    ScriptedDialogs dialogs;
    a.book("cur", {"apple", "bee", "cat"});
    const QString target = a.book("other", {"old"});
    booklist::write(a.app.path(), {{"cur", "English"}, {"other", "English"}});
    QFile::link(a.app.file("cur"), a.app.file("curlink"));
    HostSpy host;
    FrmInport dialog(&host, listOf({{"apple", false}, {"bee", true}, {"cat", true}}));
    InportForm* f = dialog.form();
    dialog.formLoad();
    EXPECT_EQ(f->cboBooks->count(), 2);
    EXPECT_EQ(f->cboBooks->currentText(), "cur");
    EXPECT_EQ(f->lblExSource->text(), "cur");
    EXPECT_EQ(f->Combo1->count(), 7);
    EXPECT_EQ(f->Combo1->itemText(2), "ｶﾝﾏ区切り(csv)形式 UTF-8");
    EXPECT_EQ(f->txtCRLF->text(), " / ");
    EXPECT_FALSE(f->cmdExport->isEnabled());
    EXPECT_FALSE(f->cmdInport->isEnabled());
    EXPECT_TRUE(f->txtCRLF->isHidden());

    // The current book picked as its own export target, through a link.
    dialog.acceptPick(PickPurpose::ExportTarget, a.app.file("curlink"), "curlink");
    EXPECT_TRUE(f->cmdExport->isEnabled());
    dialogs.expectMessage(Answer::Ok);
    dialog.cmdExportClick();
    EXPECT_EQ(dialogs.lastBox().text, "書出し元と書出し先が同一ﾌﾞｯｸ（ﾌｫﾙﾀﾞ）です\r\n"
                                      "書出し先を違うﾌﾞｯｸ（ﾌｫﾙﾀﾞ）に設定し直してください");

    dialog.acceptPick(PickPurpose::ExportTarget, target, "other");
    f->chkWord->setChecked(true);
    dialogs.expectMessage(Answer::Yes).expectMessage(Answer::Ok);
    dialog.cmdExportClick();
    EXPECT_EQ(dialogs.boxes().at(1).title, "ﾃﾞｰﾀ書出し確認");
    EXPECT_EQ(dialogs.lastBox().text, "ﾃﾞｰﾀの書出しが終了しました");
    EXPECT_EQ(a.app.read("other/words.vtd"), "\"bee\",1\r\n\"cat\",2\r\n");

    // CSV in UTF-8: the save dialog's name gets its extension.
    f->Combo1->setCurrentIndex(2);
    dialog.Combo1Click();
    EXPECT_FALSE(f->cmdRead2->isEnabled());
    EXPECT_FALSE(f->txtCRLF->isHidden());
    f->chkWord->setChecked(false);
    dialogs.expectSaveFile(a.app.file("words"))
        .expectMessage(Answer::Yes)
        .expectMessage(Answer::Ok);
    dialog.cmdExportClick();
    EXPECT_EQ(dialogs.boxes().at(3).text,
              "ﾃﾞｰﾀを words.csv へｶﾝﾏ区切り(csv)形式で書出しします。\r\n"
              "書出し処理を実行してもよろしいですか？");
    EXPECT_EQ(a.app.read("words.csv"), "\xEF\xBB\xBF\"apple\",\"cur:apple\",\"\"\r\n"
                                       "\"bee\",\"cur:bee\",\"\"\r\n\"cat\",\"cur:cat\",\"\"\r\n");
    // A cancelled save dialog writes nothing and shows nothing.
    dialogs.expectSaveFile(std::nullopt);
    dialog.cmdExportClick();
    EXPECT_EQ(dialogs.boxes().size(), 5);
    EXPECT_EQ(host.closes, 0);
    EXPECT_TRUE(dialogs.done());
}

TEST(FrmInport, ImportsIntoTheReceivingBookAndReopensTheCurrentOne) {
    App a;
    ScriptedDialogs dialogs;
    a.book("cur", {"apple"});
    const QString sending = a.book("elsewhere", {"dog", "emu"});
    booklist::write(a.app.path(), {{"cur", "English"}});
    HostSpy host;
    FrmInport dialog(&host, {});
    InportForm* f = dialog.form();
    dialog.formLoad();

    dialog.acceptPick(PickPurpose::ImportSource, a.app.file("cur/"), "cur");
    EXPECT_TRUE(f->cmdInport->isEnabled());
    dialogs.expectMessage(Answer::Ok);
    dialog.cmdInportClick();
    EXPECT_EQ(dialogs.lastBox().text,
              "受け側と送り側のﾌﾞｯｸが同じです\r\n他のﾌﾞｯｸを選び直して下さい");

    dialog.acceptPick(PickPurpose::ImportSource, sending, "elsewhere");
    EXPECT_EQ(f->lblSourceBook->text(), "elsewhere");
    dialogs.expectMessage(Answer::No);
    dialog.cmdInportClick();
    EXPECT_EQ(f->lblSourcePath->text(), QString());
    EXPECT_EQ(host.closes, 0);
    EXPECT_EQ(a.app.read("cur/words.vtd"), "\"apple\",1\r\n");

    dialog.acceptPick(PickPurpose::ImportSource, sending, "elsewhere");
    dialogs.expectMessage(Answer::Yes).expectMessage(Answer::Ok);
    dialog.cmdInportClick();
    EXPECT_EQ(dialogs.boxes().at(2).title, "取込み開始確認");
    EXPECT_EQ(dialogs.lastBox().text, "ﾃﾞｰﾀの取込みが完了しました");
    EXPECT_EQ(host.closes, 1);
    EXPECT_EQ(a.app.read("cur/words.vtd"), "\"dog\",1\r\n\"emu\",2\r\n");

    // A CSV file into the same book: one box with the counts.
    a.app.write("in.csv", cp932::encode(QStringLiteral("\"fox\",\"きつね\",\"\"\r\ndog,x,\r\n")));
    dialogs.expectOpenFile(a.app.file("in.csv"))
        .expectMessage(Answer::Yes)
        .expectMessage(Answer::Ok);
    dialog.cmdReadCsvClick();
    EXPECT_TRUE(dialogs.lastBox().text.startsWith("ﾃﾞｰﾀの取込みが完了しました\r\n追加: 1 語"))
        << dialogs.lastBox().text.toStdString();
    EXPECT_EQ(host.closes, 1);

    dialog.cmdCloseClick();
    EXPECT_EQ(host.reopens, 1);
    EXPECT_TRUE(dialogs.done());
}

TEST(FrmMerge, PausesAtTheDuplicateWritesTheEditedEntryAndReopensTheBook) {
    App a;
    ScriptedDialogs dialogs;
    const QString bookA = a.book("A", {"apple", "cat"});
    const QString bookB = a.book("B", {"bird", "cat", "dog"});
    const QString target = a.book("T", {"keep"});
    HostSpy host;
    {
        FrmMerge dialog(&host);
        MergeForm* f = dialog.form();
        dialog.formLoad();
        EXPECT_EQ(f->cboPrio->count(), 4);
        EXPECT_EQ(f->cboPrio->itemText(3), "そのつどﾕｰｻﾞｰが選択する");
        EXPECT_FALSE(f->cmdAchoice->isEnabled());
        dialog.acceptPick(PickPurpose::BookA, bookA, "A");
        dialog.acceptPick(PickPurpose::BookB, bookB, "B");
        dialogs.expectMessage(Answer::Ok);
        dialog.cmdMergeClick();
        EXPECT_EQ(dialogs.lastBox().text, "統合用ﾌｧｲﾙの準備が出来ていません");
        EXPECT_EQ(host.closes, 0);

        dialog.acceptPick(PickPurpose::MergeTarget, target, "T");
        EXPECT_EQ(dialog.mergePicks().bookB, bookB);
        f->cboPrio->setCurrentIndex(3);
        dialog.cmdMergeClick();
        EXPECT_EQ(host.closes, 1);
        EXPECT_EQ(f->lblAword->text(), "cat");
        EXPECT_EQ(f->txtBmean->toPlainText(), "B:cat");
        EXPECT_TRUE(f->cmdBchoice->isEnabled());
        // Closed while the duplicate waits: the target is untouched, the book comes back.
        dialog.cmdExitClick();
        EXPECT_EQ(host.reopens, 1);
        EXPECT_EQ(a.app.read("T/words.vtd"), "\"keep\",1\r\n");
        EXPECT_EQ(a.app.entries("T"), QStringList({"means.vtd", "reis.vtd", "words.vtd"}));
    }
    FrmMerge dialog(&host);
    MergeForm* f = dialog.form();
    dialog.formLoad();
    dialog.acceptPick(PickPurpose::BookA, bookA, "A");
    dialog.acceptPick(PickPurpose::BookB, bookB, "B");
    dialog.acceptPick(PickPurpose::MergeTarget, target, "T");
    f->cboPrio->setCurrentIndex(3);
    dialog.cmdMergeClick();
    f->txtBmean->setPlainText(QStringLiteral("ねこ\n猫"));
    dialogs.expectMessage(Answer::Ok);
    dialog.cmdBchoiceClick();
    EXPECT_EQ(dialogs.lastBox().text, "統合処理が完了しました\r\n 1個の重複ﾃﾞｰﾀがありました");
    EXPECT_EQ(a.app.read("T/words.vtd"), "\"apple\",1\r\n\"bird\",2\r\n\"cat\",3\r\n\"dog\",4\r\n");
    Book book(target);
    book.open();
    EXPECT_EQ(book.meaning(3).trimmed(), QStringLiteral("ねこ\r\n猫"));
    EXPECT_EQ(host.closes, 2);
    EXPECT_EQ(host.reopens, 2);
    EXPECT_TRUE(dialogs.done());
}

TEST(BookBackupsBeforeReplacing, ImportAndMergeCopyTheBookFirstAndStopWhenTheyCannot) {
    App a;
    ScriptedDialogs dialogs;
    a.book("cur", {"apple"});
    const QString sending = a.book("elsewhere", {"dog", "emu"});
    booklist::write(a.app.path(), {{"cur", "English"}});
    HostSpy host;
    FrmInport dialog(&host, {});
    dialog.formLoad();

    // A full disk: the message, and neither the book nor the backups change.
    dialog.acceptPick(PickPurpose::ImportSource, sending, "elsewhere");
    {
        FailingDisk disk(0);
        dialogs.expectMessage(Answer::Yes).expectMessage(Answer::Ok);
        dialog.cmdInportClick();
    }
    EXPECT_TRUE(dialogs.lastBox().text.startsWith(
        QStringLiteral("ブックのバックアップを作れなかったため、処理を中止しました。")));
    EXPECT_EQ(host.closes, 0);
    EXPECT_EQ(a.app.read("cur/words.vtd"), "\"apple\",1\r\n");
    EXPECT_TRUE(BookBackups(a.app.path()).list("cur").empty());

    dialog.acceptPick(PickPurpose::ImportSource, sending, "elsewhere");
    dialogs.expectMessage(Answer::Yes).expectMessage(Answer::Ok);
    dialog.cmdInportClick();
    EXPECT_EQ(a.app.read("cur/words.vtd"), "\"dog\",1\r\n\"emu\",2\r\n");
    std::vector<BookBackup> made = BookBackups(a.app.path()).list("cur");
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].operation, QStringLiteral("取込み"));
    QFile copied(made[0].folder + "/words.vtd");
    ASSERT_TRUE(copied.open(QIODevice::ReadOnly));
    EXPECT_EQ(copied.readAll(), "\"apple\",1\r\n");

    // A merge into an existing book.
    const QString bookA = a.book("A", {"ant"});
    const QString bookB = a.book("B", {"bee"});
    const QString target = a.book("T", {"keep"});
    FrmMerge merge(&host);
    merge.formLoad();
    merge.acceptPick(PickPurpose::BookA, bookA, "A");
    merge.acceptPick(PickPurpose::BookB, bookB, "B");
    merge.acceptPick(PickPurpose::MergeTarget, target, "T");
    merge.form()->cboPrio->setCurrentIndex(0);
    dialogs.expectMessage(Answer::Ok);
    merge.cmdMergeClick();
    made = BookBackups(a.app.path()).list("T");
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].operation, QStringLiteral("統合"));
    EXPECT_EQ(made[0].wordCount, 1);
    EXPECT_TRUE(dialogs.done());
}

} // namespace

namespace {

// Taking A's entry after editing its example keeps A's meaning and the edited example, nothing
// of B's boxes, edited or not.
TEST(FrmMerge, TakingAAfterEditingItsExampleKeepsAsMeaningAndTheEditedExample) {
    App a;
    ScriptedDialogs dialogs;
    const QString bookA = a.app.file("A");
    const QString bookB = a.app.file("B");
    BookBuilder(bookA).add("cat", "A:cat", "A:example").write();
    BookBuilder(bookB).add("cat", "B:cat", "B:example").write();
    const QString target = a.book("T", {"keep"});
    HostSpy host;
    FrmMerge dialog(&host);
    MergeForm* f = dialog.form();
    dialog.formLoad();
    dialog.acceptPick(PickPurpose::BookA, bookA, "A");
    dialog.acceptPick(PickPurpose::BookB, bookB, "B");
    dialog.acceptPick(PickPurpose::MergeTarget, target, "T");
    f->cboPrio->setCurrentIndex(3);
    dialog.cmdMergeClick();
    EXPECT_EQ(f->txtArei->toPlainText(), "A:example");
    f->txtArei->setPlainText(QStringLiteral("a cat sat"));
    f->txtBrei->setPlainText(QStringLiteral("not this one"));
    dialogs.expectMessage(Answer::Ok);
    dialog.cmdAchoiceClick();
    EXPECT_TRUE(dialogs.done());
    Book book(target);
    book.open();
    ASSERT_EQ(book.index().size(), 1);
    EXPECT_EQ(book.index().at(0).word, "cat");
    const qint32 r = book.index().at(0).recordNo;
    EXPECT_EQ(book.meaning(r).trimmed(), "A:cat");
    EXPECT_EQ(book.example(r).trimmed(), "a cat sat");
}

} // namespace

namespace {

// The picker opens with the application folder in view and selected, however deep it lies and
// whenever the folders above it finish loading.
TEST(FrmGetDir, OpensWithTheApplicationFolderInViewAndSelected) {
    App a;
    ScriptedDialogs dialogs;
    RecordingReceiver receiver;
    FrmGetDir picker(PickPurpose::ImportSource, &receiver);
    QTreeView* tree = picker.form()->Dir1;
    const QString appFolder = QDir(a.app.path()).canonicalPath();
    // The folders on the way load on Qt's own thread, as slowly as the machine is loaded.
    QStringList waiting;
    for (QDir up(appFolder); up.cdUp();)
        waiting << up.path();
    QObject::connect(picker.form()->Dir1Model, &QFileSystemModel::directoryLoaded,
                     [&](const QString& path) { waiting.removeAll(path); });
    bool inView = false;
    QTimer::singleShot(0, [&] {
        EXPECT_TRUE(QTest::qWaitFor([&] { return waiting.isEmpty(); }, 60000)) << "never loaded";
        QCoreApplication::processEvents();
        const QModelIndex current = tree->currentIndex();
        inView = current.isValid() && picker.form()->Dir1Model->filePath(current) == appFolder &&
                 tree->selectionModel()->isSelected(current) &&
                 tree->viewport()->rect().contains(tree->visualRect(current));
        if (!inView)
            ADD_FAILURE() << picker.form()->Dir1Model->filePath(current).toStdString() << " "
                          << tree->selectionModel()->isSelected(current) << " "
                          << tree->visualRect(current).y() << " of "
                          << tree->viewport()->rect().height();
        picker.form()->reject();
    });
    picker.exec();
    EXPECT_TRUE(inView);
}

} // namespace

namespace {

// The rows a CSV import did not take as they stood are shown, and kept in a file on request.
TEST(FrmInport, TheCsvReportNamesTheRowsAndCanBeSaved) {
    App a;
    ScriptedDialogs dialogs;
    a.book("cur", {"dog"});
    booklist::write(a.app.path(), {{"cur", "English"}});
    HostSpy host;
    FrmInport dialog(&host, {});
    dialog.formLoad();
    a.app.write("in.csv", cp932::encode(QStringLiteral("fox,きつね,\r\ndog,x,\r\nfox,again,\r\n")));
    const QString saved = a.app.file("report.txt");
    dialogs.expectOpenFile(a.app.file("in.csv"))
        .expectMessage(Answer::Yes)
        .expectMessage(Answer::Yes, QStringLiteral("2行目 dog: "))
        .expectSaveFile(saved);
    dialog.cmdReadCsvClick();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("取込みの報告"));
    EXPECT_TRUE(dialogs.lastBox().text.contains(QStringLiteral("3行目 fox: 1行目と同じ語")));
    // The summary counts the word the book had and the word repeated in the file apart.
    EXPECT_TRUE(dialogs.lastBox().text.startsWith(
        QStringLiteral("ﾃﾞｰﾀの取込みが完了しました\r\n追加: 1 語\r\n取込まなかった語: 2 語\r\n"
                       "　ﾌﾞｯｸにすでにある語: 1 語\r\n　ﾌｧｲﾙ内で重複した語: 1 語\r\n\r\n")))
        << dialogs.lastBox().text.toStdString();
    EXPECT_TRUE(dialogs.done());
    const QString report = QString::fromUtf8(a.app.read("report.txt"));
    EXPECT_TRUE(report.contains(QStringLiteral("2行目 dog: ﾌﾞｯｸにすでにある語")));
    EXPECT_TRUE(report.contains(QStringLiteral("3行目 fox: 1行目と同じ語")));
}

} // namespace

namespace {

// The other programs' formats through the dialog: an export of the checked words as Anki notes,
// a file that is not what its name says refused with the book untouched and no backup taken,
// and an import that adds words after a backup and reports the entry it left.
TEST(FrmInport, CarriesWordsToOtherProgramsAndRefusesAFileThatIsNotWhatItClaims) {
    App a;
    ScriptedDialogs dialogs;
    a.book("cur", {"apple", "bee", "cat"});
    booklist::write(a.app.path(), {{"cur", "English"}});
    HostSpy host;
    FrmInport dialog(&host, listOf({{"apple", false}, {"bee", true}, {"cat", true}}));
    InportForm* f = dialog.form();
    dialog.formLoad();
    EXPECT_EQ(f->Combo1->itemText(3), QStringLiteral("Anki 用テキスト (*.txt)"));
    EXPECT_EQ(f->Combo1->itemText(4), QStringLiteral("KWordQuiz / Parley (*.kvtml)"));
    EXPECT_EQ(f->Combo1->itemText(5), QStringLiteral("OmegaT 用語集 (*.utf8)"));
    EXPECT_EQ(f->Combo1->itemText(6), QStringLiteral("TBX 用語集 (*.tbx)"));

    f->Combo1->setCurrentIndex(3);
    dialog.Combo1Click();
    EXPECT_TRUE(f->cmdExport->isEnabled());
    EXPECT_FALSE(f->cmdRead2->isEnabled());
    EXPECT_TRUE(f->txtCRLF->isHidden());
    f->chkWord->setChecked(true);
    dialogs.expectSaveFile(a.app.file("cards"))
        .expectMessage(Answer::Yes)
        .expectMessage(Answer::Ok);
    dialog.cmdExportClick();
    EXPECT_EQ(dialogs.boxes().at(0).text,
              QStringLiteral("ﾃﾞｰﾀを cards.txt へ Anki 形式で書出しします。\r\n"
                             "書出し処理を実行してもよろしいですか？"));
    EXPECT_EQ(dialogs.lastBox().text, "ﾃﾞｰﾀの書出しが終了しました");
    EXPECT_TRUE(a.app.read("cards.txt")
                    .endsWith("#tags column:5\nBasic\tcur\tbee\tcur:bee\tchecked\n"
                              "Basic\tcur\tcat\tcur:cat\tchecked\n"));

    const QByteArray before = a.app.read("cur/words.vtd");
    a.app.write("page.kvtml", "<!DOCTYPE html>\n<html><body>words</body></html>\n");
    dialogs.expectOpenFile(a.app.file("page.kvtml")).expectMessage(Answer::Ok, "HTML");
    dialog.cmdReadCsvClick();
    EXPECT_EQ(host.closes, 0);
    EXPECT_EQ(a.app.read("cur/words.vtd"), before);
    EXPECT_TRUE(BookBackups(a.app.path()).list("cur").empty());

    a.app.write("deck.txt", "#separator:tab\n#html:true\ndog\t\xE7\x8A\xAC<br>inu\nbee\tx\n");
    dialogs.expectOpenFile(a.app.file("deck.txt"))
        .expectMessage(Answer::Yes)
        .expectMessage(Answer::No, QStringLiteral("4行目 bee: ﾌﾞｯｸにすでにある語"));
    dialog.cmdReadCsvClick();
    EXPECT_TRUE(dialogs.lastBox().text.startsWith(
        QStringLiteral("ﾃﾞｰﾀの取込みが完了しました\r\n追加: 1 語\r\n取込まなかった語: 1 語\r\n"
                       "　ﾌﾞｯｸにすでにある語: 1 語\r\n\r\n")))
        << dialogs.lastBox().text.toStdString();
    EXPECT_EQ(host.closes, 1);
    EXPECT_TRUE(bookContents(a.app.file("cur")).contains(QStringLiteral("dog|犬\r\ninu|")));
    const std::vector<BookBackup> made = BookBackups(a.app.path()).list("cur");
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].operation, QStringLiteral("取込み（Anki）"));

    // A comma-separated file named ".txt" is read as the CSV import always read it.
    a.app.write("list.txt", cp932::encode(QStringLiteral("\"fox\",\"きつね\",\"\"\r\n")));
    dialogs.expectOpenFile(a.app.file("list.txt"))
        .expectMessage(Answer::Yes)
        .expectMessage(Answer::Ok);
    dialog.cmdReadCsvClick();
    EXPECT_TRUE(bookContents(a.app.file("cur")).contains(QStringLiteral("fox|きつね|")));
    QStringList operations;
    for (const BookBackup& b : BookBackups(a.app.path()).list("cur"))
        operations << b.operation;
    EXPECT_TRUE(operations.contains(QStringLiteral("取込み（ｶﾝﾏ区切り）")))
        << operations.join(u',').toStdString();
    EXPECT_TRUE(dialogs.done());
}

} // namespace
