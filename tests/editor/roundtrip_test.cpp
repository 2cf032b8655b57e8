// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/projects/projectfiles.h"
#include "platform/qtdialogservice.h"
#include "translator/frmtranslatorl.h"
#include "ui/limitedtextedit.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"
#include "wordbook/mainwindow_fixture.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QSpinBox>

namespace {

// Counts Qt's complaints about events posted to no object, the mark of a window handed over twice.
int nullReceivers = 0;
QtMessageHandler previousHandler = nullptr;
void countNullReceivers(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains(QStringLiteral("null receiver")))
        ++nullReceivers;
    previousHandler(type, context, text);
}

class RoundTripTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        nullReceivers = 0;
        previousHandler = qInstallMessageHandler(countNullReceivers);
    }
    void TearDown() override {
        qInstallMessageHandler(previousHandler);
        MainWindowTest::TearDown();
    }
};

TEST_F(RoundTripTest, WordsRegisteredAndDeletedInTheEditorAreInTheBookOnReturn) {
    startWith({"apple", "banana", "cherry"});
    form()->IdmGotoTransL->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_NE(program->translator(), nullptr);
    TranslatorLForm* e = program->translator()->form();
    ASSERT_TRUE(e->isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowActive(e));
    EXPECT_EQ(QApplication::focusWidget(), e->txtInput);
    // One hand-over, however many events ran while the editor loaded: the main window went
    // exactly once.
    EXPECT_EQ(nullReceivers, 0);

    // Delete banana.
    QTest::keyClick(e->txtInput, Qt::Key_Up, Qt::AltModifier);
    ASSERT_EQ(e->txtWord->text(), QStringLiteral("banana"));
    dialogs.expectMessage(Answer::Yes);
    QTest::keyClick(e->txtInput, Qt::Key_F4);
    // Register Date: a capital sorts first in the editor.
    e->txtInput->setFocus();
    e->txtInput->clear();
    QTest::keyClicks(e->txtInput, QStringLiteral("Date"));
    dialogs.expectMessage(Answer::Yes);
    QTest::keyClick(e->txtInput, Qt::Key_Return);
    e->txtMean->insertPlainText(QStringLiteral("ﾅﾂﾒﾔｼ"));
    dialogs.expectMessage(Answer::Yes);
    QTest::keyClick(e->txtMean, Qt::Key_F5);
    EXPECT_EQ(e->lblMaxRec->text(), QStringLiteral("3"));

    e->mnuExit->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialogs.done());
    EXPECT_EQ(program->translator(), nullptr);
    ASSERT_NE(program->main(), nullptr);
    EXPECT_TRUE(form()->isVisible());
    EXPECT_EQ(listed(), QStringList({"apple", "cherry", "Date"}));
    // The return compacted the book: no dead records are left behind.
    EXPECT_EQ(QFileInfo(bookFolder() + "/means.vtd").size(), 3 * 200);
    EXPECT_EQ(QFileInfo(bookFolder() + "/reis.vtd").size(), 3 * 400);
    EXPECT_FALSE(QFileInfo::exists(bookFolder() + "/TmpMFile.vtd"));
}

TEST_F(RoundTripTest, EndFromTheEditorEndsWithTheBookWrittenBack) {
    startWith({"apple", "banana", "cherry"});
    form()->IdmGotoTransL->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_NE(program->translator(), nullptr);
    TranslatorLForm* e = program->translator()->form();
    dialogs.expectMessage(Answer::Yes);
    e->cmdDel->click();
    e->mnuEnd->trigger();
    EXPECT_FALSE(e->isVisible());
    EXPECT_EQ(program->main(), nullptr);
    EXPECT_EQ(QFileInfo(bookFolder() + "/means.vtd").size(), 2 * 200);
    // The compaction dropped a third of the records: the book as it was is kept as a backup.
    const QDir backups(app.file(QStringLiteral("backup/英単語")));
    const QStringList taken = backups.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(taken.size(), 1);
    EXPECT_EQ(QFileInfo(backups.filePath(taken.front() + "/means.vtd")).size(), 3 * 200);
}

// The hand-over with real message boxes and a running event loop, where a box closing while no
// window of the program is visible would end it: whatever the project's documents are (gone,
// folders, a relative path), the editor opens with the project still named.
TEST_F(RoundTripTest, TheEditorOpensWhateverTheProjectsDocumentsAre) {
    startWith({"apple", "banana", "cherry"});
    const struct {
        const char* what;
        QString org;
        QString trans;
    } cases[] = {
        {"both gone", app.file("moved/org.rtf"), app.file("moved/trans.rtf")},
        {"folders", app.path(), app.file("英単語")},
        {"relative", QStringLiteral("nowhere/org.rtf"), QStringLiteral("nowhere/trans.rtf")},
    };
    QtDialogService realBoxes;
    int boxesClosed = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ++boxesClosed;
            box->accept();
        }
    });
    closer.start(10);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PlanInfo plan;
        plan.planName = QStringLiteral("手引き");
        plan.orgFilePath = c.org;
        plan.orgFileName = QStringLiteral("org.rtf");
        plan.transFilePath = c.trans;
        plan.transFileName = QStringLiteral("trans.rtf");
        plan.useCmnt = false;
        projectfiles::saveCurrentPlan(app.path(), plan);
        boxesClosed = 0;
        setDialogService(&realBoxes);
        QTimer::singleShot(0, [this] {
            form()->IdmGotoTransL->trigger();
            QTimer::singleShot(300, [] { QCoreApplication::exit(7); });
        });
        const int ended = QCoreApplication::exec();
        setDialogService(&dialogs);
        ASSERT_EQ(ended, 7) << "the program ended on its own";
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_GE(boxesClosed, 1);
        ASSERT_NE(program->translator(), nullptr);
        TranslatorLForm* e = program->translator()->form();
        EXPECT_TRUE(e->isVisible());
        EXPECT_EQ(e->panelText(1), QStringLiteral("手引き"));
        EXPECT_TRUE(e->Rtxt1->toPlainText().isEmpty());
        EXPECT_TRUE(e->Rtxt2->toPlainText().isEmpty());
        // Back to the book for the next case, giving up whatever the editor holds.
        if (e->mnuSave->isEnabled())
            dialogs.expectMessage(Answer::No);
        e->mnuExit->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_NE(program->main(), nullptr);
        EXPECT_TRUE(dialogs.done());
    }
}

} // namespace
