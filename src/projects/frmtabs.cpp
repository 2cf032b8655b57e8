// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmtabs.h"

#include "core/projects/projectstate.h"
#include "core/settings/session.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "ui/richtextpane.h"
#include "ui/tabsform.h"
#include "unitentry.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

FrmTabs::FrmTabs(ProjectState& project, std::function<QList<RichTextPane*>()> panes,
                 QWidget* parent)
    : m_project(project), m_panes(std::move(panes)), m_form(new TabsForm(parent)) {
    connect(m_form->cmdOKSave, &QPushButton::clicked, this,
            [this] { guarded(terminating(u"保存時", "Error125"), [this] { cmdOKSaveClick(); }); });
    connect(m_form->cmdCancel, &QPushButton::clicked, this,
            [this] { guarded(terminating(u"ｷｬﾝｾﾙ時", "Error124"), [this] { cmdCancelClick(); }); });
}

FrmTabs::~FrmTabs() {
    delete m_form;
}

void FrmTabs::exec() {
    if (guarded(terminating(u"ﾌｫｰﾑﾛｰﾄﾞ時", "Error126"), [this] { formLoad(); }))
        m_form->exec();
}

void FrmTabs::formLoad() {
    for (int i = 0; i < 4; ++i)
        m_form->Text1[i]->setText(unitentry::fromTwips(m_project.tabStops[i]));
}

void FrmTabs::cmdOKSaveClick() {
    TabStops stops{};
    for (int i = 0; i < 4; ++i) {
        const std::optional<int> twips = unitentry::toTwips(m_form->Text1[i]->text());
        if (!twips) {
            showMessage(unitentry::refusal(m_form->Label1[i]->text()), QStringLiteral("タブの設定"),
                        MessageButtons::Ok, MessageIcon::Exclamation);
            m_form->Text1[i]->setFocus();
            m_form->Text1[i]->selectAll();
            return;
        }
        stops[i] = qint16(*twips);
    }
    projectfiles::saveTabStops(session().appFolder, stops);
    m_project.tabStops = stops;
    const QList<int> positions(stops.begin(), stops.end());
    for (RichTextPane* pane : m_panes())
        if (pane)
            pane->setSelTabs(positions);
    m_form->accept();
}

void FrmTabs::cmdCancelClick() {
    m_form->reject();
}
