// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/projects/projectstate.h"
#include "editor/editor_fixture.h"
#include "projects/frmfind.h"
#include "ui/findform.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

class FindTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        start();
        cmd = std::make_unique<FindCommand>(*editor);
        form()->Rtxt1->setPlainText(QStringLiteral("原文 text"));
        form()->Rtxt2->setPlainText(QStringLiteral("The cat saw a Cat."));
        editor->Rtxt2GotFocus();
    }
    void TearDown() override {
        cmd.reset();
        EditorTest::TearDown();
    }

    // Opens the dialog through the tool bar's find button.
    FindForm* open() {
        form()->toolButton(QStringLiteral("find"))->trigger();
        EXPECT_NE(cmd->dialog(), nullptr);
        return cmd->dialog() ? cmd->dialog()->form() : nullptr;
    }
    void find(FindForm* f, const QString& text) {
        f->txtFind->setText(text);
        f->cmdFind->click();
    }
    RichTextPane* trans() const { return form()->Rtxt2; }

    std::unique_ptr<FindCommand> cmd;
};

TEST_F(FindTest, OpensWithTheSelectionAsSearchTextAndReplaceDisabled) {
    trans()->setSelStart(4);
    trans()->setSelLength(3);
    FindForm* f = open();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(editor->project().findDialogOpen);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("検索と置換"));
    EXPECT_EQ(f->txtFind->text(), QStringLiteral("cat"));
    EXPECT_EQ(f->txtFind->selectedText(), QStringLiteral("cat"));
    EXPECT_TRUE(f->Option1[1]->isChecked());
    EXPECT_TRUE(f->Option1[0]->isEnabled());
    EXPECT_TRUE(f->Check1->isChecked());
    EXPECT_FALSE(f->cmdRewrite->isEnabled());
    f->cmdFind->click();
    EXPECT_TRUE(f->cmdRewrite->isEnabled());

    f->cmdClose->click();
    EXPECT_FALSE(editor->project().findDialogOpen);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(cmd->dialog(), nullptr);
    // The search text is offered again without a selection; the original is chosen from there.
    editor->Rtxt1GotFocus();
    f = open();
    EXPECT_EQ(f->txtFind->text(), QStringLiteral("cat"));
    EXPECT_TRUE(f->Option1[0]->isChecked());
    // The frame's close box closes it the same way.
    f->close();
    EXPECT_FALSE(editor->project().findDialogOpen);
}

TEST_F(FindTest, FindsWithAndWithoutCaseAndStartsAgainFromTheTop) {
    FindForm* f = open();
    ASSERT_NE(f, nullptr);
    find(f, QStringLiteral("CAT"));
    EXPECT_EQ(trans()->selStart(), 4);
    EXPECT_EQ(trans()->selLength(), 3);
    EXPECT_FALSE(cmd->dialog()->fromTop());
    EXPECT_TRUE(f->Check1->isChecked());
    f->cmdFind->click();
    EXPECT_EQ(trans()->selStart(), 14);

    dialogs.expectMessage(Answer::Ok);
    f->cmdFind->click();
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("ﾌｧｲﾙの末尾まで検索しました。"));
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("検索確認"));
    EXPECT_EQ(trans()->selStart(), 14);
    f->cmdFind->click();
    EXPECT_EQ(trans()->selStart(), 4);

    // Case-sensitive: only the capitalised word.
    f->Check2->setChecked(true);
    f->Check1->click(); // off: go on from the selection
    f->Check1->click(); // on again: from the top
    find(f, QStringLiteral("Cat"));
    EXPECT_EQ(trans()->selStart(), 14);
    dialogs.expectMessage(Answer::Ok);
    find(f, QStringLiteral("CAT"));
    EXPECT_TRUE(dialogs.done());
}

TEST_F(FindTest, EmptySearchTextIsRefusedByEveryCommand) {
    FindForm* f = open();
    ASSERT_NE(f, nullptr);
    f->cmdRewrite->setEnabled(true);
    for (QPushButton* b : {f->cmdFind, f->cmdRewrite, f->cmdAllrewrite}) {
        dialogs.expectMessage(Answer::Ok);
        b->click();
        EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("検索する文字列を入力して下さい"));
        EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("検索確認"));
    }
    EXPECT_EQ(trans()->toPlainText(), QStringLiteral("The cat saw a Cat."));
    EXPECT_TRUE(dialogs.done());
}

TEST_F(FindTest, ReplaceTakesTheSelectionAndReplaceAllCountsInOneStep) {
    FindForm* f = open();
    ASSERT_NE(f, nullptr);
    find(f, QStringLiteral("cat"));
    f->txtRewrite->setText(QStringLiteral("dog"));
    f->cmdRewrite->click();
    EXPECT_EQ(trans()->toPlainText(), QStringLiteral("The dog saw a Cat."));

    trans()->setPlainText(QStringLiteral("aaa"));
    trans()->document()->clearUndoRedoStacks();
    f->Check1->setChecked(true);
    f->Check1->click();
    f->Check1->click();
    f->txtFind->setText(QStringLiteral("a"));
    f->txtRewrite->setText(QStringLiteral("aa"));
    dialogs.expectMessage(Answer::Ok);
    f->cmdAllrewrite->click();
    EXPECT_EQ(trans()->toPlainText(), QStringLiteral("aaaaaa"));
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("3 個の文字列を置換しました。"));
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("置換確認"));
    EXPECT_TRUE(cmd->dialog()->fromTop());
    trans()->undo();
    EXPECT_EQ(trans()->toPlainText(), QStringLiteral("aaa"));
    EXPECT_FALSE(trans()->document()->isUndoAvailable());

    // Without the from-top box it starts at the selection and leaves earlier text alone.
    trans()->setPlainText(QStringLiteral("a-a-a"));
    trans()->setSelStart(2);
    f->Check1->click();
    EXPECT_FALSE(cmd->dialog()->fromTop());
    f->txtRewrite->setText(QStringLiteral("b"));
    dialogs.expectMessage(Answer::Ok);
    f->cmdAllrewrite->click();
    EXPECT_EQ(trans()->toPlainText(), QStringLiteral("a-b-b"));
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("2 個の文字列を置換しました。"));

    f->txtFind->setText(QStringLiteral("zzz"));
    dialogs.expectMessage(Answer::Ok);
    f->cmdAllrewrite->click();
    EXPECT_EQ(dialogs.lastBox().text,
              QStringLiteral("検索する文字列が見つからなかったので置換出来ませんでした。"));
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("置換情報"));
    EXPECT_TRUE(dialogs.done());
}

TEST_F(FindTest, ReplaceAllTakesOverlappingHitsLeftToRightWithoutOverlap) {
    // "aaaa" holds "aa" at three places; taken left to right each goes on behind the one before,
    // so two are replaced, and "ana" holds none.
    trans()->setPlainText(QStringLiteral("aaaa ana"));
    FindForm* f = open();
    ASSERT_NE(f, nullptr);
    ASSERT_TRUE(cmd->dialog()->fromTop());
    f->txtFind->setText(QStringLiteral("aa"));
    f->txtRewrite->setText(QStringLiteral("b"));
    dialogs.expectMessage(Answer::Ok);
    f->cmdAllrewrite->click();
    EXPECT_EQ(trans()->toPlainText(), QStringLiteral("bb ana"));
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("2 個の文字列を置換しました。"));

    // Without case: the same for capitals, and an odd run leaves its last letter.
    trans()->setPlainText(QStringLiteral("AaAaA"));
    dialogs.expectMessage(Answer::Ok);
    f->cmdAllrewrite->click();
    EXPECT_EQ(trans()->toPlainText(), QStringLiteral("bbA"));
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("2 個の文字列を置換しました。"));
    EXPECT_TRUE(dialogs.done());
}

TEST_F(FindTest, AnOriginalThatMayNotBeEditedIsNotReplacedIn) {
    form()->Rtxt1->setReadOnly(true);
    editor->Rtxt1GotFocus();
    FindForm* f = open();
    ASSERT_NE(f, nullptr);
    ASSERT_TRUE(f->Option1[0]->isChecked());
    find(f, QStringLiteral("text"));
    f->txtRewrite->setText(QStringLiteral("x"));
    for (QPushButton* b : {f->cmdRewrite, f->cmdAllrewrite}) {
        dialogs.expectMessage(Answer::Ok);
        b->click();
        EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("編集許可確認"));
    }
    EXPECT_EQ(form()->Rtxt1->toPlainText(), QStringLiteral("原文 text"));
    EXPECT_TRUE(dialogs.done());
}

TEST_F(FindTest, WithoutAnOriginalOnlyTheTranslationIsOffered) {
    editor->project().useOrgFile = false;
    editor->Rtxt1GotFocus();
    FindForm* f = open();
    ASSERT_NE(f, nullptr);
    EXPECT_FALSE(f->Option1[0]->isEnabled());
    EXPECT_TRUE(f->Option1[1]->isChecked());
    // Only the translation is searched.
    dialogs.expectMessage(Answer::Ok);
    find(f, QStringLiteral("text"));
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("ﾌｧｲﾙの末尾まで検索しました。"));
    EXPECT_EQ(form()->Rtxt1->selLength(), 0);
}

} // namespace
