// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/projects/projectstate.h"
#include "editor/editor_fixture.h"
#include "projects/frmbunkatu.h"
#include "projects/sentencesplit.h"
#include "ui/bunkatuform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

namespace {

QString splitText(const QString& text, const SplitSettings& settings, int caret = 0,
                  int selection = 0) {
    RichTextPane pane;
    pane.setPlainText(text);
    pane.setSelStart(caret);
    pane.setSelLength(selection);
    sentencesplit::split(pane, settings);
    return pane.toPlainText();
}

SplitSettings unnumbered(qint16 spacing, const QString& terminators = QStringLiteral(".!?")) {
    SplitSettings s;
    s.numbering = false;
    s.blockSpacing = spacing;
    s.terminators = terminators;
    return s;
}

TEST(SentenceSplit, StartSettingsNumberEveryBlockAndKeepTheSpaces) {
    EXPECT_EQ(splitText(QStringLiteral("A b. C d? E"), SplitSettings()),
              QStringLiteral("1 : \nA b. \n\n2 : \nC d? \n\n3 : \nE\n"));
    // A sentence at the end of its line: its line break is the first of the block break.
    EXPECT_EQ(splitText(QStringLiteral("Hello.\nWorld!"), SplitSettings()),
              QStringLiteral("1 : \nHello.\n\n2 : \nWorld!\n"));
    SplitSettings decorated;
    decorated.beforeNumber = QStringLiteral("[");
    decorated.afterNumber = QStringLiteral("]");
    decorated.blockSpacing = 2;
    EXPECT_EQ(splitText(QStringLiteral("One. Two."), decorated),
              QStringLiteral("[1]\nOne. \n\n\n[2]\nTwo.\n\n"));
}

TEST(SentenceSplit, TerminatorsDecideWhereSentencesEnd) {
    // "..." ends at its first dot; the next block begins with the other two.
    EXPECT_EQ(splitText(QStringLiteral("Wait... Go."), unnumbered(0)),
              QStringLiteral("Wait.\n.. \nGo."));
    // A space among the terminators makes every space end a sentence.
    EXPECT_EQ(splitText(QStringLiteral("A b. C"), unnumbered(0, QStringLiteral(".!? "))),
              QStringLiteral("A \nb. \nC"));
    // Numbering off with one line: each sentence on its own line, no blank line between.
    EXPECT_EQ(splitText(QStringLiteral("One. Two! Three?"), unnumbered(0)),
              QStringLiteral("One. \nTwo! \nThree?"));
    // No terminators at all: the rest is one block.
    EXPECT_EQ(splitText(QStringLiteral("a. b"), unnumbered(1, QString())),
              QStringLiteral("a. b\n"));
}

TEST(SentenceSplit, StartsAtTheCaretAndKeepsASelection) {
    EXPECT_EQ(splitText(QStringLiteral("Intro. A. B."), unnumbered(0), 7),
              QStringLiteral("Intro. A. \nB."));
    // The selected text is not replaced by the first heading.
    EXPECT_EQ(splitText(QStringLiteral("Keep me. Next."), SplitSettings(), 0, 7),
              QStringLiteral("1 : \nKeep me. \n\n2 : \nNext.\n"));
    // At the end of the text there is nothing to split.
    EXPECT_EQ(splitText(QStringLiteral("Done."), SplitSettings(), 5), QStringLiteral("Done."));
}

TEST(SentenceSplit, IsOneEditThatOneUndoRestores) {
    RichTextPane pane;
    const QString text = QStringLiteral("First. Second? Third! Fourth.");
    pane.setPlainText(text);
    pane.document()->clearUndoRedoStacks();
    QSignalSpy changes(&pane, &QTextEdit::textChanged);
    sentencesplit::split(pane, SplitSettings());
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(pane.selStart(), pane.toPlainText().size());
    pane.undo();
    EXPECT_EQ(pane.toPlainText(), text);
    EXPECT_FALSE(pane.document()->isUndoAvailable());
}

class SplitCommandTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        start();
        cmds = std::make_unique<SentenceSplit>(*editor);
        form()->Rtxt1->setPlainText(QStringLiteral("A b. C d? E"));
        editor->Rtxt1GotFocus();
    }
    void TearDown() override {
        cmds.reset();
        EditorTest::TearDown();
    }
    std::unique_ptr<SentenceSplit> cmds;
};

TEST_F(SplitCommandTest, RefusedWithoutEditPermissionOrOutsideTheOriginal) {
    editor->project().allowOrgEdit = false;
    dialogs.expectMessage(Answer::Ok);
    form()->mnuGoBunkatu->trigger();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("編集許可確認"));
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("<原文>の編集を許可する設定になっていません"));

    editor->project().allowOrgEdit = true;
    editor->Rtxt2GotFocus();
    dialogs.expectMessage(Answer::Yes).expectMessage(Answer::Ok);
    form()->mnuGoBunkatu->trigger();
    EXPECT_EQ(dialogs.boxes()[1].title, QStringLiteral("分割の実行確認"));
    EXPECT_EQ(
        dialogs.boxes()[1].text,
        QStringLiteral("一度分割を実行すると元に戻せません（保存しなければＯＫ）実行しますか？"));
    EXPECT_EQ(dialogs.boxes()[1].buttons, MessageButtons::YesNo);
    EXPECT_EQ(dialogs.boxes()[1].icon, MessageIcon::Question);
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("適用確認"));
    EXPECT_EQ(dialogs.lastBox().text,
              QStringLiteral("「文単位に分割」処理は<原文>でしか実行出来ません。"));
    EXPECT_EQ(form()->Rtxt1->toPlainText(), QStringLiteral("A b. C d? E"));

    editor->Rtxt1GotFocus();
    dialogs.expectMessage(Answer::No);
    form()->mnuGoBunkatu->trigger();
    EXPECT_EQ(form()->Rtxt1->toPlainText(), QStringLiteral("A b. C d? E"));
    EXPECT_TRUE(dialogs.done());
}

TEST_F(SplitCommandTest, RunsOnTheOriginalWithTheSettingsOfTheRun) {
    editor->project().allowOrgEdit = true;
    editor->project().split.numbering = false;
    editor->project().split.blockSpacing = 0;
    form()->Rtxt1->setSelStart(0);
    editor->project().orgModified = false;
    dialogs.expectMessage(Answer::Yes);
    form()->mnuGoBunkatu->trigger();
    EXPECT_EQ(form()->Rtxt1->toPlainText(), QStringLiteral("A b. \nC d? \nE"));
    EXPECT_TRUE(editor->project().orgModified);
}

TEST(FrmBunkatu, ShowsAndTakesTheSettings) {
    ScriptedDialogs dialogs;
    SplitSettings settings;
    FrmBunkatu dialog(settings);
    BunkatuForm* f = dialog.form();
    EXPECT_EQ(f->windowTitle(), QStringLiteral("「文単位（ﾌﾞﾛｯｸ）に分割」 設定"));
    EXPECT_EQ(f->Frame1->title(),
              QStringLiteral("連番の前後に付ける飾り（ 各省略可/ \"\"は不要）"));
    EXPECT_EQ(f->Label4->text(),
              QStringLiteral("● 文の区切りを識別する文字/記号 ( 左詰め/ \"\"は不要）"));
    EXPECT_EQ(f->Label1->text(), QStringLiteral("初期値 = \" .!?\""));
    EXPECT_EQ(f->Label6->text(), QStringLiteral("初期値 = 2行"));
    dialog.formLoad();
    EXPECT_TRUE(f->Check1->isChecked());
    EXPECT_EQ(f->Text2->text(), QStringLiteral(" : "));
    EXPECT_EQ(f->Text3->text(), QStringLiteral(".!?"));
    EXPECT_EQ(f->Combo1->currentText(), QStringLiteral("2行"));
    EXPECT_TRUE(f->Text1->isEnabled());

    f->show();
    QTest::mouseClick(f->Check1, Qt::LeftButton);
    for (QWidget* w : {static_cast<QWidget*>(f->Frame1), static_cast<QWidget*>(f->Text1),
                       static_cast<QWidget*>(f->Text2), static_cast<QWidget*>(f->Label2),
                       static_cast<QWidget*>(f->Label3)})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    // With numbering off the decorations keep their values; an empty terminator set is taken.
    f->Text2->setText(QStringLiteral("lost"));
    f->Text3->clear();
    f->Combo1->setCurrentIndex(0);
    f->cmdOK->click();
    EXPECT_FALSE(f->isVisible());
    EXPECT_FALSE(settings.numbering);
    EXPECT_EQ(settings.afterNumber, QStringLiteral(" : "));
    EXPECT_EQ(settings.terminators, QString());
    EXPECT_EQ(settings.blockSpacing, 0);

    dialog.formLoad();
    EXPECT_FALSE(f->Text1->isEnabled());
    f->Check1->click();
    EXPECT_TRUE(f->Text1->isEnabled());
    f->Text1->setText(QStringLiteral("<"));
    f->cmdCancel->click();
    EXPECT_FALSE(settings.numbering);
    EXPECT_EQ(settings.beforeNumber, QString());
}

} // namespace
