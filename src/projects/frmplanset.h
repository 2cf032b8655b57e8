// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class PlanSetForm;
class ProjectCommands;

// The project dialog, open beside the editor: opens the chosen project in the editor window,
// deletes projects from the list (never their documents) and starts new ones with the wizard.
class FrmPlanSet : public QObject {
    Q_OBJECT
public:
    explicit FrmPlanSet(ProjectCommands& commands);
    ~FrmPlanSet() override;

    PlanSetForm* form() const { return m_form; }
    // Fills the dialog afresh and shows it.
    void open();

    // Handlers.
    void formLoad();
    void Combo1Click();
    void cmdOKClick();
    void cmdCancelClick();
    void cmdDeleteClick();
    void cmdNewClick();

private:
    // The list entry the combo's text names exactly, or -1 for text that names none.
    int namedEntry() const;
    void fill(int selected);
    // Before the panes are replaced or emptied: asks whether to save changed work, and saves it
    // on Yes. False when the user cancelled or the save failed.
    bool offerToSave();

    ProjectCommands& m_commands;
    PlanSetForm* m_form; // a child of the editor window, which may delete it first
    // The project in use when the dialog opened; empty when there was none.
    QString m_currentOnEntry;
};
