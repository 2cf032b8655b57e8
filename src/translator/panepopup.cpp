// SPDX-License-Identifier: GPL-3.0-or-later
#include "panepopup.h"

#include "core/projects/projectstate.h"
#include "editorspelling.h"
#include "frmtranslatorl.h"
#include "platform/errorguard.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"
#include "wordpanebinding.h"

#include <QAction>
#include <QCursor>
#include <QLineEdit>
#include <QMenu>

PanePopup::PanePopup(FrmTranslatorL& window) : QObject(&window), m_window(window) {
    TranslatorLForm* f = window.form();
    for (RichTextPane* pane : {f->Rtxt1, f->Rtxt2}) {
        // This menu replaces the edit control's own, which would open on the press.
        pane->setContextMenuPolicy(Qt::PreventContextMenu);
        connect(pane, &RichTextPane::mouseUp, this, [this, pane](Qt::MouseButton button) {
            if (button != Qt::RightButton)
                return;
            guarded(reportOnly(u"ﾎﾟｯﾌﾟｱｯﾌﾟﾒﾆｭｰ表示時", "Error205"),
                    [&] { show(pane, QCursor::pos()); });
        });
    }
    connect(f->popQSrch, &QAction::triggered, this, [this] {
        guarded(reportOnly(u"POPUPｸｲｯｸｻｰﾁ選択時", "Error280"), [this] { quickSearch(); });
    });
    // Opening the window waits for the pop-up to close; the comment command itself is
    // mnuComment's.
    connect(f->popShowCmnt, &QAction::triggered, this, [this] { m_commentWindow = true; });
}

void PanePopup::show(RichTextPane* pane, const QPoint& at) {
    TranslatorLForm* f = m_window.form();
    const QList<QAction*> selectionItems = {f->popCut,    f->popCopy,  f->popFont,
                                            f->popSep[2], f->popQSrch, f->popSep[3]};
    f->popPopup->setEnabled(true);
    if (pane->selLength() >= 1) {
        for (QAction* a : selectionItems)
            a->setVisible(true);
        m_open = true;
    }
    // A misspelt word under the mouse brings its suggestions to the top, for this opening only.
    const QList<QAction*> spellingItems =
        m_window.spelling()->addPopupItems(f->popPopup, pane, pane->lastMouseUpPosition());
    // The items' commands run inside exec under their own error guards.
    f->popPopup->exec(at);
    qDeleteAll(spellingItems);
    for (QAction* a : selectionItems)
        a->setVisible(false);
    f->popPopup->setEnabled(false);
    m_open = false;

    // The pane has its focus back before a chosen item runs, so a quick search that moved the
    // focus to the word pane asked for it after the pane's got-focus: it is served here.
    if (m_wordPaneFocus)
        serveWordPaneFocus();
    if (m_commentWindow && m_window.activePane() == pane->objectName())
        f->mnuComment->trigger();
}

void PanePopup::quickSearch() {
    m_window.mnuQuickSearchClick();
    if (m_open && m_window.project().quickSearch.focusWordPaneAfterSearch)
        m_wordPaneFocus = true;
}

void PanePopup::paneGotFocus() {
    if (m_wordPaneFocus)
        serveWordPaneFocus();
    if (m_commentWindow) {
        m_commentWindow = false;
        m_window.form()->mnuComment->trigger();
    }
}

void PanePopup::serveWordPaneFocus() {
    m_wordPaneFocus = false;
    if (!m_window.wordPane()->focusByMode())
        m_window.form()->txtInput->setFocus();
}
