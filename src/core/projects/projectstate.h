// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/projects/projectfiles.h"

#include <QList>
#include <QString>

// How the sentence split of the original pane marks its blocks. Lives while the program runs.
struct SplitSettings {
    bool numbering = true;
    QString beforeNumber;
    QString afterNumber = QStringLiteral(" : ");
    QString terminators = QStringLiteral(".!?");
    qint16 blockSpacing = 1; // 0, 1, 2: one, two or three line breaks after a sentence
};

// The switches of the quick search; all off whenever the editor opens.
struct QuickSearchOptions {
    bool approxSearch = false;
    bool focusWordPaneAfterSearch = false;
    bool registerWhenMissing = false; // only together with focusWordPaneAfterSearch
};

// The editor-wide state of translation projects: the project list, the project in use, the
// working copies of its pane switches, the modified flags and the options that last while the
// editor runs. The editor's parts read and set the fields directly.
struct ProjectState {
    PlanList plans;
    PlanInfo current;

    bool useOrgFile = true;   // the original pane is in use (working copy)
    bool stackedPanes = true; // original above translation (working copy, never stored)
    bool saveOrgToo = false;
    bool allowOrgEdit = false;
    bool wizardForSave = false;
    bool orgModified = false;
    bool transModified = false;
    bool untitledWork = false;
    // The options hid the original pane of a project that keeps its original file: the pane
    // stays out of sight on every later arrangement until another project or New.
    bool orgPaneHidden = false;
    bool cmntLoaded = false;
    bool newPlanMadeCurrent = false;
    // The pane's document was there but could not be read whole when the project was loaded:
    // saving leaves that file as it is until the pane is changed, so that what could not be read
    // is not replaced by what could.
    bool orgFileNotRead = false;
    bool transFileNotRead = false;
    qint16 indentWidth = 480;
    TabStops tabStops = DefaultTabStops;
    SplitSettings split;
    QuickSearchOptions quickSearch;
    // The original file picked for the next project, by the wizard or by importing an original;
    // the wizard offers it again until a new pick starts or the wizard completes.
    QString pickedOrgPath;
    QString pickedOrgName;
    // The find dialog is open: the formatting bar then leaves the focus where the user put it.
    bool findDialogOpen = false;

    bool projectInUse() const { return !current.planName.isEmpty(); }
    // Whether the arrangement gives the original pane a place.
    bool orgPaneShown() const { return useOrgFile && !orgPaneHidden; }

    // The state of a freshly opened editor: every value at its start value, the tab stops from
    // trtabs.vtd and the project in use from ctrinfo.vtd, whose switches become the working
    // copies. Returns whether a usable ctrinfo.vtd was there (after New it holds a fresh record,
    // with no project name). Damaged files are set aside and described in *damages.
    bool startEditor(const QString& appFolder, QList<projectfiles::FileDamage>* damages = nullptr);

    // The project becomes the one in use; the working copies take its switches.
    void makeCurrent(const PlanInfo& plan);
};
