// SPDX-License-Identifier: GPL-3.0-or-later
#include "comment_fixture.h"
#include "core/projects/projectstate.h"
#include "projects/recovery.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

namespace {

class RecoveryTest : public CommentTest {
protected:
    QString copyOf(Recovery::Pane pane) const { return Recovery::copyFile(app.path(), pane); }
    bool anyCopy() const { return QDir(Recovery::folder(app.path())).exists(); }

    // The project "猫" with comments, its translation "I am a cat." and notes "A note.".
    void startCatProject() {
        writeProject(catProject(true));
        writeDocument(trans, QStringLiteral("{\\rtf1\\ansi I am a cat.\\par}"));
        writeDocument(comment, QStringLiteral("{\\rtf1\\ansi A note.\\par}"));
        startEditor();
    }

    // Unsaved work in the translation (partly bold) and in the notes, copied by the timer.
    void workAndCopy() {
        RichTextPane* t = form()->Rtxt2;
        t->setPlainText(QStringLiteral("I am a cat. No name yet."));
        t->setSelStart(12);
        t->setSelLength(7);
        t->setSelBold(true);
        commentWindow()->pane()->setPlainText(QStringLiteral("Ask about the name."));
        commands->recovery()->copyNow();
    }
};

TEST_F(RecoveryTest, UnsavedWorkLeftByACrashComesBackWithItsFormatting) {
    startCatProject();
    EXPECT_FALSE(anyCopy());
    workAndCopy();
    EXPECT_TRUE(QFile::exists(copyOf(Recovery::Translation)));
    EXPECT_TRUE(QFile::exists(copyOf(Recovery::Comment)));
    // The original was not touched: nothing of it is copied.
    EXPECT_FALSE(QFile::exists(copyOf(Recovery::Original)));
    dropEditor();
    // The user's own files were never written.
    EXPECT_EQ(fileText(trans), QStringLiteral("I am a cat."));
    EXPECT_EQ(fileText(comment), QStringLiteral("A note."));

    dialogs.expectMessage(Answer::Yes);
    startEditor();
    // The offer names the project, the documents the work belongs to and when it was copied.
    const QString offer = dialogs.lastBox().text;
    EXPECT_TRUE(offer.startsWith(
        QStringLiteral("前回保存されなかった作業が残っています。復元しますか？\r\n")));
    EXPECT_TRUE(offer.contains(QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄ：猫")));
    EXPECT_TRUE(offer.contains(QStringLiteral("訳文：") + trans));
    EXPECT_TRUE(offer.contains(QStringLiteral("注釈：") + comment));
    EXPECT_FALSE(offer.contains(QStringLiteral("原文：")));
    EXPECT_TRUE(offer.contains(QStringLiteral("複写の時刻：") +
                               QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"))));
    EXPECT_FALSE(offer.contains(QStringLiteral("変更されています")));
    EXPECT_EQ(dialogs.lastBox().buttons, MessageButtons::YesNo);
    RichTextPane* t = form()->Rtxt2;
    EXPECT_EQ(t->toPlainText(), QStringLiteral("I am a cat. No name yet."));
    t->setSelStart(12);
    t->setSelLength(7);
    EXPECT_EQ(t->selBold(), true);
    t->setSelStart(0);
    t->setSelLength(4);
    EXPECT_EQ(t->selBold(), false);
    EXPECT_EQ(commentWindow()->pane()->toPlainText(), QStringLiteral("Ask about the name."));
    // Still unsaved work of the project: Save writes it into the project's own files.
    EXPECT_TRUE(editor->project().transModified);
    EXPECT_TRUE(form()->mnuSave->isEnabled());
    form()->mnuSave->trigger();
    EXPECT_EQ(fileText(trans), QStringLiteral("I am a cat. No name yet."));
    EXPECT_EQ(fileText(comment), QStringLiteral("Ask about the name."));
    EXPECT_FALSE(anyCopy());
}

// A terminating error ends the program at once, saving nothing of the user's: the work since
// the last copy is copied on the way out all the same.
TEST_F(RecoveryTest, AnUnexpectedFailureCopiesTheWorkBeforeTheProgramEnds) {
    startCatProject();
    form()->Rtxt2->setPlainText(QStringLiteral("Typed just before the failure."));
    ASSERT_FALSE(anyCopy());
    dialogs.expectMessage(Answer::Ok).expectMessage(Answer::Ok);
    guarded(terminating(u"ﾃｽﾄ時", "Error1"), [] { throw RuntimeFailure(failure::DeviceIo); });
    EXPECT_EQ(terminator.calls(), 1);
    EXPECT_EQ(fileText(trans), QStringLiteral("I am a cat."));
    dropEditor();
    dialogs.expectMessage(Answer::Yes);
    startEditor();
    EXPECT_EQ(form()->Rtxt2->toPlainText(), QStringLiteral("Typed just before the failure."));
    EXPECT_TRUE(dialogs.done());
}

TEST_F(RecoveryTest, DecliningTheOfferRemovesTheCopies) {
    startCatProject();
    workAndCopy();
    dropEditor();
    dialogs.expectMessage(Answer::No);
    startEditor();
    EXPECT_FALSE(anyCopy());
    EXPECT_EQ(form()->Rtxt2->toPlainText(), QStringLiteral("I am a cat."));
    EXPECT_FALSE(editor->project().transModified);
    dropEditor();
    startEditor();
    EXPECT_TRUE(dialogs.done());
}

TEST_F(RecoveryTest, ACleanEndLeavesNoCopiesEvenWhenTheWorkIsDiscarded) {
    startCatProject();
    workAndCopy();
    QSignalSpy ended(editor.get(), &FrmTranslatorL::endRequested);
    dialogs.expectMessage(Answer::No, QStringLiteral("保存しますか"));
    form()->mnuEnd->trigger();
    ASSERT_EQ(ended.count(), 1);
    EXPECT_FALSE(anyCopy());
    // Asking to end copies the latest work first; Cancel keeps the editor and the copies.
    dropEditor();
    startEditor();
    form()->Rtxt2->setPlainText(QStringLiteral("newest"));
    dialogs.expectMessage(Answer::Cancel, QStringLiteral("保存しますか"));
    form()->mnuEnd->trigger();
    EXPECT_TRUE(QFile::exists(copyOf(Recovery::Translation)));
    QSignalSpy returned(editor.get(), &FrmTranslatorL::returnRequested);
    dialogs.expectMessage(Answer::No, QStringLiteral("保存しますか"));
    form()->mnuExit->trigger();
    ASSERT_EQ(returned.count(), 1);
    EXPECT_FALSE(anyCopy());
}

TEST_F(RecoveryTest, CopiesFollowTheWorkOnlyWhileItIsUnsaved) {
    startCatProject();
    Recovery* recovery = commands->recovery();
    recovery->copyNow();
    EXPECT_FALSE(anyCopy());
    form()->Rtxt2->setPlainText(QStringLiteral("one"));
    recovery->copyNow();
    const QByteArray first = app.read(QStringLiteral("recovery/translation.rtf"));
    EXPECT_FALSE(first.isEmpty());
    form()->Rtxt2->setPlainText(QStringLiteral("two"));
    recovery->copyNow();
    EXPECT_NE(app.read(QStringLiteral("recovery/translation.rtf")), first);
    // Nothing else lands in the folder but the copies and the project they belong to.
    EXPECT_EQ(app.entries(QStringLiteral("recovery")),
              QStringList({QStringLiteral("ctrinfo.vtd"), QStringLiteral("translation.rtf")}));
    EXPECT_EQ(projectfiles::loadCurrentPlan(Recovery::folder(app.path()))->planName,
              QStringLiteral("猫"));
    form()->mnuSave->trigger();
    EXPECT_FALSE(anyCopy());
}

// The copy is taken a few seconds after the typing pauses, and while the typing goes on, at the
// latest some seconds after the first change that was not copied: never only once a minute.
TEST_F(RecoveryTest, WorkIsCopiedSoonAfterAPauseAndDuringLongTyping) {
    startCatProject();
    Recovery* recovery = commands->recovery();
    const QString copy = copyOf(Recovery::Translation);
    form()->Rtxt2->setPlainText(QStringLiteral("a"));
    recovery->poll(0);
    recovery->poll(Recovery::QuietMs - 1);
    EXPECT_FALSE(QFile::exists(copy));
    recovery->poll(Recovery::QuietMs);
    ASSERT_TRUE(QFile::exists(copy));
    EXPECT_EQ(fileText(copy), QStringLiteral("a"));

    // A keystroke every second: no pause, yet a copy comes within the latest delay.
    qint64 now = 10000;
    QString typed = QStringLiteral("a");
    for (; now < 10000 + Recovery::LatestMs; now += 1000) {
        typed += u'b';
        form()->Rtxt2->setPlainText(typed);
        recovery->poll(now);
    }
    EXPECT_EQ(fileText(copy), QStringLiteral("a"));
    typed += u'c';
    form()->Rtxt2->setPlainText(typed);
    recovery->poll(now);
    EXPECT_EQ(fileText(copy), typed);
    // Nothing new: nothing is written again.
    const QDateTime written = QFileInfo(copy).lastModified();
    recovery->poll(now + 60000);
    EXPECT_EQ(QFileInfo(copy).lastModified(), written);
}

// A document saved by another program after the copy was taken: the user chooses which to keep.
TEST_F(RecoveryTest, ADocumentChangedAfterTheCopyIsNamedAndTheUserChooses) {
    for (const Answer choice : {Answer::No, Answer::Yes}) {
        SCOPED_TRACE(choice == Answer::Yes ? "keep the copy" : "keep the file");
        startCatProject();
        form()->Rtxt2->setPlainText(QStringLiteral("From the copy."));
        commands->recovery()->copyNow();
        dropEditor();
        writeDocument(trans, QStringLiteral("{\\rtf1\\ansi Saved elsewhere later.\\par}"));
        QFile file(trans);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.setFileTime(QDateTime::currentDateTime().addSecs(60),
                         QFileDevice::FileModificationTime);
        file.close();
        dialogs.expectMessage(Answer::Yes, QStringLiteral("複写の後にﾌｧｲﾙが変更されています"))
            .expectMessage(choice, trans);
        startEditor();
        EXPECT_EQ(form()->Rtxt2->toPlainText(), choice == Answer::Yes
                                                    ? QStringLiteral("From the copy.")
                                                    : QStringLiteral("Saved elsewhere later."));
        EXPECT_EQ(editor->project().transModified, choice == Answer::Yes);
        EXPECT_EQ(fileText(trans), QStringLiteral("Saved elsewhere later."));
        EXPECT_TRUE(dialogs.done());
        dialogs.expectMessage(Answer::No, QStringLiteral("保存しますか"));
        form()->mnuEnd->trigger();
        dropEditor();
    }
}

// The real thing: an editor process with its own timers, killed a few seconds after the user
// stopped typing. The work is in the copy, and the next start brings it back.
TEST_F(RecoveryTest, WorkSurvivesAKillSecondsAfterTheTypingStops) {
    writeProject(catProject(false));
    writeDocument(trans, QStringLiteral("{\\rtf1\\ansi I am a cat.\\par}"));
    writeBook({"apple"});
    WriteDisplaySettings(app.path(), SetDefaultDisplaySettings());
    writeCurrentBook(app.path(), session().current);
    QProcess child;
    child.start(QStringLiteral(RECOVERY_CHILD_PATH), {app.path(), QStringLiteral(" No name yet.")});
    ASSERT_TRUE(child.waitForStarted(10000));
    ASSERT_TRUE(child.waitForReadyRead(30000)) << child.readAllStandardError().toStdString();
    ASSERT_EQ(child.readLine().trimmed(), "typed");
    // Killed once the copy is there (it appears whole, by a rename), however long a loaded
    // machine takes to get to it.
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return QFile::exists(copyOf(Recovery::Translation)); }, 120000));
    child.kill();
    ASSERT_TRUE(child.waitForFinished(10000));
    EXPECT_EQ(fileText(trans), QStringLiteral("I am a cat."));
    ASSERT_TRUE(QFile::exists(copyOf(Recovery::Translation)));

    dialogs.expectMessage(Answer::Yes, QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄ：猫"));
    startEditor();
    EXPECT_EQ(form()->Rtxt2->toPlainText(), QStringLiteral("I am a cat. No name yet."));
    EXPECT_TRUE(editor->project().transModified);
    EXPECT_TRUE(dialogs.done());
}

TEST_F(RecoveryTest, ACopyNeverReplacesADocumentOfTheUsers) {
    // A translation file that happens to lie where a copy would go.
    QDir().mkpath(Recovery::folder(app.path()));
    PlanInfo plan = catProject(false);
    plan.transFilePath = copyOf(Recovery::Translation);
    plan.transFileName = QStringLiteral("translation.rtf");
    writeProject(plan);
    writeDocument(plan.transFilePath, QStringLiteral("{\\rtf1\\ansi Mine.\\par}"));
    // It is not taken for a copy left behind, so nothing is offered.
    startEditor();
    form()->Rtxt2->setPlainText(QStringLiteral("unsaved"));
    commands->recovery()->copyNow();
    EXPECT_EQ(fileText(plan.transFilePath), QStringLiteral("Mine."));
    // Nor does a clean end remove it.
    dialogs.expectMessage(Answer::No, QStringLiteral("保存しますか"));
    form()->mnuEnd->trigger();
    EXPECT_EQ(fileText(plan.transFilePath), QStringLiteral("Mine."));
}

} // namespace
