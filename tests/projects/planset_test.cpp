// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/projects/projectstate.h"
#include "projects/frmplanset.h"
#include "projects_fixture.h"
#include "support/failingdisk.h"
#include "ui/plansetform.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Projects "一" and "二", each with an original and a translation, "一" in use.
class PlanSetTest : public ProjectsTest {
protected:
    PlanInfo one, two;

    void SetUp() override {
        ProjectsTest::SetUp();
        one = plan(QStringLiteral("一"), QStringLiteral("一原.txt"), QStringLiteral("一訳.rtf"));
        two = plan(QStringLiteral("二"), QStringLiteral("二原.txt"), QStringLiteral("二訳.rtf"),
                   true);
        writeDocument(one.orgFilePath, QStringLiteral("Original one."));
        writeDocument(one.transFilePath, QStringLiteral("{\\rtf1\\ansi Translation one.\\par}"));
        writeDocument(two.orgFilePath, QStringLiteral("Original two."));
        writeDocument(two.transFilePath, QStringLiteral("{\\rtf1\\ansi Translation two.\\par}"));
    }

    void startWith(const PlanList& plans, const PlanInfo& current) {
        projectfiles::savePlanList(app.path(), plans);
        projectfiles::saveCurrentPlan(app.path(), current);
        startEditor();
    }

    PlanSetForm* openDialog() {
        form()->mnuOpen->trigger();
        FrmPlanSet* set = projects()->planSet();
        EXPECT_NE(set, nullptr);
        EXPECT_TRUE(set->form()->isVisible());
        return set->form();
    }
    void choose(PlanSetForm* d, const QString& name) {
        d->Combo1->setCurrentIndex(d->Combo1->findText(name));
    }
    // The project's translation is the file at path now: in the status bar, in the project in
    // use that the next start opens and in the project list; its comment file stays as it was.
    void expectTranslationMovedTo(const PlanInfo& project, const QString& path) {
        PlanInfo moved = project;
        moved.transFilePath = path;
        moved.transFileName = QFileInfo(path).fileName();
        EXPECT_EQ(form()->panelText(3), moved.transFileName);
        EXPECT_EQ(state().current, moved);
        EXPECT_EQ(projectfiles::loadCurrentPlan(app.path()), moved);
        const PlanList listed = projectfiles::loadPlanList(app.path());
        EXPECT_EQ(std::count(listed.begin(), listed.end(), moved), 1);
        EXPECT_EQ(listed.size(), 2u);
    }
};

TEST_F(PlanSetTest, OpeningAnotherProjectLoadsItsDocumentsAndComment) {
    startWith({one, two}, one);
    int commentLoads = 0;
    const auto load = projects()->commentHooks().load;
    projects()->commentHooks().load = [&] {
        ++commentLoads;
        load();
    };
    PlanSetForm* d = openDialog();
    EXPECT_EQ(d->Combo1->count(), 2);
    EXPECT_EQ(d->Combo1->currentText(), QStringLiteral("一"));
    EXPECT_TRUE(d->cmdDelete->isEnabled());
    choose(d, QStringLiteral("二"));
    d->cmdOK->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(paneText(form()->Rtxt1), QStringLiteral("Original two."));
    EXPECT_EQ(paneText(form()->Rtxt2), QStringLiteral("Translation two."));
    EXPECT_EQ(form()->panelText(1), QStringLiteral("二"));
    EXPECT_EQ(form()->panelText(2), two.orgFilePath);
    EXPECT_EQ(projectfiles::loadCurrentPlan(app.path())->planName, QStringLiteral("二"));
    EXPECT_EQ(commentLoads, 1);
    EXPECT_TRUE(app.exists(QStringLiteral("Cm_二訳.rtf")));
    EXPECT_TRUE(form()->mnuComment->isEnabled());
    EXPECT_TRUE(dialogs.boxes().isEmpty());
}

// A kill during a save leaves a temporary file beside the document. Opening the project that
// names the document removes those of its own documents, at start and through the dialog, and no
// other file.
TEST_F(PlanSetTest, OpeningAProjectRemovesWhatInterruptedSavesOfItsDocumentsLeft) {
    const QStringList ofOne = {QStringLiteral("一訳.rtf.verbanta-Ab12cd.tmp"),
                               QStringLiteral("一原.txt.verbanta-zz9Z00.tmp")};
    const QStringList ofTwo = {QStringLiteral("二訳.rtf.verbanta-Qq0000.tmp"),
                               QStringLiteral("Cm_二訳.rtf.verbanta-x1y2z3.tmp")};
    const QStringList others = {QStringLiteral("他.rtf.verbanta-Ab12cd.tmp"),
                                QStringLiteral("一訳.rtf.verbanta-toolong.tmp"),
                                QStringLiteral("一訳.rtf.verbanta-Ab12cd.tmp.keep"),
                                QStringLiteral("x一訳.rtf.verbanta-Ab12cd.tmp")};
    for (const QString& name : ofOne + ofTwo + others)
        app.write(name, "half");
    startWith({one, two}, one);
    for (const QString& name : ofOne)
        EXPECT_FALSE(app.exists(name)) << name.toStdString();
    for (const QString& name : ofTwo + others)
        EXPECT_TRUE(app.exists(name)) << name.toStdString();

    PlanSetForm* d = openDialog();
    choose(d, QStringLiteral("二"));
    d->cmdOK->click();
    ASSERT_EQ(form()->panelText(1), QStringLiteral("二"));
    for (const QString& name : ofTwo)
        EXPECT_FALSE(app.exists(name)) << name.toStdString();
    for (const QString& name : others)
        EXPECT_TRUE(app.exists(name)) << name.toStdString();
    EXPECT_TRUE(dialogs.done());
}

// Project files damaged from outside never lock the user out: the editor opens with no project
// in use, the project dialog lists what could be read, and a project naming one of the
// program's own files as a document is refused before it can be written over.
TEST_F(PlanSetTest, DamagedProjectFilesAreReportedAndTheEditorGoesOn) {
    PlanInfo hostile = plan(QStringLiteral("乗っ取り"), {}, QStringLiteral("x.rtf"));
    hostile.transFilePath = app.file(QStringLiteral("curFData.vtd"));
    app.write(QStringLiteral("curFData.vtd"), "\"英単語\"\r\n");
    app.write(projectfiles::PlanListFile, projectfiles::recordLine(one) + "\"cut\",\"\"\r\n" +
                                              projectfiles::recordLine(two) +
                                              projectfiles::recordLine(hostile));
    app.write(projectfiles::CurrentPlanFile, "garbage");
    app.write(projectfiles::TabStopsFile, "600\r\n960\r\n");
    dialogs.expectMessage(Answer::Ok, QStringLiteral("「trtabs.vtd」"))
        .expectMessage(Answer::Ok, QStringLiteral("「ctrinfo.vtd」"));
    startEditor();
    EXPECT_EQ(dialogs.boxes().value(0).title, projectfiles::DamageTitle);
    EXPECT_TRUE(dialogs.boxes().value(0).text.contains(QStringLiteral("ﾀﾌﾞ位置")));
    EXPECT_EQ(dialogs.lastBox().title, projectfiles::DamageTitle);
    EXPECT_EQ(state().tabStops, DefaultTabStops);
    EXPECT_EQ(terminator.calls(), 0);
    EXPECT_TRUE(form()->isVisible());
    EXPECT_FALSE(state().projectInUse());
    EXPECT_FALSE(app.exists(projectfiles::CurrentPlanFile));

    dialogs.expectMessage(Answer::Ok, QStringLiteral("「trinfo.vtd」"));
    PlanSetForm* d = openDialog();
    EXPECT_TRUE(dialogs.lastBox().text.contains(QStringLiteral("2 件")));
    EXPECT_EQ(d->Combo1->count(), 2);
    EXPECT_EQ(terminator.calls(), 0);
    choose(d, QStringLiteral("二"));
    d->cmdOK->click();
    EXPECT_EQ(paneText(form()->Rtxt2), QStringLiteral("Translation two."));
    EXPECT_EQ(app.read(QStringLiteral("curFData.vtd")), "\"英単語\"\r\n");
    // The damaged files are still there, under names of their own.
    EXPECT_EQ(app.entries().filter(QStringLiteral(".damaged-")).size(), 3);
    EXPECT_TRUE(dialogs.done());
}

TEST_F(PlanSetTest, ChangedWorkIsOfferedForSavingBeforeAnotherProjectComes) {
    startWith({one, two}, one);
    const QString question = QStringLiteral("閉じる前に現在の『翻訳部』の内容を保存しますか？");
    form()->Rtxt2->setPlainText(QStringLiteral("Changed one."));
    PlanSetForm* d = openDialog();
    choose(d, QStringLiteral("二"));

    dialogs.expectMessage(Answer::Cancel, question);
    d->cmdOK->click();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("変更内容の保存の確認"));
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(paneText(form()->Rtxt2), QStringLiteral("Changed one."));

    // The dialog's Cancel leaves the work as unsaved as it was.
    d->cmdCancel->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_TRUE(state().transModified);

    d = openDialog();
    choose(d, QStringLiteral("二"));
    dialogs.expectMessage(Answer::Yes, question);
    d->cmdOK->click();
    EXPECT_EQ(fileText(one.transFilePath), QStringLiteral("Changed one."));
    EXPECT_EQ(paneText(form()->Rtxt2), QStringLiteral("Translation two."));
    EXPECT_FALSE(state().transModified);

    // No: the changes go, the file stays as it was.
    form()->Rtxt2->setPlainText(QStringLiteral("Changed two."));
    d = openDialog();
    choose(d, QStringLiteral("一"));
    dialogs.expectMessage(Answer::No, question);
    d->cmdOK->click();
    EXPECT_EQ(fileText(two.transFilePath), QStringLiteral("Translation two."));
    EXPECT_EQ(paneText(form()->Rtxt2), QStringLiteral("Changed one."));
    EXPECT_TRUE(dialogs.done());
}

TEST_F(PlanSetTest, OpeningTheProjectInUseAgainKeepsThePanesAndLeavesTheCommentClosed) {
    startWith({one, two}, two);
    int unloads = 0;
    projects()->commentHooks().unload = [&] {
        ++unloads;
        return true;
    };
    // The project in use has its comment window loaded.
    state().cmntLoaded = true;
    form()->Rtxt2->setPlainText(QStringLiteral("Unsaved edit."));
    QFile::remove(app.file(projectfiles::CurrentPlanFile));
    PlanSetForm* d = openDialog();
    EXPECT_EQ(unloads, 1);
    EXPECT_FALSE(state().cmntLoaded);
    EXPECT_EQ(d->Combo1->currentText(), QStringLiteral("二"));
    d->cmdOK->click();
    EXPECT_EQ(paneText(form()->Rtxt2), QStringLiteral("Unsaved edit."));
    EXPECT_TRUE(app.exists(projectfiles::CurrentPlanFile));
    EXPECT_FALSE(form()->mnuComment->isEnabled());
    EXPECT_EQ(form()->panelText(1), QStringLiteral("二"));
    EXPECT_TRUE(dialogs.boxes().isEmpty());
}

// The dialog stays open beside the editor. New emptied the panes meanwhile: OK on the project
// that was in use loads it again instead of taking the empty panes for its documents.
TEST_F(PlanSetTest, OpeningTheFormerProjectAfterNewLoadsItAgain) {
    startWith({one, two}, one);
    PlanSetForm* d = openDialog();
    form()->mnuNew->trigger();
    ASSERT_TRUE(form()->Rtxt2->document()->isEmpty());
    ASSERT_TRUE(d->isVisible());
    choose(d, QStringLiteral("一"));
    d->cmdOK->click();
    EXPECT_EQ(state().current.planName, QStringLiteral("一"));
    EXPECT_FALSE(state().untitledWork);
    EXPECT_EQ(paneText(form()->Rtxt2), QStringLiteral("Translation one."));
    EXPECT_EQ(paneText(form()->Rtxt1), QStringLiteral("Original one."));
    form()->mnuSave->trigger();
    EXPECT_EQ(fileText(one.transFilePath), QStringLiteral("Translation one."));
    EXPECT_TRUE(dialogs.done());
}

TEST_F(PlanSetTest, DeletingOneOfSeveralAndThenTheOnlyOne) {
    startWith({one, two}, one);
    PlanSetForm* d = openDialog();
    choose(d, QStringLiteral("二"));
    dialogs.expectMessage(Answer::No, QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄ『二』を削除します"));
    d->cmdDelete->click();
    EXPECT_EQ(d->Combo1->count(), 2);

    dialogs.expectMessage(Answer::Yes);
    d->cmdDelete->click();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄの削除"));
    EXPECT_EQ(d->Combo1->count(), 1);
    EXPECT_EQ(d->Combo1->currentText(), QStringLiteral("一"));
    EXPECT_FALSE(d->cmdCancel->isEnabled());
    const PlanList left = projectfiles::loadPlanList(app.path());
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0], one);
    EXPECT_TRUE(app.exists(QStringLiteral("二訳.rtf"))); // documents are never deleted
    EXPECT_EQ(state().current.planName, QStringLiteral("一"));

    dialogs.expectMessage(Answer::Yes, QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄ『一』を削除します"));
    dialogs.expectMessage(Answer::Ok, QStringLiteral("既存のﾌﾟﾛｼﾞｪｸﾄはひとつもありません。"));
    d->cmdDelete->click();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄ情報"));
    EXPECT_FALSE(app.exists(projectfiles::PlanListFile));
    EXPECT_FALSE(app.exists(projectfiles::CurrentPlanFile));
    EXPECT_TRUE(d->cmdCancel->isEnabled());
    EXPECT_EQ(d->Combo1->count(), 0);
    EXPECT_TRUE(form()->Rtxt1->document()->isEmpty());
    EXPECT_TRUE(form()->Rtxt2->document()->isEmpty());
    EXPECT_TRUE(form()->panelText(1).isEmpty());
    EXPECT_EQ(state().current, PlanInfo());
    EXPECT_FALSE(form()->mnuComment->isEnabled());

    dialogs.expectMessage(Answer::Ok, QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄがひとつもありません"));
    d->cmdOK->click();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("開くﾌﾟﾛｼﾞｪｸﾄの確認"));
    EXPECT_TRUE(d->isVisible());
    EXPECT_TRUE(dialogs.done());
}

TEST_F(PlanSetTest, ADeletionThatCannotBeWrittenKeepsTheProjectAndTheProgram) {
    startWith({one, two}, one);
    form()->Rtxt2->setPlainText(QStringLiteral("Unsaved."));
    PlanSetForm* d = openDialog();
    choose(d, QStringLiteral("二"));
    dialogs.expectMessage(Answer::Yes).expectMessage(Answer::Ok, projectfiles::PlanListFile);
    {
        FailingDisk full(0);
        d->cmdDelete->click();
    }
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("保存ｴﾗｰ"));
    EXPECT_EQ(terminator.calls(), 0);
    EXPECT_EQ(d->Combo1->count(), 2);
    EXPECT_TRUE(d->cmdCancel->isEnabled());
    EXPECT_EQ(projectfiles::loadPlanList(app.path()), (PlanList{one, two}));
    EXPECT_EQ(paneText(form()->Rtxt2), QStringLiteral("Unsaved."));

    // With room again, the deletion goes through.
    dialogs.expectMessage(Answer::Yes);
    d->cmdDelete->click();
    EXPECT_EQ(projectfiles::loadPlanList(app.path()), PlanList{one});
    EXPECT_TRUE(dialogs.done());
}

TEST_F(PlanSetTest, AProjectInUseThatIsNoLongerListedLeavesTheFirstSelected) {
    PlanInfo gone = plan(QStringLiteral("三"), {}, QStringLiteral("三訳.rtf"));
    writeDocument(gone.transFilePath, QStringLiteral("{\\rtf1\\ansi Three.\\par}"));
    startWith({one, two}, gone);
    PlanSetForm* d = openDialog();
    EXPECT_EQ(d->Combo1->currentIndex(), 0);
    EXPECT_EQ(d->Combo1->currentText(), QStringLiteral("一"));
    EXPECT_TRUE(d->cmdDelete->isEnabled());
}

TEST_F(PlanSetTest, AProjectThatCannotBeMadeCurrentKeepsTheDialogAndTheProgram) {
    startWith({one, two}, one);
    PlanSetForm* d = openDialog();
    choose(d, QStringLiteral("二"));
    dialogs.expectMessage(Answer::Ok, projectfiles::CurrentPlanFile);
    {
        FailingDisk full(0);
        d->cmdOK->click();
    }
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("保存ｴﾗｰ"));
    EXPECT_EQ(terminator.calls(), 0);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(state().current.planName, QStringLiteral("一"));
    EXPECT_EQ(projectfiles::loadCurrentPlan(app.path())->planName, QStringLiteral("一"));
    EXPECT_EQ(paneText(form()->Rtxt2), QStringLiteral("Translation one."));
    d->cmdOK->click();
    EXPECT_EQ(state().current.planName, QStringLiteral("二"));
    EXPECT_TRUE(dialogs.done());
}

TEST_F(PlanSetTest, TypedNamesOpenOnlyAProjectOfThatName) {
    startWith({one, two}, one);
    PlanSetForm* d = openDialog();
    d->Combo1->setEditText(QStringLiteral("三"));
    dialogs.expectMessage(Answer::Ok, QStringLiteral("選択されたﾌﾟﾛｼﾞｪｸﾄが見つかりません"));
    d->cmdOK->click();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("開くﾌﾟﾛｼﾞｪｸﾄの確認"));
    EXPECT_TRUE(d->isVisible());
    dialogs.expectMessage(Answer::Ok,
                          QStringLiteral("削除するﾌﾞｯｸ名をﾄﾞﾛｯﾌﾟﾀﾞｳﾝしてから選び直して下さい"));
    d->cmdDelete->click();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄの選択確認"));
    EXPECT_EQ(projectfiles::loadPlanList(app.path()).size(), 2u);

    d->Combo1->setEditText(QStringLiteral("二"));
    d->cmdOK->click();
    EXPECT_EQ(state().current.planName, QStringLiteral("二"));
    EXPECT_EQ(paneText(form()->Rtxt2), QStringLiteral("Translation two."));
    EXPECT_TRUE(dialogs.done());
}

TEST_F(PlanSetTest, NewAddsToTheListWithoutMakingFiles) {
    startWith({one}, one);
    PlanSetForm* d = openDialog();
    const QStringList before = app.entries();
    finishWizardWhenShown(QStringLiteral("三"), app.file(QStringLiteral("三訳.rtf")), true);
    d->cmdNew->click();
    EXPECT_EQ(d->Combo1->count(), 2);
    EXPECT_EQ(d->Combo1->itemText(1), QStringLiteral("三"));
    EXPECT_EQ(d->Combo1->currentIndex(), 0);
    EXPECT_EQ(app.entries(), before);
    EXPECT_EQ(state().current.planName, QStringLiteral("一"));

    // Opened for the first time, the project makes its translation and comment files.
    choose(d, QStringLiteral("三"));
    d->cmdOK->click();
    EXPECT_TRUE(app.exists(QStringLiteral("三訳.rtf")));
    EXPECT_TRUE(app.exists(QStringLiteral("Cm_三訳.rtf")));
    EXPECT_TRUE(dialogs.done());
}

TEST_F(PlanSetTest, MissingDocumentsAreNamedAndTheRestLoads) {
    // The original has gone, and the comment file's folder with it: each is named once.
    two.cmntFilePath = app.file(QStringLiteral("なし/Cm_二訳.rtf"));
    startWith({one, two}, one);
    QFile::remove(two.orgFilePath);
    PlanSetForm* d = openDialog();
    choose(d, QStringLiteral("二"));
    dialogs.expectMessage(Answer::Ok, two.cmntFilePath);
    dialogs.expectMessage(Answer::Ok, two.orgFilePath);
    d->cmdOK->click();
    EXPECT_EQ(dialogs.boxes().first().title, QStringLiteral("保存ｴﾗｰ"));
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("読み込みｴﾗｰ"));
    EXPECT_EQ(paneText(form()->Rtxt2), QStringLiteral("Translation two."));
    EXPECT_TRUE(form()->Rtxt1->document()->isEmpty());
    EXPECT_EQ(terminator.calls(), 0);
    EXPECT_TRUE(dialogs.done());
}

// Cut off inside a group: part of it can be read, and that part is not the whole document.
const QByteArray Damaged = "{\\rtf1\\ansi Kept {\\b part";

TEST_F(PlanSetTest, UnreadableDocumentsAreNamedAndKeptUntilTheirPaneIsEdited) {
    startWith({one, two}, one);
    // A folder where the original and the comment file should be, a damaged translation.
    QFile::remove(two.orgFilePath);
    QDir().mkpath(two.orgFilePath);
    QDir().mkpath(two.cmntFilePath);
    app.write(two.transFileName, Damaged);
    PlanSetForm* d = openDialog();
    choose(d, QStringLiteral("二"));
    dialogs.expectMessage(Answer::Ok, two.cmntFilePath)
        .expectMessage(Answer::Ok, two.orgFilePath)
        .expectMessage(Answer::Ok, two.transFilePath);
    d->cmdOK->click();
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("読み込みｴﾗｰ"));
    EXPECT_EQ(terminator.calls(), 0);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(form()->panelText(1), QStringLiteral("二"));
    EXPECT_TRUE(paneText(form()->Rtxt2).startsWith(QStringLiteral("Kept")));
    EXPECT_TRUE(form()->mnuComment->isEnabled());

    // Save leaves the documents that could not be read as they are, the original too.
    state().saveOrgToo = true;
    form()->mnuSave->trigger();
    EXPECT_FALSE(form()->mnuSave->isEnabled());
    EXPECT_EQ(app.read(two.transFileName), Damaged);
    EXPECT_TRUE(QFileInfo(two.orgFilePath).isDir());
    EXPECT_TRUE(QFileInfo(two.cmntFilePath).isDir());
    EXPECT_TRUE(dialogs.done());

    // Once the pane is edited, Save asks before the damaged file is replaced, naming it:
    // Cancel saves nothing, No saves under another name.
    form()->Rtxt2->setPlainText(QStringLiteral("Rewritten."));
    dialogs.expectMessage(Answer::Cancel, two.transFilePath);
    form()->mnuSave->trigger();
    EXPECT_EQ(dialogs.lastBox().buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(app.read(two.transFileName), Damaged);
    EXPECT_TRUE(form()->mnuSave->isEnabled());

    const QString elsewhere = app.file(QStringLiteral("別名.rtf"));
    dialogs.expectMessage(Answer::No, two.transFilePath).expectSaveFile(elsewhere);
    form()->mnuSave->trigger();
    EXPECT_EQ(app.read(two.transFileName), Damaged);
    EXPECT_EQ(fileText(elsewhere), QStringLiteral("Rewritten."));
    EXPECT_FALSE(form()->mnuSave->isEnabled());
    expectTranslationMovedTo(two, elsewhere);
    // The other file is the translation now: later saves go there and ask nothing.
    form()->Rtxt2->setPlainText(QStringLiteral("Third."));
    form()->mnuSave->trigger();
    EXPECT_EQ(fileText(elsewhere), QStringLiteral("Third."));
    EXPECT_EQ(app.read(two.transFileName), Damaged);
    EXPECT_TRUE(dialogs.done());
}

TEST_F(PlanSetTest, UnreadableDocumentsAtStartAreNamedAndKeptBySave) {
    QFile::remove(two.orgFilePath);
    QDir().mkpath(two.orgFilePath);
    app.write(two.transFileName, Damaged);
    dialogs.expectMessage(Answer::Ok, two.orgFilePath).expectMessage(Answer::Ok, two.transFilePath);
    startWith({one, two}, two);
    EXPECT_EQ(terminator.calls(), 0);
    EXPECT_TRUE(form()->isVisible());
    EXPECT_EQ(form()->panelText(1), QStringLiteral("二"));
    EXPECT_TRUE(dialogs.done());

    state().saveOrgToo = true;
    form()->mnuSave->trigger();
    EXPECT_EQ(app.read(two.transFileName), Damaged);
    EXPECT_TRUE(QFileInfo(two.orgFilePath).isDir());
    EXPECT_TRUE(dialogs.done());

    // Yes replaces the damaged file, which is then read whole: later saves ask nothing.
    state().saveOrgToo = false;
    form()->Rtxt2->setPlainText(QStringLiteral("Rewritten."));
    dialogs.expectMessage(Answer::Yes, two.transFilePath);
    form()->mnuSave->trigger();
    EXPECT_EQ(fileText(two.transFilePath), QStringLiteral("Rewritten."));
    form()->Rtxt2->setPlainText(QStringLiteral("Second."));
    form()->mnuSave->trigger();
    EXPECT_EQ(fileText(two.transFilePath), QStringLiteral("Second."));
    EXPECT_EQ(projectfiles::loadCurrentPlan(app.path())->transFilePath, two.transFilePath);
    EXPECT_TRUE(dialogs.done());
}

// A translation the user made read-only is never replaced; Save offers another name for the work
// (the default) or nothing, and the file chosen becomes the project's translation.
TEST_F(PlanSetTest, AReadOnlyTranslationIsKeptAndTheWorkGoesUnderAnotherName) {
    ASSERT_TRUE(QFile::setPermissions(two.transFilePath, QFile::ReadOwner | QFile::ReadGroup));
    startWith({one, two}, two);
    form()->Rtxt2->setPlainText(QStringLiteral("Changed."));
    dialogs.expectMessage(Answer::Cancel, two.transFilePath);
    form()->mnuSave->trigger();
    EXPECT_EQ(dialogs.lastBox().buttons, MessageButtons::OkCancel);
    EXPECT_EQ(dialogs.lastBox().defaultAnswer, Answer::Ok);
    EXPECT_TRUE(dialogs.lastBox().text.contains(QStringLiteral("別の名前で保存")));
    EXPECT_TRUE(form()->mnuSave->isEnabled());
    EXPECT_EQ(fileText(two.transFilePath), QStringLiteral("Translation two."));

    const QString elsewhere = app.file(QStringLiteral("二訳_編集.rtf"));
    dialogs.expectMessage(Answer::Ok, two.transFilePath).expectSaveFile(elsewhere);
    form()->mnuSave->trigger();
    EXPECT_EQ(dialogs.fileRequests().constLast().fileName, QStringLiteral("二訳_編集.rtf"));
    EXPECT_EQ(fileText(elsewhere), QStringLiteral("Changed."));
    EXPECT_EQ(fileText(two.transFilePath), QStringLiteral("Translation two."));
    EXPECT_FALSE(form()->mnuSave->isEnabled());
    expectTranslationMovedTo(two, elsewhere);
    EXPECT_TRUE(dialogs.done());
}

// The work may not go where the project files could not name it, nor over a file of the
// program's own: nothing is written, and the project keeps its translation.
TEST_F(PlanSetTest, AnotherNameTheProjectCannotHoldIsRefusedBeforeAnythingIsWritten) {
    ASSERT_TRUE(QFile::setPermissions(two.transFilePath, QFile::ReadOwner | QFile::ReadGroup));
    startWith({one, two}, two);
    form()->Rtxt2->setPlainText(QStringLiteral("Changed."));
    const QByteArray list = app.read(projectfiles::PlanListFile);
    for (const QString& name : {QStringLiteral("訳\U0001F600.rtf"), projectfiles::PlanListFile}) {
        dialogs.expectMessage(Answer::Ok, two.transFilePath)
            .expectSaveFile(app.file(name))
            .expectMessage(Answer::Ok, app.file(name));
        form()->mnuSave->trigger();
        EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("保存ｴﾗｰ"));
        EXPECT_TRUE(form()->mnuSave->isEnabled());
    }
    EXPECT_FALSE(app.exists(QStringLiteral("訳\U0001F600.rtf")));
    EXPECT_EQ(app.read(projectfiles::PlanListFile), list);
    EXPECT_EQ(form()->panelText(3), two.transFileName);
    EXPECT_EQ(projectfiles::loadCurrentPlan(app.path()), two);
    EXPECT_TRUE(dialogs.done());
}

TEST_F(PlanSetTest, ADocumentWithoutReadPermissionIsNotReplacedBySave) {
    QFile::setPermissions(two.transFilePath, {});
    if (QFile probe(two.transFilePath); probe.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "permissions do not stop this user from reading";
    dialogs.expectMessage(Answer::Ok, two.transFilePath);
    startWith({one, two}, one);
    openDialog();
    choose(projects()->planSet()->form(), QStringLiteral("二"));
    projects()->planSet()->form()->cmdOK->click();
    form()->mnuSave->trigger();
    QFile::setPermissions(two.transFilePath, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(fileText(two.transFilePath), QStringLiteral("Translation two."));
    EXPECT_TRUE(dialogs.done());
}

} // namespace
