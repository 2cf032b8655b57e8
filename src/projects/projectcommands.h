// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class FrmPlanSet;
class FrmTranslatorL;
class QString;
struct PlanInfo;

// New, Open and Save of work that belongs to no project: clears the panes into untitled work,
// opens the project dialog, runs the new-project wizard for Save, and loads a project's documents
// into the editor window.
//
// The comment window is not this class's: where a project is opened, made, left or saved, the
// comment steps go through commentHooks(), which the comment window's commands fill in.
class ProjectCommands : public QObject {
    Q_OBJECT
public:
    // Owned by parent, the window when none is given.
    explicit ProjectCommands(FrmTranslatorL& window, QObject* parent = nullptr);
    ~ProjectCommands() override;

    struct CommentHooks {
        // The project in use uses a comment window: load and show it with CmntFilePath, which
        // exists by then (an empty one is made for a project that has none yet).
        std::function<void()> load;
        // Close the comment window, saving its pane, before another project or new work comes;
        // false when the save failed (reported) and the window stays.
        std::function<bool()> unload;
        // Save the comment pane to CmntFilePath (Save of the project in use); false when that
        // failed, after saying so.
        std::function<bool()> save;
    };
    CommentHooks& commentHooks() { return m_comment; }

    // Handlers.
    void mnuNewClick();
    void mnuOpenClick();

    // Save of work that belongs to no project: the wizard makes a project, which becomes the one
    // in use and receives the work. True when the work is now saved in it.
    bool saveUntitledWork();

    // The project dialog while it is open, or null.
    FrmPlanSet* planSet() const { return m_planSet; }
    FrmTranslatorL& window() const { return m_window; }

    // Loads the project now in use into the window: its comment window, its original and its
    // translation; a missing translation file is created empty. Files that cannot be read are
    // reported by name and the rest still loads.
    void loadProject();
    // Empties both panes and the status bar's project panels.
    void clearWindow();
    // Shows the project in use in the status bar.
    void showProjectPanels();
    // No project is in use any more: the comment window closes, the panes and the status bar
    // empty and the project in use becomes a fresh record.
    void forgetProject();
    // Closes the comment window when one is loaded, saving it; false when that save failed and
    // the window stays.
    bool closeComment();
    // Whether a pane holds changes that were not saved.
    bool hasUnsavedChanges() const;

private:
    void finishNewProjectForSave();
    void setCommentCommandsEnabled(bool on);
    void openComment();
    void arrangePanes();

    FrmTranslatorL& m_window;
    CommentHooks m_comment;
    FrmPlanSet* m_planSet = nullptr; // made on first use, owned by this
    // Null once the window is going: its parts are gone then.
    QPointer<QObject> m_windowAlive;
    bool m_savedByWizard = false;
};
