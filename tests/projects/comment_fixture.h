// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "projects/commentcommands.h"
#include "projects/frmcomment.h"
#include "projects_fixture.h"
#include "ui/commentform.h"

// A project "猫" whose translation (and, when asked, comment) files lie in the application
// folder, and the comment window's commands of the editor.
class CommentTest : public ProjectsTest {
protected:
    QString trans;
    QString comment;

    PlanInfo catProject(bool useCmnt) {
        PlanInfo p = plan(QStringLiteral("猫"), {}, QStringLiteral("訳文.rtf"), useCmnt);
        trans = p.transFilePath;
        comment = projectfiles::commentFilePath(trans, p.transFileName);
        return p;
    }

    // Writes the project as the last entry of the list and as the project in use.
    void writeProject(const PlanInfo& project, const PlanList& others = {}) {
        PlanList plans = others;
        plans.push_back(project);
        projectfiles::savePlanList(app.path(), plans);
        projectfiles::saveCurrentPlan(app.path(), project);
    }

    // Drops the editor the way a crash would: nothing is asked and nothing is saved.
    void dropEditor() {
        commands.reset();
        editor.reset();
    }

    CommentCommands* comments() const { return commands->comments(); }
    FrmComment* commentWindow() const { return comments()->window(); }

    bool showCommandsEnabled() const {
        const bool menu = form()->mnuComment->isEnabled();
        EXPECT_EQ(form()->popShowCmnt->isEnabled(), menu);
        EXPECT_EQ(form()->toolButton(QStringLiteral("CmntOpen"))->isEnabled(), menu);
        return menu;
    }
};
