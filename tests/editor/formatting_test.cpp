// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/projects/projectstate.h"
#include "editor_fixture.h"
#include "translator/formatting.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolBar>

namespace {

class FormattingTest : public EditorTest {
protected:
    // A project with an original and a translation, loaded; the word pane has the focus.
    void startWith(const QString& original, const QString& translation) {
        const QString org = app.file(QStringLiteral("原文.rtf"));
        const QString trans = app.file(QStringLiteral("訳文.rtf"));
        writeDocument(org, QStringLiteral("{\\rtf1\\ansi ") + original + QStringLiteral("\\par}"));
        writeDocument(trans,
                      QStringLiteral("{\\rtf1\\ansi ") + translation + QStringLiteral("\\par}"));
        writeCurrentProject(QStringLiteral("書式"), org, trans, true);
        start();
    }
    static void select(RichTextPane* pane, int start, int length) {
        pane->setSelStart(start);
        pane->setSelLength(length);
    }
    // Selects in a pane as the user would, making it the pane worked in.
    void work(RichTextPane* pane, int start, int length) {
        pane->setFocus();
        select(pane, start, length);
    }
    QAction* button(const char* key) const { return form()->toolButton(QLatin1String(key)); }
};

TEST_F(FormattingTest, WithTheWordPaneLastUsedOnlyParagraphCommandsChangeTheTranslation) {
    startWith(QStringLiteral("Original."), QStringLiteral("Some text."));
    TranslatorLForm* f = form();
    ASSERT_EQ(editor->activePane(), QStringLiteral("txtInput"));
    select(f->Rtxt2, 0, 4);
    f->mnuCenterAlignment->trigger();
    EXPECT_EQ(f->Rtxt2->selAlignment(), RichTextPane::Alignment::Center);
    f->mnuIndentDo->trigger();
    EXPECT_EQ(f->Rtxt2->selIndent(), 480);
    button("ReIndent")->trigger();
    EXPECT_EQ(f->Rtxt2->selIndent(), 0);

    f->mnuBulletDo->trigger();
    button("bold")->trigger();
    emit f->cboFname->textActivated(QStringLiteral("Century"));
    emit f->cboFsize->textActivated(QStringLiteral("20"));
    emit f->ImcboFcolor->activated(7);
    EXPECT_EQ(f->Rtxt2->selBullet(), false);
    EXPECT_EQ(f->Rtxt2->selBold(), false);
    EXPECT_FALSE(button("bold")->isChecked());
    EXPECT_NE(f->Rtxt2->selFontSize(), 20.0);
    EXPECT_EQ(f->Rtxt2->selColor(), QColor(0, 0, 0));
    // The original is never the fallback.
    EXPECT_EQ(f->Rtxt1->toPlainText(), QStringLiteral("Original."));
    EXPECT_EQ(f->Rtxt1->document()->isUndoAvailable(), false);
}

TEST_F(FormattingTest, BoldOnAMixedSelectionTurnsItOnForAllInOneUndoStep) {
    startWith(QStringLiteral("x"), QStringLiteral("plain {\\b bold}"));
    RichTextPane* pane = form()->Rtxt2;
    work(pane, 0, 10);
    ASSERT_EQ(pane->selBold(), std::nullopt);
    button("bold")->trigger();
    EXPECT_EQ(pane->selBold(), true);
    EXPECT_TRUE(button("bold")->isChecked());
    button("bold")->trigger();
    EXPECT_EQ(pane->selBold(), false);
    EXPECT_FALSE(button("bold")->isChecked());
    pane->undo();
    EXPECT_EQ(pane->selBold(), true);
    pane->undo();
    select(pane, 0, 10);
    EXPECT_EQ(pane->selBold(), std::nullopt);

    button("italic")->trigger();
    button("underline")->trigger();
    EXPECT_EQ(pane->selItalic(), true);
    EXPECT_EQ(pane->selUnderline(), true);
    // The pane's own keys undo and redo a format, one step each.
    QTest::keyClick(pane, Qt::Key_Z, Qt::ControlModifier);
    select(pane, 0, 10);
    EXPECT_EQ(pane->selUnderline(), false);
    EXPECT_EQ(pane->selItalic(), true);
    QTest::keyClick(pane, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    select(pane, 0, 10);
    EXPECT_EQ(pane->selUnderline(), true);
}

TEST_F(FormattingTest, FontListsApplyToThePaneWorkedInAndRefuseBadSizesQuietly) {
    startWith(QStringLiteral("Original text"), QStringLiteral("x"));
    TranslatorLForm* f = form();
    work(f->Rtxt1, 0, 8);
    emit f->cboFname->textActivated(QStringLiteral("Century"));
    EXPECT_EQ(f->Rtxt1->selFontName(), QStringLiteral("Century"));
    f->cboFsize->setFocus();
    emit f->cboFsize->textActivated(QStringLiteral("20"));
    EXPECT_EQ(f->Rtxt1->selFontSize(), 20.0);
    EXPECT_TRUE(f->Rtxt1->hasFocus());
    for (const char* bad : {"0", "-3", "abc", ""}) {
        f->cboFsize->setEditText(QLatin1String(bad));
        emit f->cboFsize->lineEdit()->returnPressed();
        EXPECT_EQ(f->Rtxt1->selFontSize(), 20.0) << bad;
        EXPECT_EQ(f->cboFsize->currentText(), QStringLiteral("20")) << bad;
    }
    f->cboFsize->setEditText(QStringLiteral("13"));
    emit f->cboFsize->lineEdit()->returnPressed();
    EXPECT_EQ(f->Rtxt1->selFontSize(), 13.0);
    EXPECT_TRUE(dialogs.boxes().isEmpty());
    EXPECT_TRUE(f->Rtxt1->hasFocus());
    // Leaving the box with a size typed in applies nothing and lets the focus go.
    f->cboFsize->setFocus();
    f->cboFsize->setEditText(QStringLiteral("24"));
    f->txtInput->setFocus();
    EXPECT_TRUE(f->txtInput->hasFocus());
    EXPECT_EQ(f->Rtxt1->selFontSize(), 13.0);
    // Typed key by key, a size waits in the box for Enter, fractions included.
    work(f->Rtxt1, 0, 8);
    f->cboFsize->setFocus();
    f->cboFsize->lineEdit()->selectAll();
    QTest::keyClicks(f->cboFsize->lineEdit(), QStringLiteral("10.5"));
    EXPECT_TRUE(f->cboFsize->lineEdit()->hasFocus());
    EXPECT_EQ(f->Rtxt1->selFontSize(), 13.0);
    QTest::keyClick(f->cboFsize->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(f->Rtxt1->selFontSize(), 10.5);
    EXPECT_TRUE(f->Rtxt1->hasFocus());
}

TEST_F(FormattingTest, ColourListColoursTheSelection) {
    startWith(QStringLiteral("x"), QStringLiteral("red text"));
    TranslatorLForm* f = form();
    RichTextPane* pane = f->Rtxt2;
    work(pane, 0, 3);
    emit f->ImcboFcolor->activated(7);
    EXPECT_EQ(pane->selColor(), QColor(255, 0, 0));
    emit f->ImcboFcolor->activated(0); // "自動" colours black
    EXPECT_EQ(pane->selColor(), QColor(0, 0, 0));
    emit f->ImcboFcolor->activated(4);
    EXPECT_EQ(pane->selColor(), QColor(0, 128, 0));
    // "その他": cancelling changes nothing, a chosen colour is applied.
    dialogs.expectColor(std::nullopt);
    emit f->ImcboFcolor->activated(8);
    EXPECT_EQ(pane->selColor(), QColor(0, 128, 0));
    EXPECT_EQ(f->ImcboFcolor->currentText(), QStringLiteral("緑"));
    dialogs.expectColor(QColor(10, 20, 30));
    emit f->ImcboFcolor->activated(8);
    EXPECT_EQ(pane->selColor(), QColor(10, 20, 30));
    // At a bare caret too the list goes back to the colour typing goes on in.
    select(pane, 1, 0);
    dialogs.expectColor(std::nullopt);
    f->ImcboFcolor->setCurrentIndex(8);
    emit f->ImcboFcolor->activated(8);
    EXPECT_EQ(f->ImcboFcolor->currentText(), QStringLiteral("自動"));
    dialogs.expectColor(QColor(255, 0, 0));
    f->ImcboFcolor->setCurrentIndex(8);
    emit f->ImcboFcolor->activated(8);
    EXPECT_EQ(f->ImcboFcolor->currentText(), QStringLiteral("赤"));
    EXPECT_TRUE(dialogs.done());
}

TEST_F(FormattingTest, TheFontDialogAppliesEverythingInOneUndoStep) {
    startWith(QStringLiteral("x"), QStringLiteral("some text"));
    RichTextPane* pane = form()->Rtxt2;
    work(pane, 0, 4);
    QFont font(QStringLiteral("Century"), 18);
    font.setBold(true);
    font.setItalic(true);
    font.setStrikeOut(true);
    font.setUnderline(true);
    dialogs.expectFont(font);
    dialogs.expectColor(QColor(0, 0, 255));
    form()->mnuFontSetting->trigger();
    EXPECT_EQ(pane->selColor(), QColor(0, 0, 255));
    EXPECT_EQ(pane->selFontName(), QStringLiteral("Century"));
    EXPECT_EQ(pane->selFontSize(), 18.0);
    EXPECT_EQ(pane->selBold(), true);
    EXPECT_EQ(pane->selItalic(), true);
    EXPECT_EQ(pane->selStrikeThrough(), true);
    EXPECT_EQ(pane->selUnderline(), true);
    pane->undo();
    // Undo leaves the caret behind the text it restored.
    EXPECT_EQ(pane->textCursor().position(), 4);
    select(pane, 0, 4);
    EXPECT_EQ(pane->selBold(), false);
    EXPECT_EQ(pane->selStrikeThrough(), false);
    EXPECT_NE(pane->selFontSize(), 18.0);
    EXPECT_EQ(pane->selColor(), QColor(0, 0, 0));
    // The colour dialog starts from the selection's colour; cancelling it keeps the colour and
    // still applies the font.
    emit form()->ImcboFcolor->activated(4);
    dialogs.expectFont(font);
    dialogs.expectColor(std::nullopt);
    form()->mnuFontSetting->trigger();
    EXPECT_EQ(dialogs.lastColorInitial(), QColor(0, 128, 0));
    EXPECT_EQ(pane->selColor(), QColor(0, 128, 0));
    EXPECT_EQ(pane->selBold(), true);
    // A cancelled font dialog changes nothing and asks for no colour.
    pane->undo();
    dialogs.expectFont(std::nullopt);
    form()->mnuFontSetting->trigger();
    EXPECT_EQ(pane->selBold(), false);
    EXPECT_TRUE(dialogs.done());
}

// The font dialog's formats go the pane's way too: a selection far longer than the view is laid
// out afresh, the view first, instead of all of it before the window can repaint.
TEST_F(FormattingTest, TheFontDialogDoesNotLayOutAllOfALargeSelectionAtOnce) {
    QString text;
    for (int i = 0; i < 3000; ++i)
        text += QStringLiteral("Line %1 of a long translation.\\par ").arg(i);
    startWith(QStringLiteral("x"), text);
    RichTextPane* pane = form()->Rtxt2;
    pane->setFocus();
    pane->selectAll();
    pane->document()->documentLayout()->documentSize();
    const QTextBlock nearEnd = pane->document()->findBlockByNumber(2990);
    ASSERT_GT(nearEnd.layout()->lineCount(), 0);
    dialogs.expectFont(QFont(QStringLiteral("Century"), 14));
    dialogs.expectColor(std::nullopt);
    form()->mnuFontSetting->trigger();
    EXPECT_EQ(nearEnd.layout()->lineCount(), 0);
    EXPECT_EQ(pane->selFontSize(), 14.0);
    pane->undo();
    pane->selectAll();
    EXPECT_NE(pane->selFontSize(), 14.0);
}

TEST_F(FormattingTest, EveryToolBarKeyRunsItsCommand) {
    startWith(QStringLiteral("x"), QStringLiteral("apple pie"));
    TranslatorLForm* f = form();
    RichTextPane* pane = f->Rtxt2;
    // The project commands are the menus' own.
    const std::pair<const char*, QAction*> projectButtons[] = {
        {"new", f->mnuNew},   {"open", f->mnuOpen},        {"print", f->mnuPrint},
        {"find", f->mnuFind}, {"CmntOpen", f->mnuComment}, {"help", f->mnuHelpOpen},
    };
    for (const auto& [key, menu] : projectButtons) {
        QSignalSpy spy(menu, &QAction::triggered);
        button(key)->trigger();
        EXPECT_EQ(spy.count(), 1) << key;
    }
    work(pane, 0, 5);
    button("bold")->trigger();
    button("italic")->trigger();
    button("underline")->trigger();
    EXPECT_EQ(pane->selBold(), true);
    EXPECT_EQ(pane->selItalic(), true);
    EXPECT_EQ(pane->selUnderline(), true);
    button("IndentDo")->trigger();
    EXPECT_EQ(pane->selIndent(), 480);
    button("ReIndent")->trigger();
    EXPECT_EQ(pane->selIndent(), 0);
    button("Qsearch")->trigger();
    EXPECT_EQ(f->txtWord->text(), QStringLiteral("apple"));
    work(pane, 0, 5);
    button("copy")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("apple"));
    button("cut")->trigger();
    EXPECT_EQ(pane->toPlainText(), QStringLiteral(" pie"));
    work(pane, 4, 0);
    button("paste")->trigger();
    EXPECT_EQ(pane->toPlainText(), QStringLiteral(" pieapple"));
    button("save")->trigger();
    EXPECT_FALSE(button("save")->isEnabled());
}

TEST_F(FormattingTest, ClipboardWorksOnTheFocusedControlAsPlainText) {
    startWith(QStringLiteral("a"), QStringLiteral("{\\colortbl;\\red255\\green0\\blue0;}{\\b\\cf1 "
                                                  "Loud} words"));
    TranslatorLForm* f = form();
    // Cut with the focus in the input box cuts from it.
    f->txtInput->setFocus();
    f->txtInput->setText(QStringLiteral("apple"));
    f->txtInput->setSelection(0, 3);
    f->mnuCut->trigger();
    EXPECT_EQ(f->txtInput->text(), QStringLiteral("le"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("app"));
    EXPECT_EQ(f->Rtxt2->toPlainText(), QStringLiteral("Loud words"));
    // With nothing selected cut takes nothing, from the box or the clipboard.
    f->txtInput->setCursorPosition(0);
    button("cut")->trigger();
    EXPECT_EQ(f->txtInput->text(), QStringLiteral("le"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("app"));

    // Bold red text is pasted plain.
    work(f->Rtxt2, 0, 4);
    button("copy")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Loud"));
    work(f->Rtxt1, 1, 0);
    f->mnuPaste->trigger();
    EXPECT_EQ(f->Rtxt1->toPlainText(), QStringLiteral("aLoud"));
    select(f->Rtxt1, 1, 4);
    EXPECT_EQ(f->Rtxt1->selBold(), false);
    EXPECT_EQ(f->Rtxt1->selColor(), QColor(0, 0, 0));
}

TEST_F(FormattingTest, SelectAllSelectsTheWholeTarget) {
    startWith(QStringLiteral("x"), QString(1000, u'a'));
    form()->mnuSelectAll->trigger(); // the word pane was last used: the translation
    EXPECT_EQ(form()->Rtxt2->selStart(), 0);
    EXPECT_EQ(form()->Rtxt2->selLength(), 1000);
}

TEST_F(FormattingTest, FormatsSurviveSavingAndReloading) {
    startWith(QStringLiteral("x"),
              QStringLiteral("aaaa\\par bbbb\\par cccc\\par dddd\\par eeee\\par ffff\\par gggg"));
    TranslatorLForm* f = form();
    RichTextPane* pane = f->Rtxt2;
    work(pane, 0, 2);
    button("bold")->trigger();
    button("italic")->trigger();
    button("underline")->trigger();
    emit f->ImcboFcolor->activated(2);
    f->cboFsize->setFocus();
    emit f->cboFsize->textActivated(QStringLiteral("20"));
    emit f->cboFname->textActivated(QStringLiteral("Century"));
    work(pane, 5, 1);
    f->mnuBulletDo->trigger();
    work(pane, 10, 1);
    f->mnuRightAlignment->trigger();
    work(pane, 15, 1);
    f->mnuIndentDo->trigger();
    work(pane, 20, 4);
    QFont font(QStringLiteral("ＭＳ 明朝"));
    font.setPointSizeF(10.5);
    font.setStrikeOut(true);
    dialogs.expectFont(font);
    dialogs.expectColor(QColor(10, 20, 30));
    f->mnuFontSetting->trigger();
    work(pane, 25, 1);
    f->mnuCenterAlignment->trigger();
    f->mnuBulletDo->trigger();
    f->mnuBulletRelease->trigger();
    work(pane, 30, 1);
    f->mnuIndentDo->trigger();
    f->mnuIndentRelease->trigger();

    const QString path = app.file(QStringLiteral("保存.rtf"));
    ASSERT_TRUE(pane->saveFile(path));
    RichTextPane reloaded;
    ASSERT_TRUE(reloaded.loadFile(path));
    select(&reloaded, 0, 2);
    EXPECT_EQ(reloaded.selBold(), true);
    EXPECT_EQ(reloaded.selItalic(), true);
    EXPECT_EQ(reloaded.selUnderline(), true);
    EXPECT_EQ(reloaded.selColor(), QColor(0, 0, 255));
    EXPECT_EQ(reloaded.selFontSize(), 20.0);
    EXPECT_EQ(reloaded.selFontName(), QStringLiteral("Century"));
    select(&reloaded, 2, 2);
    EXPECT_EQ(reloaded.selBold(), false);
    select(&reloaded, 5, 1);
    EXPECT_EQ(reloaded.selBullet(), true);
    select(&reloaded, 10, 1);
    EXPECT_EQ(reloaded.selAlignment(), RichTextPane::Alignment::Right);
    select(&reloaded, 15, 1);
    EXPECT_EQ(reloaded.selIndent(), 480);
    select(&reloaded, 0, 1);
    EXPECT_EQ(reloaded.selIndent(), 0);
    select(&reloaded, 20, 4);
    EXPECT_EQ(reloaded.selFontName(), QStringLiteral("ＭＳ 明朝"));
    EXPECT_EQ(reloaded.selFontSize(), 10.5);
    EXPECT_EQ(reloaded.selStrikeThrough(), true);
    EXPECT_EQ(reloaded.selBold(), false);
    EXPECT_EQ(reloaded.selColor(), QColor(10, 20, 30));
    select(&reloaded, 25, 1);
    EXPECT_EQ(reloaded.selAlignment(), RichTextPane::Alignment::Center);
    EXPECT_EQ(reloaded.selBullet(), false);
    EXPECT_EQ(reloaded.selIndent(), 0);
    select(&reloaded, 30, 1);
    EXPECT_EQ(reloaded.selIndent(), 0);
}

// Formatting more text than the view shows lays the document out afresh instead of all at once;
// the result must be the same edit, undone in one step, with the view where the user left it.
TEST(LargeSelectionFormatting, ChangesAllOfItInOneUndoStepAndKeepsTheView) {
    RichTextPane pane;
    pane.resize(400, 300);
    pane.show();
    QString text;
    for (int i = 0; i < 3000; ++i)
        text += QStringLiteral("Line %1 of a long translation.\n").arg(i);
    pane.setPlainText(text);
    pane.document()->documentLayout()->documentSize(); // the whole layout, as after a while
    QScrollBar* bar = pane.verticalScrollBar();
    bar->setValue(bar->maximum() / 2);
    const int top = pane.cursorForPosition(QPoint(0, 0)).position();
    pane.selectAll();

    pane.setSelBold(true);
    pane.setSelAlignment(RichTextPane::Alignment::Center);
    EXPECT_EQ(pane.selBold(), true);
    EXPECT_EQ(pane.selAlignment(), RichTextPane::Alignment::Center);
    EXPECT_EQ(pane.cursorForPosition(QPoint(0, 0)).position(), top);
    QCoreApplication::processEvents();
    EXPECT_EQ(pane.cursorForPosition(QPoint(0, 0)).position(), top);

    pane.undo();
    EXPECT_EQ(pane.selAlignment(), RichTextPane::Alignment::Left);
    EXPECT_EQ(pane.selBold(), true);
    pane.undo();
    EXPECT_EQ(pane.selBold(), false);
}

} // namespace
