// SPDX-License-Identifier: GPL-3.0-or-later
#include "optioncommands.h"

#include "core/projects/projectstate.h"
#include "editorhelp.h"
#include "frmindent.h"
#include "frmtabs.h"
#include "frmtransoption.h"
#include "panepprint.h"
#include "platform/errorguard.h"
#include "translator/editorspelling.h"
#include "translator/frmtranslatorl.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"

#include <QAction>

OptionCommands::OptionCommands(FrmTranslatorL& window, QObject* parent)
    : QObject(parent ? parent : &window), m_window(window) {
    TranslatorLForm* f = window.form();
    // The original is only read until its editing is allowed in the options.
    f->Rtxt1->setReadOnly(!window.project().allowOrgEdit);
    const auto on = [this](QAction* action, ErrorContext where, void (OptionCommands::*handler)()) {
        connect(action, &QAction::triggered, this, [this, where, handler] {
            guarded(where, [this, handler] { (this->*handler)(); });
        });
    };
    on(f->mnuOption, terminating(u"ｵﾌﾟｼｮﾝ選択時", "Error158"), &OptionCommands::mnuOptionClick);
    on(f->popTransOption, reportOnly(u"POPUPｵﾌﾟｼｮﾝ選択時", "Error283"),
       &OptionCommands::mnuOptionClick);
    on(f->mnuTabs, terminating(u"ﾀﾌﾞ設定を開く時", "Error165"), &OptionCommands::mnuTabsClick);
    on(f->mnuIndentSetting, reportOnly(u"ｲﾝﾃﾞﾝﾄ値の設定選択時", "Error153"),
       &OptionCommands::mnuIndentSettingClick);
    on(f->mnuPrint, terminating(u"ﾌﾞｯｸ追加時", "Error160"), &OptionCommands::mnuPrintClick);
    on(f->mnuHelpOpen, terminating(u"ﾌﾞｯｸ追加時", "Error150"), &OptionCommands::mnuHelpOpenClick);
}

RichTextPane* OptionCommands::activeTextPane() const {
    const QString& name = m_window.activePane();
    if (name == u"Rtxt1")
        return m_window.form()->Rtxt1;
    if (name == u"Rtxt2")
        return m_window.form()->Rtxt2;
    return nullptr;
}

void OptionCommands::mnuOptionClick() {
    FrmTransOption dialog(m_window);
    dialog.exec();
    m_window.spelling()->followOriginalPaneEditing();
}

void OptionCommands::mnuTabsClick() {
    FrmTabs dialog(
        m_window.project(),
        [this] {
            QList<RichTextPane*> panes{m_window.form()->Rtxt1, m_window.form()->Rtxt2};
            if (commentPane)
                panes.append(commentPane());
            return panes;
        },
        m_window.form());
    dialog.exec();
}

void OptionCommands::mnuIndentSettingClick() {
    RichTextPane* pane = activeTextPane();
    if (!pane && m_window.activePane() == u"Rtxt3" && commentPane)
        pane = commentPane();
    FrmIndent dialog(m_window.project(), pane, m_window.form());
    dialog.exec();
}

void OptionCommands::mnuPrintClick() {
    if (RichTextPane* pane = activeTextPane())
        panepprint::printPane(*pane);
}

void OptionCommands::mnuHelpOpenClick() {
    editorhelp::open(m_window.form());
}
