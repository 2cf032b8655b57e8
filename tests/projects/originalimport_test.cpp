// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/projects/projectstate.h"
#include "editor/editor_fixture.h"
#include "projects/frmnewplanwizard.h"
#include "projects/originalimport.h"
#include "ui/newplanwizardform.h"

#include <QLabel>

namespace {

class OriginalImportTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        start();
        cmd = std::make_unique<OriginalImport>(*editor);
        file = app.file(QStringLiteral("原文.txt"));
        writeDocument(file, QStringLiteral("吾輩は猫である。"));
    }
    void TearDown() override {
        cmd.reset();
        EditorTest::TearDown();
    }
    std::unique_ptr<OriginalImport> cmd;
    QString file;
};

TEST_F(OriginalImportTest, RefusedWhenTheOriginalPaneIsNotInUse) {
    editor->project().useOrgFile = false;
    dialogs.expectMessage(Answer::Ok);
    form()->mnuGetOrgFile->trigger();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("設定情報確認"));
    EXPECT_EQ(dialogs.lastBox().text,
              QStringLiteral("<原文>ｳｨﾝﾄﾞｳは現在使用しない設定になっています"));
    EXPECT_TRUE(dialogs.done());
}

TEST_F(OriginalImportTest, AnEmptyPaneLoadsWithoutAQuestionAndShowsThePath) {
    dialogs.expectOpenFile(file);
    form()->mnuGetOrgFile->trigger();
    EXPECT_TRUE(dialogs.boxes().isEmpty());
    const FileRequest& r = dialogs.fileRequests().constLast();
    EXPECT_EQ(r.title, QStringLiteral("利用する<原文>ﾌｧｲﾙを選択して下さい"));
    EXPECT_EQ(r.filter,
              QStringLiteral("ﾘｯﾁﾃｷｽﾄ形式(*.rtf);;ﾃｷｽﾄ形式(*.txt);;Word 文書 (*.docx *.doc);;"
                             "OpenDocument 文書 (*.odt);;すべて(*)"));
    EXPECT_EQ(r.selectedFilter, QStringLiteral("すべて(*)"));
    EXPECT_EQ(form()->Rtxt1->toPlainText(), QStringLiteral("吾輩は猫である。"));
    EXPECT_EQ(form()->panelText(2), file);
    EXPECT_EQ(editor->project().pickedOrgPath, file);
    EXPECT_EQ(editor->project().pickedOrgName, QStringLiteral("原文.txt"));
    // The project itself is not changed by the import.
    EXPECT_TRUE(editor->project().current.orgFilePath.isEmpty());

    // The next new project is offered the imported file as its original.
    FrmNewPlanWizard wizard(editor->project(), FrmNewPlanWizard::Purpose::ProjectList);
    wizard.formLoad();
    wizard.Option1Click(0);
    EXPECT_EQ(wizard.form()->lblOrgFileName->text(), QStringLiteral("原文.txt"));
    EXPECT_EQ(wizard.pending().orgFilePath, file);
}

TEST_F(OriginalImportTest, AsksBeforeReplacingAndCancelKeepsThePane) {
    form()->Rtxt1->setPlainText(QStringLiteral("my work"));
    editor->project().pickedOrgPath = QStringLiteral("/earlier/pick.rtf");
    editor->project().pickedOrgName = QStringLiteral("pick.rtf");
    dialogs.expectMessage(Answer::No);
    form()->mnuGetOrgFile->trigger();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("原文入替え確認"));
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("すでに<原文>ｳｨﾝﾄﾞｳに入力されています。\r\n"
                                                     "新しいﾌｧｲﾙ内容と入れ替えますか？"));
    EXPECT_EQ(dialogs.lastBox().buttons, MessageButtons::YesNo);
    EXPECT_EQ(dialogs.lastBox().icon, MessageIcon::Question);
    EXPECT_EQ(editor->project().pickedOrgPath, QStringLiteral("/earlier/pick.rtf"));

    // Yes, then cancelling the file dialog: the pane stays, the earlier pick is gone.
    dialogs.expectMessage(Answer::Yes).expectOpenFile(std::nullopt);
    form()->mnuGetOrgFile->trigger();
    EXPECT_EQ(form()->Rtxt1->toPlainText(), QStringLiteral("my work"));
    EXPECT_TRUE(editor->project().pickedOrgPath.isEmpty());
    EXPECT_TRUE(editor->project().pickedOrgName.isEmpty());
    EXPECT_TRUE(form()->panelText(2).isEmpty());

    dialogs.expectMessage(Answer::Yes).expectOpenFile(file);
    form()->mnuGetOrgFile->trigger();
    EXPECT_EQ(form()->Rtxt1->toPlainText(), QStringLiteral("吾輩は猫である。"));
    EXPECT_TRUE(dialogs.done());
}

TEST_F(OriginalImportTest, AnUnreadableFileIsReportedAndKeepsThePane) {
    form()->Rtxt1->setPlainText(QStringLiteral("my work"));
    const QString missing = app.file(QStringLiteral("gone.rtf"));
    dialogs.expectMessage(Answer::Yes).expectOpenFile(missing).expectMessage(Answer::Ok, missing);
    form()->mnuGetOrgFile->trigger();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("読み込みｴﾗｰ"));
    EXPECT_EQ(form()->Rtxt1->toPlainText(), QStringLiteral("my work"));
    EXPECT_TRUE(form()->panelText(2).isEmpty());
    EXPECT_EQ(terminator.calls(), 0);
}

} // namespace
