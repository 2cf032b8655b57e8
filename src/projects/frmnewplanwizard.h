// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/projects/projectfiles.h"

#include <QObject>
#include <functional>

class NewPlanWizardForm;
class QWidget;
struct ProjectState;

// The new-project wizard: a name on page 1, the original file on page 2, the translation file
// and its comment file on page 3. Finishing adds the project to trinfo.vtd; opened for Save it
// also makes the project the one in use and hands over to the caller to put the work into it.
class FrmNewPlanWizard : public QObject {
    Q_OBJECT
public:
    enum class Purpose { ProjectList, Save };

    // Opened for Save, finishing first runs saveWork, which writes the work into the new
    // project's documents (false: it could not, and said so; the wizard stays). Only then are the
    // project files written, so a crash in between leaves no project or a whole one.
    // madeCurrent runs once the new project is the one in use (ctrinfo.vtd written): the caller
    // shows it.
    FrmNewPlanWizard(ProjectState& project, Purpose purpose, QWidget* parent = nullptr,
                     std::function<void()> madeCurrent = {},
                     std::function<bool(const PlanInfo&)> saveWork = {});
    ~FrmNewPlanWizard() override;

    NewPlanWizardForm* form() const { return m_form; }
    // Shows the wizard modally; true when a project was added.
    bool exec();
    const PlanInfo& pending() const { return m_pending; }

    // Handlers.
    void formLoad();
    void formActivate();
    void txtNewPlanNameChange();
    void cmdNextClick();
    void cmdBackClick();
    void Option1Click(int index);
    void cmdSelectOrgFileClick();
    void cmdSaveTransFileClick();
    void Check1Click();
    void cmdOKClick();
    void cmdCancelClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool nameAccepted(const QString& name);
    void showCommentFile();

    ProjectState& m_project;
    Purpose m_purpose;
    std::function<void()> m_madeCurrent;
    std::function<bool(const PlanInfo&)> m_saveWork;
    NewPlanWizardForm* m_form;
    PlanInfo m_pending;
    // The page-2 choice, starting from the editor's: the editor's own switch is left alone until
    // the project the wizard makes becomes the one in use.
    bool m_useOrgFile = true;
    bool m_finished = false;
};
