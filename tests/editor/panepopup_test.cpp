// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/projects/projectstate.h"
#include "editor_fixture.h"
#include "translator/panepopup.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTimer>

namespace {

class PanePopupTest : public EditorTest {
protected:
    void startWithTranslation(const QString& text) {
        startWithProject(QStringLiteral("右"), QStringLiteral("original"),
                         QStringLiteral("訳文.txt"), text, {"apple", "run"});
    }
    // Right-clicks the pane; while the pop-up is open, notes its visible items and whether it is
    // enabled, then closes it and runs the item given, as choosing an item does. The pane gets
    // its focus back before the item runs unless focusBack is false.
    // The editor over the translation "I run.", "run" selected in its focused pane.
    RichTextPane* startWithRunSelected() {
        startWithTranslation(QStringLiteral("I run."));
        RichTextPane* pane = form()->Rtxt2;
        pane->setFocus();
        pane->setSelStart(2);
        pane->setSelLength(3);
        return pane;
    }
    void rightClick(RichTextPane* pane, QAction* choose = nullptr, bool focusBack = true) {
        shown.clear();
        QTimer::singleShot(0, pane, [this, choose, focusBack] {
            QMenu* menu = form()->popPopup;
            openAndEnabled = menu->isVisible() && menu->isEnabled();
            for (QAction* a : menu->actions())
                if (a->isVisible())
                    shown << a->objectName();
            menu->hide();
            if (focusBack)
                reactivate();
            if (choose)
                choose->trigger();
        });
        QTest::mouseClick(pane->viewport(), Qt::RightButton, {}, QPoint(5, 5));
        if (focusBack)
            reactivate();
    }
    // The offscreen platform gives the activation to the pop-up and, unlike a window system,
    // does not hand it back when the pop-up closes.
    void reactivate() {
        form()->activateWindow();
        QTest::qWaitFor([this] { return QApplication::activeWindow() == form(); }, 60000);
        ASSERT_EQ(QApplication::activeWindow(), form());
    }
    QStringList shown;
    bool openAndEnabled = false;
};

TEST_F(PanePopupTest, ShowsCutCopyFontAndQuickSearchOnlyForASelection) {
    RichTextPane* pane = startWithRunSelected();
    TranslatorLForm* f = form();
    rightClick(pane);
    EXPECT_TRUE(openAndEnabled);
    EXPECT_EQ(shown, QStringList({"popCut", "popCopy", "popPaste", "popSep1", "popSelectAll",
                                  "popSep2", "popFont", "popSep3", "popQSrch", "popSep4",
                                  "popShowCmnt", "popTransOption"}));
    // The right button keeps the selection it was pressed on.
    EXPECT_EQ(pane->selText(), QStringLiteral("run"));
    EXPECT_FALSE(f->popCut->isVisible());
    EXPECT_FALSE(f->popPopup->isEnabled());
    EXPECT_FALSE(editor->popup()->isOpen());

    pane->setSelLength(0);
    rightClick(pane);
    EXPECT_EQ(shown, QStringList({"popPaste", "popSep1", "popSelectAll", "popSep2", "popShowCmnt",
                                  "popTransOption"}));
    // The left button opens nothing.
    QTest::mouseClick(pane->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(f->popPopup->isVisible());
}

TEST_F(PanePopupTest, ItemsRunTheirCommandsOnThePane) {
    RichTextPane* pane = startWithRunSelected();
    TranslatorLForm* f = form();
    rightClick(pane, f->popCut);
    EXPECT_EQ(pane->toPlainText(), QStringLiteral("I ."));
    rightClick(pane, f->popPaste);
    EXPECT_EQ(pane->toPlainText(), QStringLiteral("I run."));
    rightClick(pane, f->popSelectAll);
    EXPECT_EQ(pane->selLength(), 6);
    EXPECT_TRUE(pane->hasFocus());
}

TEST_F(PanePopupTest, AQuickSearchFromThePopupLeavesTheFocusInTheWordPane) {
    startWithTranslation(QStringLiteral("I run."));
    TranslatorLForm* f = form();
    editor->project().quickSearch.focusWordPaneAfterSearch = true;
    RichTextPane* pane = f->Rtxt2;
    pane->setFocus();
    pane->setSelStart(2);
    pane->setSelLength(3);
    rightClick(pane, f->popQSrch);
    EXPECT_EQ(f->txtWord->text(), QStringLiteral("run"));
    EXPECT_EQ(QApplication::focusWidget(), f->txtInput);
    EXPECT_FALSE(editor->popup()->wordPaneFocusRequested());
    // Served once: going back to the pane keeps the focus there.
    pane->setFocus();
    EXPECT_TRUE(pane->hasFocus());

    // Without the option the focus stays in the pane, and no request is left behind.
    editor->project().quickSearch.focusWordPaneAfterSearch = false;
    rightClick(pane, f->popQSrch);
    EXPECT_TRUE(pane->hasFocus());
    EXPECT_FALSE(editor->popup()->wordPaneFocusRequested());
}

TEST_F(PanePopupTest, TheCommentWindowRequestOpensItAfterThePopupAndAtTheNextFocus) {
    startWithTranslation(QStringLiteral("text"));
    TranslatorLForm* f = form();
    QSignalSpy comment(f->mnuComment, &QAction::triggered);
    RichTextPane* pane = f->Rtxt2;
    pane->setFocus();
    rightClick(pane, f->popShowCmnt, /*focusBack=*/false);
    EXPECT_EQ(comment.count(), 1);
    EXPECT_TRUE(editor->popup()->commentWindowRequested());
    reactivate();
    EXPECT_EQ(comment.count(), 2);
    EXPECT_FALSE(editor->popup()->commentWindowRequested());
    f->Rtxt1->setFocus();
    EXPECT_EQ(comment.count(), 2);
}

} // namespace
