// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/projects/projectstate.h"
#include "editor_fixture.h"
#include "translator/editorexit.h"

#include <QFileInfo>
#include <QSignalSpy>

namespace {

class EditorExitTest : public EditorTest {
protected:
    QString trans;

    // A project "猫" whose translation file holds "I am a cat.".
    void startWithProject() {
        trans = app.file(QStringLiteral("訳文.rtf"));
        writeDocument(trans, QStringLiteral("{\\rtf1\\ansi I am a cat.\\par}"));
        writeCurrentProject(QStringLiteral("猫"), QString(), trans, false);
        start();
    }
};

TEST_F(EditorExitTest, SaveWritesTheTranslationAndDisablesSave) {
    startWithProject();
    TranslatorLForm* f = form();
    f->Rtxt2->setPlainText(QStringLiteral("I am a cat. My name is not yet."));
    EXPECT_TRUE(f->mnuSave->isEnabled());
    f->mnuSave->trigger();
    EXPECT_FALSE(f->mnuSave->isEnabled());
    EXPECT_FALSE(f->toolButton(QStringLiteral("save"))->isEnabled());
    RichTextPane reread;
    ASSERT_TRUE(reread.loadFile(trans));
    EXPECT_EQ(reread.toPlainText(), QStringLiteral("I am a cat. My name is not yet."));
    // Typing again makes the work unsaved again.
    f->Rtxt2->insertPlainText(QStringLiteral("!"));
    EXPECT_TRUE(f->mnuSave->isEnabled());
}

TEST_F(EditorExitTest, SaveKeepsTheOriginalOnlyWhenAskedTo) {
    const QString org = app.file(QStringLiteral("原文.txt"));
    trans = app.file(QStringLiteral("訳文.rtf"));
    writeDocument(org, QStringLiteral("吾輩は猫である。"));
    writeDocument(trans, QStringLiteral("{\\rtf1\\ansi I am a cat.\\par}"));
    writeCurrentProject(QStringLiteral("猫"), org, trans, true);
    start();
    const QByteArray before = app.read(QStringLiteral("原文.txt"));
    form()->Rtxt1->setPlainText(QStringLiteral("吾輩は犬である。"));
    form()->mnuSave->trigger();
    EXPECT_EQ(app.read(QStringLiteral("原文.txt")), before);

    editor->project().saveOrgToo = true;
    form()->Rtxt1->setPlainText(QStringLiteral("吾輩は犬である。"));
    form()->mnuSave->trigger();
    RichTextPane reread;
    ASSERT_TRUE(reread.loadFile(org));
    EXPECT_EQ(reread.toPlainText(), QStringLiteral("吾輩は犬である。"));
    EXPECT_FALSE(editor->project().orgModified);
}

TEST_F(EditorExitTest, SaveWithoutAProjectLeavesTheWorkUnsaved) {
    start();
    form()->Rtxt2->setPlainText(QStringLiteral("draft"));
    form()->mnuSave->trigger();
    EXPECT_TRUE(form()->mnuSave->isEnabled());
}

TEST_F(EditorExitTest, AFailedSaveIsReportedAndKeepsTheWork) {
    startWithProject();
    TranslatorLForm* f = form();
    // The translation's path now names a folder: the file cannot be replaced.
    QFile::remove(trans);
    QDir().mkpath(trans);
    f->Rtxt2->setPlainText(QStringLiteral("Unsaved work."));
    dialogs.expectMessage(Answer::Ok, trans);
    f->mnuSave->trigger();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("保存ｴﾗｰ"));
    EXPECT_EQ(terminator.calls(), 0);
    EXPECT_TRUE(f->mnuSave->isEnabled());
    EXPECT_EQ(f->Rtxt2->toPlainText(), QStringLiteral("Unsaved work."));

    // Leaving offers the save again; when it fails the editor stays, its book still open.
    QSignalSpy ended(editor.get(), &FrmTranslatorL::endRequested);
    dialogs.expectMessage(Answer::Yes, QStringLiteral("閉じる前に"));
    dialogs.expectMessage(Answer::Ok, trans);
    f->mnuEnd->trigger();
    EXPECT_EQ(ended.count(), 0);
    EXPECT_TRUE(editor->book()->isOpen());
    EXPECT_EQ(terminator.calls(), 0);
}

TEST_F(EditorExitTest, CancelAtTheSaveQuestionLeavesTheEditorWorking) {
    startWithProject();
    QSignalSpy returned(editor.get(), &FrmTranslatorL::returnRequested);
    dialogs.expectMessage(Answer::Cancel);
    form()->mnuExit->trigger();
    const auto& box = dialogs.lastBox();
    EXPECT_EQ(box.title, QStringLiteral("変更内容の保存の確認"));
    EXPECT_EQ(box.text, QStringLiteral("閉じる前に現在の『翻訳部』の内容を保存しますか？"));
    EXPECT_EQ(box.buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(box.icon, MessageIcon::Question);
    EXPECT_EQ(returned.count(), 0);
    EXPECT_TRUE(editor->book()->isOpen());
    EXPECT_TRUE(form()->isVisible());
    // The book is still usable: a word can be deleted and the editor left afterwards.
    editor->book()->deleteWord(0);
    dialogs.expectMessage(Answer::No);
    form()->mnuExit->trigger();
    EXPECT_EQ(returned.count(), 1);
    EXPECT_FALSE(editor->book()->isOpen());
    EXPECT_FALSE(form()->isVisible());
}

TEST_F(EditorExitTest, YesSavesBeforeLeaving) {
    startWithProject();
    form()->Rtxt2->setPlainText(QStringLiteral("Saved on the way out."));
    QSignalSpy ended(editor.get(), &FrmTranslatorL::endRequested);
    dialogs.expectMessage(Answer::Yes);
    form()->mnuEnd->trigger();
    EXPECT_EQ(ended.count(), 1);
    RichTextPane reread;
    ASSERT_TRUE(reread.loadFile(trans));
    EXPECT_EQ(reread.toPlainText(), QStringLiteral("Saved on the way out."));
}

TEST_F(EditorExitTest, UnsavedWorkWithoutAProjectIsConfirmedBeforeLeaving) {
    start();
    form()->Rtxt2->setPlainText(QStringLiteral("draft"));
    QSignalSpy ended(editor.get(), &FrmTranslatorL::endRequested);
    QSignalSpy returned(editor.get(), &FrmTranslatorL::returnRequested);
    dialogs.expectMessage(Answer::No);
    form()->mnuEnd->trigger();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("終了時保存の確認"));
    EXPECT_EQ(
        dialogs.lastBox().text,
        QStringLiteral("『翻訳部』の内容は変更されています。\r\nこのまま保存せずに終了しますか？"));
    EXPECT_EQ(ended.count(), 0);
    dialogs.expectMessage(Answer::Yes);
    form()->mnuExit->trigger();
    EXPECT_EQ(
        dialogs.lastBox().text,
        QStringLiteral(
            "『翻訳部』の内容は変更されています。\r\nこのまま保存せずに閉じてもよろしいですか？"));
    EXPECT_EQ(returned.count(), 1);
}

TEST_F(EditorExitTest, EndAfterDeletionsCompactsTheBook) {
    start({"apple", "banana", "cherry"});
    editor->book()->deleteWord(1);
    QSignalSpy ended(editor.get(), &FrmTranslatorL::endRequested);
    form()->mnuEnd->trigger();
    ASSERT_EQ(ended.count(), 1);
    EXPECT_EQ(QFileInfo(bookFolder() + QStringLiteral("/means.vtd")).size(), 2 * 200);
    EXPECT_EQ(QFileInfo(bookFolder() + QStringLiteral("/reis.vtd")).size(), 2 * 400);
    Book reread(bookFolder());
    reread.open();
    ASSERT_EQ(reread.index().size(), 2);
    EXPECT_EQ(reread.index().at(1).word, QStringLiteral("cherry"));
    EXPECT_EQ(reread.meaning(reread.index().at(1).recordNo).trimmed(), QStringLiteral("m:cherry"));
}

TEST_F(EditorExitTest, ClosingTheWindowIsEnd) {
    startWithProject();
    QSignalSpy ended(editor.get(), &FrmTranslatorL::endRequested);
    dialogs.expectMessage(Answer::Cancel);
    EXPECT_FALSE(form()->close());
    EXPECT_TRUE(form()->isVisible());
    dialogs.expectMessage(Answer::No);
    EXPECT_TRUE(form()->close());
    EXPECT_EQ(ended.count(), 1);
}

} // namespace
