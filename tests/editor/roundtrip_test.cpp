#include "translator/frmtranslatorl.h"
#include "ui/limitedtextedit.h"
#include "ui/translatorlform.h"
#include "wordbook/mainwindow_fixture.h"

#include <QFileInfo>
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
}

} // namespace
