// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmfind.h"

#include "core/projects/projectstate.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "textsearch.h"
#include "translator/frmtranslatorl.h"
#include "ui/findform.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

FrmFind::FrmFind(FrmTranslatorL& window) : m_window(window), m_form(new FindForm(window.form())) {
    FindForm* f = m_form;
    connect(f->Check1, &QCheckBox::clicked, this, [this] { Check1Click(); });
    connect(f->cmdFind, &QPushButton::clicked, this, [this] { cmdFindClick(); });
    connect(f->cmdRewrite, &QPushButton::clicked, this, [this] { cmdRewriteClick(); });
    connect(f->cmdAllrewrite, &QPushButton::clicked, this, [this] { cmdAllrewriteClick(); });
    connect(f->cmdClose, &QPushButton::clicked, this, [this] { cmdCloseClick(); });
    // The frame's close box and Esc close the dialog as its button does.
    connect(f, &QDialog::finished, this, [this] { cmdCloseClick(); });
}

FrmFind::~FrmFind() {
    delete m_form;
}

void FrmFind::formLoad(const QString& preset) {
    guarded(terminating(u"ﾌｫｰﾑﾛｰﾄﾞ時", "Error52"), [&] {
        FindForm* f = m_form;
        if (m_window.project().useOrgFile) {
            f->Option1[0]->setEnabled(true);
            f->Option1[m_window.activePane() == u"Rtxt1" ? 0 : 1]->setChecked(true);
        } else {
            f->Option1[0]->setEnabled(false);
            f->Option1[1]->setChecked(true);
        }
        f->Check1->setChecked(true);
        m_fromTop = true;
        f->txtFind->setText(preset);
        f->txtFind->selectAll();
        f->txtRewrite->clear();
        f->cmdRewrite->setEnabled(false);
    });
}

RichTextPane* FrmFind::target() const {
    TranslatorLForm* f = m_window.form();
    return m_form->Option1[0]->isChecked() ? f->Rtxt1 : f->Rtxt2;
}

Qt::CaseSensitivity FrmFind::caseSensitivity() const {
    return m_form->Check2->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

bool FrmFind::searchTextMissing() const {
    if (!m_form->txtFind->text().isEmpty())
        return false;
    showMessage(QStringLiteral("検索する文字列を入力して下さい"), QStringLiteral("検索確認"));
    return true;
}

bool FrmFind::editRefused(const RichTextPane* pane) const {
    // Replacing goes through the document, past the pane's read-only state: an original the
    // user may not edit would be changed all the same.
    if (!pane->isReadOnly())
        return false;
    showMessage(QStringLiteral("<原文>の編集を許可する設定になっていません"),
                QStringLiteral("編集許可確認"));
    return true;
}

void FrmFind::startFromTopAgain() {
    m_form->Check1->setChecked(true);
    m_fromTop = true;
}

void FrmFind::Check1Click() {
    guarded(reportOnly(u"ﾁｪｯｸﾎﾞｯｸｽｸﾘｯｸ時", "Error47"),
            [this] { m_fromTop = m_form->Check1->isChecked(); });
}

void FrmFind::cmdFindClick() {
    guarded(reportOnly(u"次を検索時", "Error50"), [this] {
        if (searchTextMissing())
            return;
        RichTextPane* pane = target();
        int from = 0;
        // The box keeps its tick: only this one search starts at the top.
        if (m_fromTop)
            m_fromTop = false;
        else
            from = pane->selStart() + pane->selLength();
        if (!textsearch::selectNext(*pane, m_form->txtFind->text(), from, caseSensitivity())) {
            showMessage(QStringLiteral("ﾌｧｲﾙの末尾まで検索しました。"), QStringLiteral("検索確認"));
            startFromTopAgain();
        }
        m_form->cmdRewrite->setEnabled(true);
    });
}

void FrmFind::cmdRewriteClick() {
    guarded(reportOnly(u"置換時", "Error51"), [this] {
        if (searchTextMissing())
            return;
        RichTextPane* pane = target();
        if (editRefused(pane))
            return;
        // Whatever is selected is replaced: the user may have moved the selection on purpose.
        pane->setSelText(m_form->txtRewrite->text());
    });
}

void FrmFind::cmdAllrewriteClick() {
    guarded(reportOnly(u"すべて置換時", "Error48"), [this] {
        if (searchTextMissing())
            return;
        RichTextPane* pane = target();
        if (editRefused(pane))
            return;
        int from = 0;
        if (m_fromTop)
            m_fromTop = false;
        else
            from = pane->selStart();
        const int count = textsearch::replaceAll(
            *pane, m_form->txtFind->text(), m_form->txtRewrite->text(), from, caseSensitivity());
        if (count == 0)
            showMessage(
                QStringLiteral("検索する文字列が見つからなかったので置換出来ませんでした。"),
                QStringLiteral("置換情報"));
        else
            showMessage(QString::number(count) + QStringLiteral(" 個の文字列を置換しました。"),
                        QStringLiteral("置換確認"));
        startFromTopAgain();
    });
}

void FrmFind::cmdCloseClick() {
    if (m_closed)
        return;
    guarded(terminating(u"閉じる時", "Error49"), [this] {
        m_closed = true;
        m_window.project().findDialogOpen = false;
        m_form->hide();
        emit closed();
    });
}

FindCommand::FindCommand(FrmTranslatorL& window, QObject* parent)
    : QObject(parent), m_window(window) {
    // The tool bar's find button runs this menu item.
    connect(window.form()->mnuFind, &QAction::triggered, this, [this] { mnuFindClick(); });
}

FindCommand::~FindCommand() {
    delete m_dialog;
}

void FindCommand::mnuFindClick() {
    guarded(terminating(u"検索選択時", "Error147"), [this] {
        TranslatorLForm* f = m_window.form();
        const QString& active = m_window.activePane();
        RichTextPane* pane = active == u"Rtxt1"   ? f->Rtxt1
                             : active == u"Rtxt2" ? f->Rtxt2
                                                  : nullptr;
        if (pane && pane->selLength() > 0)
            m_preset = pane->selText();
        if (!m_dialog) {
            m_dialog = new FrmFind(m_window);
            connect(m_dialog, &FrmFind::closed, m_dialog, &QObject::deleteLater);
            m_dialog->formLoad(m_preset);
        }
        m_window.project().findDialogOpen = true;
        m_dialog->form()->show();
        m_dialog->form()->raise();
        m_dialog->form()->activateWindow();
    });
}
