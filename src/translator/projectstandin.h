#pragma once

// Stand-in for the project files until the project-file module lands; replaced by it.

#include "core/textrecord.h"

#include <QFile>
#include <QString>
#include <array>
#include <optional>

struct PlanInfo {
    QString PlanName;
    QString OrgFilePath;
    QString TransFilePath;
    bool UseOrgFile = true;
    bool StackedPanes = true;
    QString OrgFileName;
    QString TransFileName;
    QString CmntFilePath;
    bool UseCmnt = true;
};

struct ProjectState {
    PlanInfo CurPlan;
    bool UseOrgFile = true;
    bool StackedPanes = true;
    bool SaveOrgToo = false;
    bool AllowOrgEdit = false;
    bool WizardForSave = false;
    bool OrgModified = false;
    bool TransModified = false;
    bool UntitledWork = false;
    bool CmntLoaded = false;
    bool NewPlanMadeCurrent = false;
    qint16 IndentWidth = 480;
    std::array<qint16, 4> TabStops{480, 960, 1440, 1920};
};

namespace projectfiles {
inline std::array<qint16, 4> readTabStops(const QString&) {
    return {480, 960, 1440, 1920};
}
inline std::optional<PlanInfo> readCurrentPlan(const QString& appFolder) {
    const QString path = appFolder + QStringLiteral("/ctrinfo.vtd");
    if (!QFile::exists(path))
        return std::nullopt;
    TextRecordReader r = TextRecordReader::fromFile(path);
    PlanInfo p;
    p.PlanName = r.readString();
    p.OrgFilePath = r.readString();
    p.OrgFileName = r.readString();
    p.TransFilePath = r.readString();
    p.TransFileName = r.readString();
    p.UseOrgFile = r.readBool();
    p.StackedPanes = r.readBool();
    p.UseCmnt = r.readBool();
    p.CmntFilePath = r.readString();
    return p;
}
} // namespace projectfiles
