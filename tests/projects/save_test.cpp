// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/projects/projectstate.h"
#include "projects/commentcommands.h"
#include "projects_fixture.h"
#include "support/failingdisk.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

class SaveTest : public ProjectsTest {
protected:
    // A project "猫" in use whose translation file holds "I am a cat.".
    void startWithProject() {
        const PlanInfo p = plan(QStringLiteral("猫"), {}, QStringLiteral("猫.rtf"));
        writeDocument(p.transFilePath, QStringLiteral("{\\rtf1\\ansi I am a cat.\\par}"));
        projectfiles::savePlanList(app.path(), {p});
        projectfiles::saveCurrentPlan(app.path(), p);
        startEditor();
    }

    // A folder the program may not write into. Permissions do not stop root, so then a
    // read-only system folder stands in.
    QString readOnlyFolder() {
        const QString folder = app.file(QStringLiteral("読み取り専用"));
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        QFile probe(folder + QStringLiteral("/probe"));
        if (!probe.open(QIODevice::WriteOnly))
            return folder;
        probe.remove();
        return QStringLiteral("/sys");
    }
};

TEST_F(SaveTest, SaveOfUntitledWorkMakesAProjectThatReceivesIt) {
    startEditor();
    form()->Rtxt2->setPlainText(QStringLiteral("Untitled translation."));
    const QString trans = app.file(QStringLiteral("新しい訳.rtf"));
    dialogs.expectMessage(
        Answer::Ok,
        QStringLiteral("『新規ﾌﾟﾛｼﾞｪｸﾄ作成ｳｨｻﾞｰﾄﾞ』ﾀﾞｲｱﾛｸﾞﾎﾞｯｸｽを開いて新規作成します"));
    finishWizardWhenShown(QStringLiteral("新作"), trans, true);
    form()->mnuSave->trigger();

    EXPECT_EQ(dialogs.boxes().first().title, AppTitle);
    EXPECT_EQ(fileText(trans), QStringLiteral("Untitled translation."));
    EXPECT_TRUE(app.exists(QStringLiteral("Cm_新しい訳.rtf")));
    const std::optional<PlanInfo> current = projectfiles::loadCurrentPlan(app.path());
    ASSERT_TRUE(current);
    EXPECT_EQ(current->planName, QStringLiteral("新作"));
    EXPECT_EQ(projectfiles::loadPlanList(app.path()).size(), 1u);
    EXPECT_EQ(state().current.planName, QStringLiteral("新作"));
    EXPECT_FALSE(state().untitledWork);
    EXPECT_FALSE(state().transModified);
    EXPECT_FALSE(form()->mnuSave->isEnabled());
    EXPECT_TRUE(form()->mnuComment->isEnabled());
    EXPECT_EQ(form()->panelText(1), QStringLiteral("新作"));
    EXPECT_EQ(form()->panelText(3), QStringLiteral("新しい訳.rtf"));
    EXPECT_EQ(paneText(form()->Rtxt2), QStringLiteral("Untitled translation."));
    EXPECT_TRUE(dialogs.done());
}

TEST_F(SaveTest, AnExistingTranslationFileChosenInTheWizardReceivesTheUntitledWork) {
    const QString trans = app.file(QStringLiteral("既存.rtf"));
    writeDocument(trans, QStringLiteral("{\\rtf1\\ansi Old text.\\par}"));
    const QString org = app.file(QStringLiteral("原文.txt"));
    writeDocument(org, QStringLiteral("Original."));
    startEditor();
    form()->Rtxt2->setPlainText(QStringLiteral("New work."));
    dialogs.expectMessage(Answer::Ok);
    finishWizardWhenShown(QStringLiteral("上書き"), trans, false, org);
    form()->mnuSave->trigger();
    EXPECT_EQ(fileText(trans), QStringLiteral("New work."));
    EXPECT_EQ(paneText(form()->Rtxt2), QStringLiteral("New work."));
    EXPECT_EQ(paneText(form()->Rtxt1), QStringLiteral("Original."));
    EXPECT_FALSE(app.exists(QStringLiteral("Cm_既存.rtf")));
    EXPECT_FALSE(form()->mnuComment->isEnabled());
}

TEST_F(SaveTest, CancellingTheWizardKeepsTheWorkUnsaved) {
    startEditor();
    form()->Rtxt2->setPlainText(QStringLiteral("Draft."));
    dialogs.expectMessage(Answer::Ok);
    whenShown(QStringLiteral("frmNewPlanWizard"),
              [](QWidget* w) { static_cast<NewPlanWizardForm*>(w)->cmdCancel->click(); });
    form()->mnuSave->trigger();
    EXPECT_TRUE(form()->mnuSave->isEnabled());
    EXPECT_TRUE(state().transModified);
    EXPECT_FALSE(state().wizardForSave);
    EXPECT_EQ(paneText(form()->Rtxt2), QStringLiteral("Draft."));
    EXPECT_FALSE(app.exists(projectfiles::PlanListFile));
    EXPECT_FALSE(app.exists(projectfiles::CurrentPlanFile));
}

TEST_F(SaveTest, UntitledWorkBesideAProjectInUseGoesIntoANewProject) {
    // Untitled work while a project with comments is in use, as restored unsaved work of no
    // project leaves the editor.
    const PlanInfo cat = plan(QStringLiteral("猫"), {}, QStringLiteral("猫.rtf"), true);
    writeDocument(cat.transFilePath, QStringLiteral("{\\rtf1\\ansi I am a cat.\\par}"));
    projectfiles::savePlanList(app.path(), {cat});
    projectfiles::saveCurrentPlan(app.path(), cat);
    startEditor();
    CommentCommands* comments = commands->comments();
    ASSERT_NE(comments->window(), nullptr);
    comments->pane()->setPlainText(QStringLiteral("Notes on the cat."));
    state().untitledWork = true;
    form()->Rtxt2->setPlainText(QStringLiteral("Draft."));
    const QString text =
        QStringLiteral("『新規ﾌﾟﾛｼﾞｪｸﾄ作成ｳｨｻﾞｰﾄﾞ』ﾀﾞｲｱﾛｸﾞﾎﾞｯｸｽを開いて新規作成します");

    // Cancelled: the project's comment window has gone with its notes saved; the work is still
    // unsaved and the project's own files are untouched.
    dialogs.expectMessage(Answer::Ok, text);
    whenShown(QStringLiteral("frmNewPlanWizard"),
              [](QWidget* w) { static_cast<NewPlanWizardForm*>(w)->cmdCancel->click(); });
    form()->mnuSave->trigger();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("新規作成処理"));
    EXPECT_EQ(dialogs.lastBox().buttons, MessageButtons::Ok);
    EXPECT_EQ(comments->window(), nullptr);
    EXPECT_FALSE(form()->mnuComment->isEnabled());
    EXPECT_EQ(fileText(cat.cmntFilePath), QStringLiteral("Notes on the cat."));
    EXPECT_TRUE(form()->mnuSave->isEnabled());
    EXPECT_TRUE(form()->toolButton(QStringLiteral("save"))->isEnabled());
    EXPECT_TRUE(state().transModified);
    EXPECT_TRUE(state().untitledWork);
    EXPECT_EQ(state().current.planName, QStringLiteral("猫"));
    EXPECT_EQ(fileText(cat.transFilePath), QStringLiteral("I am a cat."));
    EXPECT_EQ(paneText(form()->Rtxt2), QStringLiteral("Draft."));

    // Finished: the new project is in use and holds the work.
    const QString trans = app.file(QStringLiteral("犬.rtf"));
    dialogs.expectMessage(Answer::Ok, text);
    finishWizardWhenShown(QStringLiteral("犬"), trans, true);
    form()->mnuSave->trigger();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("新規作成処理"));
    EXPECT_EQ(fileText(trans), QStringLiteral("Draft."));
    EXPECT_EQ(fileText(cat.transFilePath), QStringLiteral("I am a cat."));
    EXPECT_EQ(state().current.planName, QStringLiteral("犬"));
    EXPECT_EQ(projectfiles::loadCurrentPlan(app.path())->planName, QStringLiteral("犬"));
    EXPECT_EQ(projectfiles::loadPlanList(app.path()).size(), 2u);
    EXPECT_FALSE(state().untitledWork);
    EXPECT_FALSE(state().transModified);
    EXPECT_FALSE(form()->mnuSave->isEnabled());
    ASSERT_NE(comments->window(), nullptr);
    EXPECT_TRUE(comments->pane()->document()->isEmpty());
    EXPECT_TRUE(app.exists(QStringLiteral("Cm_犬.rtf")));
    EXPECT_EQ(form()->panelText(1), QStringLiteral("犬"));
    EXPECT_TRUE(dialogs.done());
}

TEST_F(SaveTest, ASaveIntoAReadOnlyFolderIsReportedAndKeepsTheWork) {
    startEditor();
    const QString trans = readOnlyFolder() + QStringLiteral("/訳.rtf");
    form()->Rtxt2->setPlainText(QStringLiteral("Precious work."));
    dialogs.expectMessage(Answer::Ok); // the wizard is coming
    whenShown(QStringLiteral("frmNewPlanWizard"), [&](QWidget* w) {
        auto* f = static_cast<NewPlanWizardForm*>(w);
        fillWizard(f, QStringLiteral("保存先なし"), trans, false);
        dialogs.expectMessage(Answer::Ok, trans);
        f->cmdOK->click();
        // The work has no place yet: the wizard stays for another file, or Cancel.
        EXPECT_TRUE(f->isVisible());
        f->cmdCancel->click();
    });
    form()->mnuSave->trigger();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("保存ｴﾗｰ"));
    EXPECT_EQ(terminator.calls(), 0);
    EXPECT_FALSE(state().projectInUse());
    EXPECT_FALSE(app.exists(projectfiles::PlanListFile));
    EXPECT_TRUE(form()->mnuSave->isEnabled());
    EXPECT_EQ(paneText(form()->Rtxt2), QStringLiteral("Precious work."));
    EXPECT_TRUE(dialogs.done());
}

// The project files cannot be written when the wizard finishes for Save: a full disk, then a
// ctrinfo.vtd that cannot be replaced. Each is reported by name, the wizard stays, the program
// goes on, and after Cancel the work is in the pane, unsaved, with no project made for it.
TEST_F(SaveTest, ProjectFilesThatCannotBeWrittenKeepTheWizardAndTheWork) {
    startEditor();
    form()->Rtxt2->setPlainText(QStringLiteral("Precious work."));
    for (const QString& unwritable : {projectfiles::PlanListFile, projectfiles::CurrentPlanFile}) {
        if (unwritable == projectfiles::CurrentPlanFile)
            QDir().mkpath(app.file(unwritable)); // a folder cannot be replaced by a file
        dialogs.expectMessage(Answer::Ok);       // the wizard is coming
        whenShown(QStringLiteral("frmNewPlanWizard"), [&](QWidget* w) {
            auto* f = static_cast<NewPlanWizardForm*>(w);
            f->txtNewPlanName->setText(QStringLiteral("満杯"));
            f->cmdNext->click();
            f->Option1[1]->click();
            f->cmdNext->click();
            dialogs.expectSaveFile(app.file(QStringLiteral("満杯.rtf")));
            f->cmdSaveTransFile->click();
            dialogs.expectMessage(Answer::Ok, unwritable);
            {
                FailingDisk full(unwritable == projectfiles::PlanListFile ? 0 : -1);
                full.onlyFor(unwritable);
                f->cmdOK->click();
            }
            EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("保存ｴﾗｰ"));
            EXPECT_TRUE(f->isVisible());
            f->cmdCancel->click();
        });
        form()->mnuSave->trigger();
        EXPECT_EQ(terminator.calls(), 0);
        EXPECT_FALSE(app.exists(projectfiles::PlanListFile));
        EXPECT_FALSE(app.exists(QStringLiteral("満杯.rtf")));
        EXPECT_FALSE(state().projectInUse());
        EXPECT_TRUE(form()->mnuSave->isEnabled());
        EXPECT_TRUE(state().transModified);
        EXPECT_EQ(paneText(form()->Rtxt2), QStringLiteral("Precious work."));
    }
    EXPECT_TRUE(dialogs.done());
}

// Finishing the wizard for Save writes the work before the project files, which make the
// project: a translation that cannot be written leaves no project listed or in use, and a project
// file that cannot be written leaves no new document behind.
TEST_F(SaveTest, TheWizardWritesTheWorkBeforeTheProjectFiles) {
    startEditor();
    form()->Rtxt2->setPlainText(QStringLiteral("Precious work."));
    const QString trans = app.file(QStringLiteral("先.rtf"));
    dialogs.expectMessage(Answer::Ok); // the wizard is coming
    whenShown(QStringLiteral("frmNewPlanWizard"), [&](QWidget* w) {
        auto* f = static_cast<NewPlanWizardForm*>(w);
        fillWizard(f, QStringLiteral("先"), trans, false);
        dialogs.expectMessage(Answer::Ok, trans);
        {
            FailingDisk full(0);
            full.onlyFor(QStringLiteral("先.rtf"));
            f->cmdOK->click();
        }
        EXPECT_TRUE(f->isVisible());
        EXPECT_FALSE(app.exists(projectfiles::PlanListFile));
        EXPECT_FALSE(app.exists(projectfiles::CurrentPlanFile));
        f->cmdCancel->click();
    });
    form()->mnuSave->trigger();
    EXPECT_FALSE(state().projectInUse());
    EXPECT_TRUE(state().transModified);
    EXPECT_EQ(paneText(form()->Rtxt2), QStringLiteral("Precious work."));
    EXPECT_TRUE(dialogs.done());
}

TEST_F(SaveTest, SaveOfTheProjectInUseSavesTheCommentThroughItsHook) {
    const PlanInfo p = plan(QStringLiteral("猫"), {}, QStringLiteral("猫.rtf"), true);
    writeDocument(p.transFilePath, QStringLiteral("{\\rtf1\\ansi I am a cat.\\par}"));
    projectfiles::saveCurrentPlan(app.path(), p);
    startEditor();
    int commentSaves = 0;
    projects()->commentHooks().save = [&] {
        ++commentSaves;
        return true;
    };
    form()->Rtxt2->setPlainText(QStringLiteral("I am a dog."));
    form()->mnuSave->trigger();
    EXPECT_EQ(commentSaves, 1);
    EXPECT_EQ(fileText(p.transFilePath), QStringLiteral("I am a dog."));
    EXPECT_FALSE(form()->mnuSave->isEnabled());
}

TEST_F(SaveTest, NewOffersToSaveChangedWork) {
    startWithProject();
    const QString trans = app.file(QStringLiteral("猫.rtf"));
    const QString question = QStringLiteral("新規作成する前に現在の内容の変更を保存しますか？");

    // Cancel: nothing changes.
    form()->Rtxt2->setPlainText(QStringLiteral("Changed."));
    dialogs.expectMessage(Answer::Cancel, question);
    form()->mnuNew->trigger();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("変更内容の保存の確認"));
    EXPECT_EQ(dialogs.lastBox().buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(paneText(form()->Rtxt2), QStringLiteral("Changed."));
    EXPECT_EQ(state().current.planName, QStringLiteral("猫"));
    EXPECT_EQ(fileText(trans), QStringLiteral("I am a cat."));

    // Yes: saved, then the panes are emptied into untitled work and the project is let go.
    dialogs.expectMessage(Answer::Yes, question);
    form()->toolButton(QStringLiteral("new"))->trigger();
    EXPECT_EQ(fileText(trans), QStringLiteral("Changed."));
    EXPECT_TRUE(form()->Rtxt2->document()->isEmpty());
    EXPECT_TRUE(state().untitledWork);
    EXPECT_FALSE(state().projectInUse());
    EXPECT_TRUE(form()->Rtxt1->isReadOnly());
    EXPECT_TRUE(form()->panelText(1).isEmpty());
    const std::optional<PlanInfo> current = projectfiles::loadCurrentPlan(app.path());
    ASSERT_TRUE(current);
    EXPECT_EQ(*current, PlanInfo());
    EXPECT_TRUE(dialogs.done());
}

TEST_F(SaveTest, NewAsksWhenOnlyTheEditedOriginalChangedAndCancelKeepsIt) {
    const PlanInfo p =
        plan(QStringLiteral("猫"), QStringLiteral("原文.rtf"), QStringLiteral("猫.rtf"));
    writeDocument(p.orgFilePath, QStringLiteral("{\\rtf1\\ansi Original.\\par}"));
    writeDocument(p.transFilePath, QStringLiteral("{\\rtf1\\ansi I am a cat.\\par}"));
    projectfiles::savePlanList(app.path(), {p});
    projectfiles::saveCurrentPlan(app.path(), p);
    startEditor();
    ASSERT_EQ(paneText(form()->Rtxt1), QStringLiteral("Original."));
    // Editing the original allowed, as the options dialog does it; the translation untouched.
    state().allowOrgEdit = true;
    form()->Rtxt1->setReadOnly(false);
    form()->Rtxt1->setFocus();
    form()->Rtxt1->moveCursor(QTextCursor::End);
    QTest::keyClicks(form()->Rtxt1, QStringLiteral(" Edited"));
    ASSERT_EQ(paneText(form()->Rtxt1), QStringLiteral("Original. Edited"));
    ASSERT_FALSE(state().transModified);

    dialogs.expectMessage(Answer::Cancel,
                          QStringLiteral("新規作成する前に現在の内容の変更を保存しますか？"));
    form()->mnuNew->trigger();
    EXPECT_TRUE(dialogs.done()) << "the changed original was not asked about";
    EXPECT_EQ(paneText(form()->Rtxt1), QStringLiteral("Original. Edited"));
    EXPECT_FALSE(form()->Rtxt1->isReadOnly());
    EXPECT_EQ(paneText(form()->Rtxt2), QStringLiteral("I am a cat."));
    EXPECT_EQ(state().current.planName, QStringLiteral("猫"));
    EXPECT_FALSE(state().untitledWork);
    EXPECT_TRUE(state().orgModified);
    EXPECT_EQ(fileText(p.orgFilePath), QStringLiteral("Original."));
}

TEST_F(SaveTest, NewWithNoDiscardsAndWithoutAProjectWritesNoProjectFile) {
    startWithProject();
    form()->Rtxt2->setPlainText(QStringLiteral("Thrown away."));
    dialogs.expectMessage(Answer::No);
    form()->mnuNew->trigger();
    EXPECT_EQ(fileText(app.file(QStringLiteral("猫.rtf"))), QStringLiteral("I am a cat."));
    EXPECT_TRUE(form()->Rtxt2->document()->isEmpty());

    // No project in use any more, nothing changed: no question, and ctrinfo.vtd is left alone.
    QFile::remove(app.file(projectfiles::CurrentPlanFile));
    form()->mnuNew->trigger();
    EXPECT_FALSE(app.exists(projectfiles::CurrentPlanFile));
    EXPECT_TRUE(state().untitledWork);
    EXPECT_TRUE(dialogs.done());
}

} // namespace
