// SPDX-License-Identifier: GPL-3.0-or-later
#include "comment_fixture.h"
#include "core/projects/projectstate.h"
#include "support/failingdisk.h"

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

namespace {

using CommentWindowTest = CommentTest;

TEST_F(CommentWindowTest, LoadsHiddenWithTheProjectThenShowsHidesClosesAndReloads) {
    const PlanInfo plan = catProject(true);
    writeDocument(trans, QStringLiteral("{\\rtf1\\ansi I am a cat.\\par}"));
    writeDocument(comment, QStringLiteral("{\\rtf1\\ansi A note.\\par}"));
    writeProject(plan);
    startEditor();

    ASSERT_NE(commentWindow(), nullptr);
    CommentForm* cf = commentWindow()->form();
    EXPECT_EQ(cf->Rtxt3->toPlainText(), QStringLiteral("A note."));
    EXPECT_FALSE(cf->isVisible());
    EXPECT_TRUE(editor->project().cmntLoaded);
    EXPECT_TRUE(showCommandsEnabled());
    EXPECT_EQ(cf->StatusBar1Panel1->text(), comment);
    EXPECT_EQ(editor->project().indentWidth, 480);

    // The tool-bar button shows it; a second request only brings it to the front.
    form()->toolButton(QStringLiteral("CmntOpen"))->trigger();
    EXPECT_TRUE(cf->isVisible());
    EXPECT_FALSE(showCommandsEnabled());
    comments()->mnuCommentClick();
    EXPECT_TRUE(cf->isVisible());

    cf->Rtxt3->setPlainText(QStringLiteral("A longer note."));
    cf->mnuGotoTrans->trigger();
    EXPECT_FALSE(cf->isVisible());
    EXPECT_TRUE(showCommandsEnabled());
    EXPECT_TRUE(editor->project().cmntLoaded);
    form()->popShowCmnt->trigger();
    EXPECT_TRUE(cf->isVisible());

    cf->mnuClose->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(commentWindow(), nullptr);
    EXPECT_FALSE(editor->project().cmntLoaded);
    EXPECT_FALSE(showCommandsEnabled());
    EXPECT_EQ(fileText(comment), QStringLiteral("A longer note."));

    form()->mnuCmntLoading->trigger();
    ASSERT_NE(commentWindow(), nullptr);
    EXPECT_TRUE(commentWindow()->form()->isVisible());
    EXPECT_EQ(commentWindow()->pane()->toPlainText(), QStringLiteral("A longer note."));
    EXPECT_FALSE(showCommandsEnabled());

    dialogs.expectMessage(Answer::Ok);
    form()->mnuCmntLoading->trigger();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("ﾛｰﾄﾞ確認"));
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("「注釈」ｳｨﾝﾄﾞｳはすでにﾛｰﾄﾞされています。"));
    EXPECT_TRUE(dialogs.done());
}

TEST_F(CommentWindowTest, CreatesAMissingCommentFileButNeverOneWithoutAPath) {
    writeDocument(app.file(QStringLiteral("訳文.rtf")), QStringLiteral("text"));
    writeProject(catProject(true));
    startEditor();
    ASSERT_NE(commentWindow(), nullptr);
    EXPECT_TRUE(QFile::exists(comment));
    dropEditor();

    // The fresh record New leaves: comments on, no file named.
    projectfiles::saveCurrentPlan(app.path(), PlanInfo());
    const QStringList before = app.entries();
    startEditor();
    ASSERT_NE(commentWindow(), nullptr);
    commentWindow()->pane()->setPlainText(QStringLiteral("scribble"));
    EXPECT_TRUE(comments()->unload());
    EXPECT_EQ(app.entries(), before);
}

TEST_F(CommentWindowTest, StartingWithoutAProjectOrWithoutCommentsKeepsTheShowCommandsOff) {
    startEditor();
    EXPECT_EQ(commentWindow(), nullptr);
    EXPECT_FALSE(showCommandsEnabled());
    dialogs.expectMessage(Answer::Ok);
    form()->mnuCmntLoading->trigger();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("保存確認"));
    EXPECT_EQ(dialogs.lastBox().text,
              QStringLiteral("「注釈」ｳｨﾝﾄﾞｳを使用するにはまず新規保存する必要があります。"));
    EXPECT_EQ(commentWindow(), nullptr);
    dropEditor();

    writeDocument(app.file(QStringLiteral("訳文.rtf")), QStringLiteral("text"));
    writeProject(catProject(false));
    startEditor();
    EXPECT_EQ(commentWindow(), nullptr);
    EXPECT_FALSE(showCommandsEnabled());
}

TEST_F(CommentWindowTest, TurningCommentsOnCreatesTheFileAndUpdatesBothProjectFiles) {
    PlanInfo other = catProject(false);
    other.planName = QStringLiteral("犬");
    writeDocument(app.file(QStringLiteral("訳文.rtf")), QStringLiteral("text"));
    writeProject(catProject(false), {other});
    startEditor();

    dialogs.expectMessage(Answer::No);
    form()->mnuCmntLoading->trigger();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("設定変更確認"));
    EXPECT_EQ(dialogs.lastBox().text,
              QStringLiteral("現在、注釈ｳｨﾝﾄﾞｳを使用する設定になっていません。使用する設定に"
                             "変更しますか？"));
    EXPECT_EQ(dialogs.lastBox().buttons, MessageButtons::YesNo);
    EXPECT_EQ(dialogs.lastBox().icon, MessageIcon::Question);
    EXPECT_EQ(commentWindow(), nullptr);
    EXPECT_FALSE(projectfiles::loadCurrentPlan(app.path())->useCmnt);

    dialogs.expectMessage(Answer::Yes).expectMessage(Answer::Ok);
    form()->mnuCmntLoading->trigger();
    EXPECT_EQ(dialogs.lastBox().text,
              QStringLiteral("現在のﾌﾟﾛｼﾞｪｸﾄで「注釈」ｳｨﾝﾄﾞｳを使用する設定に変更しました。"));
    ASSERT_NE(commentWindow(), nullptr);
    EXPECT_TRUE(commentWindow()->form()->isVisible());
    EXPECT_FALSE(showCommandsEnabled());
    EXPECT_TRUE(QFile::exists(comment));

    const PlanInfo current = *projectfiles::loadCurrentPlan(app.path());
    EXPECT_TRUE(current.useCmnt);
    EXPECT_EQ(current.cmntFilePath, comment);
    const PlanList plans = projectfiles::loadPlanList(app.path());
    ASSERT_EQ(plans.size(), 2u);
    EXPECT_EQ(plans[0], other);
    EXPECT_EQ(plans[1], current);
}

// A full disk when the switch is to be stored: said by name, nothing switched, and the program
// goes on with the unsaved translation.
TEST_F(CommentWindowTest, TurningCommentsOnOnAFullDiskChangesNothing) {
    writeDocument(app.file(QStringLiteral("訳文.rtf")), QStringLiteral("text"));
    writeProject(catProject(false));
    startEditor();
    form()->Rtxt2->setPlainText(QStringLiteral("Unsaved."));
    dialogs.expectMessage(Answer::Yes).expectMessage(Answer::Ok, projectfiles::CurrentPlanFile);
    {
        FailingDisk full(0);
        form()->mnuCmntLoading->trigger();
    }
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("保存ｴﾗｰ"));
    EXPECT_EQ(terminator.calls(), 0);
    EXPECT_EQ(commentWindow(), nullptr);
    EXPECT_FALSE(state().current.useCmnt);
    EXPECT_FALSE(projectfiles::loadCurrentPlan(app.path())->useCmnt);
    EXPECT_FALSE(QFile::exists(comment));
    EXPECT_EQ(paneText(form()->Rtxt2), QStringLiteral("Unsaved."));
    EXPECT_TRUE(dialogs.done());
}

TEST_F(CommentWindowTest, TurningCommentsOnKeepsAnExistingFileOfTheDerivedName) {
    writeDocument(app.file(QStringLiteral("訳文.rtf")), QStringLiteral("text"));
    writeProject(catProject(false));
    writeDocument(comment, QStringLiteral("{\\rtf1\\ansi {\\b Old} notes.\\par}"));
    startEditor();
    dialogs.expectMessage(Answer::Yes).expectMessage(Answer::Ok);
    form()->mnuCmntLoading->trigger();
    ASSERT_NE(commentWindow(), nullptr);
    EXPECT_EQ(commentWindow()->pane()->toPlainText(), QStringLiteral("Old notes."));
    RichTextPane reread;
    ASSERT_TRUE(reread.loadFile(comment));
    EXPECT_EQ(reread.toPlainText(), QStringLiteral("Old notes."));
    reread.setSelStart(0);
    reread.setSelLength(3);
    EXPECT_EQ(reread.selBold(), true);
}

TEST_F(CommentWindowTest, FindSelectsEachOccurrenceAndStopsAtTheEnd) {
    writeDocument(app.file(QStringLiteral("訳文.rtf")), QStringLiteral("text"));
    writeProject(catProject(true));
    startEditor();
    CommentForm* cf = commentWindow()->form();
    cf->Rtxt3->setPlainText(QStringLiteral("猫と猫"));
    cf->Text1->setText(QStringLiteral("猫"));
    cf->cmdFind->click();
    EXPECT_EQ(cf->Rtxt3->selStart(), 0);
    EXPECT_EQ(cf->Rtxt3->selLength(), 1);
    cf->cmdFind->click();
    EXPECT_EQ(cf->Rtxt3->selStart(), 2);
    EXPECT_EQ(cf->Rtxt3->selLength(), 1);
    // The last occurrence ends the pane; there is no wrap.
    for (int round = 0; round < 2; ++round) {
        dialogs.expectMessage(Answer::Ok);
        cf->cmdFind->click();
        EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("ﾌｧｲﾙの末尾まで検索しました"));
        EXPECT_EQ(dialogs.lastBox().title, AppTitle);
        EXPECT_EQ(cf->Rtxt3->selStart(), 2);
        EXPECT_EQ(cf->Rtxt3->selLength(), 1);
    }
    // Case matters.
    cf->Rtxt3->setPlainText(QStringLiteral("Cat cat"));
    cf->Text1->setText(QStringLiteral("cat"));
    cf->cmdFind->click();
    EXPECT_EQ(cf->Rtxt3->selStart(), 4);
}

TEST_F(CommentWindowTest, FormattingAndClipboardWorkOnTheCommentPane) {
    writeDocument(app.file(QStringLiteral("訳文.rtf")), QStringLiteral("text"));
    writeProject(catProject(true));
    startEditor();
    CommentForm* cf = commentWindow()->form();
    comments()->mnuCommentClick();
    RichTextPane* pane = cf->Rtxt3;
    pane->setPlainText(QStringLiteral("line one"));
    editor->project().indentWidth = 720;
    cf->mnuSelectAll->trigger();
    EXPECT_EQ(pane->selLength(), 8);
    cf->mnuIndentDo->trigger();
    EXPECT_EQ(pane->selIndent(), 720);
    cf->mnuIdtRelease->trigger();
    EXPECT_EQ(pane->selIndent(), 0);
    cf->mnuCenter->trigger();
    EXPECT_EQ(pane->selAlignment(), RichTextPane::Alignment::Center);
    cf->mnuRight->trigger();
    EXPECT_EQ(pane->selAlignment(), RichTextPane::Alignment::Right);
    cf->mnuBulletDo->trigger();
    EXPECT_EQ(pane->selBullet(), true);
    EXPECT_EQ(pane->bulletIndent(), 480);
    cf->mnuBulletRelease->trigger();
    EXPECT_EQ(pane->selBullet(), false);

    QFont font(QStringLiteral("Arial"));
    font.setPointSize(14);
    font.setItalic(true);
    dialogs.expectFont(font);
    cf->mnuFont->trigger();
    EXPECT_EQ(pane->selFontName(), QStringLiteral("Arial"));
    EXPECT_EQ(pane->selFontSize(), 14.0);
    EXPECT_EQ(pane->selItalic(), true);
    dialogs.expectFont(std::nullopt);
    cf->mnuFont->trigger();
    EXPECT_EQ(pane->selFontName(), QStringLiteral("Arial"));

    pane->setFocus();
    pane->setSelStart(5);
    pane->setSelLength(3);
    cf->mnuCut->trigger();
    EXPECT_EQ(pane->toPlainText(), QStringLiteral("line "));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("one"));
    cf->mnuPaste->trigger();
    EXPECT_EQ(pane->toPlainText(), QStringLiteral("line one"));

    // Printing goes through the print dialog; cancelled, it prints nothing.
    dialogs.expectPrint(false);
    cf->mnuPrint->trigger();
    EXPECT_TRUE(dialogs.done());
}

TEST_F(CommentWindowTest, SaveWritesTheCommentPaneAndLeavingClosesTheWindow) {
    writeDocument(app.file(QStringLiteral("訳文.rtf")), QStringLiteral("text"));
    writeProject(catProject(true));
    startEditor();
    commentWindow()->pane()->setPlainText(QStringLiteral("saved with the project"));
    form()->Rtxt2->setPlainText(QStringLiteral("changed"));
    form()->mnuSave->trigger();
    EXPECT_EQ(fileText(comment), QStringLiteral("saved with the project"));

    commentWindow()->pane()->setPlainText(QStringLiteral("saved on the way out"));
    QSignalSpy ended(editor.get(), &FrmTranslatorL::endRequested);
    form()->mnuEnd->trigger();
    EXPECT_EQ(ended.count(), 1);
    EXPECT_EQ(fileText(comment), QStringLiteral("saved on the way out"));
}

TEST_F(CommentWindowTest, ACommentFileThatCannotBeWrittenKeepsTheEditorAndTheNotes) {
    writeDocument(app.file(QStringLiteral("訳文.rtf")), QStringLiteral("text"));
    writeProject(catProject(true));
    startEditor();
    // The comment file's path now names a folder: it cannot be replaced.
    QFile::remove(comment);
    QDir().mkpath(comment);
    commentWindow()->pane()->setPlainText(QStringLiteral("precious"));
    QSignalSpy ended(editor.get(), &FrmTranslatorL::endRequested);
    dialogs.expectMessage(Answer::No, QStringLiteral("保存しますか"))
        .expectMessage(Answer::Ok, comment);
    form()->mnuEnd->trigger();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("保存ｴﾗｰ"));
    EXPECT_EQ(ended.count(), 0);
    EXPECT_EQ(terminator.calls(), 0);
    ASSERT_NE(commentWindow(), nullptr);
    EXPECT_TRUE(editor->project().cmntLoaded);
    EXPECT_EQ(commentWindow()->pane()->toPlainText(), QStringLiteral("precious"));
}

TEST_F(CommentWindowTest, AnUnreadableCommentFileIsReportedAndLeftAlone) {
    writeDocument(app.file(QStringLiteral("訳文.rtf")), QStringLiteral("text"));
    writeProject(catProject(true));
    // Cut off inside a group: what can be read is shown, the file is not replaced by it.
    const QByteArray damaged = "{\\rtf1\\ansi Kept {\\b part";
    app.write(QStringLiteral("Cm_訳文.rtf"), damaged);
    dialogs.expectMessage(Answer::Ok, comment);
    startEditor();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("読み込みｴﾗｰ"));
    ASSERT_NE(commentWindow(), nullptr);
    EXPECT_TRUE(comments()->unload());
    EXPECT_EQ(app.read(QStringLiteral("Cm_訳文.rtf")), damaged);
}

} // namespace
