// SPDX-License-Identifier: GPL-3.0-or-later
#include "projectstate.h"

bool ProjectState::startEditor(const QString& appFolder,
                               std::optional<projectfiles::FileDamage>* damage) {
    *this = ProjectState();
    tabStops = projectfiles::loadTabStops(appFolder);
    const std::optional<PlanInfo> plan = projectfiles::loadCurrentPlan(appFolder, damage);
    if (plan)
        makeCurrent(*plan);
    return plan.has_value();
}

void ProjectState::makeCurrent(const PlanInfo& plan) {
    current = plan;
    useOrgFile = plan.useOrgFile;
    orgPaneHidden = false;
    stackedPanes = plan.stackedPanes;
}
