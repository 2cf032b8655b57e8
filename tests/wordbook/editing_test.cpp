// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/book.h"
#include "core/text/cp932.h"
#include "mainwindow_fixture.h"
#include "support/failingdisk.h"
#include "ui/limitedtextedit.h"

#include <QClipboard>
#include <QFile>
#include <QFileInfo>

namespace {

QString wordFile(const TempAppFolder& app) {
    return cp932::decode(app.read(QStringLiteral("英単語/words.vtd")));
}

TEST_F(MainWindowTest, RegisteringAWord) {
    startWith({"apple", "cherry"});
    type("banana");
    dialogs.expectMessage(Answer::Yes);
    enter();
    EXPECT_EQ(main()->editMode(), FrmMain::Register);
    EXPECT_EQ(form()->lblMode->text(), QStringLiteral("登録ﾓｰﾄﾞ"));
    EXPECT_EQ(form()->txtWord->text(), "banana");
    EXPECT_FALSE(form()->txtInput->isEnabled());
    EXPECT_FALSE(form()->List1->isEnabled());
    EXPECT_TRUE(form()->cmdDo->isEnabled());
    EXPECT_FALSE(form()->cmdScale->isEnabled());

    // No meaning yet: the mode stays and the meaning box gets the focus.
    dialogs.expectMessage(Answer::Ok);
    click(form()->cmdDo);
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("単語の意味を入力して下さい"));
    EXPECT_EQ(main()->editMode(), FrmMain::Register);

    // The palette is refused outside normal mode.
    dialogs.expectMessage(Answer::Ok);
    click(form()->Option1[0]);
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("現在、通常ﾓｰﾄﾞでないので使用出来ません"));
    EXPECT_TRUE(form()->Option1[26]->isChecked());

    // Closing too.
    dialogs.expectMessage(Answer::Ok);
    form()->close();
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("通常ﾓｰﾄﾞに戻してから再度実行して下さい。"));
    EXPECT_TRUE(form()->isVisible());

    form()->txtMean->setText(QStringLiteral("バナナ"));
    form()->txtRei->setText(QStringLiteral("a ripe banana"));
    dialogs.expectMessage(Answer::Yes);
    QTest::keyClick(form()->txtMean, Qt::Key_F5);
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("登録の確認"));
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("登録します。よろしいですか？"));
    EXPECT_EQ(main()->editMode(), FrmMain::Normal);
    EXPECT_EQ(listed(), QStringList({"apple", "banana", "cherry"}));
    EXPECT_EQ(selected(), "banana");
    EXPECT_EQ(form()->txtInput->text(), "banana");
    EXPECT_EQ(form()->lblMaxRec->text(), "3");
    EXPECT_TRUE(wordFile(app).contains(QStringLiteral("\"banana\",3\r\n")));
    EXPECT_EQ(QFileInfo(bookFolder() + "/means.vtd").size(), 600);
}

TEST_F(MainWindowTest, RefusedWordIsExplainedAndNothingIsWritten) {
    startWith({"apple"});
    const QByteArray words = app.read(QStringLiteral("英単語/words.vtd"));
    type(QStringLiteral("say \"hi\""));
    dialogs.expectMessage(Answer::Yes);
    enter();
    form()->txtMean->setText(QStringLiteral("挨拶😀"));
    dialogs.expectMessage(Answer::Ok);
    click(form()->cmdDo);
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("登録できません"));
    // The word box is locked in register mode: the way out is to cancel and type the word again.
    EXPECT_TRUE(dialogs.lastBox().text.endsWith(
        QStringLiteral("[Esc]で登録を取り消してから、単語を入力し直して下さい。")));
    EXPECT_EQ(main()->editMode(), FrmMain::Register);
    EXPECT_EQ(app.read(QStringLiteral("英単語/words.vtd")), words);
    key(Qt::Key_Escape);
    EXPECT_EQ(main()->editMode(), FrmMain::Normal);

    // A good word with a meaning that cannot be stored: the meaning can be put right in place.
    form()->txtInput->clear();
    type("hello");
    dialogs.expectMessage(Answer::Yes);
    enter();
    form()->txtMean->setText(QStringLiteral("挨拶😀"));
    dialogs.expectMessage(Answer::Ok);
    click(form()->cmdDo);
    EXPECT_TRUE(dialogs.lastBox().text.endsWith(
        QStringLiteral("内容を直してから、もう一度実行して下さい。")));
    EXPECT_EQ(main()->editMode(), FrmMain::Register);
    EXPECT_EQ(app.read(QStringLiteral("英単語/words.vtd")), words);
}

TEST_F(MainWindowTest, MeaningAndExampleTakeAtMostAHundredCharactersFromThePasteMenuAndKeys) {
    startWith({"apple"});
    type("banana");
    dialogs.expectMessage(Answer::Yes);
    enter();
    const QString longText = QStringLiteral("あ").repeated(120);
    QApplication::clipboard()->setText(longText);
    form()->txtMean->setFocus();
    form()->IdmPaste->trigger();
    EXPECT_EQ(form()->txtMean->text(), longText.left(100));
    EXPECT_EQ(form()->lblCount->text(), "0");
    // Ctrl+V is the edit menu's paste too.
    form()->txtRei->setFocus();
    QTest::keyClick(form()->txtRei, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(form()->txtRei->text(), longText.left(100));

    dialogs.expectMessage(Answer::Yes);
    click(form()->cmdDo);
    EXPECT_EQ(listed(), QStringList({"apple", "banana"}));
    const Book& book = *main()->book();
    EXPECT_EQ(book.meaning(2).trimmed(), longText.left(100));
    EXPECT_EQ(book.example(2).trimmed(), longText.left(100));
}

TEST_F(MainWindowTest, TextLongerThanItsRecordIsRefusedNotCut) {
    startWith({"apple"});
    const QByteArray means = app.read(QStringLiteral("英単語/means.vtd"));
    type("banana");
    dialogs.expectMessage(Answer::Yes);
    enter();
    // More than the box takes from the user, as only the program can put there.
    const QString longMeaning = QStringLiteral("あ").repeated(101);
    form()->txtMean->setText(longMeaning);
    dialogs.expectMessage(Answer::Ok);
    click(form()->cmdDo);
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("登録できません"));
    EXPECT_TRUE(dialogs.lastBox().text.endsWith(
        QStringLiteral("内容を直してから、もう一度実行して下さい。")));
    EXPECT_EQ(main()->editMode(), FrmMain::Register);
    EXPECT_EQ(form()->txtMean->text(), longMeaning);
    EXPECT_EQ(app.read(QStringLiteral("英単語/means.vtd")), means);
    EXPECT_EQ(listed(), QStringList({"apple"}));
}

TEST_F(MainWindowTest, KeypadEnterLooksTheWordUp) {
    startWith({"apple", "banana"});
    type("banana");
    QTest::keyClick(form()->txtInput, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(selected(), "banana");
    EXPECT_TRUE(form()->cmdModify->isEnabled());
    form()->txtInput->clear();
    type("cherry");
    dialogs.expectMessage(Answer::No);
    QTest::keyClick(form()->txtInput, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("未登録情報"));
    EXPECT_EQ(form()->txtInput->text(), "banana");
}

TEST_F(MainWindowTest, SearchShowsOnlyWordsThatBeginWithTheTypedText) {
    startWith({"open", "order", "yes"});
    type("yes");
    enter();
    EXPECT_EQ(selected(), "yes");
    // The text is selected after Enter; typing replaces it.
    type("order");
    EXPECT_EQ(form()->txtWord->text(), "order");

    form()->txtInput->clear();
    type("y");
    EXPECT_EQ(form()->txtWord->text(), "yes");
    form()->txtInput->clear();
    clickRow(0);
    EXPECT_EQ(form()->txtInput->text(), "open");
    type("ord");
    EXPECT_EQ(form()->txtWord->text(), "order");
}

TEST_F(MainWindowTest, SearchForgetsPositionsWhenWordsGo) {
    startWith({"apple", "banana", "berry", "cherry"});
    type("b");
    EXPECT_EQ(form()->txtWord->text(), "banana");
    clickRow(2);
    EXPECT_EQ(form()->txtInput->text(), "berry");
    // Deleting a checked word before the b's moves them up by one.
    model()->setChecked(0, true);
    dialogs.expectMessage(Answer::Ok);
    form()->IdmCheckDel->trigger();
    EXPECT_EQ(listed(), QStringList({"banana", "berry", "cherry"}));
    type("b");
    EXPECT_EQ(form()->txtWord->text(), "banana");
}

TEST(MainWindowHelp, SaysWhatTheMeaningAndExampleBoxesTake) {
    MainForm form;
    QFile page(QStringLiteral(":/help/wordbook/register.html"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(page.readAll());
    EXPECT_TRUE(
        text.contains(QStringLiteral("それぞれ %1 文字まで").arg(form.txtMean->maxLength())));
    EXPECT_EQ(form.txtRei->maxLength(), form.txtMean->maxLength());
    EXPECT_FALSE(text.contains(QStringLiteral("200 文字まで保存")));
}

TEST_F(MainWindowTest, AnsweringNoToRegistrationInAnEmptyBook) {
    writeSettings();
    QDir().mkpath(bookFolder());
    ASSERT_TRUE(start());
    type("first");
    dialogs.expectMessage(Answer::Yes);
    enter();
    form()->txtMean->setText("m");
    dialogs.expectMessage(Answer::No);
    click(form()->cmdDo);
    EXPECT_EQ(main()->editMode(), FrmMain::Normal);
    EXPECT_EQ(form()->txtWord->text(), QString());
    EXPECT_FALSE(form()->cmdModify->isEnabled());
    EXPECT_FALSE(form()->cmdDel->isEnabled());

    // The first word of an empty book.
    type("first");
    dialogs.expectMessage(Answer::Yes).expectMessage(Answer::Yes);
    enter();
    form()->txtMean->setText("m");
    click(form()->cmdDo);
    EXPECT_EQ(listed(), QStringList({"first"}));
    EXPECT_TRUE(form()->IdmTrial->isEnabled());
    EXPECT_EQ(wordFile(app), QStringLiteral("\"first\",1\r\n"));
}

TEST_F(MainWindowTest, ModifyingMovesTheWord) {
    startWith({"apple", "banana", "cherry"});
    // Typing disables modify until a word is chosen; F3 then does nothing.
    type("x");
    EXPECT_FALSE(form()->cmdModify->isEnabled());
    key(Qt::Key_F3);
    EXPECT_EQ(main()->editMode(), FrmMain::Normal);

    clickRow(1);
    key(Qt::Key_F3);
    EXPECT_EQ(main()->editMode(), FrmMain::Modify);
    EXPECT_EQ(form()->lblMode->text(), QStringLiteral("修正ﾓｰﾄﾞ"));
    EXPECT_FALSE(form()->txtWord->isReadOnly());
    form()->txtWord->setText("zucchini");
    form()->txtMean->setText(QStringLiteral("ズッキーニ"));
    dialogs.expectMessage(Answer::Yes);
    click(form()->cmdDo);
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("変更内容を登録します。よろしいですか？"));
    EXPECT_EQ(listed(), QStringList({"apple", "cherry", "zucchini"}));
    EXPECT_EQ(selected(), "zucchini");
    EXPECT_EQ(form()->txtMean->text().trimmed(), QStringLiteral("ズッキーニ"));
    // The new meaning went into a new record, after the last one.
    EXPECT_TRUE(wordFile(app).contains(QStringLiteral("\"zucchini\",4")));

    // An empty meaning is not enough.
    clickRow(0);
    click(form()->cmdModify);
    form()->txtMean->setText({});
    dialogs.expectMessage(Answer::Yes).expectMessage(Answer::Ok);
    click(form()->cmdDo);
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("入力が不十分です"));
    EXPECT_EQ(main()->editMode(), FrmMain::Normal);
    EXPECT_EQ(form()->txtMean->text().trimmed(), "m:apple");
}

TEST_F(MainWindowTest, DeletingFirstLaterAndOnlyWords) {
    startWith({"apple", "banana", "cherry", "date"});
    model()->setChecked(3, true);
    clickRow(0);
    dialogs.expectMessage(Answer::Yes);
    click(form()->cmdDel);
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("削除の確認"));
    EXPECT_EQ(dialogs.lastBox().text,
              QStringLiteral("現在表示されている単語を削除してもよろしいですか？"));
    EXPECT_EQ(listed(), QStringList({"banana", "cherry", "date"}));
    EXPECT_EQ(selected(), "banana");
    EXPECT_EQ(checked(), QStringList({"date"})); // other marks stay
    EXPECT_EQ(form()->lblMaxRec->text(), "3");

    clickRow(2);
    dialogs.expectMessage(Answer::Yes);
    key(Qt::Key_F4);
    EXPECT_EQ(listed(), QStringList({"banana", "cherry"}));
    EXPECT_EQ(selected(), "cherry");

    // No keeps the word.
    dialogs.expectMessage(Answer::No);
    click(form()->cmdDel);
    EXPECT_EQ(listed().size(), 2);

    dialogs.expectMessage(Answer::Yes);
    click(form()->cmdDel);
    dialogs.expectMessage(Answer::Yes);
    click(form()->cmdDel);
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_FALSE(form()->cmdModify->isEnabled());
    EXPECT_FALSE(form()->cmdDel->isEnabled());
    EXPECT_EQ(form()->txtWord->text(), QString());
}

TEST_F(MainWindowTest, CheckMarkButtons) {
    startWith({"apple", "banana", "cherry", "date", "avocado"});
    // Invert with the first and third of the list checked.
    model()->setChecked(0, true);
    model()->setChecked(2, true);
    click(form()->cmdChkRev);
    EXPECT_EQ(checked(), QStringList({"avocado", "cherry", "date"}));
    EXPECT_EQ(selected(), "apple");
    click(form()->cmdUnchecked);
    EXPECT_TRUE(checked().isEmpty());

    // Check all in the filtered view marks only the listed words.
    click(form()->Option1[0]);
    click(form()->cmdChecked);
    click(form()->Option1[26]);
    EXPECT_EQ(checked(), QStringList({"apple", "avocado"}));
}

TEST_F(MainWindowTest, DeletingCheckedWords) {
    startWith({"apple", "banana", "cherry"});
    const QByteArray means = app.read(QStringLiteral("英単語/means.vtd"));
    // None checked: nothing changes in the records.
    dialogs.expectMessage(Answer::Ok);
    form()->IdmCheckDel->trigger();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("ﾁｪｯｸ項目の削除確認"));
    EXPECT_EQ(dialogs.lastBox().buttons, MessageButtons::OkCancel);
    EXPECT_EQ(listed().size(), 3);
    EXPECT_EQ(app.read(QStringLiteral("英単語/means.vtd")), means);

    // Every word checked.
    click(form()->cmdChecked);
    dialogs.expectMessage(Answer::Ok).expectMessage(Answer::Ok);
    form()->IdmCheckDel->trigger();
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("ﾃﾞｰﾀがひとつもなくなりました"));
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_EQ(main()->editMode(), FrmMain::Normal);
    form()->close();
    EXPECT_FALSE(form()->isVisible());
    EXPECT_FALSE(app.exists(QStringLiteral("英単語/means.vtd")));
    EXPECT_FALSE(app.exists(QStringLiteral("英単語/words.vtd")));
}

TEST_F(MainWindowTest, ClosingWritesTheBookBackCompacted) {
    startWith({"one", "two", "three", "four", "five"});
    for (const char* word : {"four", "two"}) {
        form()->txtInput->clear();
        type(word);
        enter();
        dialogs.expectMessage(Answer::Yes);
        click(form()->cmdDel);
    }
    form()->close();
    EXPECT_EQ(QFileInfo(bookFolder() + "/means.vtd").size(), 600);
    EXPECT_EQ(QFileInfo(bookFolder() + "/reis.vtd").size(), 1200);
    EXPECT_EQ(app.entries(QStringLiteral("英単語")),
              QStringList({"ChangeJournal.vtd", "manifest.vtm", "means.vtd", "reis.vtd",
                           "words.vtd"}));
    EXPECT_EQ(wordFile(app), QStringLiteral("\"one\",1\r\n\"three\",2\r\n\"five\",3\r\n"));
}

// A lone temporary word file is not a finished compaction: the book opens as it was, and the
// user is told where the stray file went instead of it vanishing or replacing the words.
TEST_F(MainWindowTest, StrayTemporaryFileIsSetAsideAndReported) {
    writeSettings();
    writeBook({"apple", "banana", "cherry"});
    QFile stray(bookFolder() + "/TmpWFile.vtd");
    ASSERT_TRUE(stray.open(QIODevice::WriteOnly));
    stray.write("\"apple\",1\r\n");
    stray.close();
    dialogs.expectMessage(Answer::Ok, QStringLiteral("TmpWFile.vtd"));
    ASSERT_TRUE(start());
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("ブックの確認"));
    EXPECT_EQ(listed(), QStringList({"apple", "banana", "cherry"}));
    EXPECT_FALSE(QFile::exists(bookFolder() + "/TmpWFile.vtd"));
}

TEST_F(MainWindowTest, HandOverRefusesAnEmptyBook) {
    writeSettings();
    QDir().mkpath(bookFolder());
    ASSERT_TRUE(start());
    dialogs.expectMessage(Answer::Ok);
    click(form()->cmdGoTrans);
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("ﾄﾗﾝｽﾚｰﾀＬを開くｴﾗｰ"));
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("単語が１語も登録されていないので開けません"));
    EXPECT_TRUE(form()->isVisible());
}

TEST_F(MainWindowTest, HandOverAndBack) {
    startWith({"apple", "banana", "cherry"});
    clickRow(1);
    dialogs.expectMessage(Answer::Yes);
    click(form()->cmdDel);
    form()->IdmGotoTransL->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_NE(program->translator(), nullptr);
    EXPECT_TRUE(program->translator()->form()->isVisible());
    EXPECT_EQ(program->main(), nullptr);
    // The book was compacted on the way.
    EXPECT_EQ(QFileInfo(bookFolder() + "/means.vtd").size(), 400);

    program->translator()->form()->mnuExit->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_NE(program->main(), nullptr);
    EXPECT_TRUE(form()->isVisible());
    EXPECT_EQ(listed(), QStringList({"apple", "cherry"}));
    EXPECT_EQ(form()->windowTitle(), QStringLiteral("Verbanta - 英単語"));
}

} // namespace

namespace {

// The three book files and the folder's names, to show a refused write changed nothing.
QList<QByteArray> bookState(const TempAppFolder& app) {
    QList<QByteArray> state;
    for (const char* name : {"words.vtd", "means.vtd", "reis.vtd"})
        state << app.read(QStringLiteral("英単語/") + QLatin1String(name));
    state << app.entries(QStringLiteral("英単語")).join(u'/').toUtf8();
    return state;
}

// A full disk refuses each change: the user is told, the program keeps running with what was
// typed, the book is as it was, and the same command succeeds once there is room.
TEST_F(MainWindowTest, AFullDiskRefusesEachChangeAndKeepsWhatWasTyped) {
    startWith({"apple", "banana", "cherry"});
    const QList<QByteArray> untouched = bookState(app);
    const auto refusedOnAFullDisk = [&](const std::function<void()>& command) {
        FailingDisk disk(0);
        dialogs.expectMessage(Answer::Ok, QStringLiteral("ディスクの空き容量が不足しています"));
        command();
        EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("書き込みｴﾗｰ"));
        EXPECT_EQ(terminator.calls(), 0);
        EXPECT_TRUE(dialogs.done());
    };

    // Registration.
    type("date");
    dialogs.expectMessage(Answer::Yes);
    enter();
    form()->txtMean->setText(QStringLiteral("ナツメヤシ"));
    form()->txtRei->setText(QStringLiteral("a sweet date"));
    dialogs.expectMessage(Answer::Yes);
    refusedOnAFullDisk([&] { click(form()->cmdDo); });
    EXPECT_EQ(main()->editMode(), FrmMain::Register);
    EXPECT_EQ(form()->txtWord->text(), "date");
    EXPECT_EQ(form()->txtMean->text(), QStringLiteral("ナツメヤシ"));
    EXPECT_EQ(form()->txtRei->text(), QStringLiteral("a sweet date"));
    EXPECT_EQ(listed(), QStringList({"apple", "banana", "cherry"}));
    EXPECT_EQ(bookState(app), untouched);
    dialogs.expectMessage(Answer::Yes);
    click(form()->cmdDo);
    EXPECT_EQ(listed(), QStringList({"apple", "banana", "cherry", "date"}));
    const QList<QByteArray> registered = bookState(app);

    // Modification.
    clickRow(1);
    key(Qt::Key_F3);
    form()->txtWord->setText("blueberry");
    form()->txtMean->setText(QStringLiteral("ブルーベリー"));
    dialogs.expectMessage(Answer::Yes);
    refusedOnAFullDisk([&] { click(form()->cmdDo); });
    EXPECT_EQ(main()->editMode(), FrmMain::Modify);
    EXPECT_EQ(form()->txtWord->text(), "blueberry");
    EXPECT_EQ(form()->txtMean->text(), QStringLiteral("ブルーベリー"));
    EXPECT_EQ(listed(), QStringList({"apple", "banana", "cherry", "date"}));
    EXPECT_EQ(bookState(app), registered);
    dialogs.expectMessage(Answer::Yes);
    click(form()->cmdDo);
    EXPECT_EQ(listed(), QStringList({"apple", "blueberry", "cherry", "date"}));

    // Deletion, of the word shown and of the checked ones.
    const QList<QByteArray> modified = bookState(app);
    clickRow(0);
    dialogs.expectMessage(Answer::Yes);
    refusedOnAFullDisk([&] { click(form()->cmdDel); });
    EXPECT_EQ(main()->editMode(), FrmMain::Normal);
    EXPECT_EQ(listed(), QStringList({"apple", "blueberry", "cherry", "date"}));
    model()->setChecked(2, true);
    dialogs.expectMessage(Answer::Ok);
    refusedOnAFullDisk([&] { form()->IdmCheckDel->trigger(); });
    EXPECT_EQ(listed(), QStringList({"apple", "blueberry", "cherry", "date"}));
    EXPECT_EQ(checked(), QStringList({"cherry"}));
    EXPECT_EQ(bookState(app), modified);
    dialogs.expectMessage(Answer::Ok);
    form()->IdmCheckDel->trigger();
    EXPECT_EQ(listed(), QStringList({"apple", "blueberry", "date"}));

    // Closing with a deletion pending: the backup before the compaction and the write-back are
    // both refused, each saying so, and the window stays.
    const QList<QByteArray> deleted = bookState(app);
    {
        FailingDisk disk(0);
        dialogs.expectMessage(Answer::Ok, QStringLiteral("バックアップを作れなかった"))
            .expectMessage(Answer::Ok, QStringLiteral("ディスクの空き容量が不足しています"));
        form()->close();
        EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("書き込みｴﾗｰ"));
        EXPECT_EQ(terminator.calls(), 0);
        EXPECT_TRUE(dialogs.done());
    }
    EXPECT_TRUE(form()->isVisible());
    EXPECT_EQ(bookState(app), deleted);
    form()->close();
    EXPECT_FALSE(form()->isVisible());
    EXPECT_EQ(wordFile(app), QStringLiteral("\"apple\",1\r\n\"date\",2\r\n\"blueberry\",3\r\n"));
}

} // namespace
