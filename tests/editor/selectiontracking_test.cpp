// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/projects/projectstate.h"
#include "editor_fixture.h"
#include "translator/selectionformat.h"
#include "translator/selectiontracking.h"

#include <QAction>
#include <QComboBox>
#include <QInputMethodEvent>

namespace {

class TrackingTest : public EditorTest {
protected:
    // A project whose translation reads text, loaded and focused.
    void startWithTranslation(const QString& rtf) {
        const QString trans = app.file(QStringLiteral("訳文.rtf"));
        writeDocument(trans, rtf);
        writeCurrentProject(QStringLiteral("追跡"), QString(), trans, false);
        start();
        form()->Rtxt2->setFocus();
    }
    void select(int start, int length) {
        form()->Rtxt2->setSelStart(start);
        form()->Rtxt2->setSelLength(length);
    }
    bool pressed(const char* key) const {
        return form()->toolButton(QLatin1String(key))->isChecked();
    }
    QString colour() const { return form()->ImcboFcolor->currentText(); }
};

TEST_F(TrackingTest, TheBarShowsTheSelectionsFormat) {
    // "plain " normal, "bold" bold and italic, " green" green 14pt, " navy" RGB(0,0,128).
    startWithTranslation(
        QStringLiteral("{\\rtf1\\ansi{\\colortbl;\\red0\\green128\\blue0;\\red0\\green0\\blue128;}"
                       "plain {\\b\\i bold}{\\cf1\\fs28\\ul  green}{\\cf2  navy}\\par}"));
    select(0, 10); // "plain bold": partly bold
    EXPECT_FALSE(pressed("bold"));
    EXPECT_FALSE(pressed("italic"));
    select(6, 4);
    EXPECT_TRUE(pressed("bold"));
    EXPECT_TRUE(pressed("italic"));
    EXPECT_FALSE(pressed("underline"));
    EXPECT_EQ(colour(), QStringLiteral("黒"));
    select(11, 5);
    EXPECT_FALSE(pressed("bold"));
    EXPECT_TRUE(pressed("underline"));
    EXPECT_EQ(colour(), QStringLiteral("緑"));
    EXPECT_EQ(form()->cboFsize->currentText(), QStringLiteral("14"));
    select(17, 4);
    EXPECT_EQ(colour(), QStringLiteral("自動"));
    // Mixed colours show "自動" too; a mixed size leaves the size box alone.
    select(11, 5);
    select(0, 21);
    EXPECT_EQ(colour(), QStringLiteral("自動"));
    EXPECT_EQ(form()->cboFsize->currentText(), QStringLiteral("14"));

    // A bare caret leaves the bar as it was.
    select(11, 5);
    select(2, 0);
    EXPECT_TRUE(pressed("underline"));
    EXPECT_EQ(colour(), QStringLiteral("緑"));
}

TEST_F(TrackingTest, TheBarNamesAFontTheSystemLacks) {
    startWithTranslation(
        QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 Nonesuch Gothic;}}"
                       "\\f0 one {\\f1 two}\\par}"));
    select(0, 3);
    select(4, 3);
    EXPECT_EQ(form()->cboFname->currentText(), QStringLiteral("Nonesuch Gothic"));
    // Chosen again from the list, it applies like any other.
    select(0, 3);
    emit form()->cboFname->textActivated(QStringLiteral("Nonesuch Gothic"));
    EXPECT_EQ(form()->Rtxt2->selFontName(), QStringLiteral("Nonesuch Gothic"));
}

// The bar reads a selection in one pass, each format once; it must agree with the pane's own
// readers on every selection, across runs that repeat and paragraphs.
TEST_F(TrackingTest, TheOnePassReadingAgreesWithThePanesReaders) {
    startWithTranslation(QStringLiteral(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 Century;}}{\\colortbl;\\red255\\green0\\blue0;}"
        "ab{\\b cd}ef{\\b gh}\\par{\\f1\\fs30 ij}{\\cf1\\ul kl}{\\i mn}\\par o\\par}"));
    RichTextPane* pane = form()->Rtxt2;
    const int length = int(pane->toPlainText().size());
    for (int start = 0; start < length; ++start)
        for (int n = 1; start + n <= length; ++n) {
            select(start, n);
            const SelectionFormat f = SelectionFormat::of(*pane);
            const QString where = QStringLiteral("%1+%2").arg(start).arg(n);
            EXPECT_EQ(f.fontName, pane->selFontName()) << where.toStdString();
            EXPECT_EQ(f.fontSize, pane->selFontSize()) << where.toStdString();
            EXPECT_EQ(f.bold, pane->selBold()) << where.toStdString();
            EXPECT_EQ(f.italic, pane->selItalic()) << where.toStdString();
            EXPECT_EQ(f.underline, pane->selUnderline()) << where.toStdString();
            EXPECT_EQ(f.color, pane->selColor()) << where.toStdString();
        }
}

TEST_F(TrackingTest, AFormatAppliedToTheSelectionShowsAtOnce) {
    startWithTranslation(QStringLiteral("{\\rtf1\\ansi some text\\par}"));
    select(0, 4);
    EXPECT_FALSE(pressed("bold"));
    form()->Rtxt2->setSelBold(true);
    EXPECT_TRUE(pressed("bold"));
}

TEST_F(TrackingTest, ColourItemsFollowTheTableOrder) {
    EXPECT_EQ(SelectionTracking::colorItem(QColor(0, 0, 255)), 2);
    EXPECT_EQ(SelectionTracking::colorItem(QColor(0, 255, 255)), 3);
    EXPECT_EQ(SelectionTracking::colorItem(QColor(0, 255, 0)), 5);
    EXPECT_EQ(SelectionTracking::colorItem(QColor(255, 0, 255)), 6);
    EXPECT_EQ(SelectionTracking::colorItem(QColor(255, 0, 0)), 7);
    EXPECT_EQ(SelectionTracking::colorItem(QColor(0, 0, 0)), 1);
    EXPECT_EQ(SelectionTracking::colorItem(QColor(1, 0, 0)), 0);
    EXPECT_EQ(SelectionTracking::colorItem(std::nullopt), 0);
}

TEST_F(TrackingTest, OnlyARealChangeMakesAPaneModified) {
    startWithTranslation(QStringLiteral("{\\rtf1\\ansi He came. She left.\\par}"));
    ProjectState& p = editor->project();
    TranslatorLForm* f = form();
    // Loading is no change.
    EXPECT_FALSE(p.transModified);
    EXPECT_FALSE(p.orgModified);
    // As after a save.
    f->mnuSave->setEnabled(false);
    f->toolButton(QStringLiteral("save"))->setEnabled(false);

    QTest::keyClick(f->Rtxt2, Qt::Key_Right);
    QTest::keyClick(f->Rtxt2, Qt::Key_End, Qt::ShiftModifier);
    select(0, 2);
    EXPECT_FALSE(p.transModified);
    EXPECT_FALSE(f->mnuSave->isEnabled());
    // Composing with an input method and giving it up changes nothing; committing does.
    select(0, 0);
    QInputMethodEvent composing(QStringLiteral("かれ"), {});
    QApplication::sendEvent(f->Rtxt2, &composing);
    QInputMethodEvent givenUp(QString(), {});
    QApplication::sendEvent(f->Rtxt2, &givenUp);
    EXPECT_FALSE(p.transModified);
    EXPECT_FALSE(f->mnuSave->isEnabled());
    QInputMethodEvent committed;
    committed.setCommitString(QStringLiteral("彼"));
    QApplication::sendEvent(f->Rtxt2, &committed);
    EXPECT_EQ(f->Rtxt2->toPlainText(), QStringLiteral("彼He came. She left."));
    EXPECT_TRUE(p.transModified);
    p.transModified = false;
    f->mnuSave->setEnabled(false);
    f->toolButton(QStringLiteral("save"))->setEnabled(false);

    // A format change is a change.
    select(0, 2);
    f->Rtxt2->setSelItalic(true);
    EXPECT_TRUE(p.transModified);
    EXPECT_FALSE(p.orgModified);
    EXPECT_TRUE(f->mnuSave->isEnabled());
    EXPECT_TRUE(f->toolButton(QStringLiteral("save"))->isEnabled());
}

TEST_F(TrackingTest, TypingMakesTheOriginalModified) {
    startWithCatProject();
    ProjectState& p = editor->project();
    form()->mnuSave->setEnabled(false);
    form()->Rtxt1->setFocus();
    QTest::keyClick(form()->Rtxt1, Qt::Key_Right);
    EXPECT_FALSE(p.orgModified);
    QTest::keyClicks(form()->Rtxt1, QStringLiteral("x"));
    EXPECT_TRUE(p.orgModified);
    EXPECT_FALSE(p.transModified);
    EXPECT_TRUE(form()->mnuSave->isEnabled());
}

} // namespace
