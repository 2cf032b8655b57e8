// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/booklist.h"
#include "core/text/cp932.h"
#include "mainwindow_fixture.h"
#include "platform/appearance.h"
#include "platform/singleinstance.h"
#include "support/readonlyfolder.h"
#include "support/widgets.h"
#include "ui/limitedtextedit.h"
#include "ui/selectfolderform.h"

#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QMenuBar>
#include <QTextBrowser>
#include <functional>

namespace {

TEST_F(MainWindowTest, SecondInstanceIsRefused) {
    writeSettings();
    writeBook({"apple"});
    SingleInstance running(app.path());
    ASSERT_EQ(running.acquire(), SingleInstance::Result::Acquired);
    dialogs.expectMessage(Answer::Ok);
    program = std::make_unique<Program>();
    EXPECT_FALSE(program->start());
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("Verbanta"));
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("すでに Verbanta は起動しています。"));
    EXPECT_EQ(dialogs.lastBox().buttons, MessageButtons::Ok);
}

// Temporaries that interrupted rewrites left in the application folder and its book folders are
// cleared away at the next start; everything else stays.
TEST_F(MainWindowTest, AStartRemovesTheLeftoversOfInterruptedWrites) {
    writeSettings();
    writeBook({"apple"});
    app.write(QStringLiteral("trinfo.vtd.verbanta-a1B2c3.tmp"), "half");
    app.write(QStringLiteral("英単語/words.vtd.verbanta-Zz9yY8.tmp"), "half");
    app.write(QStringLiteral("memo.txt"), "mine");
    // Backups a kill interrupted, of this book and of another; a whole backup stays.
    app.write(QStringLiteral("backup/英単語/.tmp-20260102-030405/words.vtd"), "copy");
    app.write(QStringLiteral("backup/other/.tmp-20260102-030405-2/means.vtd"), "copy");
    app.write(QStringLiteral("backup/other/20260101-000000/backup.vtd"), "whole");
    ASSERT_TRUE(start());
    EXPECT_FALSE(app.exists(QStringLiteral("trinfo.vtd.verbanta-a1B2c3.tmp")));
    EXPECT_FALSE(app.exists(QStringLiteral("英単語/words.vtd.verbanta-Zz9yY8.tmp")));
    EXPECT_TRUE(app.exists(QStringLiteral("memo.txt")));
    EXPECT_TRUE(app.entries(QStringLiteral("backup/英単語")).isEmpty());
    EXPECT_EQ(app.entries(QStringLiteral("backup/other")), QStringList({"20260101-000000"}));
    EXPECT_TRUE(app.exists(QStringLiteral("backup/other/20260101-000000/backup.vtd")));
    EXPECT_EQ(listed(), QStringList({"apple"}));
}

TEST_F(MainWindowTest, MissingBookOpensTheChooserAndCreatesNothing) {
    writeSettings();
    const QStringList before = app.entries();
    startAndLeaveTheChooser();
    ASSERT_EQ(dialogs.boxes().size(), 3);
    const ScriptedDialogs::Box missing = dialogs.boxes()[0];
    EXPECT_EQ(missing.title, QStringLiteral("ブックエラー"));
    EXPECT_EQ(missing.icon, MessageIcon::None);
    EXPECT_TRUE(missing.text.startsWith(QStringLiteral(
        "すでに作成されて存在しているはずのブック（フォルダ）が見当たりません。Verbantaのあるフォル"
        "ダ内にあるべきブックが無いようです。\r\n\r\nVerbantaをインストール直後の場合は")));
    // The program goes on to the chooser, so the box does not say it ends.
    EXPECT_TRUE(missing.text.endsWith(QStringLiteral("再度インストールし直す必要があります。")));
    EXPECT_EQ(
        dialogs.boxes()[1].text,
        QStringLiteral("使用するブックが見つかりません。\r\nﾌﾞｯｸ設定ﾀﾞｲｱﾛｸﾞﾎﾞｯｸｽを開きます。"));
    EXPECT_EQ(dialogs.boxes()[2].title, QStringLiteral("終了処理"));
    EXPECT_EQ(app.entries(), before);
}

TEST_F(MainWindowTest, BookWithoutItsMeaningFileOpensTheChooserAndCreatesNothing) {
    writeSettings();
    writeBook({"apple", "banana"});
    QFile::remove(bookFolder() + QStringLiteral("/means.vtd"));
    const QStringList before = app.entries(QStringLiteral("英単語"));
    startAndLeaveTheChooser();
    ASSERT_EQ(dialogs.boxes().size(), 3);
    EXPECT_EQ(dialogs.boxes()[0].title, QStringLiteral("ブックエラー"));
    EXPECT_TRUE(dialogs.boxes()[0].text.contains(QStringLiteral("means.vtd")));
    EXPECT_EQ(app.entries(QStringLiteral("英単語")), before);
}

TEST_F(MainWindowTest, BrokenBookAtStartLeavesTheUserAnotherBook) {
    writeSettings();
    BookBuilder(app.file(QStringLiteral("独単語"))).add("Hund", "dog").write();
    booklist::write(app.path(), {{QStringLiteral("英単語"), QStringLiteral("英語ｾｯﾄ")},
                                 {QStringLiteral("独単語"), QStringLiteral("英語ｾｯﾄ")}});
    dialogs.expectMessage(Answer::Ok).expectMessage(Answer::Ok).expectMessage(Answer::Ok);
    whenShown("frmSelectFolder", [](QWidget* w) {
        auto* f = static_cast<SelectFolderForm*>(w);
        f->cboFldName->setCurrentIndex(1);
        QTest::mouseClick(f->cmdOKFolder, Qt::LeftButton);
    });
    ASSERT_TRUE(start());
    EXPECT_EQ(form()->windowTitle(), QStringLiteral("Verbanta - 独単語"));
    EXPECT_EQ(listed(), QStringList({"Hund"}));
    EXPECT_FALSE(QDir(bookFolder()).exists());
}

TEST_F(MainWindowTest, MissingSetFileOpensTheChooser) {
    writeSettings();
    writeBook({"apple"});
    QFile::remove(app.file(QStringLiteral("英語ｾｯﾄ.vtd")));
    const QStringList before = app.entries();
    startAndLeaveTheChooser();
    ASSERT_EQ(dialogs.boxes().size(), 3);
    EXPECT_EQ(dialogs.boxes()[0].title, QStringLiteral("ブックエラー"));
    EXPECT_TRUE(dialogs.boxes()[0].text.contains(QStringLiteral("言語ｾｯﾄ『英語ｾｯﾄ』")));
    EXPECT_EQ(app.entries(), before);
}

TEST_F(MainWindowTest, CurrentBookFileNeverLeadsOutside) {
    writeSettings();
    // The application folder one level down, with a book beside it.
    const QString home = app.file(QStringLiteral("home"));
    QDir().mkpath(home);
    qputenv("VERBANTA_HOME", home.toLocal8Bit());
    WriteDisplaySettings(home, SetDefaultDisplaySettings());
    WritePaletteFont(home, SetDefaultPaletteFont());
    languageset::write(home, QStringLiteral("英語ｾｯﾄ"), SetDefaultLanguageSet());
    BookBuilder(app.file(QStringLiteral("victimbook"))).add("secret", "s").write();
    const QByteArray words = app.read(QStringLiteral("victimbook/words.vtd"));
    QFile cur(home + QStringLiteral("/curFData.vtd"));
    ASSERT_TRUE(cur.open(QIODevice::WriteOnly));
    cur.write(cp932::encode(QStringLiteral("\"../victimbook\",\"英語ｾｯﾄ\"\r\n")));
    cur.close();
    startAndLeaveTheChooser();
    EXPECT_TRUE(dialogs.boxes()[0].text.contains(QStringLiteral("../victimbook")));
    EXPECT_EQ(app.entries(QStringLiteral("victimbook")),
              QStringList({"means.vtd", "reis.vtd", "words.vtd"}));
    EXPECT_EQ(app.read(QStringLiteral("victimbook/words.vtd")), words);
}

TEST_F(MainWindowTest, DamagedCurrentBookFileOpensTheChooser) {
    writeSettings();
    writeBook({"apple"});
    app.write(QStringLiteral("curFData.vtd"), "\"\x81");
    startAndLeaveTheChooser();
    EXPECT_EQ(dialogs.boxes()[0].title, QStringLiteral("ブックエラー"));
    EXPECT_TRUE(dialogs.boxes()[0].text.startsWith(QStringLiteral("curFData.vtdを読み取れません")));
}

TEST_F(MainWindowTest, StartWithoutCurrentBookWritesOnlyWhatIsMissing) {
    writeSettings();
    QFile::remove(app.file(QStringLiteral("curFData.vtd")));
    PaletteRows mine = SetDefaultLanguageSet();
    mine[0] = {QStringLiteral("あ"), QStringLiteral("お"), 1};
    languageset::write(app.path(), QStringLiteral("英語ｾｯﾄ"), mine);
    languageset::write(app.path(), QStringLiteral("仮名ｾｯﾄ"), mine);
    languageset::writeList(app.path(), {QStringLiteral("英語ｾｯﾄ"), QStringLiteral("仮名ｾｯﾄ")});
    const QByteArray list = app.read(QStringLiteral("Langset.vtd"));
    const QByteArray set = app.read(QStringLiteral("英語ｾｯﾄ.vtd"));
    dialogs.expectMessage(Answer::Ok);
    leaveChooser();
    EXPECT_FALSE(start());
    program.reset();
    EXPECT_EQ(app.read(QStringLiteral("Langset.vtd")), list);
    EXPECT_EQ(app.read(QStringLiteral("英語ｾｯﾄ.vtd")), set);
}

TEST_F(MainWindowTest, LockThatCannotBeMadeIsNotAnotherInstance) {
    writeSettings();
    writeBook({"apple"});
    QDir().mkpath(app.file(QStringLiteral("verbanta.lock")));
    dialogs.expectMessage(Answer::Ok);
    EXPECT_FALSE(start());
    EXPECT_NE(dialogs.lastBox().text, QStringLiteral("すでに Verbanta は起動しています。"));
    EXPECT_TRUE(dialogs.lastBox().text.contains(QStringLiteral("verbanta.lock")));
}

// A lock the sync tool brought from another machine: the user is told that the folder may be open
// there and chooses; going on takes the lock over.
TEST_F(MainWindowTest, LockFromAnotherMachineAsksBeforeGoingOn) {
    writeSettings();
    writeBook({"apple"});
    for (const Answer answer : {Answer::No, Answer::Yes}) {
        app.write(QStringLiteral("verbanta.lock"), "4242\nverbanta\nother-desk\n");
        dialogs.expectMessage(answer);
        EXPECT_EQ(start(), answer == Answer::Yes);
        EXPECT_TRUE(dialogs.boxes().first().text.contains(QStringLiteral("other-desk")));
        EXPECT_TRUE(dialogs.boxes().first().text.contains(QStringLiteral("別の端末")));
        EXPECT_EQ(dialogs.boxes().first().buttons, MessageButtons::YesNo);
        program.reset();
        dialogs.clear();
    }
}

// The application folder on a read-only disk: the start is refused with the reason in Japanese.
TEST_F(MainWindowTest, LockOnAReadOnlyFolderIsExplainedInJapanese) {
    const QString folder = app.path();
    const std::optional<QByteArray> said = runOnReadOnlyFolder(folder, [this] {
        dialogs.expectMessage(Answer::Ok);
        program = std::make_unique<Program>();
        if (program->start() || dialogs.boxes().isEmpty())
            return QByteArray("started");
        return dialogs.lastBox().text.toUtf8();
    });
    if (!said)
        GTEST_SKIP() << "this machine cannot mount a read-only file system for a test";
    const QString text = QString::fromUtf8(*said);
    EXPECT_TRUE(text.contains(QStringLiteral("verbanta.lock"))) << said->toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("読み取り専用"))) << said->toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("Read-only"))) << said->toStdString();
}

TEST_F(MainWindowTest, LargePaletteFontNeverClipsACaption) {
    writeSettings();
    writeBook({"apple"});
    PaletteFont large = SetDefaultPaletteFont();
    large.size = 20;
    WritePaletteFont(app.path(), large);
    ASSERT_TRUE(start());
    // Every caption lies whole inside its button, beside the mark.
    for (int i = 0; i < 26; ++i) {
        QRadioButton* button = form()->Option1[i];
        QStyleOptionButton option;
        option.initFrom(button);
        const QRect space =
            button->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, button);
        const QFontMetrics metrics(button->font());
        EXPECT_LE(space.left() + metrics.horizontalAdvance(button->text()), button->width()) << i;
        EXPECT_LE(metrics.height(), button->height()) << i;
    }
    // The default size is kept where it fits.
    WritePaletteFont(app.path(), SetDefaultPaletteFont());
    session().paletteFont = SetDefaultPaletteFont();
    main()->ApplyPaletteFont();
    EXPECT_EQ(form()->Option1[0]->font().pointSize(), 14);
}

TEST_F(MainWindowTest, ChosenColoursLeaveEveryControlReadable) {
    // Text stands out from what lies behind it, and a selection from the rest of the list.
    auto apart = [](const QColor& a, const QColor& b) {
        return std::abs(a.lightness() - b.lightness()) >= 80;
    };
    auto behind = [](QWidget* w) {
        while (!w->autoFillBackground() && !w->isWindow())
            w = w->parentWidget();
        return w->palette().color(QPalette::Window);
    };
    auto checkReadable = [&](const char* scene, std::initializer_list<QWidget*> captions) {
        SCOPED_TRACE(scene);
        MainForm* f = form();
        // Enabled or not (a disabled caption is meant to be faint).
        for (QPushButton* b : f->findChildren<QPushButton*>())
            EXPECT_TRUE(apart(b->palette().color(QPalette::Active, QPalette::ButtonText),
                              b->palette().color(QPalette::Active, QPalette::Button)))
                << b->objectName().toStdString();
        for (QWidget* w : captions)
            EXPECT_TRUE(apart(w->palette().color(QPalette::WindowText), behind(w)))
                << w->objectName().toStdString();
        const QPalette bar = f->menuBar()->palette();
        EXPECT_TRUE(apart(bar.color(QPalette::ButtonText), bar.color(QPalette::Window)));
        const QPalette list = f->List1->palette();
        EXPECT_TRUE(apart(list.color(QPalette::Highlight), list.color(QPalette::Base)));
        EXPECT_TRUE(apart(list.color(QPalette::HighlightedText), list.color(QPalette::Highlight)));
    };

    // Dark window colours, and a list painted in the very colour of the selection.
    writeSettings();
    writeBook({"apple"});
    DisplaySettings dark = SetDefaultDisplaySettings();
    dark.mainBackColor = 0;
    dark.mainTextColor = 0xFFFFFF;
    dark.list.backColor = appearance::fromColor(QApplication::palette().color(QPalette::Highlight));
    WriteDisplaySettings(app.path(), dark);
    ASSERT_TRUE(start());
    // The window and its labels take the chosen colours.
    EXPECT_EQ(form()->centralWidget()->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_EQ(behind(form()->Label1), QColor(Qt::black));
    EXPECT_EQ(form()->Label1->palette().color(QPalette::WindowText), QColor(Qt::white));
    // The palette captions keep their default black on a button's own face.
    checkReadable("dark window", {form()->Option1[0], form()->Option1[26], form()->lblMode});
    program.reset();

    // A light window where the desktop is dark.
    const QPalette desktop = QApplication::palette();
    QPalette night(QColor(53, 53, 53), QColor(53, 53, 53));
    night.setColor(QPalette::Base, QColor(42, 42, 42));
    night.setColor(QPalette::Highlight, QColor(42, 130, 218));
    night.setColor(QPalette::HighlightedText, Qt::black);
    QApplication::setPalette(night);
    DisplaySettings light = SetDefaultDisplaySettings();
    light.mainBackColor = 0xFFFFFF;
    WriteDisplaySettings(app.path(), light);
    const bool started = start();
    if (started)
        checkReadable("light window, dark desktop", {form()->lblMode});
    program.reset();
    QApplication::setPalette(desktop);
    EXPECT_TRUE(started);
}

TEST_F(MainWindowTest, EmptyBookStartsWithAnEmptyList) {
    writeSettings();
    QDir().mkpath(bookFolder());
    ASSERT_TRUE(start());
    EXPECT_EQ(form()->windowTitle(), QStringLiteral("Verbanta - 英単語"));
    EXPECT_EQ(model()->rowCount(), 0);
    EXPECT_TRUE(QTest::qWaitForWindowActive(form()));
    EXPECT_TRUE(form()->txtInput->hasFocus());
    EXPECT_FALSE(form()->cmdModify->isEnabled());
    EXPECT_FALSE(form()->cmdDel->isEnabled());
    EXPECT_FALSE(form()->IdmTrial->isEnabled());
    EXPECT_EQ(form()->lblMode->text(), QStringLiteral("通常ﾓｰﾄﾞ"));
    EXPECT_EQ(form()->lblMaxRec->text(), QStringLiteral("0"));
}

TEST_F(MainWindowTest, SortedListAndTheFirstWordsRecords) {
    startWith({"banana", "Apple", "cherry"});
    EXPECT_EQ(listed(), QStringList({"Apple", "banana", "cherry"}));
    EXPECT_EQ(checked(), QStringList());
    clickRow(1);
    EXPECT_EQ(form()->txtWord->text(), "banana");
    EXPECT_EQ(form()->txtInput->text(), "banana");
    EXPECT_EQ(form()->txtMean->text().trimmed(), "m:banana");
    EXPECT_EQ(form()->lblCount->text(), QString::number(100 - 8));
    EXPECT_TRUE(form()->cmdModify->isEnabled());
}

TEST_F(MainWindowTest, PaletteNarrowsTheListAndKeepsMarks) {
    startWith({"apple", "Avocado", "banana", "cherry", "Cider"});
    click(form()->Option1[0]);
    EXPECT_EQ(listed(), QStringList({"apple", "Avocado"}));
    EXPECT_FALSE(form()->cmdModify->isEnabled());
    EXPECT_FALSE(form()->cmdDel->isEnabled());
    EXPECT_FALSE(form()->IdmCheckDel->isEnabled());
    model()->setChecked(1, true);
    click(form()->Option1[26]);
    EXPECT_EQ(listed().size(), 5);
    EXPECT_EQ(checked(), QStringList({"Avocado"}));

    // Shift+Ctrl+C chooses the third button.
    key(Qt::Key_C, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_TRUE(form()->Option1[2]->isChecked());
    EXPECT_EQ(listed(), QStringList({"cherry", "Cider"}));
    key(Qt::Key_F2);
    EXPECT_EQ(listed().size(), 5);

    // A letter without words says so and lists all words.
    dialogs.expectMessage(Answer::Ok);
    click(form()->Option1[16]);
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("Qの頭文字(行)での登録はまだありません"));
    EXPECT_TRUE(form()->Option1[26]->isChecked());
    EXPECT_EQ(listed().size(), 5);
}

TEST_F(MainWindowTest, DisabledPaletteButtonCannotBePressed) {
    PaletteRows palette = SetDefaultLanguageSet();
    palette[1].enabled = 0;
    writeSettings(palette);
    writeBook({"apple", "banana"});
    ASSERT_TRUE(start());
    EXPECT_FALSE(form()->Option1[1]->isEnabled());
    EXPECT_EQ(form()->Option1[1]->text(), "B");
    click(form()->Option1[1]);
    key(Qt::Key_B, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_TRUE(form()->Option1[26]->isChecked());
    EXPECT_EQ(listed().size(), 2);
}

TEST_F(MainWindowTest, TypingSearchesAndEnterSelects) {
    startWith({"banana", "apricot", "apple", "7up"});
    type("a");
    EXPECT_EQ(form()->txtWord->text(), "apple");
    type("p");
    EXPECT_EQ(form()->txtWord->text(), "apple");
    type("r");
    EXPECT_EQ(form()->txtWord->text(), "apricot");
    EXPECT_EQ(form()->txtMean->text(), "m:apricot");
    key(Qt::Key_Backspace);
    key(Qt::Key_Backspace);
    EXPECT_EQ(form()->txtWord->text(), "apple");
    // The list does not move while typing.
    EXPECT_EQ(selected(), QString());

    form()->txtInput->clear();
    type("APPLE");
    enter();
    EXPECT_EQ(selected(), "apple");
    EXPECT_EQ(form()->txtInput->text(), "apple");
    EXPECT_TRUE(form()->cmdModify->isEnabled());

    // An unknown word, and No: back to the word shown before.
    form()->txtInput->clear();
    type("zzz");
    dialogs.expectMessage(Answer::No);
    enter();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("未登録情報"));
    EXPECT_EQ(dialogs.lastBox().text,
              QStringLiteral("この単語はまだ登録されていません。\r\n登録しますか？"));
    EXPECT_EQ(dialogs.lastBox().buttons, MessageButtons::YesNo);
    EXPECT_EQ(dialogs.lastBox().icon, MessageIcon::Question);
    EXPECT_EQ(form()->txtInput->text(), "apple");
    EXPECT_EQ(selected(), "apple");
    EXPECT_EQ(main()->editMode(), FrmMain::Normal);
}

TEST_F(MainWindowTest, CutInTheInputBoxSearchesForTheRest) {
    startWith({"apple", "banana"});
    type("bx");
    form()->txtInput->setFocus();
    form()->txtInput->setSelection(1, 1);
    form()->IdmCut->trigger();
    EXPECT_EQ(form()->txtInput->text(), "b");
    EXPECT_EQ(form()->txtWord->text(), "banana");
}

TEST_F(MainWindowTest, SizeButtonTogglesTheWindow) {
    startWith({"apple"});
    EXPECT_TRUE(main()->isLarge());
    EXPECT_EQ(form()->size(), QSize(614, 461));
    click(form()->cmdScale);
    EXPECT_EQ(form()->cmdScale->text(), ">>");
    EXPECT_EQ(form()->size(), QSize(281, 259));
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form()->cmdScale->text(), "<<");
    EXPECT_EQ(form()->size(), QSize(614, 461));
}

TEST_F(MainWindowTest, VersionBox) {
    startWith({"apple"});
    QTimer::singleShot(0, [] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Verbantaﾊﾞｰｼﾞｮﾝ情報"));
        EXPECT_EQ(child<QLabel>(box, "Label2")->text(), QStringLiteral("Ver.1.4"));
        QTest::mouseClick(child<QPushButton>(box, "Command1"), Qt::LeftButton);
    });
    form()->IdmVersion->trigger();
}

TEST_F(MainWindowTest, HelpOpensAtItsContents) {
    startWith({"apple"});
    key(Qt::Key_F1);
    auto* help = child<QWidget>(form(), "helpWindow");
    ASSERT_NE(help, nullptr);
    auto* contents = child<QListWidget>(help, "helpContents");
    ASSERT_NE(contents, nullptr);
    EXPECT_TRUE(child<QTextBrowser>(help, "helpPage")
                    ->toPlainText()
                    .contains(QStringLiteral("Verbanta ヘルプ")));
    EXPECT_EQ(contents->currentRow(), 0);
    EXPECT_EQ(contents->item(0)->text(), QStringLiteral("目次"));
    help->close();
}

} // namespace
