// SPDX-License-Identifier: GPL-3.0-or-later
#include "projectstate.h"

bool ProjectState::startEditor(const QString& appFolder, QList<projectfiles::FileDamage>* damages) {
    *this = ProjectState();
    std::optional<projectfiles::FileDamage> tabsDamage;
    std::optional<projectfiles::FileDamage> planDamage;
    tabStops = projectfiles::loadTabStops(appFolder, &tabsDamage);
    const std::optional<PlanInfo> plan = projectfiles::loadCurrentPlan(appFolder, &planDamage);
    for (const auto& damage : {tabsDamage, planDamage})
        if (damage && damages)
            damages->append(*damage);
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
