// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmcomment.h"

#include "core/projects/projectstate.h"
#include "frmindent.h"
#include "panepprint.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "ui/commentform.h"
#include "ui/richtextpane.h"
#include "ui/twipslayout.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTextCursor>

FrmComment::FrmComment(ProjectState& project, QObject* parent)
    : QObject(parent), m_project(project), m_form(new CommentForm) {
    m_form->Rtxt3->setKeepSelectionVisible(true);
    connectEvents();
}

FrmComment::~FrmComment() {
    // The form's children report their last events while it is destroyed; by then it is no
    // longer a comment form to ask about them.
    m_form->client()->removeEventFilter(this);
    delete m_form;
}

RichTextPane* FrmComment::pane() const {
    return m_form->Rtxt3;
}

void FrmComment::connectEvents() {
    CommentForm* f = m_form;
    const auto on = [this](QAction* action, void (FrmComment::*handler)()) {
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    };
    on(f->mnuPrint, &FrmComment::mnuPrintClick);
    on(f->mnuGotoTrans, &FrmComment::mnuGotoTransClick);
    on(f->mnuClose, &FrmComment::mnuCloseClick);
    on(f->mnuCut, &FrmComment::mnuCutClick);
    on(f->mnuCopy, &FrmComment::mnuCopyClick);
    on(f->mnuPaste, &FrmComment::mnuPasteClick);
    on(f->mnuSelectAll, &FrmComment::mnuSelectAllClick);
    on(f->mnuFont, &FrmComment::mnuFontClick);
    on(f->mnuIndentDo, &FrmComment::mnuIndentDoClick);
    on(f->mnuIdtRelease, &FrmComment::mnuIdtReleaseClick);
    on(f->mnuIndentSetting, &FrmComment::mnuIndentSettingClick);
    on(f->mnuLeft, &FrmComment::mnuLeftClick);
    on(f->mnuCenter, &FrmComment::mnuCenterClick);
    on(f->mnuRight, &FrmComment::mnuRightClick);
    on(f->mnuBulletDo, &FrmComment::mnuBulletDoClick);
    on(f->mnuBulletRelease, &FrmComment::mnuBulletReleaseClick);
    connect(f->cmdFind, &QPushButton::clicked, this, [this] { cmdFindClick(); });
    connect(f->Text1, &QLineEdit::returnPressed, this, [this] { cmdFindClick(); });
    // Follows the pane to a newly loaded document and covers format changes too.
    connect(f->Rtxt3, &QTextEdit::textChanged, this, [this] { m_modified = true; });
    connect(f, &CommentForm::closeRequested, this, [this] { mnuCloseClick(); });
    f->client()->installEventFilter(this);
}

bool FrmComment::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_form->client() && event->type() == QEvent::Resize)
        formResize();
    return false;
}

// ---- Start and unload -----------------------------------------------------------------------

bool FrmComment::formLoad() {
    return guarded(terminating(u"ﾌｫｰﾑﾛｰﾄﾞ時", "Error2"), [this] {
        RichTextPane* pane = m_form->Rtxt3;
        formResize();
        pane->clear();
        const PlanInfo& plan = m_project.current;
        // A fresh record (after New) uses comments but names no file yet: there is nothing to
        // load or create until the work becomes a project.
        if (plan.useCmnt && !plan.cmntFilePath.isEmpty()) {
            if (QFile::exists(plan.cmntFilePath))
                loadCommentFile(plan.cmntFilePath);
            else if (!savePane())
                m_fileReadWhole = false;
        }
        m_project.indentWidth = 480;
        // An empty pane types with the tab stops; a loaded document keeps its own.
        if (pane->document()->isEmpty()) {
            const TabStops& tabs = m_project.tabStops;
            pane->setSelTabs(QList<int>(tabs.begin(), tabs.end()));
        }
        m_modified = false;
        if (m_project.projectInUse())
            m_form->StatusBar1Panel1->setText(plan.cmntFilePath);
    });
}

void FrmComment::loadCommentFile(const QString& path) {
    QString error;
    m_fileReadWhole = m_form->Rtxt3->loadFile(path, &error);
    if (m_fileReadWhole)
        return;
    // The rest of the project goes on loading; the file is kept as it is unless the user
    // writes into the pane.
    showMessage(QStringLiteral("ﾌｧｲﾙを読み込めませんでした。\r\n") + path + QStringLiteral("\r\n") +
                    error,
                QStringLiteral("読み込みｴﾗｰ"), MessageButtons::Ok, MessageIcon::Exclamation);
}

bool FrmComment::savePane() {
    const QString& path = m_project.current.cmntFilePath;
    RichTextPane* pane = m_form->Rtxt3;
    if (path.isEmpty())
        return true;
    if (!m_fileReadWhole && !m_modified)
        return true;
    QString error;
    if (!pane->saveFile(path, &error)) {
        showMessage(QStringLiteral("ﾌｧｲﾙを保存できませんでした。\r\n") + path +
                        QStringLiteral("\r\n") + error,
                    QStringLiteral("保存ｴﾗｰ"), MessageButtons::Ok, MessageIcon::Exclamation);
        return false;
    }
    m_fileReadWhole = true;
    m_modified = false;
    return true;
}

bool FrmComment::queryUnload() {
    bool saved = false;
    guarded(terminating(u"終了時", "Error3"), [this, &saved] {
        saved = savePane();
        if (saved)
            m_project.cmntLoaded = false;
    });
    return saved;
}

// ---- Layout ---------------------------------------------------------------------------------

void FrmComment::formResize() {
    guarded(reportOnly(u"ｻｲｽﾞ変更時", "Error4"), [this] {
        CommentForm* f = m_form;
        const int width = f->innerWidth();
        const int height = f->innerHeight();
        // The window's minimum size keeps the pane from a negative size.
        const int paneWidth = std::max(width - 100, 0);
        twipslayout::place(f->Rtxt3, 50, 500, paneWidth, std::max(height - 850, 0));
        f->Rtxt3->setRightMargin(std::max(paneWidth - 400, 0));
        twipslayout::place(f->Line1[0], 0, 0, width, 30);
        twipslayout::place(f->Line1[1], 0, 440, width, 30);
        twipslayout::place(f->StatusBar1, 0, height - 350, width, 350);
    });
}

// ---- Find -----------------------------------------------------------------------------------

void FrmComment::cmdFindClick() {
    guarded(reportOnly(u"検索時", "Error1"), [this] {
        RichTextPane* pane = m_form->Rtxt3;
        const QString what = m_form->Text1->text();
        if (what.isEmpty())
            return;
        const QString text = pane->toPlainText();
        // From behind the selection, so that the next Find moves on; no wrap at the end.
        const qsizetype found =
            text.indexOf(what, pane->selStart() + pane->selLength(), Qt::CaseSensitive);
        if (found < 0) {
            showMessage(QStringLiteral("ﾌｧｲﾙの末尾まで検索しました"));
            return;
        }
        pane->setSelStart(int(found));
        pane->setSelLength(int(what.size()));
    });
}

// ---- Window ---------------------------------------------------------------------------------

void FrmComment::mnuGotoTransClick() {
    guarded(terminating(u"戻る時", "Error12"), [this] {
        m_form->hide();
        emit hidden();
    });
}

void FrmComment::mnuCloseClick() {
    guarded(terminating(u"閉じる時", "Error8"), [this] { emit unloadRequested(); });
}

void FrmComment::mnuPrintClick() {
    guarded(terminating(u"印刷時", "Error18"), [this] { panepprint::printPane(*m_form->Rtxt3); });
}

// ---- Clipboard ------------------------------------------------------------------------------

QWidget* FrmComment::activeControl() const {
    return m_form->focusWidget() ? m_form->focusWidget() : m_form->Rtxt3;
}

void FrmComment::mnuCopyClick() {
    guarded(reportOnly(u"ｺﾋﾟｰ時", "Error9"), [this] {
        QWidget* w = activeControl();
        QString text;
        if (auto* line = qobject_cast<QLineEdit*>(w))
            text = line->selectedText();
        else if (auto* edit = qobject_cast<QTextEdit*>(w))
            text = RichTextPane::selectedPlainText(edit->textCursor());
        if (!text.isEmpty())
            QApplication::clipboard()->setText(text);
    });
}

void FrmComment::mnuCutClick() {
    guarded(reportOnly(u"ｶｯﾄ時", "Error10"), [this] {
        QWidget* w = activeControl();
        QString text;
        if (auto* line = qobject_cast<QLineEdit*>(w)) {
            text = line->selectedText();
            line->del();
        } else if (auto* edit = qobject_cast<QTextEdit*>(w)) {
            QTextCursor cursor = edit->textCursor();
            text = RichTextPane::selectedPlainText(cursor);
            cursor.removeSelectedText();
        }
        if (!text.isEmpty())
            QApplication::clipboard()->setText(text);
    });
}

void FrmComment::mnuPasteClick() {
    guarded(reportOnly(u"貼付け時", "Error17"), [this] {
        // The controls' own paste inserts the clipboard's text as plain text.
        QWidget* w = activeControl();
        if (auto* line = qobject_cast<QLineEdit*>(w))
            line->paste();
        else if (auto* edit = qobject_cast<QTextEdit*>(w))
            edit->paste();
    });
}

void FrmComment::mnuSelectAllClick() {
    guarded(reportOnly(u"全て選択時", "Error20"), [this] {
        RichTextPane* pane = m_form->Rtxt3;
        pane->setSelStart(0);
        pane->setSelLength(int(pane->toPlainText().size()));
    });
}

// ---- Formatting -----------------------------------------------------------------------------

void FrmComment::mnuFontClick() {
    guarded(terminating(u"ﾌｫﾝﾄ設定時", "Error11"), [this] {
        RichTextPane* pane = m_form->Rtxt3;
        const std::optional<QFont> font = dialogs().font(pane->currentFont());
        if (!font)
            return;
        // One undo step for everything the dialog sets.
        QTextCursor block(pane->document());
        block.beginEditBlock();
        if (!font->families().isEmpty())
            pane->setSelFontName(font->families().constFirst());
        if (font->pointSizeF() > 0)
            pane->setSelFontSize(font->pointSizeF());
        pane->setSelBold(font->bold());
        pane->setSelItalic(font->italic());
        pane->setSelStrikeThrough(font->strikeOut());
        pane->setSelUnderline(font->underline());
        block.endEditBlock();
    });
}

void FrmComment::mnuIndentDoClick() {
    guarded(reportOnly(u"ｲﾝﾃﾞﾝﾄ適用時", "Error14"),
            [this] { m_form->Rtxt3->setSelIndent(m_project.indentWidth); });
}

void FrmComment::mnuIdtReleaseClick() {
    guarded(reportOnly(u"ｲﾝﾃﾞﾝﾄ解除時", "Error13"), [this] { m_form->Rtxt3->setSelIndent(0); });
}

void FrmComment::mnuIndentSettingClick() {
    guarded(reportOnly(u"ｲﾝﾃﾞﾝﾄ設定時", "Error15"), [this] {
        // The width starts from the indent at the comment pane's selection.
        FrmIndent dialog(m_project, m_form->Rtxt3, m_form);
        dialog.exec();
    });
}

void FrmComment::mnuLeftClick() {
    guarded(reportOnly(u"左揃え時", "Error16"),
            [this] { m_form->Rtxt3->setSelAlignment(RichTextPane::Alignment::Left); });
}

void FrmComment::mnuCenterClick() {
    guarded(reportOnly(u"中央揃え時", "Error7"),
            [this] { m_form->Rtxt3->setSelAlignment(RichTextPane::Alignment::Center); });
}

void FrmComment::mnuRightClick() {
    guarded(reportOnly(u"右揃え時", "Error19"),
            [this] { m_form->Rtxt3->setSelAlignment(RichTextPane::Alignment::Right); });
}

void FrmComment::mnuBulletDoClick() {
    guarded(reportOnly(u"ﾌﾞﾚｯﾄ適用時", "Error5"), [this] {
        m_form->Rtxt3->setBulletIndent(480);
        m_form->Rtxt3->setSelBullet(true);
    });
}

void FrmComment::mnuBulletReleaseClick() {
    guarded(reportOnly(u"ﾌﾞﾚｯﾄ解除時", "Error6"), [this] {
        m_form->Rtxt3->setBulletIndent(0);
        m_form->Rtxt3->setSelBullet(false);
    });
}
