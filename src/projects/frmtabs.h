// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <functional>

class RichTextPane;
class TabsForm;
class QWidget;
struct ProjectState;

// The tab dialog: shows the four tab stops in character units, stores new ones in trtabs.vtd and
// gives them to the paragraphs at the selection of every pane.
class FrmTabs : public QObject {
    Q_OBJECT
public:
    // panes: the panes that take the new stops (original, translation, comment), asked for when
    // the stops are saved.
    FrmTabs(ProjectState& project, std::function<QList<RichTextPane*>()> panes,
            QWidget* parent = nullptr);
    ~FrmTabs() override;

    TabsForm* form() const { return m_form; }
    // Loads the dialog and shows it modally.
    void exec();

    void formLoad();
    // Refuses an entry that is not a whole number in range, keeping the dialog open and writing
    // nothing; otherwise stores and applies the stops and closes.
    void cmdOKSaveClick();
    void cmdCancelClick();

private:
    ProjectState& m_project;
    std::function<QList<RichTextPane*>()> m_panes;
    TabsForm* m_form;
};
