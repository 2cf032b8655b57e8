// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmplanset.h"

#include "core/projects/projectstate.h"
#include "core/settings/session.h"
#include "frmnewplanwizard.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "projectcommands.h"
#include "translator/editorexit.h"
#include "translator/frmtranslatorl.h"
#include "ui/plansetform.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"

#include <QComboBox>
#include <QPushButton>

FrmPlanSet::FrmPlanSet(ProjectCommands& commands)
    : QObject(&commands), m_commands(commands), m_form(new PlanSetForm(commands.window().form())) {
    PlanSetForm* f = m_form;
    connect(f, &QObject::destroyed, this, [this] { m_form = nullptr; });
    connect(f->Combo1, &QComboBox::activated, this, [this] { Combo1Click(); });
    connect(f->Combo1, &QComboBox::editTextChanged, this, [this] { Combo1Click(); });
    connect(f->cmdOK, &QPushButton::clicked, this, [this] { cmdOKClick(); });
    connect(f->cmdCancel, &QPushButton::clicked, this, [this] { cmdCancelClick(); });
    connect(f->cmdDelete, &QPushButton::clicked, this, [this] { cmdDeleteClick(); });
    connect(f->cmdNew, &QPushButton::clicked, this, [this] { cmdNewClick(); });
}

FrmPlanSet::~FrmPlanSet() {
    delete m_form;
}

void FrmPlanSet::open() {
    formLoad();
    m_form->show();
    m_form->raise();
    m_form->activateWindow();
}

void FrmPlanSet::fill(int selected) {
    QComboBox* combo = m_form->Combo1;
    const QSignalBlocker block(combo);
    combo->clear();
    for (const PlanInfo& plan : m_commands.window().project().plans)
        combo->addItem(plan.planName);
    combo->setCurrentIndex(combo->count() > 0 ? selected : -1);
    if (combo->count() == 0)
        combo->clearEditText();
}

void FrmPlanSet::formLoad() {
    guarded(terminating(u"ﾌｫｰﾑﾛｰﾄﾞ時", "Error106"), [this] {
        PlanSetForm* f = m_form;
        ProjectState& p = m_commands.window().project();
        f->cmdCancel->setEnabled(true);
        f->cmdDelete->setEnabled(false);
        m_currentOnEntry = p.current.planName;
        std::optional<projectfiles::FileDamage> damage;
        p.plans = projectfiles::loadPlanList(session().appFolder, &damage);
        if (damage)
            showMessage(damage->message(), projectfiles::DamageTitle, MessageButtons::Ok,
                        MessageIcon::Exclamation);
        // The project in use is shown first; when it is no longer listed, the first entry.
        int selected = 0;
        for (int i = 0; i < int(p.plans.size()); ++i)
            if (!m_currentOnEntry.isEmpty() && p.plans[i].planName == m_currentOnEntry) {
                selected = i;
                break;
            }
        fill(selected);
        Combo1Click();
    });
}

void FrmPlanSet::Combo1Click() {
    guarded(reportOnly(u"ｺﾝﾎﾞﾎﾞｯｸｽ選択時", "Error257"),
            [this] { m_form->cmdDelete->setEnabled(!m_form->Combo1->currentText().isEmpty()); });
}

int FrmPlanSet::namedEntry() const {
    return m_form->Combo1->findText(m_form->Combo1->currentText(),
                                    Qt::MatchExactly | Qt::MatchCaseSensitive);
}

bool FrmPlanSet::offerToSave() {
    ProjectState& p = m_commands.window().project();
    TranslatorLForm* f = m_commands.window().form();
    if (!m_commands.hasUnsavedChanges())
        return true;
    const bool ownFiles = p.projectInUse() && !p.untitledWork;
    if (!ownFiles && f->Rtxt1->document()->isEmpty() && f->Rtxt2->document()->isEmpty())
        return true;
    const Answer answer = showMessage(
        QStringLiteral("閉じる前に現在の『翻訳部』の内容を保存しますか？"),
        QStringLiteral("変更内容の保存の確認"), MessageButtons::YesNoCancel, MessageIcon::Question);
    if (answer == Answer::Cancel)
        return false;
    if (answer == Answer::No)
        return true;
    return ownFiles ? m_commands.window().exits()->saveDocuments() : m_commands.saveUntitledWork();
}

void FrmPlanSet::cmdOKClick() {
    guarded(terminating(u"OKﾎﾞﾀﾝｸﾘｯｸ時", "Error105"), [this] {
        PlanSetForm* f = m_form;
        ProjectState& p = m_commands.window().project();
        if (f->Combo1->currentText().isEmpty()) {
            showMessage(QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄがひとつもありません"),
                        QStringLiteral("開くﾌﾟﾛｼﾞｪｸﾄの確認"));
            return;
        }
        const int entry = namedEntry();
        if (entry < 0) {
            showMessage(QStringLiteral("選択されたﾌﾟﾛｼﾞｪｸﾄが見つかりません"),
                        QStringLiteral("開くﾌﾟﾛｼﾞｪｸﾄの確認"));
            return;
        }
        const PlanInfo chosen = p.plans[entry];
        // A record the list files cannot hold leads to no file of its own and no project.
        const QString refusal = projectfiles::refusalFor(chosen);
        if (!refusal.isEmpty()) {
            showMessage(QStringLiteral("このﾌﾟﾛｼﾞｪｸﾄは開けません。\r\n") + refusal,
                        QStringLiteral("開くﾌﾟﾛｼﾞｪｸﾄの確認"), MessageButtons::Ok,
                        MessageIcon::Exclamation);
            return;
        }
        // The dialog stays open beside the editor: the panes hold that project only if New or
        // Save has not given them other work since.
        const bool sameProject = !m_currentOnEntry.isEmpty() &&
                                 m_currentOnEntry == chosen.planName &&
                                 p.current.planName == m_currentOnEntry && !p.untitledWork;
        // The panes are replaced only once their changes are saved or given up.
        if (!sameProject && !offerToSave())
            return;
        // A ctrinfo.vtd that cannot be written (a full disk) is reported and the dialog stays,
        // with the work in the panes.
        try {
            projectfiles::saveCurrentPlan(session().appFolder, chosen);
        } catch (const RuntimeFailure& failed) {
            EditorExit::reportUnsaved(session().appFolder + u'/' + projectfiles::CurrentPlanFile,
                                      failed.description());
            return;
        }
        p.makeCurrent(chosen);
        if (!sameProject)
            m_commands.loadProject();
        m_commands.showProjectPanels();
        p.untitledWork = false;
        f->hide();
    });
}

void FrmPlanSet::cmdCancelClick() {
    // The work in the panes keeps its modified flags: it is as unsaved as before.
    guarded(terminating(u"ｷｬﾝｾﾙﾎﾞﾀﾝｸﾘｯｸ時", "Error102"), [this] { m_form->hide(); });
}

void FrmPlanSet::cmdNewClick() {
    guarded(terminating(u"新規ﾌﾟﾛｼﾞｪｸﾄﾎﾞﾀﾝｸﾘｯｸ時", "Error104"), [this] {
        FrmNewPlanWizard wizard(m_commands.window().project(),
                                FrmNewPlanWizard::Purpose::ProjectList, m_form);
        if (!wizard.exec())
            return;
        fill(0);
        Combo1Click();
    });
}

void FrmPlanSet::cmdDeleteClick() {
    guarded(terminating(u"削除処理時", "Error103"), [this] {
        PlanSetForm* f = m_form;
        ProjectState& p = m_commands.window().project();
        if (f->Combo1->currentText().isEmpty())
            return;
        const int entry = namedEntry();
        if (entry < 0) {
            showMessage(QStringLiteral("削除するﾌﾞｯｸ名をﾄﾞﾛｯﾌﾟﾀﾞｳﾝしてから選び直して下さい"),
                        QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄの選択確認"));
            return;
        }
        if (showMessage(QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄ『") + p.plans[entry].planName +
                            QStringLiteral("』を削除します"),
                        QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄの削除"), MessageButtons::YesNo,
                        MessageIcon::Question) != Answer::Yes)
            return;
        const bool last = p.plans.size() == 1;
        // Deleting the last project empties the panes: their changes are offered for saving
        // first.
        if (last && !offerToSave())
            return;
        const QString& appFolder = session().appFolder;
        PlanList marked = p.plans;
        marked[entry].planName = projectfiles::DeletedMarker;
        // A list that cannot be rewritten (a full disk) keeps the project, and the program goes
        // on with the work in the panes.
        try {
            projectfiles::savePlanList(appFolder, marked, true);
        } catch (const RuntimeFailure& failed) {
            EditorExit::reportUnsaved(appFolder + u'/' + projectfiles::PlanListFile,
                                      failed.description());
            return;
        }
        f->cmdCancel->setEnabled(false);
        p.plans = std::move(marked);
        f->Combo1->removeItem(entry);
        if (!last) {
            p.plans = projectfiles::loadPlanList(appFolder);
            fill(0);
            Combo1Click();
            return;
        }
        projectfiles::removeCurrentPlan(appFolder);
        showMessage(QStringLiteral("既存のﾌﾟﾛｼﾞｪｸﾄはひとつもありません。"),
                    QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄ情報"));
        f->cmdCancel->setEnabled(true);
        p.plans.clear();
        fill(0);
        Combo1Click();
        m_currentOnEntry.clear();
        m_commands.forgetProject();
    });
}
