// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <memory>

class FrmComment;
class FrmTranslatorL;
class OptionCommands;
class ProjectCommands;
class RichTextPane;

// The editor's commands for the comment window: loading it with the project, showing and hiding
// it, turning comments on for the project in use, and the window's part in Save and in leaving
// the editor. The show commands (menu, pop-up, tool-bar button) are enabled exactly while the
// window is loaded but hidden.
class CommentCommands : public QObject {
    Q_OBJECT
public:
    // Connects the commands, plugs the window into the project commands' opening, saving and
    // leaving, and loads it when the project the editor started with uses one. Owned by parent,
    // the window when none is given.
    CommentCommands(FrmTranslatorL& window, ProjectCommands& projects, OptionCommands& options,
                    QObject* parent = nullptr);
    ~CommentCommands() override;

    // The loaded window, or null.
    FrmComment* window() const { return m_comment.get(); }
    RichTextPane* pane() const;
    bool isShown() const;

    // The project in use has just been loaded into the editor (start, the project dialog, the
    // wizard): its comment window is loaded, hidden, when it uses one. A window still loaded is
    // unloaded first (saving it); false when that failed.
    bool loadForProject();
    // Unloads the window, saving its pane (Open, Save into the wizard, End, return). False when
    // the save failed: the window and its work stay.
    bool unload();
    // Saves the pane with the project (Save). True when there was nothing to save.
    bool save();
    // The comment pane for the tab stops, loading the window hidden when the project in use uses
    // one and it is not loaded; null when there is no comment pane to give.
    RichTextPane* paneLoadingWindow();

    // Handlers.
    void mnuCmntLoadingClick();
    void mnuCommentClick();
    void popShowCmntClick();

private:
    void connectEvents();
    bool load();
    void show();
    void setShowCommandsEnabled(bool on);
    void turnCommentsOn();

    FrmTranslatorL& m_window;
    std::unique_ptr<FrmComment> m_comment;
};
