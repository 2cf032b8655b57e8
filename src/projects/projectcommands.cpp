// SPDX-License-Identifier: GPL-3.0-or-later
#include "projectcommands.h"

#include "core/projects/projectstate.h"
#include "core/settings/session.h"
#include "frmnewplanwizard.h"
#include "frmplanset.h"
#include "platform/dialogservice.h"
#include "platform/errorguard.h"
#include "translator/editorexit.h"
#include "translator/frmtranslatorl.h"
#include "translator/panelayout.h"
#include "ui/plansetform.h"
#include "ui/richtextpane.h"
#include "ui/translatorlform.h"

#include <QAction>
#include <QFile>

ProjectCommands::ProjectCommands(FrmTranslatorL& window, QObject* parent)
    : QObject(parent ? parent : &window), m_window(window) {
    TranslatorLForm* f = window.form();
    connect(f->mnuNew, &QAction::triggered, this, [this] { mnuNewClick(); });
    connect(f->mnuOpen, &QAction::triggered, this, [this] { mnuOpenClick(); });
    EditorExit::Hooks& hooks = window.exits()->hooks();
    hooks.saveUntitledWork = [this] { return saveUntitledWork(); };
    hooks.saveComment = [this] { return !m_comment.save || m_comment.save(); };
    hooks.closeComment = [this] { return closeComment(); };
    m_windowAlive = &window;
}

ProjectCommands::~ProjectCommands() {
    // Commands dropped while their window goes on must not be called back by it.
    if (m_windowAlive)
        m_window.exits()->hooks() = {};
}

bool ProjectCommands::hasUnsavedChanges() const {
    const ProjectState& p = m_window.project();
    return p.orgModified || p.transModified;
}

// ---- New ------------------------------------------------------------------------------------

void ProjectCommands::mnuNewClick() {
    guarded(reportOnly(u"新規作成時", "Error156"), [this] {
        ProjectState& p = m_window.project();
        TranslatorLForm* f = m_window.form();
        if (hasUnsavedChanges()) {
            const bool ownFiles = p.projectInUse() && !p.untitledWork;
            const bool anyText =
                !f->Rtxt1->document()->isEmpty() || !f->Rtxt2->document()->isEmpty();
            // Untitled work is asked about too: emptying the panes would lose it.
            if (ownFiles || anyText) {
                const Answer answer =
                    showMessage(QStringLiteral("新規作成する前に現在の内容の変更を保存しますか？"),
                                QStringLiteral("変更内容の保存の確認"), MessageButtons::YesNoCancel,
                                MessageIcon::Question);
                if (answer == Answer::Cancel)
                    return;
                if (answer == Answer::Yes &&
                    !(ownFiles ? m_window.exits()->saveDocuments() : saveUntitledWork()))
                    return;
            }
        }
        // The comment window belongs to the project being left; notes that cannot be saved
        // keep it.
        if (!closeComment())
            return;
        const bool projectWasInUse = p.projectInUse();

        p.saveOrgToo = false;
        p.allowOrgEdit = false;
        f->Rtxt1->setReadOnly(true);
        p.useOrgFile = true;
        p.orgPaneHidden = false;
        p.stackedPanes = true;
        arrangePanes();
        f->Rtxt1->clear();
        f->Rtxt2->clear();
        if (projectWasInUse) {
            p.current = PlanInfo();
            projectfiles::saveCurrentPlan(session().appFolder, p.current);
        }
        p.untitledWork = true;
        f->mnuLayout->setEnabled(true);
        p.orgModified = false;
        p.transModified = false;
        p.orgFileNotRead = false;
        p.transFileNotRead = false;
        for (int panel = 1; panel <= 3; ++panel)
            f->setPanelText(panel, {});
    });
}

// ---- Save of untitled work ------------------------------------------------------------------

bool ProjectCommands::saveUntitledWork() {
    ProjectState& p = m_window.project();
    const QString text =
        QStringLiteral("『新規ﾌﾟﾛｼﾞｪｸﾄ作成ｳｨｻﾞｰﾄﾞ』ﾀﾞｲｱﾛｸﾞﾎﾞｯｸｽを開いて新規作成します");
    if (!p.projectInUse()) {
        showMessage(text);
    } else {
        showMessage(text, QStringLiteral("新規作成処理"));
        if (p.current.useCmnt && !closeComment())
            return false;
    }
    p.wizardForSave = true;
    m_savedByWizard = false;
    TranslatorLForm* f = m_window.form();
    // The untitled translation becomes the project's, also over a file the user chose to replace
    // in the save dialog. A failed save leaves it in the pane, still unsaved.
    const auto saveWork = [this, f](const PlanInfo& plan) {
        m_savedByWizard = EditorExit::saveDocument(f->Rtxt2, plan.transFilePath);
        return m_savedByWizard;
    };
    FrmNewPlanWizard wizard(
        p, FrmNewPlanWizard::Purpose::Save, f, [this] { finishNewProjectForSave(); }, saveWork);
    const bool made = wizard.exec();
    return made && m_savedByWizard;
}

void ProjectCommands::finishNewProjectForSave() {
    ProjectState& p = m_window.project();
    TranslatorLForm* f = m_window.form();
    const PlanInfo& plan = p.current;
    if (plan.useCmnt)
        openComment();
    else
        setCommentCommandsEnabled(false);
    arrangePanes();
    p.transFileNotRead = false;
    p.orgFileNotRead = plan.useOrgFile && !FrmTranslatorL::loadPane(f->Rtxt1, plan.orgFilePath);
    showProjectPanels();
}

// ---- Open -----------------------------------------------------------------------------------

void ProjectCommands::mnuOpenClick() {
    guarded(terminating(u"開く時", "Error157"), [this] {
        ProjectState& p = m_window.project();
        if (!closeComment())
            return;
        if (p.untitledWork)
            p.current.planName.clear();
        if (!m_planSet)
            m_planSet = new FrmPlanSet(*this);
        m_planSet->open();
    });
}

void ProjectCommands::loadProject() {
    ProjectState& p = m_window.project();
    TranslatorLForm* f = m_window.form();
    const PlanInfo plan = p.current;
    projectfiles::removeDocumentLeftovers(plan);
    if (plan.useCmnt)
        openComment();
    else
        setCommentCommandsEnabled(false);
    p.useOrgFile = plan.useOrgFile;
    p.orgPaneHidden = false;
    p.stackedPanes = plan.stackedPanes;
    // Emptied before they are arranged, so that the old documents are not laid out again for
    // the new arrangement only to be thrown away.
    f->Rtxt1->clear();
    f->Rtxt2->clear();
    arrangePanes();
    p.orgFileNotRead = plan.useOrgFile && !FrmTranslatorL::loadPane(f->Rtxt1, plan.orgFilePath);
    p.transFileNotRead = false;
    if (QFile::exists(plan.transFilePath))
        p.transFileNotRead = !FrmTranslatorL::loadPane(f->Rtxt2, plan.transFilePath);
    else
        EditorExit::saveDocument(f->Rtxt2, plan.transFilePath);
    // What the panes hold now is what the files hold.
    p.orgModified = false;
    p.transModified = false;
}

void ProjectCommands::arrangePanes() {
    const TranslatorLForm& f = *m_window.form();
    m_window.layoutRule(panelayout::windowWidth(f), panelayout::windowHeight(f));
}

void ProjectCommands::showProjectPanels() {
    const PlanInfo& plan = m_window.project().current;
    TranslatorLForm* f = m_window.form();
    f->setPanelText(1, plan.planName);
    f->setPanelText(2, plan.orgFilePath);
    f->setPanelText(3, plan.transFileName);
}

void ProjectCommands::clearWindow() {
    TranslatorLForm* f = m_window.form();
    f->Rtxt1->clear();
    f->Rtxt2->clear();
    for (int panel = 1; panel <= 3; ++panel)
        f->setPanelText(panel, {});
}

void ProjectCommands::forgetProject() {
    ProjectState& p = m_window.project();
    closeComment();
    setCommentCommandsEnabled(false);
    clearWindow();
    p.current = PlanInfo();
    p.orgModified = false;
    p.transModified = false;
    p.orgFileNotRead = false;
    p.transFileNotRead = false;
}

// ---- Comment window -------------------------------------------------------------------------

void ProjectCommands::setCommentCommandsEnabled(bool on) {
    TranslatorLForm* f = m_window.form();
    m_window.project().cmntLoaded = on;
    for (QAction* a : {f->mnuComment, f->popShowCmnt, f->toolButton(QStringLiteral("CmntOpen"))})
        a->setEnabled(on);
}

void ProjectCommands::openComment() {
    const QString& path = m_window.project().current.cmntFilePath;
    // The project's comment file exists from the moment the project is used. The comment
    // window's start makes it when missing; without one it is made here (once: a file that
    // cannot be made is reported once).
    if (m_comment.load) {
        m_comment.load();
    } else if (!path.isEmpty() && !QFile::exists(path)) {
        RichTextPane empty;
        EditorExit::saveDocument(&empty, path);
    }
    setCommentCommandsEnabled(true);
}

bool ProjectCommands::closeComment() {
    ProjectState& p = m_window.project();
    if (!p.cmntLoaded)
        return true;
    if (m_comment.unload && !m_comment.unload())
        return false;
    setCommentCommandsEnabled(false);
    return true;
}
