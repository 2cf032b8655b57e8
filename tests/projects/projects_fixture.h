// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/editor_fixture.h"
#include "projects/editorcommands.h"
#include "projects/projectcommands.h"
#include "support/widgets.h"
#include "ui/newplanwizardform.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <functional>

// The editor with its project commands attached, and ways to drive the modal wizard.
class ProjectsTest : public EditorTest {
protected:
    std::unique_ptr<EditorCommands> commands;

    void TearDown() override {
        commands.reset();
        EditorTest::TearDown();
    }

    void startEditor() {
        start();
        commands = std::make_unique<EditorCommands>(*editor);
    }
    ProjectCommands* projects() const { return commands->projects(); }
    ProjectState& state() const { return editor->project(); }

    // A project whose documents lie in the application folder; no comment file unless asked.
    PlanInfo plan(const QString& name, const QString& org, const QString& trans,
                  bool comment = false) const {
        PlanInfo p;
        p.planName = name;
        p.orgFilePath = org.isEmpty() ? QString() : app.file(org);
        p.orgFileName = org;
        p.useOrgFile = !org.isEmpty();
        p.transFilePath = app.file(trans);
        p.transFileName = trans;
        p.useCmnt = comment;
        if (comment)
            p.cmntFilePath = projectfiles::commentFilePath(p.transFilePath, trans);
        return p;
    }

    QString paneText(RichTextPane* pane) const { return pane->toPlainText(); }
    QString fileText(const QString& path) const {
        RichTextPane reread;
        EXPECT_TRUE(reread.loadFile(path)) << path.toStdString();
        return reread.toPlainText();
    }

    // Fills the wizard's pages without finishing: the name, no original file (or the one given),
    // the translation file chosen in the save dialog, a comment file when comment is set.
    void fillWizard(NewPlanWizardForm* f, const QString& name, const QString& transPath,
                    bool comment, const QString& orgPath = {}) {
        f->txtNewPlanName->setText(name);
        f->cmdNext->click();
        if (orgPath.isEmpty()) {
            f->Option1[1]->click();
        } else {
            f->Option1[0]->click();
            dialogs.expectOpenFile(orgPath);
            f->cmdSelectOrgFile->click();
        }
        f->cmdNext->click();
        if (!comment)
            f->Check1->click();
        dialogs.expectSaveFile(transPath);
        f->cmdSaveTransFile->click();
    }

    // Walks the wizard through its pages: the name, no original file (or the one given), the
    // translation file chosen in the save dialog, a comment file when comment is set; then
    // finishes. beforeFinish runs just before the wizard's 完了, to script what finishing asks.
    void finishWizardWhenShown(const QString& name, const QString& transPath, bool comment,
                               const QString& orgPath = {},
                               std::function<void()> beforeFinish = {}) {
        whenShown(QStringLiteral("frmNewPlanWizard"), [=, this](QWidget* w) {
            auto* f = static_cast<NewPlanWizardForm*>(w);
            fillWizard(f, name, transPath, comment, orgPath);
            if (beforeFinish)
                beforeFinish();
            f->cmdOK->click();
            if (f->isVisible()) {
                ADD_FAILURE() << "the wizard did not finish";
                f->reject();
            }
        });
    }
};
