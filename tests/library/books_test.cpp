#include "core/booklist.h"
#include "core/cp932.h"
#include "core/languageset.h"
#include "core/session.h"
#include "core/settings.h"
#include "library/bookhost.h"
#include "library/frmlangset.h"
#include "library/frmselectfolder.h"
#include "library/frmselectpaletteset.h"
#include "support/bookbuilder.h"
#include "support/scripteddialogs.h"
#include "support/tempappfolder.h"
#include "support/terminatorspy.h"
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
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Stands for the main window in dialog tests and counts what was asked of it.
struct HostSpy : BookHost {
    int closed = 0, reopened = 0, shown = 0, paletteFonts = 0;
    void closeBook() override { ++closed; }
    void ReopenBook() override { ++reopened; }
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

    // Runs body once the modal dialog named objectName is up.
    static void whenShown(const QString& objectName, std::function<void(QWidget*)> body,
                          int tries = 500) {
        QTimer::singleShot(10, [objectName, body, tries] {
            QWidget* w = QApplication::activeModalWidget();
            if (w && w->objectName() == objectName) {
                body(w);
                return;
            }
            if (tries > 0) {
                whenShown(objectName, body, tries - 1);
                return;
            }
            ADD_FAILURE() << "dialog " << objectName.toStdString() << " never came";
            if (auto* dialog = qobject_cast<QDialog*>(w))
                dialog->reject();
        });
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
          QStringLiteral("笑😀"), QStringLiteral("英単語")}) {
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
    session().setList = languageset::readList(app.path());
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
    dialogs.expectFont(chosen);
    editor.cmdFontSetClick();
    EXPECT_EQ(lines("opfini.vtd"), QStringList({"\"IPAGothic\"", "20", "#TRUE#", "#FALSE#", "0"}));
    EXPECT_EQ(editor.form()->Text2[7]->font().pointSize(), 20);
    EXPECT_TRUE(editor.form()->Text1[0]->font().bold());
    EXPECT_EQ(host.paletteFonts, 1);

    dialogs.expectFont(std::nullopt);
    editor.cmdFontSetClick();
    EXPECT_EQ(host.paletteFonts, 1);

    editor.cmdFontDefaultClick();
    EXPECT_EQ(lines("opfini.vtd"), QStringList({QStringLiteral("\"ＭＳ Ｐゴシック\""), "14",
                                                "#FALSE#", "#FALSE#", "0"}));
    EXPECT_EQ(editor.form()->Text1[3]->font().pointSize(), 14);
    EXPECT_EQ(host.paletteFonts, 2);
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

} // namespace
