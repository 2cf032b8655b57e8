// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class IndentForm;
class QWidget;
class RichTextPane;
struct ProjectState;

// The indent dialog: sets the width the indent commands give a paragraph, starting from the indent
// at the selection of the pane last worked in. Used by the editor and by the comment window.
class FrmIndent : public QObject {
    Q_OBJECT
public:
    // activePane: the pane whose indent the dialog starts from; null keeps the current width.
    FrmIndent(ProjectState& project, RichTextPane* activePane, QWidget* parent = nullptr);
    ~FrmIndent() override;

    IndentForm* form() const { return m_form; }
    // Loads the dialog and shows it modally.
    void exec();

    void formLoad();
    // Refuses an entry that is not a whole number in range, keeping the dialog open; 0 means the
    // usual width of six characters.
    void Command1Click();

private:
    ProjectState& m_project;
    RichTextPane* m_activePane;
    IndentForm* m_form;
};
