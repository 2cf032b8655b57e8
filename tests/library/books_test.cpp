// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/booklist.h"
#include "core/settings/languageset.h"
#include "core/settings/session.h"
#include "core/settings/settings.h"
#include "core/text/cp932.h"
#include "library/bookhost.h"
#include "library/frmlangset.h"
#include "library/frmselectfolder.h"
#include "library/frmselectpaletteset.h"
#include "support/bookbuilder.h"
#include "support/failingdisk.h"
#include "support/scripteddialogs.h"
#include "support/tempappfolder.h"
#include "support/terminatorspy.h"
#include "support/widgets.h"
#include "ui/langsetform.h"
#include "ui/mainform.h"
#include "ui/selectfolderform.h"
#include "ui/selectpalettesetform.h"
#include "ui/wordlistmodel.h"
#include "wordbook/frmmain.h"
#include "wordbook/program.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Stands for the main window in dialog tests and counts what was asked of it.
struct HostSpy : BookHost {
    int closed = 0, reopened = 0, shown = 0, paletteFonts = 0;
    void closeBook() override { ++closed; }
    bool ReopenBook() override {
        ++reopened;
        return true;
    }
    void showChosenBook() override { ++shown; }
    void ApplyPaletteFont() override { ++paletteFonts; }
};

class BooksTest : public ::testing::Test {
protected:
    TempAppFolder app;
    ScriptedDialogs dialogs;
    TerminatorSpy terminator;

    void SetUp() override {
        session() = Session();
        session().appFolder = app.path();
    }
    void TearDown() override { session() = Session(); }

    QStringList lines(const QString& file) const {
        QStringList l = cp932::decode(app.read(file)).split(QStringLiteral("\r\n"));
        l.removeLast();
        return l;
    }

    // Books on disk, the first one in use.
    void haveBooks(const QStringList& names) {
        QList<BookEntry> books;
        for (const QString& name : names) {
            BookBuilder(app.file(name)).add("word", "m").write();
            books.append({name, languageset::DefaultSetName});
        }
        booklist::write(app.path(), books);
        languageset::write(app.path(), languageset::DefaultSetName, SetDefaultLanguageSet());
        languageset::writeList(app.path(), {languageset::DefaultSetName});
        WritePaletteFont(app.path(), SetDefaultPaletteFont());
        session().current = {names.first(), languageset::DefaultSetName};
        writeCurrentBook(app.path(), session().current);
        session().bookInUse = true;
    }
};

TEST_F(BooksTest, FirstStartInAnEmptyFolder) {
    dialogs
        .expectMessage(Answer::Ok)   // no book found
        .expectMessage(Answer::Ok)   // OK with nothing chosen
        .expectMessage(Answer::Yes); // Cancel: end the program
    whenShown("frmSelectFolder", [this](QWidget* w) {
        auto* f = static_cast<SelectFolderForm*>(w);
        EXPECT_EQ(f->cboFldName->count(), 0);
        EXPECT_FALSE(f->cmdModLangSet->isEnabled());
        QTest::mouseClick(f->cmdOKFolder, Qt::LeftButton);
        EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("使用するﾌﾞｯｸが選ばれていません"));
        EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("ﾌﾞｯｸの選択"));
        QTest::mouseClick(f->cmdCancelFolder, Qt::LeftButton);
        EXPECT_EQ(dialogs.lastBox().text,
                  QStringLiteral("使用するﾌﾞｯｸがありません。\r\nｱﾌﾟﾘｹｰｼｮﾝを終了しますか？"));
        EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("終了処理"));
    });
    Program program;
    EXPECT_FALSE(program.start());
    EXPECT_TRUE(app.exists("Initial.vtd"));
    EXPECT_TRUE(app.exists("opfini.vtd"));
    EXPECT_EQ(lines("Langset.vtd"), QStringList({QStringLiteral("\"英語ｾｯﾄ\"")}));
    EXPECT_EQ(lines(QStringLiteral("英語ｾｯﾄ.vtd")).size(), 26);
    EXPECT_FALSE(app.exists("DirInfo.vtd"));
    EXPECT_FALSE(app.exists("curFData.vtd"));
}

TEST_F(BooksTest, CreatingABookAndOpeningIt) {
    dialogs
        .expectMessage(Answer::Ok)  // no book found
        .expectMessage(Answer::Ok)  // created
        .expectMessage(Answer::Ok); // now using it
    whenShown("frmSelectFolder", [this](QWidget* w) {
        auto* f = static_cast<SelectFolderForm*>(w);
        whenShown("frmSelectPaletteSet", [](QWidget* d) {
            auto* p = static_cast<SelectPaletteSetForm*>(d);
            EXPECT_EQ(p->Combo1->currentText(), QStringLiteral("英語ｾｯﾄ"));
            p->Text1->setText(QStringLiteral("英単語"));
            QTest::mouseClick(p->cmdOK, Qt::LeftButton);
        });
        QTest::mouseClick(f->cmdAddFolder, Qt::LeftButton);
        EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("新しいﾌﾞｯｸｾｯﾄを作成しました"));
        EXPECT_EQ(lines("DirInfo.vtd"), QStringList({QStringLiteral("\"英単語\",\"英語ｾｯﾄ\"")}));
        EXPECT_EQ(lines("curFData.vtd"), QStringList({QStringLiteral("\"英単語\",\"英語ｾｯﾄ\"")}));
        EXPECT_EQ(f->cboFldName->currentText(), QStringLiteral("英単語"));
        EXPECT_EQ(f->Text1->text(), QStringLiteral("英語ｾｯﾄ"));
        EXPECT_TRUE(f->isVisible()); // opened only by OK
        QTest::mouseClick(f->cmdOKFolder, Qt::LeftButton);
        EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("これから『英単語』を使用します。"));
        EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("設定確認"));
    });
    Program program;
    ASSERT_TRUE(program.start());
    EXPECT_EQ(program.main()->form()->windowTitle(), QStringLiteral("Verbanta - 英単語"));
    EXPECT_TRUE(program.main()->form()->isVisible());
    EXPECT_EQ(program.main()->listModel()->rowCount(), 0);
}

TEST_F(BooksTest, DeletingTheOnlyBook) {
    haveBooks({QStringLiteral("英単語")});
    app.write(QStringLiteral("英単語/notes.txt"), "mine");
    HostSpy host;
    FrmSelectFolder chooser(&host, nullptr);
    chooser.formLoad();
    dialogs.expectMessage(Answer::Yes).expectMessage(Answer::Ok);
    chooser.cmdDelFolderClick();
    EXPECT_EQ(dialogs.boxes()[0].title, QStringLiteral("削除処理の確認"));
    EXPECT_EQ(
        dialogs.boxes()[0].text,
        QStringLiteral(
            "一度削除すると元に戻せません。\r\n本当に『英単語』を削除してもよろしいですか？"));
    EXPECT_EQ(dialogs.boxes()[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("削除確認"));
    EXPECT_TRUE(dialogs.lastBox().text.startsWith(
        QStringLiteral("選択されたﾌﾞｯｸ『英単語』を削除しました。")));
    EXPECT_TRUE(dialogs.lastBox().text.contains(QStringLiteral("ﾌｫﾙﾀﾞは残してあります")));
    // The book's files went, the user's own file and so the folder stayed.
    EXPECT_EQ(app.entries(QStringLiteral("英単語")), QStringList({"notes.txt"}));
    EXPECT_FALSE(app.exists("DirInfo.vtd"));
    EXPECT_FALSE(app.exists("curFData.vtd"));
    EXPECT_FALSE(session().bookInUse);
    EXPECT_EQ(host.closed, 1);
    EXPECT_EQ(chooser.form()->cboFldName->count(), 0);

    // With no book left, Cancel offers to end the program.
    dialogs.expectMessage(Answer::No);
    chooser.cmdCancelFolderClick();
    EXPECT_FALSE(chooser.endRequested());
}

TEST_F(BooksTest, DeletingOneOfSeveralBooks) {
    haveBooks({QStringLiteral("英単語"), QStringLiteral("独単語"), QStringLiteral("仏単語")});
    HostSpy host;
    FrmSelectFolder chooser(&host, nullptr);
    chooser.formLoad();
    EXPECT_EQ(chooser.form()->cboFldName->currentText(), QStringLiteral("英単語"));
    chooser.form()->cboFldName->setCurrentIndex(1);
    dialogs.expectMessage(Answer::Yes).expectMessage(Answer::Ok);
    chooser.cmdDelFolderClick();
    EXPECT_FALSE(QDir(app.file(QStringLiteral("独単語"))).exists());
    EXPECT_EQ(lines("DirInfo.vtd"), QStringList({QStringLiteral("\"英単語\",\"英語ｾｯﾄ\""),
                                                 QStringLiteral("\"仏単語\",\"英語ｾｯﾄ\"")}));
    EXPECT_EQ(lines("curFData.vtd"), QStringList({QStringLiteral("\"英単語\",\"英語ｾｯﾄ\"")}));
    EXPECT_EQ(chooser.form()->cboFldName->currentIndex(), 0);

    // The open book was closed: the chooser is left only by choosing a book.
    dialogs.expectMessage(Answer::Ok);
    chooser.cmdCancelFolderClick();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("ﾌﾞｯｸの選択"));
    dialogs.expectMessage(Answer::Ok);
    chooser.cmdOKFolderClick();
    EXPECT_EQ(host.reopened, 1);
    EXPECT_EQ(host.shown, 1);
}

TEST_F(BooksTest, TypingInTheComboRestoresIt) {
    haveBooks({QStringLiteral("英単語"), QStringLiteral("独単語")});
    FrmSelectFolder chooser(nullptr, nullptr);
    chooser.formLoad();
    chooser.form()->cboFldName->setCurrentIndex(1);
    dialogs.expectMessage(Answer::Ok);
    QTest::keyClick(chooser.form()->cboFldName, Qt::Key_X);
    EXPECT_EQ(dialogs.lastBox().text,
              QStringLiteral("ここに直接入力することは出来ません\r\n新規ﾌﾞｯｸを作成する場合は『新規"
                             "作成ﾎﾞﾀﾝ』をｸﾘｯｸして下さい"));
    EXPECT_EQ(chooser.form()->cboFldName->count(), 2);
    EXPECT_EQ(chooser.form()->cboFldName->currentText(), QStringLiteral("英単語"));
}

TEST_F(BooksTest, NewBookDialogPreselectsTheLastSetAndRefusesBadNames) {
    haveBooks({QStringLiteral("英単語")});
    languageset::write(app.path(), QStringLiteral("独語ｾｯﾄ"), SetDefaultLanguageSet());
    languageset::writeList(app.path(), {QStringLiteral("英語ｾｯﾄ"), QStringLiteral("独語ｾｯﾄ")});
    FrmSelectFolder chooser(nullptr, nullptr);
    chooser.formLoad();
    FrmSelectPaletteSet dialog(&chooser, nullptr);
    dialog.formLoad();
    EXPECT_EQ(dialog.form()->Combo1->currentText(), QStringLiteral("独語ｾｯﾄ"));

    const QByteArray list = app.read("DirInfo.vtd");
    const QStringList entries = app.entries();
    for (const QString& bad :
         {QString(), QStringLiteral("."), QStringLiteral(".."), QStringLiteral("a\"b"),
          QStringLiteral("a/b"), QStringLiteral("a\\b"), QStringLiteral("a\tb"),
          QStringLiteral("笑😀"), QStringLiteral("英単語"), QStringLiteral("円¥記号"),
          QString(90, QChar(u'語'))}) {
        dialog.form()->Text1->setText(bad);
        dialogs.expectMessage(Answer::Ok);
        dialog.cmdOKClick();
        EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("ﾌﾞｯｸ名入力ｴﾗｰ")) << bad.toStdString();
    }
    EXPECT_EQ(app.read("DirInfo.vtd"), list);
    EXPECT_EQ(app.entries(), entries);
    EXPECT_EQ(terminator.calls(), 0);
}

TEST_F(BooksTest, LanguageSetEditorCreatesAndSavesASet) {
    haveBooks({QStringLiteral("英単語")});
    session().setList = languageset::readList(app.path()).items;
    FrmLangSet editor(FrmLangSet::Origin::Modify, QStringLiteral("英語ｾｯﾄ"), nullptr, nullptr);
    editor.formLoad();
    LangSetForm* f = editor.form();
    EXPECT_EQ(f->Text1[0]->text(), "A");
    EXPECT_TRUE(f->Check1[25]->isChecked());

    // Cancelled or empty: nothing happens.
    dialogs.expectInput(std::nullopt).expectInput(QString());
    editor.cmdNewSetClick();
    editor.cmdNewSetClick();
    EXPECT_TRUE(f->cmdExit->isEnabled());

    dialogs.expectInput(QStringLiteral("仮名ｾｯﾄ")).expectMessage(Answer::Ok);
    editor.cmdNewSetClick();
    EXPECT_EQ(dialogs.boxes()[0].title, QStringLiteral("言語ｾｯﾄの新規作成"));
    EXPECT_EQ(dialogs.boxes()[0].text,
              QStringLiteral("新しく作成する言語ｾｯﾄ名を入力して下さい\r\n(例:『日本語ｾｯﾄ』)"
                             "\r\n空欄で OK を押すとｷｬﾝｾﾙとなります"));
    EXPECT_EQ(dialogs.lastBox().icon, MessageIcon::Exclamation);
    for (int i = 0; i < 26; ++i) {
        EXPECT_TRUE(f->Text1[i]->text().isEmpty());
        EXPECT_FALSE(f->Check1[i]->isChecked());
    }
    EXPECT_FALSE(f->cmdExit->isEnabled());
    EXPECT_FALSE(f->cmdNewSet->isEnabled());
    EXPECT_FALSE(f->Combo1->isEnabled());
    EXPECT_EQ(f->cmdSave->palette().color(QPalette::Button), QColor(255, 192, 255));

    f->Text1[0]->setText(QStringLiteral("あ"));
    f->Text2[0]->setText(QStringLiteral("お"));
    f->Check1[0]->setChecked(true);
    dialogs.expectMessage(Answer::Yes).expectMessage(Answer::Ok);
    editor.cmdSaveClick();
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("現在の言語ｾｯﾄ名の設定内容を保存しました"));
    const QStringList rows = lines(QStringLiteral("仮名ｾｯﾄ.vtd"));
    ASSERT_EQ(rows.size(), 26);
    EXPECT_EQ(rows[0], QStringLiteral("\"あ\",\"お\",1"));
    EXPECT_EQ(rows[25], QStringLiteral("\"\",\"\",0"));
    EXPECT_EQ(lines("Langset.vtd"),
              QStringList({QStringLiteral("\"英語ｾｯﾄ\""), QStringLiteral("\"仮名ｾｯﾄ\"")}));
    EXPECT_TRUE(f->cmdExit->isEnabled());

    // A caption the set file cannot hold is refused before anything is written.
    f->Text1[1]->setText(QStringLiteral("\""));
    const QByteArray saved = app.read(QStringLiteral("仮名ｾｯﾄ.vtd"));
    dialogs.expectMessage(Answer::Yes).expectMessage(Answer::Ok);
    editor.cmdSaveClick();
    EXPECT_EQ(app.read(QStringLiteral("仮名ｾｯﾄ.vtd")), saved);
}

TEST_F(BooksTest, PaletteFontButtons) {
    haveBooks({QStringLiteral("英単語")});
    WritePaletteFont(app.path(), SetDefaultPaletteFont());
    HostSpy host;
    FrmLangSet editor(FrmLangSet::Origin::Modify, QStringLiteral("英語ｾｯﾄ"), &host, nullptr);
    editor.formLoad();
    QFont chosen(QStringLiteral("IPAGothic"));
    chosen.setPointSizeF(19.5);
    chosen.setBold(true);
    dialogs.expectFont(chosen).expectColor(QColor(0x12, 0x34, 0x56));
    editor.cmdFontSetClick();
    EXPECT_EQ(lines("opfini.vtd"),
              QStringList({"\"IPAGothic\"", "20", "#TRUE#", "#FALSE#", "5649426"}));
    EXPECT_TRUE(editor.form()->Text1[0]->font().bold());
    // The boxes draw a large font smaller rather than clip it.
    for (QLineEdit* box : editor.form()->Text2) {
        EXPECT_LE(box->font().pointSize(), 20);
        EXPECT_LE(box->sizeHint().height(), box->height());
    }
    EXPECT_EQ(host.paletteFonts, 1);

    dialogs.expectFont(std::nullopt);
    editor.cmdFontSetClick();
    EXPECT_EQ(host.paletteFonts, 1);

    editor.cmdFontDefaultClick();
    EXPECT_EQ(lines("opfini.vtd"), QStringList({QStringLiteral("\"ＭＳ Ｐゴシック\""), "14",
                                                "#FALSE#", "#FALSE#", "0"}));
    EXPECT_EQ(editor.form()->Text1[3]->font().pointSize(), 14);
    EXPECT_EQ(host.paletteFonts, 2);

    // OK without a change keeps the stored Windows name, though the dialog shows the font that
    // stands in for it; a font the user picks is stored under its own name.
    QFont unchanged(QFontInfo(QFont(QStringLiteral("ＭＳ Ｐゴシック"))).family());
    unchanged.setPointSize(14);
    dialogs.expectFont(unchanged).expectColor(std::nullopt);
    editor.cmdFontSetClick();
    EXPECT_EQ(lines("opfini.vtd").first(), QStringLiteral("\"ＭＳ Ｐゴシック\""));
    QFont other(QStringLiteral("Liberation Serif"));
    other.setPointSize(14);
    if (QFontInfo(QFont(QStringLiteral("ＭＳ Ｐゴシック"))).family() != other.family()) {
        dialogs.expectFont(other).expectColor(QColor(Qt::red));
        editor.cmdFontSetClick();
        EXPECT_EQ(lines("opfini.vtd").last(), QStringLiteral("255"));
        EXPECT_EQ(lines("opfini.vtd").first(), QStringLiteral("\"Liberation Serif\""));
    }

    // A font whose name the file cannot hold is refused, and the stored font stays.
    const QStringList before = lines("opfini.vtd");
    dialogs.expectFont(QFont(QStringLiteral("Noto Sans CJK 한국어")))
        .expectMessage(Answer::Ok, QStringLiteral("한국어"));
    editor.cmdFontSetClick();
    EXPECT_TRUE(dialogs.done());
    EXPECT_EQ(lines("opfini.vtd"), before);
}

TEST_F(BooksTest, ABooksSetDrivesTheMainWindowPalette) {
    PaletteRows kana = SetDefaultLanguageSet();
    kana[0] = {QStringLiteral("あ"), QStringLiteral("お"), 1};
    kana[1] = {QStringLiteral("か"), QStringLiteral("こ"), 0};
    languageset::write(app.path(), QStringLiteral("仮名ｾｯﾄ"), kana);
    BookBuilder(app.file(QStringLiteral("和単語")))
        .add(QStringLiteral("いぬ"), "dog")
        .add(QStringLiteral("ねこ"), "cat")
        .add(QStringLiteral("えき"), "station")
        .write();
    booklist::write(app.path(), {{QStringLiteral("和単語"), QStringLiteral("仮名ｾｯﾄ")}});
    writeCurrentBook(app.path(), {QStringLiteral("和単語"), QStringLiteral("仮名ｾｯﾄ")});
    WriteDisplaySettings(app.path(), SetDefaultDisplaySettings());
    Program program;
    ASSERT_TRUE(program.start());
    MainForm* form = program.main()->form();
    EXPECT_EQ(form->Option1[0]->text(), QStringLiteral("あ"));
    EXPECT_EQ(form->Option1[1]->text(), QStringLiteral("か"));
    EXPECT_FALSE(form->Option1[1]->isEnabled());
    EXPECT_TRUE(form->Option1[2]->isEnabled());
    QTest::mouseClick(form->Option1[0], Qt::LeftButton);
    EXPECT_EQ(program.main()->listModel()->rowCount(), 2);
}

TEST_F(BooksTest, TypedNamesTakeTheFormTheListFilesReadBack) {
    haveBooks({QStringLiteral("英単語")});
    FrmSelectFolder chooser(nullptr, nullptr);
    chooser.formLoad();
    FrmSelectPaletteSet dialog(&chooser, nullptr);
    dialog.formLoad();
    // What a Japanese input method types for the wave dash and the minus sign.
    dialog.form()->Text1->setText(QStringLiteral("A\u301CB\u2212C"));
    dialogs.expectMessage(Answer::Ok);
    dialog.cmdOKClick();
    const QString kept = QStringLiteral("A\uFF5EB\uFF0DC");
    EXPECT_TRUE(QDir(app.file(kept)).exists());
    EXPECT_FALSE(QDir(app.file(QStringLiteral("A\u301CB\u2212C"))).exists());
    EXPECT_EQ(lines("DirInfo.vtd").last(), QStringLiteral("\"%1\",\"英語ｾｯﾄ\"").arg(kept));
    EXPECT_EQ(lines("curFData.vtd"), QStringList({QStringLiteral("\"%1\",\"英語ｾｯﾄ\"").arg(kept)}));

    // Read back, the book is found, opened and deleted under that one name.
    FrmSelectFolder again(nullptr, nullptr);
    again.formLoad();
    EXPECT_EQ(again.form()->cboFldName->currentText(), kept);
    dialogs.expectMessage(Answer::Yes).expectMessage(Answer::Ok);
    again.cmdDelFolderClick();
    EXPECT_EQ(dialogs.lastBox().text,
              QStringLiteral("選択されたﾌﾞｯｸ『%1』を削除しました。").arg(kept));
    EXPECT_FALSE(QDir(app.file(kept)).exists());

    // A set name typed the same way.
    session().setList = languageset::readList(app.path()).items;
    FrmLangSet editor(FrmLangSet::Origin::Modify, QStringLiteral("英語ｾｯﾄ"), nullptr, nullptr);
    editor.formLoad();
    dialogs.expectInput(QStringLiteral("仮\u301C名")).expectMessage(Answer::Ok);
    editor.cmdNewSetClick();
    dialogs.expectMessage(Answer::Yes).expectMessage(Answer::Ok);
    editor.cmdSaveClick();
    EXPECT_TRUE(app.exists(QStringLiteral("仮\uFF5E名.vtd")));
    EXPECT_EQ(lines("Langset.vtd").last(), QStringLiteral("\"仮\uFF5E名\""));
    EXPECT_EQ(editor.setName(), QStringLiteral("仮\uFF5E名"));
}

TEST_F(BooksTest, DeletionThatFindsNoFolderSaysSoAndNeverLeavesTheApplicationFolder) {
    haveBooks({QStringLiteral("英単語"), QStringLiteral("幽霊")});
    QDir(app.file(QStringLiteral("幽霊"))).removeRecursively();
    HostSpy host;
    FrmSelectFolder chooser(&host, nullptr);
    chooser.formLoad();
    chooser.form()->cboFldName->setCurrentIndex(1);
    dialogs.expectMessage(Answer::Yes).expectMessage(Answer::Ok);
    chooser.cmdDelFolderClick();
    EXPECT_TRUE(dialogs.lastBox().text.contains(QStringLiteral("何も削除していません")));
    EXPECT_FALSE(dialogs.lastBox().text.contains(QStringLiteral("削除しました")));
    EXPECT_EQ(lines("DirInfo.vtd"), QStringList({QStringLiteral("\"英単語\",\"英語ｾｯﾄ\"")}));

    // A book folder that is a link to somewhere else: nothing there is touched.
    QTemporaryDir elsewhere;
    QFile victim(elsewhere.filePath(QStringLiteral("words.vtd")));
    ASSERT_TRUE(victim.open(QIODevice::WriteOnly));
    victim.close();
    ASSERT_TRUE(QFile::link(elsewhere.path(), app.file(QStringLiteral("リンク"))));
    booklist::write(app.path(), {{QStringLiteral("英単語"), languageset::DefaultSetName},
                                 {QStringLiteral("リンク"), languageset::DefaultSetName}});
    chooser.formLoad();
    chooser.form()->cboFldName->setCurrentIndex(1);
    dialogs.expectMessage(Answer::Yes).expectMessage(Answer::Ok);
    chooser.cmdDelFolderClick();
    EXPECT_TRUE(QFile::exists(elsewhere.filePath(QStringLiteral("words.vtd"))));
    EXPECT_TRUE(
        dialogs.lastBox().text.contains(QStringLiteral("その先のﾌｫﾙﾀﾞには手を付けていません")));
}

TEST_F(BooksTest, ListFilesAreReadAsFarAsTheyCanAndNeverPointOutside) {
    haveBooks({QStringLiteral("英単語")});
    // A book outside the application folder, and the application folder's own files.
    QTemporaryDir outside;
    QDir(outside.path()).mkdir(QStringLiteral("victimdel"));
    app.write(QStringLiteral("victim.vtd"), "keep");
    const QByteArray good = cp932::encode(QStringLiteral("\"英単語\",\"英語ｾｯﾄ\"\r\n"));
    app.write("DirInfo.vtd", good + "\"\",\"" + cp932::encode(languageset::DefaultSetName) +
                                 "\"\r\n" + "\"../victimdel\",\"x\"\r\n\"broken\r\n\x81\r\n" +
                                 cp932::encode(QStringLiteral("\"独単語\",\"../Initial\"\r\n")));
    FrmSelectFolder chooser(nullptr, nullptr);
    dialogs.expectMessage(Answer::Ok);
    chooser.formLoad();
    EXPECT_EQ(terminator.calls(), 0);
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("一覧ﾌｧｲﾙの確認"));
    EXPECT_TRUE(dialogs.lastBox().text.startsWith(QStringLiteral("DirInfo.vtdの次の項目は")));
    EXPECT_TRUE(dialogs.lastBox().text.contains(QStringLiteral("../victimdel")));
    ASSERT_EQ(chooser.form()->cboFldName->count(), 1);
    EXPECT_EQ(chooser.form()->cboFldName->itemText(0), QStringLiteral("英単語"));

    // Langset.vtd: names leading outside, a program file and sets without a file are left out.
    app.write("Langset.vtd", cp932::encode(QStringLiteral(
                                 "\"英語ｾｯﾄ\"\r\n\"../x\"\r\n\"Initial\"\r\n\"未保存ｾｯﾄ\"\r\n")));
    FrmSelectPaletteSet dialog(&chooser, nullptr);
    dialogs.expectMessage(Answer::Ok);
    dialog.formLoad();
    EXPECT_EQ(dialogs.lastBox().text.count(QStringLiteral("\r\n")), 3);
    EXPECT_EQ(dialog.form()->Combo1->count(), 1);
    EXPECT_EQ(dialog.form()->Combo1->currentText(), QStringLiteral("英語ｾｯﾄ"));
    EXPECT_EQ(app.read("victim.vtd"), "keep");
    EXPECT_TRUE(QDir(outside.filePath(QStringLiteral("victimdel"))).exists());
}

TEST_F(BooksTest, ANewSetIsNeverLeftUnsavedNorListed) {
    haveBooks({QStringLiteral("英単語")});
    session().setList = languageset::readList(app.path()).items;
    FrmLangSet editor(FrmLangSet::Origin::NewBook, QStringLiteral("英語ｾｯﾄ"), nullptr, nullptr);
    editor.formLoad();
    editor.form()->show();
    dialogs.expectInput(QStringLiteral("仮名ｾｯﾄ")).expectMessage(Answer::Ok);
    editor.cmdNewSetClick();
    // Neither Esc nor the close box leaves the editor while the new set is unsaved.
    QTest::keyClick(editor.form()->Text1[0], Qt::Key_Escape);
    EXPECT_TRUE(editor.form()->isVisible());
    editor.form()->close();
    EXPECT_TRUE(editor.form()->isVisible());
    EXPECT_EQ(session().setList, QStringList({languageset::DefaultSetName}));

    // Langset.vtd only lists sets that have a file, whatever the list in memory says.
    languageset::writeList(app.path(), {languageset::DefaultSetName, QStringLiteral("仮名ｾｯﾄ")});
    EXPECT_EQ(lines("Langset.vtd"), QStringList({QStringLiteral("\"英語ｾｯﾄ\"")}));

    // A new book cannot take a set that was never saved.
    FrmSelectFolder chooser(nullptr, nullptr);
    chooser.formLoad();
    FrmSelectPaletteSet dialog(&chooser, nullptr);
    dialog.formLoad();
    dialog.form()->Combo1->addItem(QStringLiteral("仮名ｾｯﾄ"));
    dialog.form()->Combo1->setCurrentIndex(dialog.form()->Combo1->count() - 1);
    dialog.form()->Text1->setText(QStringLiteral("和単語"));
    dialogs.expectMessage(Answer::Ok);
    dialog.cmdOKClick();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("言語ｾｯﾄ選択確認"));
    EXPECT_FALSE(QDir(app.file(QStringLiteral("和単語"))).exists());
    EXPECT_EQ(terminator.calls(), 0);
    editor.form()->hide();

    // A name typed into the editor and never saved is not preselected on return.
    dialog.formLoad();
    whenShown("frmLangSet", [](QWidget* w) {
        auto* f = static_cast<LangSetForm*>(w);
        f->Combo1->setEditText(QStringLiteral("未保存ｾｯﾄ"));
        QTest::mouseClick(f->cmdExit, Qt::LeftButton);
    });
    dialog.cmdSetteiClick();
    EXPECT_EQ(dialog.form()->Combo1->currentText(), QStringLiteral("英語ｾｯﾄ"));
    EXPECT_EQ(dialog.form()->Combo1->findText(QStringLiteral("未保存ｾｯﾄ")), -1);
}

TEST_F(BooksTest, SetNamesThatWouldReplaceTheProgramsFilesAreRefused) {
    haveBooks({QStringLiteral("英単語")});
    WriteDisplaySettings(app.path(), SetDefaultDisplaySettings());
    const QByteArray settings = app.read("Initial.vtd");
    session().setList = languageset::readList(app.path()).items;
    FrmLangSet editor(FrmLangSet::Origin::Modify, QStringLiteral("英語ｾｯﾄ"), nullptr, nullptr);
    editor.formLoad();
    for (const QString& name :
         {QStringLiteral("Initial"), QStringLiteral("OPFINI"), QStringLiteral("curfdata"),
          QStringLiteral("Langset"), QStringLiteral("dirinfo"), QStringLiteral("TrInfo"),
          QStringLiteral("ctrinfo"), QStringLiteral("trtabs"), QString(70, QChar(u'語'))}) {
        dialogs.expectInput(name).expectMessage(Answer::Ok);
        editor.cmdNewSetClick();
        EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("言語ｾｯﾄの新規作成"))
            << name.toStdString();
        EXPECT_TRUE(editor.form()->cmdExit->isEnabled());
    }
    // Typed straight into the name box and saved.
    editor.form()->Combo1->setEditText(QStringLiteral("initial"));
    dialogs.expectMessage(Answer::Yes).expectMessage(Answer::Ok);
    editor.cmdSaveClick();
    EXPECT_EQ(app.read("Initial.vtd"), settings);
    EXPECT_FALSE(app.exists("initial.vtd"));
}

TEST_F(BooksTest, TheChooserIsUsedFromTheKeyboard) {
    haveBooks({QStringLiteral("英単語"), QStringLiteral("独単語")});
    HostSpy host;
    dialogs.expectMessage(Answer::Ok); // now using it
    whenShown("frmSelectFolder", [](QWidget* w) {
        auto* f = static_cast<SelectFolderForm*>(w);
        EXPECT_EQ(f->focusWidget(), f->cmdOKFolder);
        // Moving through the list and the dialog is no typing.
        f->cboFldName->setFocus();
        QTest::keyClick(f->cboFldName, Qt::Key_Down);
        EXPECT_EQ(f->cboFldName->currentText(), QStringLiteral("独単語"));
        QTest::keyClick(f->cboFldName, Qt::Key_Tab);
        QTest::keyClick(f->cboFldName, Qt::Key_Shift);
        // Enter in the list is OK.
        f->cboFldName->setFocus();
        QTest::keyClick(f->cboFldName, Qt::Key_Return);
    });
    FrmSelectFolder chooser(&host, nullptr);
    EXPECT_EQ(chooser.exec(), QDialog::Accepted);
    EXPECT_EQ(dialogs.boxes().size(), 1);
    EXPECT_EQ(lines("curFData.vtd"), QStringList({QStringLiteral("\"独単語\",\"英語ｾｯﾄ\"")}));
    EXPECT_EQ(host.reopened, 1);

    // Esc in the list is Cancel.
    whenShown("frmSelectFolder", [](QWidget* w) {
        auto* f = static_cast<SelectFolderForm*>(w);
        f->cboFldName->setFocus();
        QTest::keyClick(f->cboFldName, Qt::Key_Escape);
    });
    FrmSelectFolder again(&host, nullptr);
    EXPECT_EQ(again.exec(), QDialog::Rejected);
    EXPECT_EQ(dialogs.boxes().size(), 1);
}

TEST_F(BooksTest, ABookThatCannotBeOpenedIsNeverMadeCurrent) {
    haveBooks({QStringLiteral("英単語"), QStringLiteral("独単語")});
    const QByteArray current = app.read("curFData.vtd");
    struct FailingHost : HostSpy {
        bool ReopenBook() override {
            ++reopened;
            return false;
        }
    } host;
    FrmSelectFolder chooser(&host, nullptr);
    chooser.formLoad();
    chooser.form()->cboFldName->setCurrentIndex(1);
    dialogs.expectMessage(Answer::Ok);
    chooser.cmdOKFolderClick();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("ブックエラー"));
    EXPECT_EQ(app.read("curFData.vtd"), current);
    EXPECT_EQ(host.shown, 0);
    EXPECT_EQ(session().current.bookName, QStringLiteral("英単語"));

    // Nor is a book whose set file is gone; the main window's book is not even closed for it.
    QFile::remove(languageset::filePath(app.path(), languageset::DefaultSetName));
    dialogs.expectMessage(Answer::Ok);
    chooser.cmdOKFolderClick();
    EXPECT_TRUE(dialogs.lastBox().text.contains(QStringLiteral("言語ｾｯﾄ『英語ｾｯﾄ』")));
    EXPECT_EQ(host.reopened, 1);
    EXPECT_EQ(terminator.calls(), 0);
}

} // namespace

namespace {

// A disk that refuses the list file leaves no book behind and the dialog open with the name
// typed; once there is room, OK creates the book.
TEST_F(BooksTest, ABookCreatedOnAFullDiskIsReportedAndCanBeCreatedAgain) {
    haveBooks({QStringLiteral("英単語")});
    FrmSelectFolder chooser(nullptr, nullptr);
    chooser.formLoad();
    FrmSelectPaletteSet dialog(&chooser, nullptr);
    dialog.formLoad();
    const QByteArray list = app.read("DirInfo.vtd");
    const QStringList entries = app.entries();
    dialog.form()->Text1->setText(QStringLiteral("独単語"));
    {
        FailingDisk disk(0);
        dialogs.expectMessage(Answer::Ok, QStringLiteral("ディスクの空き容量が不足しています"));
        dialog.cmdOKClick();
    }
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("書き込みｴﾗｰ"));
    EXPECT_EQ(terminator.calls(), 0);
    EXPECT_EQ(app.read("DirInfo.vtd"), list);
    EXPECT_EQ(app.entries(), entries);
    EXPECT_EQ(chooser.form()->cboFldName->count(), 1);
    EXPECT_EQ(dialog.form()->Text1->text(), QStringLiteral("独単語"));

    dialogs.expectMessage(Answer::Ok, QStringLiteral("作成しました"));
    dialog.cmdOKClick();
    EXPECT_TRUE(app.exists(QStringLiteral("独単語")));
    EXPECT_EQ(chooser.form()->cboFldName->count(), 2);
    EXPECT_EQ(session().current.bookName, QStringLiteral("独単語"));
}

} // namespace

namespace {

// A book folder that is a link to a folder outside the application folder is refused when chosen
// and when the program opens it; deleting it takes it off the list and leaves the outside folder
// alone, saying so.
TEST_F(BooksTest, ABookFolderLeadingOutsideIsRefusedAndItsDeletionLeavesTheFolderAlone) {
    haveBooks({QStringLiteral("英単語")});
    QTemporaryDir elsewhere;
    BookBuilder(elsewhere.path()).add("outside", "m").write();
    QFile words(elsewhere.filePath(QStringLiteral("words.vtd")));
    ASSERT_TRUE(words.open(QIODevice::ReadOnly));
    const QByteArray before = words.readAll();
    words.close();
    ASSERT_TRUE(QFile::link(elsewhere.path(), app.file(QStringLiteral("リンク"))));
    booklist::write(app.path(), {{QStringLiteral("英単語"), languageset::DefaultSetName},
                                 {QStringLiteral("リンク"), languageset::DefaultSetName}});
    EXPECT_TRUE(booklist::leadsOutside(app.path(), QStringLiteral("リンク")));
    EXPECT_FALSE(booklist::leadsOutside(app.path(), QStringLiteral("英単語")));

    HostSpy host;
    FrmSelectFolder chooser(&host, nullptr);
    chooser.formLoad();
    chooser.form()->cboFldName->setCurrentIndex(1);
    dialogs.expectMessage(Answer::Ok, QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝのﾌｫﾙﾀﾞの外"));
    chooser.cmdOKFolderClick();
    EXPECT_EQ(host.reopened, 0);
    EXPECT_EQ(session().current.bookName, QStringLiteral("英単語"));

    dialogs.expectMessage(Answer::Yes).expectMessage(Answer::Ok);
    chooser.cmdDelFolderClick();
    EXPECT_TRUE(dialogs.lastBox().text.contains(QStringLiteral("手を付けていません")));
    EXPECT_TRUE(dialogs.lastBox().text.contains(QStringLiteral("一覧からだけ外しました")));
    EXPECT_EQ(lines("DirInfo.vtd"), QStringList({QStringLiteral("\"英単語\",\"英語ｾｯﾄ\"")}));
    ASSERT_TRUE(words.open(QIODevice::ReadOnly));
    EXPECT_EQ(words.readAll(), before);
    EXPECT_EQ(terminator.calls(), 0);
}

// The program never opens such a book as the one in use, nor writes into it.
TEST_F(BooksTest, TheBookInUseLeadingOutsideIsNotOpened) {
    haveBooks({QStringLiteral("英単語")});
    QTemporaryDir elsewhere;
    BookBuilder(elsewhere.path()).add("outside", "m").write();
    ASSERT_TRUE(QDir(app.file(QStringLiteral("英単語"))).removeRecursively());
    ASSERT_TRUE(QFile::link(elsewhere.path(), app.file(QStringLiteral("英単語"))));
    WriteDisplaySettings(app.path(), SetDefaultDisplaySettings());
    const QStringList outsideFiles = QDir(elsewhere.path()).entryList(QDir::Files);
    dialogs.expectMessage(Answer::Ok, QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝのﾌｫﾙﾀﾞの外"))
        .expectMessage(Answer::Ok)   // the chooser opens
        .expectMessage(Answer::Yes); // leaving it ends the program
    whenShown("frmSelectFolder", [](QWidget* w) {
        QTest::mouseClick(static_cast<SelectFolderForm*>(w)->cmdCancelFolder, Qt::LeftButton);
    });
    Program program;
    EXPECT_FALSE(program.start());
    EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::Files), outsideFiles);
}

} // namespace
