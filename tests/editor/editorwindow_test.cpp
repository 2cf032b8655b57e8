// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/projects/projectstate.h"
#include "core/richtext/twips.h"
#include "editor_fixture.h"
#include "support/widgets.h"
#include "translator/panelayout.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QStatusBar>

namespace {

QRect pixels(int left, int top, int width, int height) {
    return {twips::toPixels(left), twips::toPixels(top), twips::toPixels(width),
            twips::toPixels(height)};
}

TEST_F(EditorTest, StartsWithoutAProjectOnEmptyStackedPanes) {
    start();
    TranslatorLForm* f = form();
    EXPECT_TRUE(f->Rtxt1->document()->isEmpty());
    EXPECT_TRUE(f->Rtxt2->document()->isEmpty());
    EXPECT_TRUE(f->Rtxt1->isVisible());
    EXPECT_FALSE(f->mnuComment->isEnabled());
    EXPECT_FALSE(f->popShowCmnt->isEnabled());
    EXPECT_FALSE(f->toolButton(QStringLiteral("CmntOpen"))->isEnabled());
    for (int panel = 1; panel <= 3; ++panel)
        EXPECT_TRUE(f->panelText(panel).isEmpty());
    EXPECT_TRUE(f->mnuSave->isEnabled());
    EXPECT_TRUE(f->toolButton(QStringLiteral("save"))->isEnabled());
    EXPECT_TRUE(f->mnuLayout->isEnabled());
    EXPECT_LT(f->Rtxt1->geometry().bottom(), f->Rtxt2->geometry().top());
    EXPECT_EQ(f->Label1->text(), QStringLiteral("<原文>"));
    // The book is open in the editor's order and its first word is shown.
    ASSERT_NE(editor->book(), nullptr);
    EXPECT_TRUE(editor->book()->isOpen());
    EXPECT_EQ(f->txtInput->text(), QStringLiteral("apple"));
    EXPECT_EQ(f->txtInput->selectedText(), QStringLiteral("apple"));
    EXPECT_EQ(f->lblMaxRec->text(), QStringLiteral("3"));
    // Shown, the window puts the focus in the input box, which makes it the active pane.
    EXPECT_EQ(editor->activePane(), QStringLiteral("txtInput"));
}

TEST_F(EditorTest, OpensTheBookInCharacterCodeOrder) {
    start({"apple", "Banana", "cherry"});
    // Capitals sort before small letters in the editor's order.
    EXPECT_EQ(form()->txtInput->text(), QStringLiteral("Banana"));
    EXPECT_EQ(editor->book()->index().at(1).word, QStringLiteral("apple"));
}

TEST_F(EditorTest, FillsTheFormattingBar) {
    start();
    TranslatorLForm* f = form();
    EXPECT_EQ(f->cboFname->currentText(), QStringLiteral("ＭＳ ｺﾞｼｯｸ"));
    EXPECT_GE(f->cboFname->count(), 1);
    QStringList sizes;
    for (int i = 0; i < f->cboFsize->count(); ++i)
        sizes << f->cboFsize->itemText(i);
    EXPECT_EQ(sizes.mid(0, 7), QStringList({"6", "8", "9", "10", "11", "12", "14"}));
    EXPECT_EQ(sizes.constLast(), QStringLiteral("48"));
    EXPECT_EQ(sizes.size(), 5 + 19);
    EXPECT_EQ(f->cboFsize->currentText(), QStringLiteral("11"));
    ASSERT_EQ(f->ImcboFcolor->count(), 9);
    EXPECT_EQ(f->ImcboFcolor->itemText(0), QStringLiteral("自動"));
    EXPECT_EQ(f->ImcboFcolor->itemText(6), QStringLiteral("ﾋﾟﾝｸ"));
    EXPECT_EQ(f->ImcboFcolor->itemText(8), QStringLiteral("その他"));
    EXPECT_TRUE(f->ImcboFcolor->itemIcon(8).isNull());
    EXPECT_FALSE(f->ImcboFcolor->itemIcon(7).isNull());
    EXPECT_EQ(f->ImcboFcolor->currentIndex(), 0);
}

TEST_F(EditorTest, LoadsTheCurrentProjectsDocuments) {
    startWithCatProject();
    TranslatorLForm* f = form();
    EXPECT_EQ(f->Rtxt1->toPlainText(), QStringLiteral("吾輩は猫である。"));
    EXPECT_EQ(f->Rtxt2->toPlainText(), QStringLiteral("I am a cat."));
    EXPECT_EQ(f->panelText(1), QStringLiteral("猫"));
    EXPECT_EQ(f->panelText(2), app.file(QStringLiteral("原文.txt")));
    EXPECT_EQ(f->panelText(3), QStringLiteral("訳文.rtf"));
    // A project that uses no comment window leaves the comment commands as designed.
    EXPECT_TRUE(f->mnuComment->isEnabled());
}

TEST_F(EditorTest, AProjectWithoutAnOriginalShowsTheTranslationAlone) {
    const QString trans = app.file(QStringLiteral("訳文.rtf"));
    writeDocument(trans, QStringLiteral("{\\rtf1\\ansi Alone.\\par}"));
    writeCurrentProject(QStringLiteral("単独"), QString(), trans, false);
    start();
    TranslatorLForm* f = form();
    EXPECT_FALSE(f->Rtxt1->isVisible());
    EXPECT_TRUE(f->Rtxt1->document()->isEmpty());
    EXPECT_FALSE(f->mnuLayout->isEnabled());
    EXPECT_EQ(f->Label1->text(), QStringLiteral("<訳文>"));
    const int W = panelayout::windowWidth(*f);
    const int H = panelayout::windowHeight(*f);
    EXPECT_EQ(f->Rtxt2->geometry(), pixels(100, 2280, W - 200, H - 2630));
    EXPECT_EQ(f->Rtxt2->rightMargin(), W - 200 - 400);

    // The layout command does nothing without an original.
    const QRect before = f->Rtxt2->geometry();
    f->mnuLayout->setEnabled(true);
    f->mnuLayout->trigger();
    EXPECT_EQ(f->Rtxt2->geometry(), before);
}

TEST_F(EditorTest, AnEmptyOriginalPathEmptiesTheOriginalPane) {
    const QString trans = app.file(QStringLiteral("訳文.rtf"));
    writeDocument(trans, QStringLiteral("{\\rtf1\\ansi Text.\\par}"));
    writeCurrentProject(QStringLiteral("原文なし"), QString(), trans, true);
    start();
    EXPECT_TRUE(form()->Rtxt1->isVisible());
    EXPECT_TRUE(form()->Rtxt1->document()->isEmpty());
    EXPECT_EQ(form()->Rtxt2->toPlainText(), QStringLiteral("Text."));
}

TEST_F(EditorTest, TheFreshRecordNewLeavesOpensEmptyPanesQuietly) {
    projectfiles::saveCurrentPlan(app.path(), PlanInfo());
    projectfiles::saveTabStops(app.path(), {300, 600, 900, 1200});
    start();
    EXPECT_TRUE(form()->Rtxt1->document()->isEmpty());
    EXPECT_TRUE(form()->Rtxt2->document()->isEmpty());
    EXPECT_TRUE(dialogs.boxes().isEmpty());
    EXPECT_EQ(editor->project().tabStops, (TabStops{300, 600, 900, 1200}));
    EXPECT_EQ(form()->Rtxt2->selTabs(), QList<int>({300, 600, 900, 1200}));
}

TEST_F(EditorTest, AMissingDocumentIsReportedAndTheEditorStillOpens) {
    writeCurrentProject(QStringLiteral("消えた"), app.file(QStringLiteral("ない.rtf")),
                        app.file(QStringLiteral("訳文.rtf")), true);
    dialogs.expectMessage(Answer::Ok, QStringLiteral("ない.rtf"));
    dialogs.expectMessage(Answer::Ok, QStringLiteral("訳文.rtf"));
    start();
    EXPECT_EQ(terminator.calls(), 0);
    EXPECT_TRUE(form()->isVisible());
    EXPECT_TRUE(dialogs.done());
}

TEST_F(EditorTest, LayoutCommandTogglesBetweenStackedAndSideBySide) {
    start();
    TranslatorLForm* f = form();
    // 666 pixels: 9990 twips.
    f->client()->resize(666, 600);
    QCoreApplication::processEvents();
    const int H = panelayout::windowHeight(*f);
    ASSERT_EQ(panelayout::windowWidth(*f), 9990);
    f->mnuLayout->trigger();
    EXPECT_EQ(f->Rtxt1->geometry(), pixels(100, 2280, 4845, H - 2630));
    EXPECT_EQ(f->Rtxt2->geometry(), pixels(5045, 2280, 4845, H - 2630));
    EXPECT_EQ(f->Label2->x(), twips::toPixels(5145));
    EXPECT_EQ(f->Label2->y(), f->Label1->y());
    EXPECT_EQ(f->Rtxt1->rightMargin(), 4845 - 400);
    EXPECT_EQ(f->Rtxt2->rightMargin(), 4845 - 400);

    // A resize keeps the arrangement the command chose.
    f->client()->resize(twips::toPixels(12000), twips::toPixels(8000));
    QCoreApplication::processEvents();
    EXPECT_EQ(f->Rtxt1->y(), f->Rtxt2->y());

    f->mnuLayout->trigger();
    const int S = panelayout::splitLine(panelayout::windowHeight(*f));
    EXPECT_EQ(f->Rtxt1->x(), f->Rtxt2->x());
    EXPECT_EQ(f->Rtxt2->y(), twips::toPixels(S - 110));
    EXPECT_EQ(f->Label2->y(), twips::toPixels(S - 300));
}

TEST_F(EditorTest, TooSmallASizeIsRefusedAndTheWindowHasAMinimum) {
    start();
    TranslatorLForm* f = form();
    const QRect original = f->Rtxt1->geometry();
    dialogs.expectMessage(Answer::Ok);
    editor->layoutRule(12600, 3229);
    EXPECT_EQ(dialogs.lastBox().title, QStringLiteral("Error136"));
    EXPECT_EQ(dialogs.lastBox().text, QStringLiteral("ｻｲｽﾞを小さくし過ぎです"));
    EXPECT_EQ(f->Rtxt1->geometry(), original);
    EXPECT_EQ(terminator.calls(), 0);

    // The window itself cannot be made that small: every pane keeps a positive height.
    f->resize(10, 10);
    QCoreApplication::processEvents();
    EXPECT_GT(f->Rtxt1->height(), 0);
    EXPECT_GT(f->Rtxt2->height(), 0);
    f->mnuLayout->trigger();
    EXPECT_GT(f->Rtxt1->width(), 0);
    EXPECT_GT(f->Rtxt2->width(), 0);
    EXPECT_EQ(dialogs.boxes().size(), 1);
}

TEST_F(EditorTest, FocusTrackingNamesThePaneLastWorkedIn) {
    start();
    TranslatorLForm* f = form();
    f->Rtxt1->setFocus();
    EXPECT_EQ(editor->activePane(), QStringLiteral("Rtxt1"));
    EXPECT_TRUE(f->Rtxt1->keepsSelectionVisible());
    EXPECT_FALSE(f->Rtxt2->keepsSelectionVisible());
    f->Rtxt2->setFocus();
    EXPECT_EQ(editor->activePane(), QStringLiteral("Rtxt2"));
    EXPECT_FALSE(f->Rtxt1->keepsSelectionVisible());
    EXPECT_TRUE(f->Rtxt2->keepsSelectionVisible());
    // Menus and the formatting bar leave it as it was.
    f->cboFsize->setFocus();
    EXPECT_EQ(editor->activePane(), QStringLiteral("Rtxt2"));
    f->txtInput->setFocus();
    EXPECT_EQ(editor->activePane(), QStringLiteral("txtInput"));
    EXPECT_FALSE(f->Rtxt1->keepsSelectionVisible());
    EXPECT_FALSE(f->Rtxt2->keepsSelectionVisible());
    // The read-only display fields send the focus back to the input box in normal mode.
    f->Rtxt1->setFocus();
    f->txtWord->setFocus();
    EXPECT_EQ(QApplication::focusWidget(), f->txtInput);
    EXPECT_EQ(editor->activePane(), QStringLiteral("txtInput"));
}

TEST_F(EditorTest, F2CyclesFromTheOriginalThroughTheTranslationToTheWordPane) {
    start();
    TranslatorLForm* f = form();
    f->txtInput->setText(QStringLiteral("cat"));
    f->Rtxt1->setFocus();
    QTest::keyClick(f->Rtxt1, Qt::Key_F2);
    EXPECT_EQ(QApplication::focusWidget(), f->Rtxt2);
    QTest::keyClick(f->Rtxt2, Qt::Key_F2);
    EXPECT_EQ(QApplication::focusWidget(), f->txtInput);
    EXPECT_EQ(f->txtInput->selectedText(), QStringLiteral("cat"));
    QTest::keyClick(f->txtInput, Qt::Key_F2, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), f->Rtxt1);
    EXPECT_EQ(editor->activePane(), QStringLiteral("Rtxt1"));
}

TEST_F(EditorTest, F2GoesToTheTranslationWhenThereIsNoOriginal) {
    const QString trans = app.file(QStringLiteral("訳文.rtf"));
    writeDocument(trans, QStringLiteral("{\\rtf1\\ansi Alone.\\par}"));
    writeCurrentProject(QStringLiteral("単独"), QString(), trans, false);
    start();
    form()->txtInput->setFocus();
    QTest::keyClick(form()->txtInput, Qt::Key_F2);
    EXPECT_EQ(QApplication::focusWidget(), form()->Rtxt2);
}

} // namespace
