// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/projects/projectstate.h"
#include "core/settings/session.h"
#include "projects/frmnewplanwizard.h"
#include "support/scripteddialogs.h"
#include "support/tempappfolder.h"
#include "support/terminatorspy.h"
#include "ui/newplanwizardform.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

// The wizard opened from the project dialog, driven handler by handler.
class WizardTest : public ::testing::Test {
protected:
    TempAppFolder app;
    ScriptedDialogs dialogs;
    TerminatorSpy terminator;
    ProjectState project;
    std::unique_ptr<FrmNewPlanWizard> wizard;

    void SetUp() override { session().appFolder = app.path(); }
    void TearDown() override {
        wizard.reset();
        session() = Session();
    }

    void open(const QStringList& existing = {}) {
        PlanList plans;
        for (const QString& name : existing) {
            PlanInfo p;
            p.planName = name;
            p.transFilePath = app.file(name + QStringLiteral(".rtf"));
            p.transFileName = name + QStringLiteral(".rtf");
            plans.push_back(p);
        }
        projectfiles::savePlanList(app.path(), plans);
        wizard =
            std::make_unique<FrmNewPlanWizard>(project, FrmNewPlanWizard::Purpose::ProjectList);
        wizard->formLoad();
    }
    NewPlanWizardForm* f() const { return wizard->form(); }

    // Next on page 1 with this name; true when page 2 came.
    bool nameAndNext(const QString& name) {
        f()->txtNewPlanName->setText(name);
        wizard->cmdNextClick();
        return f()->page() == 2;
    }
    void toPageThreeWithoutOriginal() {
        ASSERT_TRUE(nameAndNext(QStringLiteral("新しい作業")));
        f()->Option1[1]->click();
        wizard->cmdNextClick();
        ASSERT_EQ(f()->page(), 3);
    }
    void chooseTranslation(const QString& path) {
        dialogs.expectSaveFile(path);
        wizard->cmdSaveTransFileClick();
    }
};

TEST_F(WizardTest, PageOneRefusesBadNamesAndAcceptsACaseOnlyDifference) {
    open({QStringLiteral("cat"), QStringLiteral("犬")});
    ASSERT_EQ(f()->List1->count(), 2);
    EXPECT_EQ(f()->List1->item(1)->text(), QStringLiteral("犬"));
    EXPECT_FALSE(f()->cmdNext->isEnabled());
    EXPECT_FALSE(f()->cmdBack->isEnabled());
    EXPECT_FALSE(f()->cmdOK->isEnabled());

    dialogs.expectMessage(Answer::Ok);
    EXPECT_FALSE(nameAndNext(QString()));
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("入力ｴﾗｰ"));
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("新規ﾌﾟﾛｼﾞｪｸﾄ名が入力されていません。"));

    dialogs.expectMessage(Answer::Ok, QStringLiteral("すでに同じ名前のﾌﾟﾛｼﾞｪｸﾄ名が存在します。"));
    EXPECT_FALSE(nameAndNext(QStringLiteral("犬")));
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄ名ｴﾗｰ"));

    // "###" marks deleted entries; a quote would break the record; the code page cannot hold
    // the others.
    for (const QString& bad : {QStringLiteral("###"), QStringLiteral("a\"b"),
                               QStringLiteral("한국어"), QStringLiteral("x😀")}) {
        dialogs.expectMessage(Answer::Ok);
        EXPECT_FALSE(nameAndNext(bad)) << bad.toStdString();
        EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄ名ｴﾗｰ"));
    }
    EXPECT_TRUE(f()->cmdNext->isEnabled());
    f()->txtNewPlanName->clear();
    EXPECT_FALSE(f()->cmdNext->isEnabled());

    EXPECT_TRUE(nameAndNext(QStringLiteral("Cat")));
    EXPECT_TRUE(f()->cmdBack->isEnabled());
    EXPECT_TRUE(dialogs.done());
}

TEST_F(WizardTest, EnterOnPageOneMovesOnAsNextDoes) {
    open({QStringLiteral("cat")});
    f()->show();
    // Without a name there is nowhere to go: no page, no message.
    QTest::keyClick(f()->txtNewPlanName, Qt::Key_Return);
    EXPECT_EQ(f()->page(), 1);
    // A name taken already is refused as Next refuses it.
    QTest::keyClicks(f()->txtNewPlanName, "cat");
    dialogs.expectMessage(Answer::Ok, QStringLiteral("すでに同じ名前のﾌﾟﾛｼﾞｪｸﾄ名が存在します。"));
    QTest::keyClick(f()->txtNewPlanName, Qt::Key_Return);
    EXPECT_EQ(f()->page(), 1);
    EXPECT_TRUE(dialogs.done());

    QTest::keyClicks(f()->txtNewPlanName, "s");
    QTest::keyClick(f()->txtNewPlanName, Qt::Key_Return);
    EXPECT_EQ(f()->page(), 2);
    EXPECT_EQ(wizard->pending().planName, QStringLiteral("cats"));
    // Enter on page 2 chooses nothing and does not move on by itself.
    QTest::keyClick(f()->Option1[1], Qt::Key_Return);
    EXPECT_EQ(f()->page(), 2);

    // The keypad's Enter in the list of names does the same.
    wizard->cmdBackClick();
    ASSERT_EQ(f()->page(), 1);
    f()->txtNewPlanName->setText(QStringLiteral("dogs"));
    QTest::keyClick(f()->List1, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(f()->page(), 2);
    EXPECT_EQ(wizard->pending().planName, QStringLiteral("dogs"));
}

TEST_F(WizardTest, AnEmptyListSaysSo) {
    open();
    ASSERT_EQ(f()->List1->count(), 1);
    EXPECT_EQ(f()->List1->item(0)->text(), QStringLiteral("現在未登録です"));
}

TEST_F(WizardTest, PageTwoWantsTheOriginalFileWhenOneIsToBeUsed) {
    open({QStringLiteral("猫")});
    ASSERT_TRUE(nameAndNext(QStringLiteral("鳥")));
    EXPECT_TRUE(f()->Option1[0]->isChecked());
    EXPECT_TRUE(f()->cmdNext->isEnabled());
    dialogs.expectMessage(Answer::Ok, QStringLiteral("取込む<原文>ﾌｧｲﾙを選択して下さい。"));
    wizard->cmdNextClick();
    EXPECT_EQ(f()->page(), 2);

    const QString org = app.file(QStringLiteral("原文.txt"));
    dialogs.expectOpenFile(org);
    wizard->cmdSelectOrgFileClick();
    EXPECT_EQ(f()->lblOrgFileName->text(), QStringLiteral("原文.txt"));
    const FileRequest& request = dialogs.fileRequests().last();
    EXPECT_EQ(request.title, QStringLiteral("<原文>ﾌｧｲﾙを選択して下さい"));
    EXPECT_EQ(request.folder, app.path());
    EXPECT_EQ(request.filter,
              QStringLiteral("ﾘｯﾁﾃｷｽﾄ(*.rtf);;ﾃｷｽﾄ(*.txt);;Word 文書 (*.docx *.doc);;"
                             "OpenDocument 文書 (*.odt);;すべて (*)"));
    EXPECT_EQ(request.selectedFilter, QStringLiteral("すべて (*)"));

    // Switching to "none" and back brings the picked file back.
    f()->Option1[1]->click();
    EXPECT_TRUE(f()->lblOrgFileName->text().isEmpty());
    EXPECT_FALSE(f()->cmdSelectOrgFile->isEnabled());
    f()->Option1[0]->click();
    EXPECT_EQ(f()->lblOrgFileName->text(), QStringLiteral("原文.txt"));
    wizard->cmdNextClick();
    EXPECT_EQ(f()->page(), 3);
    EXPECT_FALSE(f()->cmdNext->isEnabled());
    EXPECT_EQ(wizard->pending().orgFilePath, org);
    EXPECT_TRUE(wizard->pending().useOrgFile);

    // Back to page 1, another name: the duplicate check runs again.
    wizard->cmdBackClick();
    EXPECT_EQ(f()->page(), 2);
    EXPECT_TRUE(f()->cmdNext->isEnabled());
    EXPECT_FALSE(f()->cmdOK->isEnabled());
    wizard->cmdBackClick();
    EXPECT_EQ(f()->page(), 1);
    EXPECT_FALSE(f()->cmdBack->isEnabled());
    dialogs.expectMessage(Answer::Ok, QStringLiteral("すでに同じ名前"));
    EXPECT_FALSE(nameAndNext(QStringLiteral("猫")));

    // A cancelled pick leaves nothing picked.
    ASSERT_TRUE(nameAndNext(QStringLiteral("鳥")));
    dialogs.expectOpenFile(std::nullopt);
    wizard->cmdSelectOrgFileClick();
    EXPECT_TRUE(f()->lblOrgFileName->text().isEmpty());
    EXPECT_TRUE(dialogs.done());
}

TEST_F(WizardTest, TheCommentFileIsNamedAfterTheTranslationWhileCheck1IsChecked) {
    open();
    toPageThreeWithoutOriginal();
    EXPECT_TRUE(f()->Check1->isChecked());
    chooseTranslation(app.file(QStringLiteral("訳文")));
    const FileRequest& request = dialogs.fileRequests().last();
    EXPECT_EQ(request.title, QStringLiteral("<訳文>ﾌｧｲﾙを名前を付けて保存します"));
    EXPECT_EQ(request.folder, app.path());
    EXPECT_EQ(request.filter, QStringLiteral("ﾘｯﾁﾃｷｽﾄ(*.rtf);;ﾃｷｽﾄ(*.txt)"));
    EXPECT_EQ(request.defaultSuffix, QStringLiteral("rtf"));
    EXPECT_EQ(f()->lblTransFileName->text(), QStringLiteral("訳文.rtf"));
    EXPECT_EQ(f()->lblCmntFileName->text(), QStringLiteral("Cm_訳文.rtf"));
    EXPECT_EQ(wizard->pending().cmntFilePath, app.file(QStringLiteral("Cm_訳文.rtf")));
    EXPECT_TRUE(f()->cmdOK->isEnabled());
    EXPECT_FALSE(app.exists(QStringLiteral("訳文.rtf"))); // not made until the project is used

    f()->Check1->click();
    EXPECT_TRUE(f()->lblCmntFileName->text().isEmpty());
    EXPECT_FALSE(wizard->pending().useCmnt);
    EXPECT_TRUE(wizard->pending().cmntFilePath.isEmpty());
    // Checked again, the box means what it says: the comment file is back.
    f()->Check1->click();
    EXPECT_EQ(f()->lblCmntFileName->text(), QStringLiteral("Cm_訳文.rtf"));
    EXPECT_TRUE(wizard->pending().useCmnt);

    // A cancelled save dialog changes nothing.
    dialogs.expectSaveFile(std::nullopt);
    wizard->cmdSaveTransFileClick();
    EXPECT_EQ(f()->lblTransFileName->text(), QStringLiteral("訳文.rtf"));
}

TEST_F(WizardTest, FinishingForTheProjectListOnlyAddsToTheList) {
    open({QStringLiteral("猫")});
    toPageThreeWithoutOriginal();
    f()->Check1->click();
    chooseTranslation(app.file(QStringLiteral("新.rtf")));
    const QStringList before = app.entries();
    wizard->cmdOKClick();
    const PlanList plans = projectfiles::loadPlanList(app.path());
    ASSERT_EQ(plans.size(), 2u);
    const PlanInfo& made = plans[1];
    EXPECT_EQ(made.planName, QStringLiteral("新しい作業"));
    EXPECT_EQ(made.transFilePath, app.file(QStringLiteral("新.rtf")));
    EXPECT_FALSE(made.useOrgFile);
    EXPECT_FALSE(made.useCmnt);
    EXPECT_TRUE(made.stackedPanes);
    EXPECT_EQ(app.entries(), before); // trinfo.vtd rewritten; no documents, no ctrinfo.vtd
    EXPECT_FALSE(app.exists(projectfiles::CurrentPlanFile));
    EXPECT_FALSE(project.projectInUse());
}

// The page-2 choice belongs to the project being made: the project in use keeps its original
// pane whether the wizard is finished for the list or cancelled, and a second visit of page 2
// still offers what was chosen there.
TEST_F(WizardTest, ThePageTwoChoiceLeavesTheProjectInUseAlone) {
    for (const bool finish : {true, false}) {
        open({QStringLiteral("猫")});
        project.useOrgFile = true;
        toPageThreeWithoutOriginal();
        wizard->cmdBackClick();
        wizard->cmdBackClick();
        ASSERT_TRUE(nameAndNext(QStringLiteral("鳥")));
        EXPECT_TRUE(f()->Option1[1]->isChecked());
        wizard->cmdNextClick();
        chooseTranslation(app.file(QStringLiteral("鳥.rtf")));
        if (finish)
            wizard->cmdOKClick();
        else
            wizard->cmdCancelClick();
        EXPECT_TRUE(project.useOrgFile) << finish;
    }
}

TEST_F(WizardTest, CancelKeepsTheWorkMarkedUnsaved) {
    open();
    project.transModified = true;
    project.wizardForSave = true;
    toPageThreeWithoutOriginal();
    chooseTranslation(app.file(QStringLiteral("新.rtf")));
    wizard->cmdCancelClick();
    EXPECT_TRUE(project.transModified);
    EXPECT_FALSE(project.wizardForSave);
    EXPECT_FALSE(app.exists(projectfiles::PlanListFile));
}

} // namespace
