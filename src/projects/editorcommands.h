// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class CommentCommands;
class FrmTranslatorL;
class OptionCommands;
class ProjectCommands;
class Recovery;

// The editor's commands that work on projects and documents. Each command set is a class of its
// own that connects the window's menu items, tool-bar buttons and pop-up items to its handlers;
// this object creates them once the window has loaded and lives as long as the window.
class EditorCommands : public QObject {
    Q_OBJECT
public:
    // Creates the commands for a loaded editor window, owned by that window.
    static EditorCommands* attach(FrmTranslatorL& window);

    explicit EditorCommands(FrmTranslatorL& window);

    // New, Open, the project dialog and Save of untitled work; its comment hooks are where the
    // comment window's commands plug into opening, saving and leaving a project.
    ProjectCommands* projects() const { return m_projects; }
    // Options, tab stops, indent width, printing and help; its comment-pane hook lets new tab
    // stops reach the comment window.
    OptionCommands* options() const { return m_options; }
    // The comment window's commands, and the copies of unsaved work.
    CommentCommands* comments() const { return m_comments; }
    Recovery* recovery() const { return m_recovery; }

private:
    FrmTranslatorL& m_window;
    ProjectCommands* m_projects = nullptr;
    OptionCommands* m_options = nullptr;
    CommentCommands* m_comments = nullptr;
    Recovery* m_recovery = nullptr;
};
